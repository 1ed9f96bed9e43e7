// WAVE files through the public reader and writer: round trips byte for byte,
// damaged files refused with their ids, saving that never destroys the old file.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <string>

#include "app/app.h"
#include "app/app_options.h"
#include "app/builtin_strings.h"
#include "app/error_message.h"
#include "app/object_options.h"
#include "edit/actions.h"
#include "sound/converter.h"
#include "sound/document.h"
#include "sound/wave_file.h"
#include "support/test_host.h"
#include "support/wave_builder.h"

using wave::Bytes;
using wave::Chunk;

namespace {

Bytes Pattern(size_t n, uint8_t seed = 1)
{
    Bytes b(n);
    for (size_t i = 0; i < n; i++)
        b[i] = uint8_t(seed + i * 37 + (i >> 8));
    return b;
}

class WaveFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadBuiltInStrings());
        ResetApp();
        ResetAppOptions();
        ResetObjectOptions();
        ResetSelection();
        ASSERT_EQ(0, TheDocument().NewSound(nullptr, nullptr));
        ResetUndoHistory(ACTSTATE_READY);
        dir = ::testing::TempDir() + "kv_wave_" + ::testing::UnitTest::GetInstance()
                                                      ->current_test_info()->name() + "/";
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    // Opens a file as the document the way the file commands do.
    int Open(const Bytes& bytes, const char* name = "in.wav")
    {
        std::string path = dir + name;
        EXPECT_TRUE(wave::WriteFile(path, bytes));
        ResetUndoHistory(ACTSTATE_LOADING);
        int rc = LoadWave(path.c_str(), READ_OPEN, nullptr);
        ResetUndoHistory(ACTSTATE_READY);
        return rc;
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

    Bytes Save(int expected = 0)
    {
        std::string path = dir + "out.wav";
        EXPECT_EQ(expected, SaveWave(path.c_str(), WAVE_WRITE_FILE, nullptr));
        return wave::ReadFile(path);
    }

    TestHost host;
    std::string dir;
};

TEST_F(WaveFileTest, EveryPcmFormatRoundTripsByteForByte)
{
    for (uint16_t channels : {1, 2}) {
        for (uint16_t bits : {8, 16}) {
            for (uint32_t rate : {8000u, 11025u, 22050u, 44100u, 48000u}) {
                SCOPED_TRACE(testing::Message() << channels << "ch " << bits << "bit " << rate);
                size_t align = channels * bits / 8;
                Bytes samples = Pattern(12347 * align, uint8_t(rate));
                Bytes file = wave::Pcm(channels, rate, bits, samples);
                ASSERT_EQ(0, Open(file));
                const KvWaveFormat* f = TheDocument().format.Record();
                EXPECT_EQ(channels, f->nChannels);
                EXPECT_EQ(bits, f->wBitsPerSample);
                EXPECT_EQ(rate, f->nSamplesPerSec);
                EXPECT_EQ(12347, TheDocument().length);
                EXPECT_EQ(0, TheDocument().changeCount);
                EXPECT_EQ(samples, DocumentBytes());
                EXPECT_EQ(file, Save());
            }
        }
    }
}

TEST_F(WaveFileTest, EighteenByteFormatChunkIsWrittenBackAsSixteen)
{
    Bytes samples = Pattern(400);
    ASSERT_EQ(0, Open(wave::Riff({Chunk("fmt ", wave::Fmt(1, 2, 22050, 16, 0)),
                                  Chunk("data", samples)})));
    EXPECT_EQ(16u, TheDocument().format.Size());
    EXPECT_EQ(wave::Pcm(2, 22050, 16, samples), Save());
}

TEST_F(WaveFileTest, OddDataSizeLoadsTheWholeBlocks)
{
    Bytes samples = Pattern(1001);
    ASSERT_EQ(0, Open(wave::Riff({Chunk("fmt ", wave::Fmt(1, 1, 11025, 16)),
                                  Chunk("data", samples)})));
    EXPECT_EQ(500, TheDocument().length);
    samples.pop_back();
    EXPECT_EQ(samples, DocumentBytes());
}

