// Small device-independent bitmaps built in code for the tests: a packed DIB
// (header and rows) of one colour, and the same as a BMP file image.
#pragma once

#include <cstdint>
#include <vector>

#include "support/wave_builder.h"

namespace dib {

using Bytes = std::vector<uint8_t>;

// 24 bits per pixel, bottom-up, every pixel 0xRRGGBB = `rgb`.
inline Bytes Packed(int32_t width, int32_t height, uint32_t rgb)
{
    Bytes b;
    wave::Put32(b, 40);
    wave::Put32(b, uint32_t(width));
    wave::Put32(b, uint32_t(height));
    wave::Put16(b, 1);
    wave::Put16(b, 24);
    for (int i = 0; i < 6; i++)
        wave::Put32(b, 0);
    uint32_t rowBytes = (uint32_t(width) * 3 + 3) / 4 * 4;
    for (int32_t y = 0; y < height; y++) {
        for (int32_t x = 0; x < width; x++) {
            b.push_back(uint8_t(rgb));
            b.push_back(uint8_t(rgb >> 8));
            b.push_back(uint8_t(rgb >> 16));
        }
        b.resize(b.size() + rowBytes - uint32_t(width) * 3, 0);
    }
    return b;
}

// The file header in front: "BM", the file's size, the rows' offset.
inline Bytes Bmp(const Bytes& packed)
{
    Bytes b = {'B', 'M'};
    wave::Put32(b, uint32_t(packed.size() + 14));
    wave::Put32(b, 0);
    wave::Put32(b, 14 + 40);
    b.insert(b.end(), packed.begin(), packed.end());
    return b;
}

}
