// Creative VOC files through the type choice: SoX's files, block lists built
// here (repeats, silence, rates, new-style and extended blocks) and damaged
// lists refused with their ids.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/app.h"
#include "app/app_options.h"
#include "app/builtin_strings.h"
#include "app/error_message.h"
#include "edit/actions.h"
#include "sound/document.h"
#include "sound/sound_file.h"
#include "sound/wave_file.h"
#include "view/selection_ops.h"
#include "support/test_host.h"
#include "support/wave_builder.h"

using wave::Bytes;

namespace {

Bytes Block(uint8_t type, const Bytes& body, int64_t claimed = -1)
{
    uint32_t n = claimed >= 0 ? uint32_t(claimed) : uint32_t(body.size());
    Bytes b = {type, uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16)};
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

Bytes Sound(uint8_t timeConstant, const Bytes& samples, uint8_t pack = 0)
{
    Bytes body = {timeConstant, pack};
    body.insert(body.end(), samples.begin(), samples.end());
    return Block(1, body);
}

Bytes SoundNew(uint32_t rate, uint8_t bits, uint8_t channels, uint16_t codec, const Bytes& samples)
{
    Bytes body;
    wave::Put32(body, rate);
    body.push_back(bits);
    body.push_back(channels);
    wave::Put16(body, codec);
    body.resize(12, 0);
    body.insert(body.end(), samples.begin(), samples.end());
    return Block(9, body);
}

Bytes Silence(uint16_t storedLength, uint8_t timeConstant)
{
    return Block(3, {uint8_t(storedLength), uint8_t(storedLength >> 8), timeConstant});
}

Bytes Repeat(uint16_t count)
{
    return Block(6, {uint8_t(count), uint8_t(count >> 8)});
}

const Bytes REPEAT_END = Block(7, {});
const Bytes TERMINATOR = {0};

Bytes Voc(const std::vector<Bytes>& blocks, bool shifted = false)
{
    const char* id = "Creative Voice File\x1A";
    Bytes b(id, id + 20);
    wave::Put16(b, 26);
    wave::Put16(b, shifted ? 0x0A0D : 0x010A);
    wave::Put16(b, 0x1129);
    if (shifted) {
        // Two bytes the blocks begin after; a block type 0 here would end the list.
        b.push_back(0);
        b.push_back(0);
    }
    for (const Bytes& block : blocks)
        b.insert(b.end(), block.begin(), block.end());
    return b;
}

Bytes Cut(Bytes b, size_t keep)
{
    b.resize(keep);
    return b;
}

class VocReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadBuiltInStrings());
        ResetApp();
        ResetAppOptions();
        ResetSelection();
        ASSERT_EQ(0, TheDocument().NewSound(nullptr, nullptr));
        ResetUndoHistory(ACTSTATE_READY);
        dir = ::testing::TempDir() + "kv_voc_"
            + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    int Read(const std::string& name, int mode)
    {
        if (mode == READ_OPEN)
            ResetUndoHistory(ACTSTATE_LOADING);
        CMMFile file;
        int rc = file.Open((dir + name).c_str(), KVIO_READ | KVIO_DENYWRITE, nullptr)
            ? ReadSoundFile(file, mode) : ERR_CANT_OPEN;
        file.Close();
        if (mode == READ_OPEN)
            ResetUndoHistory(ACTSTATE_READY);
        return rc;
    }

    int Open(const Bytes& bytes)
    {
        EXPECT_TRUE(wave::WriteFile(dir + "in.voc", bytes));
        return Read("in.voc", READ_OPEN);
    }

    int Paste(const Bytes& bytes)
    {
        EXPECT_TRUE(wave::WriteFile(dir + "in.voc", bytes));
        return Read("in.voc", READ_PASTE);
    }

    // A document of 8-bit mono 8000 Hz samples.
    void MakeDocument(const Bytes& samples)
    {
        KvWaveFormat f = {WAVE_TAG_PCM, 1, 8000, 8000, 1, 8, 0};
        ASSERT_EQ(0, TheDocument().NewSound(nullptr, &f));
        ASSERT_TRUE(TheDocument().InsertSpace(0, int32_t(samples.size())));
        TheDocument().WriteBlocks(0, samples.data(), int32_t(samples.size()));
    }

    Bytes DocumentBytes()
    {
        CKV_Document& doc = TheDocument();
        Bytes b(size_t(doc.length) * size_t(doc.format.BlockAlign()));
        doc.SetChannel(255);
        EXPECT_EQ(doc.length, doc.CopyOut(0, b.data(), doc.length));
        doc.ReleaseCursor();
        return b;
    }

    uint32_t Rate() { return TheDocument().format.Record()->nSamplesPerSec; }

    void Sox(const std::string& args)
    {
        ASSERT_EQ(0, std::system("sox --version >/dev/null 2>&1"))
            << "sox is not installed: run scripts/setup.sh";
        ASSERT_EQ(0, std::system(("sox " + args).c_str())) << "sox " << args;
    }

    long SoxInfo(const char* option)
    {
        std::string command = "sox --i " + std::string(option) + " " + dir + "in.voc";
        FILE* p = popen(command.c_str(), "r");
        long value = -1;
        if (p) {
            if (std::fscanf(p, "%ld", &value) != 1)
                value = -1;
            pclose(p);
        }
        return value;
    }

    TestHost host;
    std::string dir;
};