TEST_F(WaveFileTest, UnknownChunksAroundTheFormatAreSkipped)
{
    Bytes samples = Pattern(77);
    ASSERT_EQ(0, Open(wave::Riff({Chunk("junk", Pattern(3)), Chunk("LIST", {'a', 'd', 't', 'l'}),
                                  Chunk("fmt ", wave::Fmt(1, 1, 8000, 8)), Chunk("cue ", Pattern(5)),
                                  Chunk("data", samples), Chunk("smpl", Pattern(9))})));
    EXPECT_EQ(samples, DocumentBytes());
}

TEST_F(WaveFileTest, DamagedFilesAreRefusedWithTheirIds)
{
    Bytes fmt = Chunk("fmt ", wave::Fmt(1, 1, 8000, 8));
    Bytes data = Chunk("data", Pattern(10));
    struct Case {
        const char* what;
        Bytes file;
        int rc;
    } cases[] = {
        {"data before fmt", wave::Riff({data, fmt}), ERR_FILE_SHORT},
        {"no data", wave::Riff({fmt}), ERR_FILE_SHORT},
        {"no fmt", wave::Riff({data}), ERR_FILE_SHORT},
        {"not WAVE", wave::Riff({fmt, data}, "AVI "), ERR_NOT_SOUND_FILE},
        {"not RIFF", Bytes{'R', 'I', 'F', 'X', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, ERR_NOT_SOUND_FILE},
        {"empty", Bytes{}, ERR_NOT_SOUND_FILE},
        {"fmt of 13 bytes", wave::Riff({Chunk("fmt ", Pattern(13)), data}),
            ERR_UNSUPPORTED_COMPRESSION},
        {"format not valid", wave::Riff({Chunk("fmt ", wave::Fmt(1, 0, 8000, 8)), data}),
            ERR_UNSUPPORTED_FORMAT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.rc, Open(c.file));
        EXPECT_EQ(ACTSTATE_READY, TheApp().actionState);
    }
}

TEST_F(WaveFileTest, DataClaimingMoreThanTheFileHoldsReadsWhatIsThereAndSaysSo)
{
    Bytes samples = Pattern(3000);
    Bytes file = wave::Riff(
        {Chunk("fmt ", wave::Fmt(1, 1, 11025, 16)), Chunk("data", samples, 100000)});
    EXPECT_EQ(ERR_FILE_SHORT, Open(file));
    EXPECT_EQ(1500, TheDocument().length);
    EXPECT_EQ(samples, DocumentBytes());
}

TEST_F(WaveFileTest, DescriptionChunksAreReadAndWrittenBack)
{
    Bytes info = {'I', 'N', 'F', 'O'};
    for (const Bytes& c : {Chunk("ISBJ", Bytes{'h', 'e', 'l', 'l', 'o', 0}),
             Chunk("ICRD", Bytes{'2', '0', '2', '6', '-', '1', '2', '-', '0', '5', ' ', '1', '4',
                               ':', '0', '5', ':', '0', '9', ' ', '6', 0}),
             Chunk("odsp", Bytes{17, 0, 0, 0})})
        info.insert(info.end(), c.begin(), c.end());
    Bytes disp = {8, 0, 0, 0};
    Bytes icon = Pattern(41);
    disp.insert(disp.end(), icon.begin(), icon.end());
    Bytes file = wave::Riff({Chunk("fmt ", wave::Fmt(1, 1, 11025, 8)), Chunk("LIST", info),
        Chunk("DISP", disp), Chunk("data", Pattern(99))});
    ASSERT_EQ(0, Open(file));
    const ObjectOptions& o = TheObjectOptions();
    EXPECT_STREQ("hello", o.label.c_str());
    EXPECT_EQ(2026, o.date.year);
    EXPECT_EQ(12, o.date.month);
    EXPECT_EQ(5, o.date.day);
    EXPECT_EQ(14, o.date.hour);
    EXPECT_EQ(9, o.date.second);
    EXPECT_EQ(6, o.date.dayOfWeek);
    EXPECT_EQ(17u, o.flags);
    EXPECT_EQ(icon, o.icon);
    EXPECT_EQ(file, Save());
}

TEST_F(WaveFileTest, ADescriptionWithoutItsChunksClearsTheOldOne)
{
    TheObjectOptions().icon = Pattern(10);
    ASSERT_EQ(0, Open(wave::Pcm(1, 8000, 8, Pattern(10))));
    EXPECT_TRUE(TheObjectOptions().icon.empty());
    EXPECT_STREQ("", TheObjectOptions().label.c_str());
    EXPECT_EQ(0u, TheObjectOptions().flags & (OBJ_DESCRIPTION | OBJ_STORE_ICON));
}

TEST_F(WaveFileTest, CompressedSoundsKeepTheirBlocksAndGetAFactChunk)
{
    // IMA ADPCM, 22050 Hz mono: 512-byte blocks of 1017 samples.
    Bytes fmt;
    wave::Put16(fmt, 0x11);
    wave::Put16(fmt, 1);
    wave::Put32(fmt, 22050);
    wave::Put32(fmt, 11100);
    wave::Put16(fmt, 512);
    wave::Put16(fmt, 4);
    wave::Put16(fmt, 2);
    wave::Put16(fmt, 1017);
    Bytes blocks = Pattern(3 * 512);
    ASSERT_EQ(0, Open(wave::Riff({Chunk("fmt ", fmt), Chunk("data", blocks)})));
    EXPECT_EQ(3, TheDocument().length);
    Bytes saved = Save();
    Bytes fact;
    wave::Put32(fact, uint32_t(TheDocument().format.BlocksToSamples(3)));
    EXPECT_EQ(wave::Riff({Chunk("fmt ", fmt), Chunk("fact", fact), Chunk("data", blocks)}), saved);
}

TEST_F(WaveFileTest, SavingWithABadNameIsRefused)
{
    EXPECT_EQ(ERR_BAD_FILE_NAME, SaveWave("<clip>", WAVE_WRITE_FILE, nullptr));
    EXPECT_EQ(ERR_BAD_FILE_NAME, SaveWave("", WAVE_WRITE_FILE, nullptr));
}

TEST_F(WaveFileTest, AFailedSaveLeavesTheOldFileAsItWas)
{
    ASSERT_EQ(0, Open(wave::Pcm(2, 44100, 16, Pattern(400000))));
    std::string target = dir + "keep.wav";
    Bytes old = wave::Pcm(1, 8000, 8, Pattern(1000, 9));
    ASSERT_TRUE(wave::WriteFile(target, old));

    // The file system refuses writes beyond 64 KiB part-way through the save.
    struct rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit small = saved;
    small.rlim_cur = 65536;
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    int rc = SaveWave(target.c_str(), WAVE_WRITE_FILE, nullptr);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(ERR_CANT_SAVE, rc);
    EXPECT_EQ(old, wave::ReadFile(target));
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir),
                     std::filesystem::directory_iterator()) - 1)
        << "only in.wav and keep.wav remain";
    EXPECT_STREQ((dir + "in.wav").c_str(), TheDocument().Name());
}

