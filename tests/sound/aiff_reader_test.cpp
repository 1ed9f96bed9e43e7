// AIFF and AIFC files through the type choice: files made by SoX open with
// the format and samples SoX itself reports, files built here probe the
// chunk search, and every size field that lies is refused with its id.
#include <gtest/gtest.h>

#include <cmath>
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
#include "support/test_host.h"
#include "support/wave_builder.h"

using wave::Bytes;

namespace {

void PutBE16(Bytes& b, uint32_t v)
{
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v));
}

void PutBE32(Bytes& b, uint32_t v)
{
    PutBE16(b, v >> 16);
    PutBE16(b, v & 0xFFFF);
}

// An IFF chunk: big-endian size (or the size claimed), pad byte after an odd body.
Bytes IffChunk(const char* id, const Bytes& body, int64_t claimed = -1)
{
    Bytes b(id, id + 4);
    PutBE32(b, claimed >= 0 ? uint32_t(claimed) : uint32_t(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() & 1)
        b.push_back(0);
    return b;
}

// The rate as an 80-bit IEEE extended number.
void PutExtended(Bytes& b, double rate)
{
    int exp = 0;
    double f = std::frexp(std::fabs(rate), &exp);
    uint64_t mantissa = uint64_t(std::ldexp(f, 64));
    PutBE16(b, (rate < 0 ? 0x8000 : 0) | (rate != 0 ? uint32_t(16383 + exp - 1) : 0));
    PutBE32(b, uint32_t(mantissa >> 32));
    PutBE32(b, uint32_t(mantissa));
}

Bytes Comm(int channels, uint32_t frames, int sampleSize, double rate, const char* compression = nullptr)
{
    Bytes b;
    PutBE16(b, uint16_t(channels));
    PutBE32(b, frames);
    PutBE16(b, uint16_t(sampleSize));
    PutExtended(b, rate);
    if (compression)
        b.insert(b.end(), compression, compression + 4);
    return b;
}

Bytes Ssnd(const Bytes& frames)
{
    Bytes b(8, 0);
    b.insert(b.end(), frames.begin(), frames.end());
    return b;
}

Bytes Cut(Bytes b, size_t n)
{
    b.resize(b.size() - n);
    return b;
}

Bytes Form(const std::vector<Bytes>& chunks, const char* type = "AIFF", int64_t claimed = -1)
{
    Bytes body(type, type + 4);
    for (const Bytes& c : chunks)
        body.insert(body.end(), c.begin(), c.end());
    return IffChunk("FORM", body, claimed);
}

class AiffReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadBuiltInStrings());
        ResetApp();
        ResetAppOptions();
        ResetSelection();
        ASSERT_EQ(0, TheDocument().NewSound(nullptr, nullptr));
        ResetUndoHistory(ACTSTATE_READY);
        dir = ::testing::TempDir() + "kv_aiff_"
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

    int Open(const Bytes& bytes, const char* name = "in.aif")
    {
        EXPECT_TRUE(wave::WriteFile(dir + name, bytes));
        return Read(name, READ_OPEN);
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

    // Runs SoX, which scripts/setup.sh installs.
    void Sox(const std::string& args)
    {
        ASSERT_EQ(0, std::system("sox --version >/dev/null 2>&1"))
            << "sox is not installed: run scripts/setup.sh";
        ASSERT_EQ(0, std::system(("sox " + args).c_str())) << "sox " << args;
    }

    long SoxInfo(const char* option, const std::string& name)
    {
        std::string command = "sox --i " + std::string(option) + " " + dir + name;
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

TEST_F(AiffReaderTest, SoxFilesOpenWithTheFormatAndSamplesSoxReports)
{
    struct Case {
        const char* type;
        int bits;
        int channels;
        int rate;
    } cases[] = {
        {"aiff", 8, 1, 11025}, {"aiff", 8, 2, 22050}, {"aiff", 16, 1, 8000},
        {"aiff", 16, 2, 44100}, {"aifc", 16, 2, 22050}, {"aifc", 8, 1, 8000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " " << c.bits << "-bit " << c.channels << "ch");
        std::string spec = " -r " + std::to_string(c.rate) + " -c " + std::to_string(c.channels)
            + " -b " + std::to_string(c.bits) + " -e signed ";
        Sox("-n" + spec + "-t " + c.type + " " + dir + "in.aif synth 0.4 sine 200-5000 sine 330");
        Sox(dir + "in.aif -t raw -e " + (c.bits == 8 ? "unsigned" : "signed -L") + " " + dir + "ref.raw");
        ASSERT_EQ(0, Read("in.aif", READ_OPEN));
        const KvWaveFormat* f = TheDocument().format.Record();
        EXPECT_EQ(WAVE_TAG_PCM, f->wFormatTag);
        EXPECT_EQ(SoxInfo("-r", "in.aif"), long(f->nSamplesPerSec));
        EXPECT_EQ(SoxInfo("-c", "in.aif"), long(f->nChannels));
        EXPECT_EQ(SoxInfo("-b", "in.aif"), long(f->wBitsPerSample));
        EXPECT_EQ(SoxInfo("-s", "in.aif"), long(TheDocument().length));
        EXPECT_EQ(wave::ReadFile(dir + "ref.raw"), DocumentBytes());
    }
}

TEST_F(AiffReaderTest, RateIsTruncatedAndNarrowSamplesReadLeftJustified)
{
    // 12-bit points lie in the top of 16-bit words.
    Bytes frames = {0x12, 0x30, 0xFE, 0xD0};
    ASSERT_EQ(0, Open(Form({IffChunk("COMM", Comm(1, 2, 12, 11025.75)), IffChunk("SSND", Ssnd(frames))})));
    EXPECT_EQ(11025u, TheDocument().format.Record()->nSamplesPerSec);
    EXPECT_EQ(16, TheDocument().format.Record()->wBitsPerSample);
    EXPECT_EQ(Bytes({0x30, 0x12, 0xD0, 0xFE}), DocumentBytes());
}

TEST_F(AiffReaderTest, ChunksInAnyOrderWithOddPadsAreFound)
{
    Bytes frames = {0x00, 0x7F, 0x80, 0xFF, 0x01};
    ASSERT_EQ(0, Open(Form({IffChunk("SSND", Ssnd(frames)), IffChunk("NAME", {'o', 'd', 'd'}),
                            IffChunk("COMM", Comm(1, 5, 8, 8000)), IffChunk("ANNO", {'x'})})));
    EXPECT_EQ(Bytes({0x80, 0xFF, 0x00, 0x7F, 0x81}), DocumentBytes());
}

TEST_F(AiffReaderTest, NoFramesGiveAnEmptySoundNamedAfterTheFile)
{
    ASSERT_EQ(0, Open(Form({IffChunk("COMM", Comm(2, 0, 16, 22050))}), "empty.aif"));
    EXPECT_EQ(0, TheDocument().length);
    EXPECT_EQ(2, TheDocument().format.Record()->nChannels);
    EXPECT_NE(std::string::npos, std::string(TheDocument().Name()).find("empty.aif"));
}

TEST_F(AiffReaderTest, DataShorterThanPromisedLoadsWhatIsThereAndIsReported)
{
    Bytes frames = {1, 2, 3, 4, 5, 6};
    // COMM counts 10 stereo 8-bit frames; the file holds 3.
    EXPECT_EQ(ERR_FILE_SHORT, Open(Form({IffChunk("COMM", Comm(2, 10, 8, 8000)),
                                         IffChunk("SSND", Ssnd(frames), 28)})));
    EXPECT_EQ(Bytes({0x81, 0x82, 0x83, 0x84, 0x85, 0x86}), DocumentBytes());
    // An SSND chunk smaller than the frames COMM counts.
    Bytes file = Form({IffChunk("COMM", Comm(1, 6, 8, 8000)), IffChunk("SSND", Ssnd(frames), 12)});
    EXPECT_EQ(ERR_FILE_SHORT, Open(file));
    EXPECT_EQ(Bytes({0x81, 0x82, 0x83, 0x84}), DocumentBytes());
}

TEST_F(AiffReaderTest, DamagedFilesAreRefusedWithTheirIds)
{
    Bytes ssnd = IffChunk("SSND", Ssnd({1, 2}));
    Bytes comm = IffChunk("COMM", Comm(1, 2, 8, 8000));
    struct Case {
        const char* what;
        Bytes file;
        int rc;
    } cases[] = {
        {"form type cut", Bytes({'F', 'O', 'R', 'M', 0, 0, 0, 4, 'A', 'I'}), ERR_FILE_SHORT},
        {"form size below its type", Form({comm, ssnd}, "AIFF", 2), ERR_FILE_SHORT},
        {"other form type", Form({comm, ssnd}, "8SVX"), ERR_NOT_SOUND_FILE},
        {"no COMM", Form({ssnd}), ERR_NOT_SOUND_FILE},
        {"no SSND", Form({comm}), ERR_NOT_SOUND_FILE},
        {"COMM too small", Form({IffChunk("COMM", Bytes(17, 0)), ssnd}), ERR_FILE_SHORT},
        {"COMM cut by the file end", Cut(Form({comm}), 4), ERR_FILE_SHORT},
        {"chunk past the file end", Form({IffChunk("JUNK", {1, 2}, 400), comm, ssnd}, "AIFF", 1000),
            ERR_FILE_SHORT},
        {"chunk past the form end", Form({IffChunk("JUNK", {1, 2}, 400), comm, ssnd}), ERR_NOT_SOUND_FILE},
        {"SSND too small", Form({comm, IffChunk("SSND", {0, 0, 0})}), ERR_FILE_SHORT},
        {"AIFC compressed", Form({IffChunk("COMM", Comm(1, 2, 16, 8000, "ima4")), ssnd}, "AIFC"),
            ERR_UNSUPPORTED_COMPRESSION},
        {"AIFC little-endian", Form({IffChunk("COMM", Comm(1, 2, 16, 8000, "sowt")), ssnd}, "AIFC"),
            ERR_UNSUPPORTED_COMPRESSION},
        {"three channels", Form({IffChunk("COMM", Comm(3, 2, 8, 8000)), ssnd}), ERR_UNSUPPORTED_FORMAT},
        {"no channels", Form({IffChunk("COMM", Comm(0, 2, 8, 8000)), ssnd}), ERR_UNSUPPORTED_FORMAT},
        {"24-bit", Form({IffChunk("COMM", Comm(1, 2, 24, 8000)), ssnd}), ERR_UNSUPPORTED_FORMAT},
        {"rate below 1", Form({IffChunk("COMM", Comm(1, 2, 8, 0.5)), ssnd}), ERR_UNSUPPORTED_FORMAT},
        {"rate past 32 bits", Form({IffChunk("COMM", Comm(1, 2, 8, 5e9)), ssnd}), ERR_UNSUPPORTED_FORMAT},
        {"negative rate", Form({IffChunk("COMM", Comm(1, 2, 8, -8000)), ssnd}), ERR_UNSUPPORTED_FORMAT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.rc, Open(c.file));
    }
}

TEST_F(AiffReaderTest, PasteConvertsToTheDocumentFormat)
{
    KvWaveFormat f = {WAVE_TAG_PCM, 1, 8000, 16000, 2, 16, 0};
    ASSERT_EQ(0, TheDocument().NewSound(nullptr, &f));
    ASSERT_TRUE(wave::WriteFile(dir + "in.aif",
        Form({IffChunk("COMM", Comm(1, 3, 8, 8000)), IffChunk("SSND", Ssnd({0x01, 0x80, 0x7F}))})));
    ASSERT_EQ(0, Read("in.aif", READ_PASTE));
    // Signed 8-bit samples become 16-bit values × 256.
    EXPECT_EQ(Bytes({0x00, 0x01, 0x00, 0x80, 0x00, 0x7F}), DocumentBytes());
    EXPECT_EQ(1, TheDocument().changeCount);
}

}
