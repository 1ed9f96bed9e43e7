// Sun/NeXT AU files built here through the type choice: the data size, and
// header fields that lie refused with their ids (SoX's files: sound_file_test).
#include "support/foreign_builder.h"
#include "support/reader_fixture.h"

namespace {

using foreign::Au;

class AuReaderTest : public ReaderTest {
protected:
    AuReaderTest() : ReaderTest("in.au") {}
};

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
    struct { const char* what; Bytes file; int rc; } cases[] = {
        {"header cut", cut, ERR_FILE_SHORT}, {"short and not AU", {'.', 's', 'n'}, ERR_NOT_SOUND_FILE},
        {"offset inside the header", Au(2, 1, 8000, data, 20), ERR_UNSUPPORTED_FORMAT},
        {"offset past the file end", farOffset, ERR_FILE_SHORT},
        {"24-bit linear", Au(4, 1, 8000, data), ERR_UNSUPPORTED_COMPRESSION},
        {"three channels", Au(2, 3, 8000, data), ERR_UNSUPPORTED_FORMAT},
        {"no channels", Au(1, 0, 8000, data), ERR_UNSUPPORTED_FORMAT},
        {"no rate", Au(3, 1, 0, data), ERR_UNSUPPORTED_FORMAT},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.rc, Read(c.file)) << c.what;
}

}