TEST_F(WaveFileTest, SelectionThroughMemoryMeasuresAndPastes)
{
    Bytes samples = Pattern(1000);
    ASSERT_EQ(0, Open(wave::Pcm(1, 11025, 8, samples)));
    CKV_Document& doc = TheDocument();
    Selection& sel = TheSelection();
    sel.selStart = 100;
    sel.selLength = 50;
    Bytes image(doc.GetSaveSize(WAVE_WRITE_SELECTION));
    MemoryFileInfo memory{image.data(), uint32_t(image.size())};
    ASSERT_EQ(0, SaveWave(nullptr, WAVE_WRITE_SELECTION, &memory));

    sel.pendingLength = 0;
    memory = MemoryFileInfo{image.data(), uint32_t(image.size())};
    ASSERT_EQ(0, LoadWave(nullptr, READ_MEASURE, &memory));
    EXPECT_EQ(50, sel.pendingLength);
    EXPECT_EQ(1000, doc.length);
    EXPECT_EQ(100, sel.selStart);
    EXPECT_EQ(0, doc.changeCount);

    // Pasted at a cursor: inserted there.
    sel.selStart = 10;
    sel.selLength = 0;
    memory = MemoryFileInfo{image.data(), uint32_t(image.size())};
    ASSERT_EQ(0, LoadWave(nullptr, READ_PASTE, &memory));
    Bytes expected(samples.begin(), samples.begin() + 10);
    expected.insert(expected.end(), samples.begin() + 100, samples.begin() + 150);
    expected.insert(expected.end(), samples.begin() + 10, samples.end());
    EXPECT_EQ(expected, DocumentBytes());
    EXPECT_EQ(10, sel.selStart);
    EXPECT_EQ(50, sel.selLength);
    EXPECT_EQ(1, doc.changeCount);
}

