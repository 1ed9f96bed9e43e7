// Creative VOC block lists built here through the type choice (loops, silence,
// rates, new-style and extended blocks) and damaged lists (SoX's files:
// sound_file_test).
#include "support/reader_fixture.h"

namespace {

Bytes Block(uint8_t type, const Bytes& body, int64_t claimed = -1)
{
    uint32_t n = claimed >= 0 ? uint32_t(claimed) : uint32_t(body.size());
    Bytes b = {type, uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16)};
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

Bytes Sound(uint8_t timeConstant, Bytes samples, uint8_t pack = 0)
{
    samples.insert(samples.begin(), {timeConstant, pack});
    return Block(1, samples);
}

Bytes SoundNew(uint32_t rate, uint8_t bits, uint8_t channels, uint16_t codec, const Bytes& samples)
{
    Bytes body;
    wave::Put32(body, rate);
    body.insert(body.end(), {bits, channels, uint8_t(codec), uint8_t(codec >> 8), 0, 0, 0, 0});
    body.insert(body.end(), samples.begin(), samples.end());
    return Block(9, body);
}

Bytes Silence(uint16_t storedLength, uint8_t timeConstant)
{
    return Block(3, {uint8_t(storedLength), uint8_t(storedLength >> 8), timeConstant});
}

Bytes Repeat(uint16_t count) { return Block(6, {uint8_t(count), uint8_t(count >> 8)}); }

const Bytes REPEAT_END = Block(7, {});
const Bytes TERMINATOR = {0};

Bytes Voc(const std::vector<Bytes>& blocks, bool shifted = false)
{
    const char* id = "Creative Voice File\x1A";
    Bytes b(id, id + 20);
    wave::Put16(b, 26);
    wave::Put16(b, shifted ? 0x0A0D : 0x010A);
    wave::Put16(b, 0x1129);
    if (shifted)
        b.insert(b.end(), {0, 0});      // read as a terminator were they not skipped
    for (const Bytes& block : blocks)
        b.insert(b.end(), block.begin(), block.end());
    return b;
}

class VocReaderTest : public ReaderTest {
protected:
    VocReaderTest() : ReaderTest("in.voc") {}

