// WAVE files through the public reader and writer: round trips byte for byte,
// damaged files refused with their ids, saving that never destroys the old file.
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <tuple>

#include "edit/convert_format.h"
#include "sound/object_options.h"
#include "support/dib_builder.h"
#include "support/reader_fixture.h"

namespace {

Bytes Resized(Bytes b, size_t n)
{
    b.resize(n);
    return b;
}

class WaveFileTest : public ReaderTest {
protected:
    void SetUp() override
    {
        ReaderTest::SetUp();
        ResetObjectOptions();
    }

    Bytes Save()
    {
        EXPECT_EQ(0, SaveWave(in.c_str(), WAVE_WRITE_FILE, nullptr));
        return wave::ReadFile(in);
    }
};

TEST_F(WaveFileTest, EveryPcmFormatRoundTripsByteForByte)
{
    for (uint16_t channels : {1, 2}) {
        for (uint16_t bits : {8, 16}) {
            for (uint32_t rate : {8000u, 11025u, 22050u, 44100u, 48000u}) {
                SCOPED_TRACE(testing::Message() << channels << "ch " << bits << "bit " << rate);
                Bytes samples = Pattern(12347 * channels * bits / 8, uint8_t(rate));
                Bytes file = wave::Pcm(channels, rate, bits, samples);
                ASSERT_EQ(0, Read(file));
                KvWaveFormat want = PcmFormat(channels, bits, rate);
                EXPECT_TRUE(TheDocument().format.Equals(&want));
                EXPECT_EQ(0, TheDocument().changeCount);
                EXPECT_EQ(samples, DocumentBytes());
                EXPECT_EQ(file, Save());
            }
        }
    }
}

TEST_F(WaveFileTest, LongerPcmFormatChunksAreWrittenBackAsSixteenBytes)
{
    Bytes samples = Pattern(400);
    for (size_t size : {17, 18, 20}) {
        ASSERT_EQ(0, Read(wave::Riff({Chunk("fmt ", Resized(wave::Fmt(1, 2, 22050, 16), size)),
                             Chunk("data", samples)}))) << size;
        EXPECT_EQ(wave::Pcm(2, 22050, 16, samples), Save()) << size;
    }
}

TEST_F(WaveFileTest, OddSizesAndUnknownChunksAroundTheFormatAreSteppedOver)
{
    Bytes samples = Pattern(1001), adtl = {'a', 'd', 't', 'l', 'I', 'S', 'B', 'J', 2, 0, 0, 0, 'x', 0};
    ASSERT_EQ(0, Read(wave::Riff({Chunk("junk", Pattern(3)), Chunk("fmt ", wave::Fmt(1, 1, 11025, 16)),
        Chunk("LIST", adtl), Chunk("cue ", Pattern(5)), Chunk("data", samples), Chunk("smpl", Pattern(9))})));
    samples.pop_back();                         // whole blocks only
    EXPECT_EQ(samples, DocumentBytes());
    EXPECT_STREQ("", TheObjectOptions().label.c_str());     // a label only in a LIST of type INFO
}

TEST_F(WaveFileTest, DamagedFilesAreRefusedWithTheirIds)
{
    Bytes fmt = Chunk("fmt ", wave::Fmt(1, 1, 8000, 8)), data = Chunk("data", Pattern(10));
    Bytes outside = wave::Riff({fmt});
    outside.insert(outside.end(), data.begin(), data.end());
    const struct { const char* what; Bytes file; int rc; } cases[] = {
        {"data before fmt", wave::Riff({data, fmt}), ERR_FILE_SHORT},
        {"no data", wave::Riff({fmt}), ERR_FILE_SHORT},
        {"no fmt", wave::Riff({data}), ERR_FILE_SHORT},
        {"data after the RIFF chunk", outside, ERR_FILE_SHORT},
        {"not WAVE", wave::Riff({fmt, data}, "AVI "), ERR_NOT_SOUND_FILE},
        {"not RIFF", Bytes{'R', 'I', 'F', 'X', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, ERR_NOT_SOUND_FILE},
        {"empty", Bytes{}, ERR_NOT_SOUND_FILE},
        {"fmt of 13 bytes", wave::Riff({Chunk("fmt ", Pattern(13)), data}), ERR_UNSUPPORTED_COMPRESSION},
        {"format not valid", wave::Riff({Chunk("fmt ", wave::Fmt(1, 0, 8000, 8)), data}), ERR_UNSUPPORTED_FORMAT},
        {"PCM fmt of 14 bytes", wave::Riff({Chunk("fmt ", Resized(wave::Fmt(1, 1, 8000, 8), 14)), data}),
            ERR_FILE_SHORT},
        {"A-law fmt without cbSize", wave::Riff({Chunk("fmt ", wave::Fmt(6, 1, 8000, 8)), data}), ERR_FILE_SHORT},
        {"cbSize past the chunk", wave::Riff({Chunk("fmt ", Resized(wave::Fmt(2, 1, 8000, 4, 4), 18)), data}),
            ERR_FILE_SHORT},
        {"fmt cut by the file end", wave::Riff({Chunk("fmt ", Pattern(10), 16)}), ERR_FILE_SHORT},
        {"fmt of absurd size", wave::Riff({Chunk("fmt ", Pattern(10), 0xFFFFFFF0)}), ERR_FILE_SHORT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.rc, Read(c.file));
        EXPECT_EQ(ACTSTATE_READY, TheApp().actionState);
    }
}

TEST_F(WaveFileTest, DataClaimingMoreThanTheFileHoldsReadsWhatIsThereAndSaysSo)
{
    Bytes samples = Pattern(3000);
    EXPECT_EQ(ERR_FILE_SHORT,
        Read(wave::Riff({Chunk("fmt ", wave::Fmt(1, 1, 11025, 16)), Chunk("data", samples, 100000)})));
    EXPECT_EQ(samples, DocumentBytes());
}

TEST_F(WaveFileTest, DescriptionChunksAreReadWrittenBackAndClearedByAFileWithout)
{
    Bytes info = {'I', 'N', 'F', 'O'};
    const char label[] = "hi", date[] = "2026-12-05 14:05:09 6";
    for (const Bytes& c : {Chunk("ISBJ", Bytes(label, label + sizeof label)),
             Chunk("ICRD", Bytes(date, date + sizeof date)), Chunk("odsp", Bytes{17, 0, 0, 0})})
        info.insert(info.end(), c.begin(), c.end());
    Bytes icon = dib::Packed(3, 3, 0x336699), disp = {8, 0, 0, 0};
    disp.insert(disp.end(), icon.begin(), icon.end());
    Bytes file = wave::Riff({Chunk("fmt ", wave::Fmt(1, 1, 11025, 8)), Chunk("LIST", info), Chunk("DISP", disp),
        Chunk("data", Pattern(99))});
    ASSERT_EQ(0, Read(file));
    const ObjectOptions& o = TheObjectOptions();
    EXPECT_STREQ("hi", o.label.c_str());
    EXPECT_EQ(std::make_tuple(2026, 12, 5, 14, 5, 9, 6),
        std::make_tuple(int(o.date.year), int(o.date.month), int(o.date.day), int(o.date.hour), int(o.date.minute),
            int(o.date.second), int(o.date.dayOfWeek)));
    EXPECT_EQ(17u, o.flags);
    EXPECT_EQ(icon, o.icon);
    EXPECT_EQ(file, Save());

    // A bitmap whose rows are cut short is no icon; the rest stays.
    disp.pop_back();
    ASSERT_EQ(0, Read(wave::Riff({Chunk("fmt ", wave::Fmt(1, 1, 11025, 8)), Chunk("LIST", info),
        Chunk("DISP", disp), Chunk("data", Pattern(99))})));
    EXPECT_TRUE(o.icon.empty());
    EXPECT_STREQ("hi", o.label.c_str());

    ASSERT_EQ(0, Read(wave::Pcm(1, 8000, 8, Pattern(10))));
    EXPECT_TRUE(o.icon.empty());
    EXPECT_STREQ("", o.label.c_str());
    EXPECT_EQ(0u, o.flags & (OBJ_DESCRIPTION | OBJ_STORE_ICON));
}

TEST_F(WaveFileTest, CompressedSoundsKeepTheirBlocksAndGetAFactChunk)
{
    FakeCodecFormat codec = MakeFakeCodec(1, 22050, 256);
    Bytes fmt = RecordBytes(&codec, sizeof codec), blocks = Pattern(3 * 512);
    ASSERT_EQ(0, Read(wave::Riff({Chunk("fmt ", fmt), Chunk("data", blocks)})));
    EXPECT_EQ(3, TheDocument().length);
    Bytes fact;
    wave::Put32(fact, 3 * 256);
    EXPECT_EQ(wave::Riff({Chunk("fmt ", fmt), Chunk("fact", fact), Chunk("data", blocks)}), Save());

    // Cut short inside its third block, a file keeps only the samples its
    // two whole blocks hold, and saves no more (into memory, as the clipboard).
    Bytes cut = wave::Riff({Chunk("fmt ", fmt), Chunk("fact", fact), Chunk("data", blocks)});
    cut.resize(cut.size() - 300);
    EXPECT_EQ(ERR_FILE_SHORT, Read(cut));
    ASSERT_EQ(2, TheDocument().length);
    Bytes image(TheDocument().GetSaveSize(WAVE_WRITE_FILE));
    MemoryFileInfo memory{image.data(), uint32_t(image.size())};
    ASSERT_EQ(0, SaveWave(nullptr, WAVE_WRITE_FILE, &memory));
    Bytes factTwo;
    wave::Put32(factTwo, 2 * 256);
    // The save size is an upper bound; the RIFF form says how much was written.
    image.resize(std::min<size_t>(image.size(), 8 + (image[4] | image[5] << 8 | image[6] << 16)));
    EXPECT_EQ(wave::Riff({Chunk("fmt ", fmt), Chunk("fact", factTwo), Chunk("data", Resized(blocks, 2 * 512))}),
        image);
}

TEST_F(WaveFileTest, AFailedSaveLeavesTheOldFileAsItWas)
{
    EXPECT_EQ(ERR_BAD_FILE_NAME, SaveWave("<clip>", WAVE_WRITE_FILE, nullptr));
    ASSERT_EQ(0, Read(wave::Pcm(2, 44100, 16, Pattern(400000))));
    std::string dir = in + "_dir/", target = dir + "keep.wav";
    std::filesystem::create_directories(dir);
    Bytes old = wave::Pcm(1, 8000, 8, Pattern(1000, 9));
    ASSERT_TRUE(wave::WriteFile(target, old));

    // The file system refuses writes beyond 64 KiB part-way through the save.
    struct rlimit saved, small;
    getrlimit(RLIMIT_FSIZE, &saved);
    small = saved;
    small.rlim_cur = 65536;
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    int rc = SaveWave(target.c_str(), WAVE_WRITE_FILE, nullptr);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    auto expectIntact = [&] {
        EXPECT_EQ(old, wave::ReadFile(target));
        EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir), {})) << "no temporary file is left";
        EXPECT_STREQ("in.wav", TheDocument().Name());
    };
    EXPECT_EQ(ERR_CANT_SAVE, rc);
    expectIntact();

    // A read-only file is refused, as Windows refuses it, though the folder
    // would let a rename replace it.
    namespace fs = std::filesystem;
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    fs::permissions(target, readOnly);
    EXPECT_EQ(ERR_CANT_SAVE, SaveWave(target.c_str(), WAVE_WRITE_FILE, nullptr));
    expectIntact();

    // A save that succeeds keeps the file's permissions.
    const fs::perms privateFile = fs::perms::owner_read | fs::perms::owner_write;
    fs::permissions(target, privateFile);
    EXPECT_EQ(0, SaveWave(target.c_str(), WAVE_WRITE_FILE, nullptr));
    EXPECT_EQ(privateFile, fs::status(target).permissions() & fs::perms::all);
    EXPECT_EQ(1, std::distance(fs::directory_iterator(dir), {}));
    fs::remove_all(dir);
}