TEST_F(VocReaderTest, SoxFilesOpenWithTheFormatAndSamplesSoxReports)
{
    struct Case {
        int rate;
        int bits;
        int channels;
        const char* decode;
        int rc;
    } cases[] = {
        {8000, 8, 1, "-e unsigned -b 8", 0},
        {11025, 8, 1, "-e unsigned -b 8", 0},  // stored as time constant 165: 10989 Hz
        // A new-style block, whose length SoX writes 8 bytes short: its last
        // samples read as a block past the end of the file, which SoX skips.
        {22050, 16, 2, "-e signed -b 16 -L", ERR_FILE_SHORT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rate << " " << c.bits << "-bit " << c.channels << "ch");
        Sox("-n -r " + std::to_string(c.rate) + " -c " + std::to_string(c.channels) + " -b "
            + std::to_string(c.bits) + " -t voc " + dir + "in.voc synth 0.3 sine 100-3000 sine 500");
        Sox(dir + "in.voc -t raw " + c.decode + " " + dir + "ref.raw");
        ASSERT_EQ(c.rc, Read("in.voc", READ_OPEN));
        const KvWaveFormat* f = TheDocument().format.Record();
        EXPECT_EQ(SoxInfo("-r"), long(f->nSamplesPerSec));
        EXPECT_EQ(SoxInfo("-c"), long(f->nChannels));
        EXPECT_EQ(c.bits, f->wBitsPerSample);
        EXPECT_EQ(wave::ReadFile(dir + "ref.raw"), DocumentBytes());
    }
}

TEST_F(VocReaderTest, ListCutShortLoadsWhatIsThereAndIsReported)
{
    Bytes file = Voc({Sound(131, {1, 2}), Repeat(1), Sound(131, {3}), REPEAT_END, Sound(131, {4, 5, 6})});
    EXPECT_EQ(ERR_FILE_SHORT, Open(Cut(file, file.size() - 1)));
    EXPECT_EQ(Bytes({1, 2, 3, 3, 4, 5}), DocumentBytes());
    EXPECT_EQ(ERR_FILE_SHORT, Open(Voc({Sound(131, {1}), Block(5, {'h', 'i', 0}, 100), Sound(131, {2})})));
    EXPECT_EQ(Bytes({1}), DocumentBytes());
}

TEST_F(VocReaderTest, TimeConstantsGiveTheirRates)
{
    ASSERT_EQ(0, Open(Voc({Sound(131, {1, 2})})));
    EXPECT_EQ(8000u, Rate());
    ASSERT_EQ(0, Open(Voc({Sound(166, {1, 2})})));
    EXPECT_EQ(1000000u / 90, Rate());
}

TEST_F(VocReaderTest, RepeatedBlocksArePlayedCountPlusOneTimesAndTheListGoesOn)
{
    for (uint16_t count : {0, 1, 2}) {
        SCOPED_TRACE(count);
        ASSERT_EQ(0, Open(Voc({Sound(131, {1}), Repeat(count), Sound(131, {2, 3}), Block(4, {9, 9}),
                               REPEAT_END, Sound(131, {4}), TERMINATOR, Sound(131, {5})})));
        Bytes expected = {1};
        for (int i = 0; i <= count; i++)
            expected.insert(expected.end(), {2, 3});
        expected.push_back(4);
        EXPECT_EQ(expected, DocumentBytes());
    }
    // A loop without its end marker runs into the end of the list.
    ASSERT_EQ(0, Open(Voc({Repeat(1), Sound(131, {7})})));
    EXPECT_EQ(Bytes({7, 7}), DocumentBytes());
    // An end marker outside a loop ends the list.
    ASSERT_EQ(0, Open(Voc({Sound(131, {1}), REPEAT_END, Sound(131, {2})})));
    EXPECT_EQ(Bytes({1}), DocumentBytes());
}

TEST_F(VocReaderTest, ShiftedHeaderStartsTheBlocksTwoBytesLater)
{
    ASSERT_EQ(0, Open(Voc({Sound(131, {1, 2, 3})}, true)));
    EXPECT_EQ(Bytes({1, 2, 3}), DocumentBytes());
}

TEST_F(VocReaderTest, SilenceLastsItsStoredLengthPlusOneInTheSoundsFormat)
{
    // Opened over a 16-bit stereo 44.1 kHz sound, the silence in front of the
    // first sound block still counts in the file's 8 kHz.
    KvWaveFormat f = {WAVE_TAG_PCM, 2, 44100, 176400, 4, 16, 0};
    ASSERT_EQ(0, TheDocument().NewSound(nullptr, &f));
    ASSERT_EQ(0, Open(Voc({Silence(2, 131), Sound(131, {0x10}), Silence(0, 131), Sound(131, {0x20})})));
    EXPECT_EQ(8000u, Rate());
    EXPECT_EQ(Bytes({0x80, 0x80, 0x80, 0x10, 0x80, 0x20}), DocumentBytes());
}

