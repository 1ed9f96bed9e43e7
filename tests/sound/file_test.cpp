#include "sound/file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>


namespace {

class FileTest : public ::testing::Test {
protected:
    void TearDown() override { std::remove(path.c_str()); }

    std::string path = ::testing::TempDir() + "kv_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
};

TEST_F(FileTest, ReadWriteSwitchingOnOneHandleKeepsBytesInPlace)
{
    CGFile f;
    ASSERT_TRUE(f.Open(path.c_str(), KVIO_CREATE | KVIO_READWRITE, nullptr));
    ASSERT_TRUE(f.Write("abcdef", 6));
    EXPECT_EQ(f.Seek(1, SEEK_ORIGIN_SET), 1);
    char two[2];
    ASSERT_EQ(f.Read(two, 2), 2);
    EXPECT_EQ(std::memcmp(two, "bc", 2), 0);
    ASSERT_TRUE(f.Write("XY", 2));          // lands at 3, right after the read
    ASSERT_EQ(f.Read(two, 1), 1);           // and reading goes on after the write
    EXPECT_EQ(two[0], 'f');
    EXPECT_EQ(f.FileSize(), 6);
    EXPECT_EQ(f.Seek(-5, SEEK_ORIGIN_END), 1);
    char all[8] = {};
    EXPECT_EQ(f.Read(all, 8), 5);           // short count at the end
    EXPECT_STREQ(all, "bcXYf");
    EXPECT_EQ(f.Seek(-7, SEEK_ORIGIN_CUR), -1);
}

TEST_F(FileTest, MemoryFileStopsAtItsSize)
{
    uint8_t block[6] = {'a', 'b', 'c', 'd', 'e', 'f'};
    MemoryFileInfo info{block, 4};          // the last two bytes are not the file's
    CMMFile f;
    ASSERT_TRUE(f.Open("", KVIO_READWRITE, &info));
    EXPECT_EQ(f.FileSize(), 4);
    char text[8] = {};
    EXPECT_EQ(f.Read(text, 8), 4);
    EXPECT_STREQ(text, "abcd");
    EXPECT_EQ(f.Seek(2, SEEK_ORIGIN_SET), 2);
    EXPECT_FALSE(f.Write("XYZ", 3));        // would pass the end: nothing written
    EXPECT_TRUE(f.Write("XY", 2));
    EXPECT_EQ(std::memcmp(block, "abXYef", 6), 0);
    EXPECT_EQ(f.Seek(-1, SEEK_ORIGIN_SET), -1);

    CMMFile readOnly;
    ASSERT_TRUE(readOnly.Open("", KVIO_DENYWRITE, &info));
    EXPECT_FALSE(readOnly.Write("q", 1));
}

TEST_F(FileTest, StringsAreReadWithinTheFile)
{
    uint8_t block[8] = {};
    MemoryFileInfo info{block, sizeof block};
    CMMFile f;
    ASSERT_TRUE(f.Open("", KVIO_READWRITE, &info));
    ASSERT_TRUE(f.WriteString("label"));
    ASSERT_EQ(f.Seek(0, SEEK_ORIGIN_SET), 0);
    CGString text;
    ASSERT_EQ(f.ReadString(text, 6), 0);    // label and its NUL
    EXPECT_STREQ(text, "label");
    EXPECT_EQ(f.ReadString(text, 5), -1);   // past the end of the file
    EXPECT_EQ(f.ReadString(text, -1), -1);
    EXPECT_EQ(f.ReadString(text, 0x7FFFFFFF), -1);
}

} // namespace
