#include "sound/file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr uint32_t WAVE = MakeFourCC('W', 'A', 'V', 'E');
constexpr uint32_t INFO = MakeFourCC('I', 'N', 'F', 'O');
constexpr uint32_t FMT = MakeFourCC('f', 'm', 't', ' ');
constexpr uint32_t DATA = MakeFourCC('d', 'a', 't', 'a');

std::string LE32(uint32_t v)
{
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

// One chunk as RIFF stores it: id, size, data and a pad byte after odd sizes.
std::string Chunk(const char* id, const std::string& data)
{
    std::string bytes = std::string(id, 4) + LE32(uint32_t(data.size())) + data;
    if (data.size() & 1)
        bytes += '\0';
    return bytes;
}

std::string Form(const char* id, const char* type, const std::string& inner)
{
    return Chunk(id, std::string(type, 4) + inner);
}

class RiffTest : public ::testing::Test {
protected:
    // Opens bytes as a memory file.
    void Load(const std::string& bytes)
    {
        image.assign(bytes.begin(), bytes.end());
        info = MemoryFileInfo{image.data(), uint32_t(image.size())};
        file.Close();
        ASSERT_TRUE(file.Open("", KVIO_READ, &info));
    }

    bool Find(ChunkInfo& ck, uint32_t id, const ChunkInfo* parent = nullptr)
    {
        ck.ckid = id;
        return file.Descend(ck, parent, KVIO_FINDCHUNK);
    }

    std::vector<uint8_t> image;
    MemoryFileInfo info;
    CMMFile file;
};

TEST_F(RiffTest, FindsChunkAfterUnknownOddChunksAtItsData)
{
    Load(Form("RIFF", "WAVE",
        Chunk("junk", "abc") + Chunk("LIST", "oddx") + Chunk("zero", "") + Chunk("data", "PCM!")));
    ChunkInfo riff, data;
    riff.fccType = WAVE;
    ASSERT_TRUE(file.Descend(riff, nullptr, KVIO_FINDRIFF));
    EXPECT_EQ(riff.dwDataOffset, 8u);
    EXPECT_EQ(file.GetPosition(), 12);

    ASSERT_TRUE(Find(data, DATA, &riff));
    EXPECT_EQ(data.cksize, 4u);
    EXPECT_EQ(data.dwDataOffset, 12u + 12 + 12 + 8 + 8);
    char text[5] = {};
    ASSERT_EQ(file.Read(text, 4), 4);
    EXPECT_STREQ(text, "PCM!");
    ASSERT_TRUE(file.Ascend(data));
    ASSERT_TRUE(file.Ascend(riff));
    EXPECT_EQ(file.GetPosition(), int64_t(image.size()));
}

TEST_F(RiffTest, SearchesRunForwardWithinTheParentOnly)
{
    Load(Form("RIFF", "WAVE", Chunk("fmt ", "16") + Chunk("tail", "t")) + Chunk("data", "outside"));
    ChunkInfo riff, ck;
    riff.fccType = WAVE;
    ASSERT_TRUE(file.Descend(riff, nullptr, KVIO_FINDRIFF));
    ASSERT_TRUE(Find(ck, MakeFourCC('t', 'a', 'i', 'l'), &riff));

    // The format chunk lies behind the position; a failed search leaves it.
    const int64_t here = file.GetPosition();
    EXPECT_FALSE(Find(ck, FMT, &riff));
    EXPECT_EQ(file.GetPosition(), here);

    ASSERT_EQ(file.Seek(12, SEEK_ORIGIN_SET), 12);
    EXPECT_FALSE(Find(ck, DATA, &riff));    // after the RIFF chunk's end
    EXPECT_TRUE(Find(ck, DATA));
}

TEST_F(RiffTest, FormAndListTypesMustMatch)
{
    Load(Form("LIST", "INFO", Chunk("ISBJ", "x")) + Form("RIFF", "AVI ", "")
        + Form("RIFF", "WAVE", Form("LIST", "adtl", "") + Form("LIST", "INFO", "")));
    struct Case {
        uint32_t flags;
        uint32_t type;
        bool parentIsWave;
        int64_t foundAt;        // header offset, -1 for not found
    } cases[] = {
        {KVIO_FINDRIFF, WAVE, false, 34},
        {KVIO_FINDRIFF, INFO, false, -1},   // only a LIST has that type
        {KVIO_FINDLIST, INFO, false, 0},
        {KVIO_FINDLIST, INFO, true, 58},
        {KVIO_FINDRIFF, MakeFourCC('A', 'V', 'I', ' '), true, -1},
        {0, 0, false, 0},                   // no find flag: the next chunk
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.foundAt);
        ChunkInfo wave, ck;
        ASSERT_EQ(file.Seek(0, SEEK_ORIGIN_SET), 0);
        if (c.parentIsWave) {
            wave.fccType = WAVE;
            ASSERT_TRUE(file.Descend(wave, nullptr, KVIO_FINDRIFF));
        }
        ck.fccType = c.type;
        ASSERT_EQ(file.Descend(ck, c.parentIsWave ? &wave : nullptr, c.flags), c.foundAt >= 0);
        if (c.foundAt >= 0) {
            EXPECT_EQ(ck.dwDataOffset, uint32_t(c.foundAt + 8));
            EXPECT_EQ(file.GetPosition(), c.foundAt + 12);
        }
    }
}