TEST_F(WaveFileTest, SelectionThroughMemoryMeasuresAndPastes)
{
    Bytes samples = Pattern(1000);
    ASSERT_EQ(0, Read(wave::Pcm(1, 11025, 8, samples)));
    SetSelection(100, 50, ORIGIN_PROGRAM);
    Bytes image(TheDocument().GetSaveSize(WAVE_WRITE_SELECTION));
    MemoryFileInfo memory{image.data(), uint32_t(image.size())};
    ASSERT_EQ(0, SaveWave(nullptr, WAVE_WRITE_SELECTION, &memory));

    TheSelection().pendingLength = 0;
    ASSERT_EQ(0, Read(image, READ_MEASURE));
    EXPECT_EQ(50, TheSelection().pendingLength);
    EXPECT_EQ(samples, DocumentBytes());
    ExpectSelection(100, 50);

    SetSelection(10, 0, ORIGIN_PROGRAM);
    ASSERT_EQ(0, Read(image, READ_PASTE));
    samples.insert(samples.begin() + 10, samples.begin() + 100, samples.begin() + 150);
    EXPECT_EQ(samples, DocumentBytes());
    ExpectSelection(10, 50);
    EXPECT_EQ(1, TheDocument().changeCount);
}

// 24-bit linear PCM opens as a document of its own format, is saved back as it
// is, and becomes editable 16-bit sound by conversion.
TEST_F(WaveFileTest, TwentyFourBitSoundOpensAndConvertsToSixteen)
{
    Bytes samples;
    for (int32_t v : {0x123456, 0x1234C0, -0x123456, 0x7FFFFF, -0x800000, 0})
        samples.insert(samples.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16)});
    Bytes file = wave::Riff({Chunk("fmt ", wave::Fmt(1, 1, 48000, 24)), Chunk("data", samples)});
    ASSERT_EQ(0, Read(file));
    EXPECT_EQ(file, Save());

    KvWaveFormat sixteen = PcmFormat(1, 16, 48000);
    ASSERT_EQ(0, ConvertFormat(&sixteen));
    EXPECT_EQ(std::vector<int>({0x1234, 0x1235, -0x1234, 0x7FFF, -0x8000, 0}), FromS16(DocumentBytes()));
}

}
