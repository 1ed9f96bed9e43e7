// Sun/NeXT AU files through the type choice: SoX's own files in every
// encoding read, and header fields that lie refused with their ids.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/app.h"
#include "app/app_options.h"
#include "app/builtin_strings.h"
#include "app/error_message.h"
#include "edit/actions.h"
#include "sound/compression_manager.h"
#include "sound/document.h"
#include "sound/sound_file.h"
#include "sound/wave_file.h"
#include "support/test_host.h"
#include "support/wave_builder.h"

using wave::Bytes;

namespace {

void PutBE32(Bytes& b, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        b.push_back(uint8_t(v >> shift));
}

Bytes Au(uint32_t encoding, uint32_t channels, uint32_t rate, const Bytes& data,
    uint32_t offset = 24, int64_t claimedSize = -1)
{
    Bytes b = {'.', 's', 'n', 'd'};
    PutBE32(b, offset);
    PutBE32(b, claimedSize >= 0 ? uint32_t(claimedSize) : uint32_t(data.size()));
    PutBE32(b, encoding);
    PutBE32(b, rate);
    PutBE32(b, channels);
    if (offset > 24)
        b.resize(offset, 'x');
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

Bytes Cut(Bytes b, size_t keep)
{
    b.resize(keep);
    return b;
}

Bytes WithByte(Bytes b, size_t at, uint8_t value)
{
    b[at] = value;
    return b;
}

// A manager whose one codec is G.711 mu-law to 16-bit PCM of the same rate
// and channels, as the system's is.
class MulawManager : public CompressionManager {
public:
    MulawManager() { SetCompressionManager(this); }
    ~MulawManager() override { SetCompressionManager(nullptr); }
    uint32_t Version() const override { return 0x02000000; }
    bool GetTagName(uint16_t, char*, int) override { return false; }
    int OpenStream(const KvWaveFormat* source, const KvWaveFormat* destination, CompressionStream* stream) override
    {
        *stream = nullptr;
        if (source->wFormatTag != WAVE_TAG_MULAW || destination->wFormatTag != WAVE_TAG_PCM
            || destination->wBitsPerSample != 16 || source->nChannels != destination->nChannels
            || source->nSamplesPerSec != destination->nSamplesPerSec)
            return COMPRESSION_NOT_POSSIBLE;
        *stream = this;
        return 0;
    }
    int StreamSize(CompressionStream, uint32_t sourceBytes, uint32_t* destinationBytes) override
    {
        *destinationBytes = sourceBytes * 2;
        return 0;
    }
    int ConvertStream(CompressionStream, StreamConversion& c, uint32_t) override
    {
        uint32_t n = std::min(c.sourceBytes, c.destinationBytes / 2);
        for (uint32_t i = 0; i < n; i++) {
            uint8_t u = uint8_t(~c.source[i]);
            int magnitude = (((u & 0x0F) << 3) + 0x84) << ((u >> 4) & 7);
            int16_t v = int16_t(u & 0x80 ? 0x84 - magnitude : magnitude - 0x84);
            std::memcpy(c.destination + 2 * i, &v, 2);
        }
        c.sourceUsed = n;
        c.destinationUsed = 2 * n;
        return 0;
    }
};

class AuReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadBuiltInStrings());
        ResetApp();
        ResetAppOptions();
        ResetSelection();
        ASSERT_EQ(0, TheDocument().NewSound(nullptr, nullptr));
        ResetUndoHistory(ACTSTATE_READY);
        dir = ::testing::TempDir() + "kv_au_"
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