TEST_F(RiffTest, DamagedEndsFailOrStopCleanly)
{
    const std::string riffCutBeforeType = std::string("RIFF") + LE32(100) + "WA";
    const std::string halfHeader = Chunk("fmt ", "ab") + "dat";
    for (const std::string& bytes : {riffCutBeforeType, halfHeader}) {
        Load(bytes);
        ChunkInfo ck;
        ck.fccType = WAVE;
        EXPECT_FALSE(file.Descend(ck, nullptr, KVIO_FINDRIFF));
        EXPECT_FALSE(Find(ck, DATA));
        EXPECT_EQ(file.GetPosition(), 0);
    }
}

TEST_F(RiffTest, HugeAndEmptyChunkSizesEndTheSearch)
{
    // A data chunk claiming 4 GiB in a short file is reported; its bytes read
    // up to the real end, and nothing is found beyond it.
    std::string zeros;
    for (int i = 0; i < 1000; ++i)
        zeros += Chunk("none", "");
    Load(zeros + "data" + LE32(0xFFFFFFFF) + "abc" + Chunk("more", ""));
    ChunkInfo data, more;
    ASSERT_TRUE(Find(data, DATA));
    EXPECT_EQ(data.cksize, 0xFFFFFFFFu);
    char buffer[64];
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 11);
    EXPECT_TRUE(file.Ascend(data));          // lands past the end: nothing to read
    EXPECT_EQ(file.GetPosition(), 8008 + 0x100000000LL);
    EXPECT_EQ(file.Read(buffer, 1), 0);
    EXPECT_FALSE(Find(more, MakeFourCC('m', 'o', 'r', 'e')));

    // A parent whose end lies past 4 GiB does not wrap around to a small one.
    ChunkInfo parent;
    parent.dwDataOffset = 0x10u;
    parent.cksize = 0xFFFFFFF8u;
    ASSERT_EQ(file.Seek(0, SEEK_ORIGIN_SET), 0);
    EXPECT_TRUE(Find(data, DATA, &parent));
}

class RiffWriteTest : public RiffTest {
protected:
    // RIFF/WAVE { "fmt " with 3 bytes, LIST/INFO { "ISBJ" with 1 byte } }.
    bool WriteNested(CMMFile& out)
    {
        ChunkInfo riff, fmt, list, sub;
        riff.fccType = WAVE;
        riff.cksize = 0;
        fmt.ckid = FMT;
        fmt.cksize = 99;                    // a guess: fixed when ascending
        list.fccType = INFO;
        sub.ckid = MakeFourCC('I', 'S', 'B', 'J');
        return out.CreateChunk(riff, KVIO_CREATERIFF) && out.CreateChunk(fmt, 0) && out.Write("abc", 3)
            && out.Ascend(fmt) && out.CreateChunk(list, KVIO_CREATELIST) && out.CreateChunk(sub, 0)
            && out.Write("s", 1) && out.Ascend(sub) && out.Ascend(list) && out.Ascend(riff);
    }

    const std::string expected = Form("RIFF", "WAVE", Chunk("fmt ", "abc") + Form("LIST", "INFO", Chunk("ISBJ", "s")));
};

TEST_F(RiffWriteTest, NestedChunksGetTheirSizesAndPadBytes)
{
    std::vector<uint8_t> block(expected.size(), 0xEE);
    MemoryFileInfo memory{block.data(), uint32_t(block.size())};
    CMMFile out;
    ASSERT_TRUE(out.Open("", KVIO_WRITE | KVIO_ALLOCBUF, &memory));
    ASSERT_TRUE(WriteNested(out));
    EXPECT_EQ(std::string(block.begin(), block.end()), expected);

    const std::string path = ::testing::TempDir() + "kv_riff_nested.wav";
    ASSERT_TRUE(out.Open(path.c_str(), KVIO_CREATE | KVIO_WRITE, nullptr));
    ASSERT_TRUE(WriteNested(out));
    out.Close();
    std::string disk(expected.size() + 1, '\0');
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    disk.resize(std::fread(&disk[0], 1, disk.size(), f));
    std::fclose(f);
    std::remove(path.c_str());
    EXPECT_EQ(disk, expected);
}

TEST_F(RiffWriteTest, BlockTooSmallForThePadByteFails)
{
    std::vector<uint8_t> block(expected.size() - 1);
    MemoryFileInfo memory{block.data(), uint32_t(block.size())};
    CMMFile out;
    ASSERT_TRUE(out.Open("", KVIO_WRITE, &memory));
    EXPECT_FALSE(WriteNested(out));
}

} // namespace
