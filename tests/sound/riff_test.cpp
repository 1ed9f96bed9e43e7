#include "sound/file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/wave_builder.h"

namespace {

using wave::Bytes;
using wave::Chunk;

constexpr uint32_t WAVE = MakeFourCC('W', 'A', 'V', 'E');
constexpr uint32_t FMT = MakeFourCC('f', 'm', 't', ' ');
constexpr uint32_t DATA = MakeFourCC('d', 'a', 't', 'a');

Bytes Text(const char* text) { return Bytes(text, text + std::strlen(text)); }

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class RiffTest : public ::testing::Test {
protected:
    void Load(const Bytes& bytes)
    {
        image = bytes;
        info = MemoryFileInfo{image.data(), uint32_t(image.size())};
        file.Close();
        ASSERT_TRUE(file.Open("", KVIO_READ, &info));
    }

    bool Find(ChunkInfo& ck, uint32_t id, const ChunkInfo* parent = nullptr)
    {
        ck.ckid = id;
        return file.Descend(ck, parent, KVIO_FINDCHUNK);
    }

    Bytes image;
    MemoryFileInfo info;
    CMMFile file;
};

TEST_F(RiffTest, SearchesRunForwardWithinTheParentOnly)
{
    Load(wave::Riff({Chunk("fmt ", Text("16")), Chunk("tail", Text("t"))}) + Chunk("data", Text("outside")));
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

TEST_F(RiffTest, DamagedAndHugeSizesEndTheSearchCleanly)
{
    // The RIFF chunk cut before its type, a header cut in half.
    for (const Bytes& bytes : {Chunk("RIFF", Text("WA"), 100), Chunk("fmt ", Text("ab")) + Text("dat")}) {
        Load(bytes);
        ChunkInfo ck;
        ck.fccType = WAVE;
        EXPECT_FALSE(file.Descend(ck, nullptr, KVIO_FINDRIFF));
        EXPECT_FALSE(Find(ck, DATA));
        EXPECT_EQ(file.GetPosition(), 0);
    }
    // A data chunk claiming 4 GiB in a short file is reported; its bytes read
    // up to the real end, and nothing is found beyond it.
    Bytes empty;
    for (int i = 0; i < 1000; ++i)
        empty = empty + Chunk("none", {});
    Load(empty + Chunk("data", Text("abcd"), 0xFFFFFFFF) + Chunk("more", {}));
    ChunkInfo data, more, parent;
    ASSERT_TRUE(Find(data, DATA));
    EXPECT_EQ(data.cksize, 0xFFFFFFFFu);
    char buffer[64];
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 12);
    EXPECT_TRUE(file.Ascend(data));          // lands past the end: nothing to read
    EXPECT_EQ(file.GetPosition(), 8008 + 0x100000000LL);
    EXPECT_EQ(file.Read(buffer, 1), 0);
    EXPECT_FALSE(Find(more, MakeFourCC('m', 'o', 'r', 'e')));
    // A parent whose end lies past 4 GiB does not wrap around to a small one.
    parent.dwDataOffset = 0x10u;
    parent.cksize = 0xFFFFFFF8u;
    ASSERT_EQ(file.Seek(0, SEEK_ORIGIN_SET), 0);
    EXPECT_TRUE(Find(data, DATA, &parent));
}

} // namespace
