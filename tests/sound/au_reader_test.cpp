// Sun/NeXT AU through the type choice: SoX's files in every encoding read,
// mu-law reaches the compression manager unaltered, and header fields that
// lie are refused with their ids.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "sound/compression_manager.h"
#include "support/reader_fixture.h"

namespace {

Bytes Au(uint32_t encoding, uint32_t channels, uint32_t rate, const Bytes& data, uint32_t offset = 24,
    int64_t claimedSize = -1)
{
    Bytes b = {'.', 's', 'n', 'd'};
    for (uint32_t v : {offset, claimedSize >= 0 ? uint32_t(claimedSize) : uint32_t(data.size()), encoding, rate,
             channels})
        b.insert(b.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
    if (offset > 24)
        b.resize(offset, 'x');
    b.insert(b.end(), data.begin(), data.end());
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
    int OpenStream(const KvWaveFormat* from, const KvWaveFormat* to, CompressionStream* stream) override
    {
        bool ok = from->wFormatTag == WAVE_TAG_MULAW && to->wFormatTag == WAVE_TAG_PCM && to->wBitsPerSample == 16
            && from->nChannels == to->nChannels && from->nSamplesPerSec == to->nSamplesPerSec;
        *stream = ok ? this : nullptr;
        return ok ? 0 : COMPRESSION_NOT_POSSIBLE;
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

class AuReaderTest : public ReaderTest {
protected:
    AuReaderTest() : ReaderTest("in.au") {}

    // An AU file SoX makes, and SoX's own decode of it.
    void MakeAu(const std::string& options, const std::string& decode)
    {
        MakeWithSox(options + " -t au", "0.3 sine 100-5000 sine 440", decode);
    }
};

TEST_F(AuReaderTest, SoxFilesOpenWithTheFormatAndSamplesSoxReports)
{
    struct {
        const char* encoding;
        int bits, channels;
        uint16_t tag;
        const char* decode;     // how SoX writes the document's samples
    } cases[] = {
        {"mu-law", 8, 1, WAVE_TAG_MULAW, "-e mu-law"}, {"mu-law", 8, 2, WAVE_TAG_MULAW, "-e mu-law"},
        {"signed", 8, 1, WAVE_TAG_PCM, "-e unsigned -b 8"}, {"signed", 8, 2, WAVE_TAG_PCM, "-e unsigned -b 8"},
        {"signed", 16, 1, WAVE_TAG_PCM, "-e signed -b 16 -L"}, {"signed", 16, 2, WAVE_TAG_PCM, "-e signed -b 16 -L"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.encoding << " " << c.bits << "-bit " << c.channels << "ch");
        ASSERT_NO_FATAL_FAILURE(MakeAu("-r 11025 -c " + std::to_string(c.channels) + " -b "
            + std::to_string(c.bits) + " -e " + c.encoding, c.decode));
        ASSERT_EQ(0, Read(wave::ReadFile(in)));
        const KvWaveFormat* f = TheDocument().format.Record();
        EXPECT_EQ(c.tag, f->wFormatTag);
        EXPECT_EQ(SoxInfo("-r"), long(f->nSamplesPerSec));
        EXPECT_EQ(SoxInfo("-c"), long(f->nChannels));
        EXPECT_EQ(c.bits, f->wBitsPerSample);
        EXPECT_EQ(SoxInfo("-s"), long(TheDocument().length));
        EXPECT_EQ(wave::ReadFile(ref), DocumentBytes());
    }
}

TEST_F(AuReaderTest, PastedMulawIsDecodedByTheCompressionManagerAsSoxDecodesIt)
{
    KvWaveFormat f = {WAVE_TAG_PCM, 2, 11025, 44100, 4, 16, 0};
    ASSERT_EQ(0, TheDocument().NewSound(nullptr, &f));
    ASSERT_NO_FATAL_FAILURE(MakeAu("-r 11025 -c 2 -e mu-law", "-e signed -b 16 -L"));
    // Without a manager there is no way from mu-law to PCM.
    EXPECT_EQ(ERR_CANT_CONVERT, Read(wave::ReadFile(in), READ_PASTE));
    EXPECT_EQ(0, TheDocument().length);
    MulawManager manager;
    ASSERT_EQ(0, Read(wave::ReadFile(in), READ_PASTE));
    EXPECT_EQ(wave::ReadFile(ref), DocumentBytes());
}

TEST_F(AuReaderTest, DataSizeBoundsTheSamples)
{
    // Unknown: to the end of the file, behind an annotation.
    ASSERT_EQ(0, Read(Au(2, 1, 8000, {0x00, 0x80, 0x7F}, 40, 0xFFFFFFFF)));
    EXPECT_EQ(Bytes({0x80, 0x00, 0xFF}), DocumentBytes());
    ASSERT_EQ(0, Read(Au(2, 1, 8000, {0x00, 0x80, 0x7F}, 24, 2)));
    EXPECT_EQ(Bytes({0x80, 0x00}), DocumentBytes());
    // More than the file holds: what is there loads and the file is reported.
    EXPECT_EQ(ERR_FILE_SHORT, Read(Au(3, 1, 8000, {0x12, 0x34, 0x56}, 24, 100)));
    EXPECT_EQ(Bytes({0x34, 0x12}), DocumentBytes());
    // None: an empty sound of the file's format.
    ASSERT_EQ(0, Read(Au(3, 2, 22050, {})));
    EXPECT_EQ(0, TheDocument().length);
    EXPECT_EQ(4, TheDocument().format.BlockAlign());
}

TEST_F(AuReaderTest, DamagedFilesAreRefusedWithTheirIds)
{
    Bytes data(8, 0x40), cut = Au(2, 1, 8000, {}), farOffset = Au(2, 1, 8000, data);
    cut.resize(20);
    farOffset[7] = 200;
    struct {
        const char* what;
        Bytes file;
        int rc;
    } cases[] = {
        {"header cut", cut, ERR_FILE_SHORT},
        {"short and not AU", {'.', 's', 'n'}, ERR_NOT_SOUND_FILE},
        {"offset inside the header", Au(2, 1, 8000, data, 20), ERR_UNSUPPORTED_FORMAT},
        {"offset past the file end", farOffset, ERR_FILE_SHORT},
        {"24-bit linear", Au(4, 1, 8000, data), ERR_UNSUPPORTED_COMPRESSION},
        {"float", Au(6, 1, 8000, data), ERR_UNSUPPORTED_COMPRESSION},
        {"three channels", Au(2, 3, 8000, data), ERR_UNSUPPORTED_FORMAT},
        {"no channels", Au(1, 0, 8000, data), ERR_UNSUPPORTED_FORMAT},
        {"no rate", Au(3, 1, 0, data), ERR_UNSUPPORTED_FORMAT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.rc, Read(c.file));
    }
}

}