    int Open(const Bytes& bytes, const char* name = "in.au")
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

TEST_F(AuReaderTest, SoxFilesOpenWithTheFormatAndSamplesSoxReports)
{
    struct Case {
        const char* encoding;
        int bits;
        int channels;
        uint16_t tag;
        const char* decode;     // how SoX writes the document's samples
    } cases[] = {
        {"mu-law", 8, 1, WAVE_TAG_MULAW, "-e mu-law"},
        {"mu-law", 8, 2, WAVE_TAG_MULAW, "-e mu-law"},
        {"signed", 8, 1, WAVE_TAG_PCM, "-e unsigned -b 8"},
        {"signed", 8, 2, WAVE_TAG_PCM, "-e unsigned -b 8"},
        {"signed", 16, 1, WAVE_TAG_PCM, "-e signed -b 16 -L"},
        {"signed", 16, 2, WAVE_TAG_PCM, "-e signed -b 16 -L"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.encoding << " " << c.bits << "-bit " << c.channels << "ch");
        Sox("-n -r 11025 -c " + std::to_string(c.channels) + " -b " + std::to_string(c.bits) + " -e "
            + c.encoding + " -t au " + dir + "in.au synth 0.3 sine 100-5000 sine 440");
        Sox(dir + "in.au -t raw " + c.decode + " " + dir + "ref.raw");
        ASSERT_EQ(0, Read("in.au", READ_OPEN));
        const KvWaveFormat* f = TheDocument().format.Record();
        EXPECT_EQ(c.tag, f->wFormatTag);
        EXPECT_EQ(SoxInfo("-r", "in.au"), long(f->nSamplesPerSec));
        EXPECT_EQ(SoxInfo("-c", "in.au"), long(f->nChannels));
        EXPECT_EQ(c.bits, f->wBitsPerSample);
        EXPECT_EQ(SoxInfo("-s", "in.au"), long(TheDocument().length));
        EXPECT_EQ(wave::ReadFile(dir + "ref.raw"), DocumentBytes());
    }
}

TEST_F(AuReaderTest, PastedMulawIsDecodedByTheCompressionManagerAsSoxDecodesIt)
{
    KvWaveFormat f = {WAVE_TAG_PCM, 2, 11025, 44100, 4, 16, 0};
    ASSERT_EQ(0, TheDocument().NewSound(nullptr, &f));
    Sox("-n -r 11025 -c 2 -e mu-law -t au " + dir + "in.au synth 0.3 sine 100-5000 sine 440");
    Sox(dir + "in.au -t raw -e signed -b 16 -L " + dir + "ref.raw");
    // Without a manager there is no way from mu-law to PCM.
    EXPECT_EQ(ERR_CANT_CONVERT, Read("in.au", READ_PASTE));
    EXPECT_EQ(0, TheDocument().length);
    MulawManager manager;
    ASSERT_EQ(0, Read("in.au", READ_PASTE));
    EXPECT_EQ(wave::ReadFile(dir + "ref.raw"), DocumentBytes());
}

TEST_F(AuReaderTest, UnknownSizeRunsToTheEndAndOffsetSkipsTheAnnotation)
{
    ASSERT_EQ(0, Open(Au(2, 1, 8000, {0x00, 0x80, 0x7F}, 40, 0xFFFFFFFF)));
    EXPECT_EQ(Bytes({0x80, 0x00, 0xFF}), DocumentBytes());
    // A size below the file's data reads only what it says.
    ASSERT_EQ(0, Open(Au(2, 1, 8000, {0x00, 0x80, 0x7F}, 24, 2)));
    EXPECT_EQ(Bytes({0x80, 0x00}), DocumentBytes());
}

TEST_F(AuReaderTest, NoDataGivesAnEmptySound)
{
    ASSERT_EQ(0, Open(Au(3, 2, 22050, {})));
    EXPECT_EQ(0, TheDocument().length);
    EXPECT_EQ(4, TheDocument().format.BlockAlign());
}

TEST_F(AuReaderTest, DataShorterThanPromisedLoadsWhatIsThereAndIsReported)
{
    EXPECT_EQ(ERR_FILE_SHORT, Open(Au(3, 1, 8000, {0x12, 0x34, 0x56}, 24, 100)));
    EXPECT_EQ(Bytes({0x34, 0x12}), DocumentBytes());
}

TEST_F(AuReaderTest, DamagedFilesAreRefusedWithTheirIds)
{
    Bytes data(8, 0x40);
    struct Case {
        const char* what;
        Bytes file;
        int rc;
    } cases[] = {
        {"header cut", Cut(Au(2, 1, 8000, {}), 20), ERR_FILE_SHORT},
        {"short and not AU", Bytes({'.', 's', 'n'}), ERR_NOT_SOUND_FILE},
        {"offset inside the header", Au(2, 1, 8000, data, 20), ERR_UNSUPPORTED_FORMAT},
        {"offset past the file end", WithByte(Au(2, 1, 8000, data), 7, 200), ERR_FILE_SHORT},
        {"24-bit linear", Au(4, 1, 8000, data), ERR_UNSUPPORTED_COMPRESSION},
        {"float", Au(6, 1, 8000, data), ERR_UNSUPPORTED_COMPRESSION},
        {"three channels", Au(2, 3, 8000, data), ERR_UNSUPPORTED_FORMAT},
        {"no channels", Au(1, 0, 8000, data), ERR_UNSUPPORTED_FORMAT},
        {"no rate", Au(3, 1, 0, data), ERR_UNSUPPORTED_FORMAT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.rc, Open(c.file));
    }
}

}
