// AIFF and AIFC files built here through the type choice: the chunk search
// and the size checks (SoX's files: sound_file_test).
#include <cmath>

#include "support/reader_fixture.h"

namespace {

void PutBE(Bytes& b, uint32_t v, int bytes)
{
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        b.push_back(uint8_t(v >> shift));
}

Bytes IffChunk(const char* id, const Bytes& body, int64_t claimed = -1)
{
    Bytes b(id, id + 4);
    PutBE(b, claimed >= 0 ? uint32_t(claimed) : uint32_t(body.size()), 4);
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() & 1)
        b.push_back(0);
    return b;
}

// The rate as an 80-bit IEEE extended number.
Bytes Comm(int channels, uint32_t frames, int sampleSize, double rate, const char* compression = nullptr)
{
    Bytes b;
    PutBE(b, uint16_t(channels), 2);
    PutBE(b, frames, 4);
    PutBE(b, uint16_t(sampleSize), 2);
    int exp = 0;
    uint64_t mantissa = uint64_t(std::ldexp(std::frexp(std::fabs(rate), &exp), 64));
    PutBE(b, (rate < 0 ? 0x8000 : 0) | (rate != 0 ? 16383 + exp - 1 : 0), 2);
    PutBE(b, uint32_t(mantissa >> 32), 4);
    PutBE(b, uint32_t(mantissa), 4);
    if (compression)
        b.insert(b.end(), compression, compression + 4);
    return IffChunk("COMM", b);
}

Bytes Ssnd(const Bytes& frames, int64_t claimed = -1)
{
    Bytes b(8, 0);
    b.insert(b.end(), frames.begin(), frames.end());
    return IffChunk("SSND", b, claimed);
}

Bytes Form(const std::vector<Bytes>& chunks, const char* type = "AIFF", int64_t claimed = -1)
{
    Bytes body(type, type + 4);
    for (const Bytes& c : chunks)
        body.insert(body.end(), c.begin(), c.end());
    return IffChunk("FORM", body, claimed);
}

class AiffReaderTest : public ReaderTest {
protected:
    AiffReaderTest() : ReaderTest("in.aif") {}
};

TEST_F(AiffReaderTest, ChunksAreFoundInAnyOrderPastOddPads)
{
    ASSERT_EQ(0, Read(Form({Ssnd({0x00, 0x7F, 0x80, 0xFF, 0x01}), IffChunk("NAME", {'o', 'd', 'd'}),
                            Comm(1, 5, 8, 8000), IffChunk("ANNO", {'x'})})));
    EXPECT_EQ(Bytes({0x80, 0xFF, 0x00, 0x7F, 0x81}), DocumentBytes());
    // 12-bit points lie left-justified in 16-bit words; the rate is truncated.
    ASSERT_EQ(0, Read(Form({Comm(1, 2, 12, 11025.75), Ssnd({0x12, 0x30, 0xFE, 0xD0})})));
    EXPECT_EQ(11025u, TheDocument().format.Record()->nSamplesPerSec);
    EXPECT_EQ(Bytes({0x30, 0x12, 0xD0, 0xFE}), DocumentBytes());
}

TEST_F(AiffReaderTest, DataShorterThanPromisedLoadsWhatIsThereAndIsReported)
{
    Bytes frames = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(ERR_FILE_SHORT, Read(Form({Comm(2, 10, 8, 8000), Ssnd(frames, 28)})));
    EXPECT_EQ(Bytes({0x81, 0x82, 0x83, 0x84, 0x85, 0x86}), DocumentBytes());
    // The SSND chunk holds fewer frames than COMM counts.
    EXPECT_EQ(ERR_FILE_SHORT, Read(Form({Comm(1, 6, 8, 8000), Ssnd(frames, 12)})));
    EXPECT_EQ(Bytes({0x81, 0x82, 0x83, 0x84}), DocumentBytes());
}

TEST_F(AiffReaderTest, DamagedFilesAreRefusedWithTheirIds)
{
    Bytes ssnd = Ssnd({1, 2}), comm = Comm(1, 2, 8, 8000), junk = IffChunk("JUNK", {1, 2}, 400);
    Bytes cut = Form({comm});
    cut.resize(cut.size() - 4);
    struct { const char* what; Bytes file; int rc; } cases[] = {
        {"form type cut", {'F', 'O', 'R', 'M', 0, 0, 0, 4, 'A', 'I'}, ERR_FILE_SHORT},
        {"form size below its type", Form({comm, ssnd}, "AIFF", 2), ERR_FILE_SHORT},
        {"other form type", Form({comm, ssnd}, "8SVX"), ERR_NOT_SOUND_FILE},
        {"no SSND", Form({comm}), ERR_NOT_SOUND_FILE},
        {"COMM too small", Form({IffChunk("COMM", Bytes(17, 0)), ssnd}), ERR_FILE_SHORT},
        {"COMM cut by the file end", cut, ERR_FILE_SHORT},
        {"chunk past the file end", Form({junk, comm, ssnd}, "AIFF", 1000), ERR_FILE_SHORT},
        {"chunk past the form end", Form({junk, comm, ssnd}), ERR_NOT_SOUND_FILE},
        {"SSND too small", Form({comm, IffChunk("SSND", {0, 0, 0})}), ERR_FILE_SHORT},
        {"AIFC compressed", Form({Comm(1, 2, 16, 8000, "ima4"), ssnd}, "AIFC"), ERR_UNSUPPORTED_COMPRESSION},
        {"three channels", Form({Comm(3, 2, 8, 8000), ssnd}), ERR_UNSUPPORTED_FORMAT},
        {"24-bit", Form({Comm(1, 2, 24, 8000), ssnd}), ERR_UNSUPPORTED_FORMAT},
        {"rate below 1", Form({Comm(1, 2, 8, 0.5), ssnd}), ERR_UNSUPPORTED_FORMAT},
        {"rate past 32 bits", Form({Comm(1, 2, 8, 5e9), ssnd}), ERR_UNSUPPORTED_FORMAT},
        {"negative rate", Form({Comm(1, 2, 8, -8000), ssnd}), ERR_UNSUPPORTED_FORMAT},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.rc, Read(c.file)) << c.what;
}

}