    uint32_t Rate() { return TheDocument().format.Record()->nSamplesPerSec; }
};

TEST_F(VocReaderTest, TimeConstant166AndHeaderOffset0x0A0D)
{
    ASSERT_EQ(0, Read(Voc({Sound(166, {1, 2, 3})}, true)));
    EXPECT_EQ(1000000u / 90, Rate());
    EXPECT_EQ(Bytes({1, 2, 3}), DocumentBytes());
}

TEST_F(VocReaderTest, LoopsRunCountPlusOneTimesAndTheListGoesOn)
{
    for (uint16_t count : {0, 1, 2}) {
        SCOPED_TRACE(count);
        ASSERT_EQ(0, Read(Voc({Sound(131, {1}), Repeat(count), Sound(131, {2, 3}), Block(4, {9, 9}), REPEAT_END,
                               Sound(131, {4}), TERMINATOR, Sound(131, {5})})));
        Bytes expected = {1};
        for (int i = 0; i <= count; i++)
            expected.insert(expected.end(), {2, 3});
        expected.push_back(4);
        EXPECT_EQ(expected, DocumentBytes());
    }
    ASSERT_EQ(0, Read(Voc({Repeat(2), Sound(131, {1}), Repeat(1), Silence(0, 131), Sound(131, {2}), REPEAT_END,
                           REPEAT_END})));
    EXPECT_EQ(Bytes({1, 0x80, 2, 0x80, 2, 1, 0x80, 2, 0x80, 2, 1, 0x80, 2, 0x80, 2}), DocumentBytes());
    // Without its end marker a loop runs into the end of the list.
    ASSERT_EQ(0, Read(Voc({Repeat(1), Sound(131, {7})})));
    EXPECT_EQ(Bytes({7, 7}), DocumentBytes());
}

TEST_F(VocReaderTest, SilenceLastsItsStoredLengthPlusOneInTheSoundsFormat)
{
    // Over a 16-bit stereo 44.1 kHz sound, the silence in front of the first
    // sound block still counts in the file's 8 kHz.
    NewSound(PcmFormat(2, 16, 44100));
    ASSERT_EQ(0, Read(Voc({Silence(2, 131), Sound(131, {0x10}), Silence(0, 131), Sound(131, {0x20})})));
    EXPECT_EQ(8000u, Rate());
    EXPECT_EQ(Bytes({0x80, 0x80, 0x80, 0x10, 0x80, 0x20}), DocumentBytes());
}

TEST_F(VocReaderTest, NewStyleExtendedAndContinuationBlocksKeepTheirSound)
{
    // Stereo at 11025 Hz: time constant 65536 - 256000000 / (2 × 11025).
    uint16_t tc = 65536 - 256000000 / (2 * 11025);
    ASSERT_EQ(0, Read(Voc({Block(8, {uint8_t(tc), uint8_t(tc >> 8), 0, 1}), Sound(0, {1, 2, 3, 4})})));
    EXPECT_EQ(2, TheDocument().format.Record()->nChannels);
    EXPECT_EQ(256000000u / (2 * (65536u - tc)), Rate());
    EXPECT_EQ(2, TheDocument().length);
    // A continuation with nothing before it has no format and is skipped,
    // one after a block goes on in its format; a block of another rate is converted.
    ASSERT_EQ(0, Read(Voc({Block(2, {9, 9}), Sound(131, {1, 2}), Block(2, {3}),
                           SoundNew(16000, 8, 1, 0, {10, 11, 12, 13})})));
    EXPECT_EQ(Bytes({1, 2, 3, 10, 12}), DocumentBytes());
}

TEST_F(VocReaderTest, PasteFillsTheSelectionAndNoMore)
{
    NewSound(PcmFormat(1, 8, 8000), {0x50, 0x51, 0x52, 0x53});
    SetSelection(1, 2, ORIGIN_PROGRAM);
    ASSERT_EQ(0, Read(Voc({Sound(131, {1}), Repeat(3), Sound(131, {2}), REPEAT_END}), READ_PASTE));
    EXPECT_EQ(Bytes({0x50, 1, 2, 0x53}), DocumentBytes());
    EXPECT_EQ(1, TheDocument().changeCount);
}

TEST_F(VocReaderTest, ListCutShortLoadsWhatIsThereAndSoundCutShortIsReported)
{
    Bytes file = Voc({Sound(131, {1, 2}), Repeat(1), Sound(131, {3}), REPEAT_END, Sound(131, {4, 5, 6})});
    file.pop_back();
    EXPECT_EQ(ERR_FILE_SHORT, Read(file));
    EXPECT_EQ(Bytes({1, 2, 3, 3, 4, 5}), DocumentBytes());
    // A skipped block running past the end ends the list as the end does
    // (SoX's new-style blocks leave such a block behind), also in a loop.
    for (uint8_t type : {4, 5, 0x60}) {
        ASSERT_EQ(0, Read(Voc({Sound(131, {1}), Block(type, {'h', 'i', 0}, 100), Sound(131, {2})}))) << int(type);
        EXPECT_EQ(Bytes({1}), DocumentBytes());
    }
    ASSERT_EQ(0, Read(Voc({Sound(131, {1}), Repeat(1), Sound(131, {2}), Block(0x60, {9}, 0xFFFFFF)})));
    EXPECT_EQ(Bytes({1, 2, 2}), DocumentBytes());
}

TEST_F(VocReaderTest, DamagedListsAreRefusedWithTheirIds)
{
    Bytes sound = Sound(131, {1, 2}), cut = Voc({});
    cut.resize(20);
    // Refused before the old sound goes.
    NewSound(PcmFormat(1, 8, 8000), {0x50, 0x51});
    TheDocument().SetFileName("old.voc");
    struct { const char* what; Bytes file; int rc; } cases[] = {
        {"header cut", cut, ERR_FILE_SHORT},
        {"short and not VOC", {'C', 'r', 'e'}, ERR_NOT_SOUND_FILE},
        {"sound block without its header", Voc({Block(1, {131})}), ERR_FILE_SHORT},
        {"silence of another size", Voc({Block(3, {1, 0, 131, 0})}), ERR_FILE_SHORT},
        {"repeat of another size", Voc({Block(6, {1, 0, 0}), sound, REPEAT_END}), ERR_FILE_SHORT},
        {"repeat end with a body", Voc({Repeat(1), sound, Block(7, {0})}), ERR_FILE_SHORT},
        {"nested too deep", Voc({Repeat(1), Repeat(1), Repeat(1), Repeat(1), Repeat(1), sound}), ERR_FILE_SHORT},
        {"packed samples", Voc({Sound(131, {1, 2}, 1)}), ERR_UNSUPPORTED_COMPRESSION},
        {"new-style A-law", Voc({SoundNew(8000, 8, 1, 6, {1, 2})}), ERR_UNSUPPORTED_COMPRESSION},
        {"codec and bits disagree", Voc({SoundNew(8000, 8, 1, 4, {1, 2})}), ERR_UNSUPPORTED_COMPRESSION},
        {"three channels", Voc({SoundNew(8000, 8, 3, 0, {1, 2, 3})}), ERR_UNSUPPORTED_FORMAT},
        {"rate 0", Voc({SoundNew(0, 8, 1, 0, {1, 2})}), ERR_UNSUPPORTED_FORMAT},
        {"past 2^31 blocks", Voc({Repeat(0xFFFF), Sound(131, Bytes(40000, 1)), REPEAT_END}), ERR_NO_MEMORY},
        // 30 KB that ask for about 2 × 10^9 blocks: more than a 32-bit process holds.
        {"2 GB from a loop", Voc({Repeat(0xFFFE), Sound(131, Bytes(30000, 1)), REPEAT_END}), ERR_NO_MEMORY},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.rc, Read(c.file)) << c.what;
        EXPECT_EQ(Bytes({0x50, 0x51}), DocumentBytes()) << c.what;
        EXPECT_STREQ("old.voc", TheDocument().Name()) << c.what;
    }
}

}
