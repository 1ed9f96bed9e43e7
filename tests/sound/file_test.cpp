#include "sound/file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

class FileTestBase : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (const std::string& path : created)
            std::remove(path.c_str());
    }

    std::string TempPath(const char* suffix)
    {
        std::string path = ::testing::TempDir() + "kv_"
            + ::testing::UnitTest::GetInstance()->current_test_info()->name() + suffix;
        std::remove(path.c_str());
        created.push_back(path);
        return path;
    }

    void WriteDisk(const std::string& path, const std::string& bytes)
    {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }

    std::vector<std::string> created;
};

class CFileTest : public FileTestBase {};

TEST_F(CFileTest, ReadWriteSwitchingOnOneHandleKeepsBytesInPlace)
{
    const std::string path = TempPath(".bin");
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
    EXPECT_EQ(f.GetPosition(), 6);
    f.Close();
    EXPECT_FALSE(f.IsOpen());

    ASSERT_TRUE(f.OpenPlain(path.c_str(), OPEN_STYLE_REOPEN));
    char all[8] = {};
    EXPECT_EQ(f.Read(all, 8), 6);           // short count at the end
    EXPECT_STREQ(all, "abcXYf");
    EXPECT_FALSE(f.Write("z", 1));          // reopened for reading only
    EXPECT_EQ(f.Seek(-2, SEEK_ORIGIN_END), 4);
    EXPECT_EQ(f.Seek(-5, SEEK_ORIGIN_CUR), -1);
}

TEST_F(CFileTest, SetNameReopensOnlyAnOpenFile)
{
    const std::string first = TempPath("_1.txt");
    const std::string second = TempPath("_2.txt");
    WriteDisk(first, "one");
    WriteDisk(second, "two");

    CFile f;
    EXPECT_FALSE(f.SetName(nullptr));
    ASSERT_TRUE(f.SetName(first.c_str()));
    EXPECT_EQ(f.FileSize(), -1);            // a closed file only takes the name

    ASSERT_TRUE(f.OpenPlain(first.c_str(), KVIO_READ));
    EXPECT_TRUE(f.SetName(f.Name()));       // same name: nothing happens
    EXPECT_EQ(f.Seek(1, SEEK_ORIGIN_SET), 1);
    EXPECT_EQ(f.GetPosition(), 1);

    ASSERT_TRUE(f.SetName(second.c_str()));
    EXPECT_STREQ(f.Name(), second.c_str());
    char text[4] = {};
    EXPECT_EQ(f.Read(text, 3), 3);          // reopened from the start of the new file
    EXPECT_STREQ(text, "two");

    const std::string missing = TempPath("_missing.txt");
    EXPECT_FALSE(f.SetName(missing.c_str()));
    EXPECT_STREQ(f.Name(), missing.c_str());
    EXPECT_EQ(f.Read(text, 1), 0);
}

TEST_F(CFileTest, OpenRulesForNamesAndMemoryBlocks)
{
    const std::string path = TempPath(".wav");
    CMMFile f;
    EXPECT_FALSE(f.Open(nullptr, KVIO_READ, nullptr));     // no name yet
    EXPECT_FALSE(f.Open("", KVIO_READ, nullptr));
    EXPECT_FALSE(f.Open(path.c_str(), KVIO_DENYWRITE, nullptr));   // does not exist

    ASSERT_TRUE(f.Open(path.c_str(), KVIO_CREATE | KVIO_WRITE, nullptr));
    ASSERT_TRUE(f.Write("disk", 4));
    EXPECT_TRUE(f.Open(nullptr, KVIO_READ, nullptr));      // already open: kept
    EXPECT_EQ(f.GetPosition(), 4);

    // A memory block replaces the open file; the disk file keeps its bytes.
    uint8_t block[4] = {};
    MemoryFileInfo info{block, sizeof block};
    ASSERT_TRUE(f.Open(nullptr, KVIO_WRITE | KVIO_ALLOCBUF, &info));
    ASSERT_TRUE(f.Write("mem!", 4));
    EXPECT_EQ(std::memcmp(block, "mem!", 4), 0);
    f.Close();
    EXPECT_STREQ(f.Name(), path.c_str());
    ASSERT_TRUE(f.Open(nullptr, KVIO_DENYWRITE, nullptr));
    EXPECT_EQ(f.FileSize(), 4);
}

TEST_F(CFileTest, MemoryFileStopsAtItsSize)
{
    uint8_t block[6] = {'a', 'b', 'c', 'd', 'e', 'f'};
    MemoryFileInfo info{block, 4};          // the last two bytes are not the file's
    CMMFile f;
    ASSERT_TRUE(f.Open("", KVIO_READWRITE, &info));
    EXPECT_EQ(f.FileSize(), 4);
    char text[8] = {};
    EXPECT_EQ(f.Read(text, 8), 4);
    EXPECT_STREQ(text, "abcd");
    EXPECT_EQ(f.Read(text, 1), 0);

    EXPECT_EQ(f.Seek(2, SEEK_ORIGIN_SET), 2);
    EXPECT_FALSE(f.Write("XYZ", 3));        // would pass the end: nothing written
    EXPECT_TRUE(f.Write("XY", 2));
    EXPECT_FALSE(f.Write("Z", 1));
    EXPECT_EQ(std::memcmp(block, "abXYef", 6), 0);
    EXPECT_EQ(f.Seek(-1, SEEK_ORIGIN_SET), -1);

    CMMFile readOnly;
    ASSERT_TRUE(readOnly.Open("", KVIO_DENYWRITE, &info));
    EXPECT_FALSE(readOnly.Write("q", 1));
    EXPECT_EQ(block[0], 'a');
}

TEST_F(CFileTest, StringHelpers)
{
    uint8_t block[32] = {};
    MemoryFileInfo info{block, sizeof block};
    CMMFile f;
    ASSERT_TRUE(f.Open("", KVIO_READWRITE, &info));
    ASSERT_TRUE(f.WriteString("label"));
    const uint8_t counted[] = {3, 0, 'a', 'b', 'c', 0xFF, 0xFF};
    ASSERT_TRUE(f.Write(counted, sizeof counted));
    ASSERT_EQ(f.Seek(0, SEEK_ORIGIN_SET), 0);

    CGString text;
    ASSERT_EQ(f.ReadString(text, 6), 0);    // label and its NUL
    EXPECT_STREQ(text, "label");
    EXPECT_EQ(text.Length(), 5);
    ASSERT_EQ(f.ReadCountedString(text), 0);
    EXPECT_STREQ(text, "abc");

    // A count bigger than the file is a short read, refused before allocating.
    EXPECT_EQ(f.ReadCountedString(text), -1);
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(f.Seek(28, SEEK_ORIGIN_SET), 28);
    EXPECT_EQ(f.ReadString(text, 5), -1);
    EXPECT_EQ(f.ReadString(text, -1), -1);
    EXPECT_EQ(f.ReadString(text, 0x7FFFFFFF), -1);
}

} // namespace
