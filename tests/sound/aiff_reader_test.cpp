// AIFF and AIFC files built here through the type choice: the chunk search
// and the size checks (SoX's files: sound_file_test).
#include "support/foreign_builder.h"
#include "support/reader_fixture.h"

namespace {

using namespace foreign;

class AiffReaderTest : public ReaderTest {
protected:
    AiffReaderTest() : ReaderTest("in.aif") {}
};

TEST_F(AiffReaderTest, ChunksAreFoundInAnyOrderPastOddPads)
{
    ASSERT_EQ(0, Read(Aiff({Ssnd({0x00, 0x7F, 0x80, 0xFF, 0x01}), IffChunk("NAME", {'o', 'd', 'd'}),
                            Comm(1, 5, 8, 8000), IffChunk("ANNO", {'x'})})));
    EXPECT_EQ(Bytes({0x80, 0xFF, 0x00, 0x7F, 0x81}), DocumentBytes());
    // 12-bit points lie left-justified in 16-bit words; the rate is truncated.
    ASSERT_EQ(0, Read(Aiff({Comm(1, 2, 12, 11025.75), Ssnd({0x12, 0x30, 0xFE, 0xD0})})));
    EXPECT_EQ(11025u, TheDocument().format.Record()->nSamplesPerSec);
    EXPECT_EQ(Bytes({0x30, 0x12, 0xD0, 0xFE}), DocumentBytes());
}

TEST_F(AiffReaderTest, DataShorterThanPromisedLoadsWhatIsThereAndIsReported)
{
    Bytes frames = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(ERR_FILE_SHORT, Read(Aiff({Comm(2, 10, 8, 8000), Ssnd(frames, 28)})));
    EXPECT_EQ(Bytes({0x81, 0x82, 0x83, 0x84, 0x85, 0x86}), DocumentBytes());
    // The SSND chunk holds fewer frames than COMM counts.
    EXPECT_EQ(ERR_FILE_SHORT, Read(Aiff({Comm(1, 6, 8, 8000), Ssnd(frames, 12)})));
    EXPECT_EQ(Bytes({0x81, 0x82, 0x83, 0x84}), DocumentBytes());
}

TEST_F(AiffReaderTest, DamagedFilesAreRefusedWithTheirIds)
{
    Bytes ssnd = Ssnd({1, 2}), comm = Comm(1, 2, 8, 8000), junk = IffChunk("JUNK", {1, 2}, 400);
    Bytes cut = Aiff({comm});
    cut.resize(cut.size() - 4);
    struct { const char* what; Bytes file; int rc; } cases[] = {
        {"form type cut", {'F', 'O', 'R', 'M', 0, 0, 0, 4, 'A', 'I'}, ERR_FILE_SHORT},
        {"form size below its type", Aiff({comm, ssnd}, "AIFF", 2), ERR_FILE_SHORT},
        {"other form type", Aiff({comm, ssnd}, "8SVX"), ERR_NOT_SOUND_FILE},
        {"no SSND", Aiff({comm}), ERR_NOT_SOUND_FILE},
        {"COMM too small", Aiff({IffChunk("COMM", Bytes(17, 0)), ssnd}), ERR_FILE_SHORT},
        {"COMM cut by the file end", cut, ERR_FILE_SHORT},
        {"chunk past the file end", Aiff({junk, comm, ssnd}, "AIFF", 1000), ERR_FILE_SHORT},
        {"chunk past the form end", Aiff({junk, comm, ssnd}), ERR_NOT_SOUND_FILE},
        {"SSND too small", Aiff({comm, IffChunk("SSND", {0, 0, 0})}), ERR_FILE_SHORT},
        {"AIFC compressed", Aiff({Comm(1, 2, 16, 8000, "ima4"), ssnd}, "AIFC"), ERR_UNSUPPORTED_COMPRESSION},
        {"three channels", Aiff({Comm(3, 2, 8, 8000), ssnd}), ERR_UNSUPPORTED_FORMAT},
        {"24-bit", Aiff({Comm(1, 2, 24, 8000), ssnd}), ERR_UNSUPPORTED_FORMAT},
        {"rate below 1", Aiff({Comm(1, 2, 8, 0.5), ssnd}), ERR_UNSUPPORTED_FORMAT},
        {"rate past 32 bits", Aiff({Comm(1, 2, 8, 5e9), ssnd}), ERR_UNSUPPORTED_FORMAT},
        {"negative rate", Aiff({Comm(1, 2, 8, -8000), ssnd}), ERR_UNSUPPORTED_FORMAT},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.rc, Read(c.file)) << c.what;
}

}
