// The bitmap checks: good BMP files and packed DIBs place their colour table
// and rows where the bytes are, and every header field that lies about a
// size or count is refused before anything is read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <tuple>
#include <vector>

#include "lib/dib_layout.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put(Bytes& b, size_t at, uint32_t v, int n)
{
    for (int i = 0; i < n; i++)
        b[at + i] = uint8_t(v >> (8 * i));
}

// A BMP file image with a colour table of `colours` entries and rows of
// `rowBytes`: the header tells the truth when they are right. Offsets into the
// file: 10 bits offset, 14 header size, 18 width, 22 height, 28 bit count,
// 30 compression, 46 used colours.
Bytes Bmp(int32_t width, int32_t height, uint16_t bits, uint32_t used, uint32_t colours, uint32_t rowBytes)
{
    uint32_t offBits = 14 + 40 + colours * 4;
    Bytes b(offBits + rowBytes * uint32_t(height < 0 ? -height : height), 0x5A);
    std::fill(b.begin(), b.begin() + 54, 0);
    b[0] = 'B';
    b[1] = 'M';
    for (auto [at, v, n] : {std::tuple<size_t, uint32_t, int>{2, uint32_t(b.size()), 4}, {10, offBits, 4},
             {14, 40, 4}, {18, uint32_t(width), 4}, {22, uint32_t(height), 4}, {26, 1, 2}, {28, bits, 2},
             {46, used, 4}})
        Put(b, at, v, n);
    return b;
}

TEST(DibLayoutTest, GoodBitmapsPlaceTheirParts)
{
    struct { int32_t width, height; uint16_t bits; uint32_t used, colours, row; } cases[] = {
        {5, 3, 4, 0, 16, 4},            // 20 bits round up to one 4-byte row
        {33, 2, 1, 0, 2, 8},
        {3, -7, 24, 0, 0, 12},          // top-down
        {2, 2, 8, 5, 5, 4},             // a short colour table
        {1, 1, 32, 0, 0, 4},
    };
    for (const auto& c : cases) {
        Bytes file = Bmp(c.width, c.height, c.bits, c.used, c.colours, c.row);
        DibLayout layout;
        ASSERT_TRUE(ParseBmpFile(file.data(), file.size(), layout)) << c.bits;
        EXPECT_EQ(c.colours, layout.colourCount);
        EXPECT_EQ(c.row, layout.rowBytes);
        EXPECT_EQ(c.height < 0, layout.topDown);
        EXPECT_EQ(file.size(), size_t(layout.bitsOffset) + layout.bitsSize);
        Bytes packed(file.begin() + 14, file.end());
        ASSERT_TRUE(ParsePackedDib(packed.data(), packed.size(), layout));
        EXPECT_EQ(packed.size(), size_t(layout.bitsOffset) + layout.bitsSize);
    }

    // Rows placed behind a gap by the bits offset are found there.
    Bytes file = Bmp(5, 3, 4, 0, 16, 4);
    file.insert(file.begin() + 118, 6, 0);
    Put(file, 10, 124, 4);
    DibLayout layout;
    ASSERT_TRUE(ParseBmpFile(file.data(), file.size(), layout));
    EXPECT_EQ(124u, layout.bitsOffset);
}

TEST(DibLayoutTest, LyingHeadersAreRefused)
{
    auto with = [](Bytes b, size_t at, uint32_t v, int n) {
        Put(b, at, v, n);
        return b;
    };
    Bytes good = Bmp(5, 3, 4, 0, 16, 4), cut = good;
    cut.pop_back();
    Bytes twoColours = Bmp(2, 2, 8, 2, 2, 4);
    // 2^30 pixels of 32 bits: a row of 2^32 bytes, 2^33 for two rows, which
    // is 0 in 32 bits.
    Bytes wide = with(with(good, 18, 0x40000000u, 4), 28, 32, 2);
    wide = with(wide, 22, 2, 4);
    struct { const char* what; Bytes file; bool fileOnly; } cases[] = {
        {"bit count 3", with(good, 28, 3, 2), false},
        {"bit count 0", with(good, 28, 0, 2), false},
        {"colour count 2^bits + 1", Bmp(5, 3, 4, 17, 17, 4), false},
        {"colour table past the end", with(twoColours, 46, 200, 4), false},
        {"height 0", with(good, 22, 0, 4), false},
        {"width 0", with(good, 18, 0, 4), false},
        {"width negative", with(good, 18, uint32_t(-5), 4), false},
        {"rows past the end", cut, false},
        {"row size times height wraps in 32 bits", wide, false},
        {"height of -2^31", with(good, 22, 0x80000000u, 4), false},
        {"core header of 12 bytes", with(good, 14, 12, 4), false},
        {"header larger than the file", with(good, 14, uint32_t(good.size()), 4), false},
        {"run-length compressed", with(good, 30, 2, 4), false},
        {"bits offset past the end", with(good, 10, uint32_t(good.size() + 1), 4), true},
        {"bits offset inside the colour table", with(good, 10, 100, 4), true},
        {"not BM", with(good, 0, 'P', 1), true},
        {"file header only", Bytes(good.begin(), good.begin() + 14), false},
        {"empty", Bytes(), false},
    };
    for (const auto& c : cases) {
        DibLayout layout;
        EXPECT_FALSE(ParseBmpFile(c.file.data(), c.file.size(), layout)) << c.what;
        if (c.fileOnly)
            continue;
        Bytes packed(c.file.begin() + (c.file.empty() ? 0 : 14), c.file.end());
        EXPECT_FALSE(ParsePackedDib(packed.data(), packed.size(), layout)) << c.what;
    }
}

}