TEST_F(VocReaderTest, NewStyleExtendedAndContinuationBlocksKeepTheirSound)
{
    ASSERT_EQ(0, Open(Voc({SoundNew(22050, 16, 2, 4, {1, 2, 3, 4, 5, 6, 7, 8}), Block(2, {9, 10, 11, 12})})));
    const KvWaveFormat* w = TheDocument().format.Record();
    EXPECT_EQ(22050u, w->nSamplesPerSec);
    EXPECT_EQ(2, w->nChannels);
    EXPECT_EQ(16, w->wBitsPerSample);
    EXPECT_EQ(Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}), DocumentBytes());

    // Stereo at 11025 Hz: time constant 65536 - 256000000 / (2 × 11025).
    uint16_t tc = 65536 - 256000000 / (2 * 11025);
    ASSERT_EQ(0, Open(Voc({Block(8, {uint8_t(tc), uint8_t(tc >> 8), 0, 1}), Sound(0, {1, 2, 3, 4})})));
    EXPECT_EQ(2, TheDocument().format.Record()->nChannels);
    EXPECT_EQ(256000000u / (2 * (65536u - tc)), Rate());
    EXPECT_EQ(2, TheDocument().length);

    // A continuation with nothing before it has no format and is skipped.
    ASSERT_EQ(0, Open(Voc({Block(2, {9, 9}), Sound(131, {1})})));
    EXPECT_EQ(Bytes({1}), DocumentBytes());
}

TEST_F(VocReaderTest, BlocksOfAnotherRateAreConverted)
{
    ASSERT_EQ(0, Open(Voc({Sound(131, {1, 2}), SoundNew(16000, 8, 1, 0, {10, 11, 12, 13})})));
    EXPECT_EQ(8000u, Rate());
    EXPECT_EQ(Bytes({1, 2, 10, 12}), DocumentBytes());
}

TEST_F(VocReaderTest, PasteFillsTheSelectionAndNoMore)
{
    MakeDocument({0x50, 0x51, 0x52, 0x53});
    SetSelection(1, 2, ORIGIN_PROGRAM);
    ASSERT_EQ(0, Paste(Voc({Sound(131, {1}), Repeat(3), Sound(131, {2}), REPEAT_END})));
    EXPECT_EQ(Bytes({0x50, 1, 2, 0x53}), DocumentBytes());
    EXPECT_EQ(1, TheDocument().changeCount);

    // Mixed in, silence leaves the old sound as mixing silence does.
    TheAppOptions().mixOld = 100;
    SetSelection(0, 3, ORIGIN_PROGRAM);
    ASSERT_EQ(0, Paste(Voc({Silence(1, 131), Sound(131, {0x90})})));
    EXPECT_EQ(Bytes({0x50, 1, 0x12, 0x53}), DocumentBytes());
}

TEST_F(VocReaderTest, DamagedListsAreRefusedWithTheirIds)
{
    Bytes sound = Sound(131, {1, 2});
    struct Case {
        const char* what;
        Bytes file;
        int rc;
    } cases[] = {
        {"header cut", Cut(Voc({}), 20), ERR_FILE_SHORT},
        {"short and not VOC", Bytes({'C', 'r', 'e'}), ERR_NOT_SOUND_FILE},
        {"sound block without its header", Voc({Block(1, {131})}), ERR_FILE_SHORT},
        {"silence of another size", Voc({Block(3, {1, 0, 131, 0})}), ERR_FILE_SHORT},
        {"repeat of another size", Voc({Block(6, {1, 0, 0}), sound, REPEAT_END}), ERR_FILE_SHORT},
        {"repeat end with a body", Voc({Repeat(1), sound, Block(7, {0})}), ERR_FILE_SHORT},
        {"loops nested too deep", Voc({Repeat(1), Repeat(1), Repeat(1), Repeat(1), Repeat(1), sound}),
            ERR_FILE_SHORT},
        {"packed samples", Voc({Sound(131, {1, 2}, 1)}), ERR_UNSUPPORTED_COMPRESSION},
        {"new-style A-law", Voc({SoundNew(8000, 8, 1, 6, {1, 2})}), ERR_UNSUPPORTED_COMPRESSION},
        {"new-style codec and bits disagree", Voc({SoundNew(8000, 8, 1, 4, {1, 2})}),
            ERR_UNSUPPORTED_COMPRESSION},
        {"new-style three channels", Voc({SoundNew(8000, 8, 3, 0, {1, 2, 3})}), ERR_UNSUPPORTED_FORMAT},
        {"new-style rate 0", Voc({SoundNew(0, 8, 1, 0, {1, 2})}), ERR_UNSUPPORTED_FORMAT},
        {"more blocks than a sound holds", Voc({Repeat(0xFFFF), Sound(131, Bytes(40000, 1)), REPEAT_END}),
            ERR_NO_MEMORY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.rc, Open(c.file));
    }
}

}