TEST_F(WaveFileTest, PastingAnotherFormatConvertsItToTheDocumentsFormat)
{
    ASSERT_EQ(0, Open(wave::Pcm(1, 11025, 8, Pattern(100))));
    std::string other = dir + "other.wav";
    Bytes source = Pattern(400, 3);     // 100 blocks of 16-bit stereo at 44100 Hz
    ASSERT_TRUE(wave::WriteFile(other, wave::Pcm(2, 44100, 16, source)));
    TheSelection().selStart = 0;
    TheSelection().selLength = 0;
    ASSERT_EQ(0, LoadWave(other.c_str(), READ_PASTE, nullptr));
    // A quarter of the rate: every fourth block, the left channel's high byte.
    Bytes doc = DocumentBytes();
    ASSERT_EQ(125u, doc.size());
    for (size_t k = 0; k < 25; k++)
        EXPECT_EQ(uint8_t(source[16 * k + 1] ^ 0x80), doc[k]) << k;
    EXPECT_EQ(25, TheSelection().selLength);
}

}

namespace {

// 24-bit linear PCM opens as a document of its own format, is saved back as it
// is, and becomes editable 16-bit sound by conversion.
TEST_F(WaveFileTest, TwentyFourBitSoundOpensAndConvertsToSixteen)
{
    const int32_t values[] = {0x123456, 0x1234C0, -0x123456, 0x7FFFFF, -0x800000, 0};
    Bytes samples;
    for (int32_t v : values)
        for (int i = 0; i < 3; i++)
            samples.push_back(uint8_t(uint32_t(v) >> (8 * i)));
    Bytes file = wave::Riff({Chunk("fmt ", wave::Fmt(1, 1, 48000, 24)), Chunk("data", samples)});
    // The builder derives the block size for 8 and 16 bits only.
    file[32] = 3;
    file[28] = uint8_t(48000 * 3);
    file[29] = uint8_t((48000 * 3) >> 8);
    file[30] = uint8_t((48000 * 3) >> 16);
    ASSERT_EQ(0, Open(file));
    CKV_Document& doc = TheDocument();
    EXPECT_EQ(24, doc.format.Record()->wBitsPerSample);
    EXPECT_EQ(6, doc.length);
    EXPECT_FALSE(doc.format.IsPcm());
    EXPECT_EQ(file, Save());

    KvWaveFormat sixteen = {1, 1, 48000, 96000, 2, 16, 0};
    ASSERT_EQ(0, ConvertFormat(&sixteen));
    ASSERT_TRUE(doc.format.IsPcm());
    const int16_t expected[] = {0x1234, 0x1235, -0x1234, 0x7FFF, -0x8000, 0};
    Bytes converted = DocumentBytes();
    ASSERT_EQ(12u, converted.size());
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(expected[i], int16_t(converted[2 * i] | converted[2 * i + 1] << 8)) << i;
}

}
