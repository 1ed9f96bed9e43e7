// Where the parts of a device-independent bitmap lie in a block of bytes: a
// packed DIB (information header, colour table, rows) or a BMP file image
// (the 14-byte file header in front, the rows at its bits offset). Portable,
// so that the checks run natively and under the fuzzer; the Windows bitmap
// classes read nothing that these checks have not accepted.
#pragma once

#include <cstddef>
#include <cstdint>

const uint32_t BMP_FILE_HEADER_SIZE = 14;
const uint32_t DIB_INFO_HEADER_MIN = 40;     // BITMAPINFOHEADER; the older 12-byte core header is refused
const uint16_t BMP_MAGIC = 0x4D42;           // "BM" read little-endian

// The compressions the rows may use: plain rows, or 16/32-bit rows whose
// channel masks follow a 40-byte header.
const uint32_t DIB_COMPRESSION_RGB = 0;
const uint32_t DIB_COMPRESSION_BITFIELDS = 3;

struct DibLayout {
    // Offsets from the start of the block.
    uint32_t headerOffset = 0;
    uint32_t headerSize = 0;        // the header's own size field
    uint32_t colourOffset = 0;      // masks (bit fields) and colour table
    uint32_t colourBytes = 0;
    uint32_t colourCount = 0;       // entries of 4 bytes, masks not counted
    uint32_t bitsOffset = 0;
    uint32_t bitsSize = 0;          // rowBytes × height
    int32_t width = 0;              // > 0
    int32_t height = 0;             // rows, the absolute value of the header's
    bool topDown = false;           // the header's height was negative
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t rowBytes = 0;          // each row padded to 4 bytes
};

// Bytes of one row: (width × bits + 31) / 32 × 4, in 64 bits.
uint64_t DibRowBytes(uint64_t width, uint32_t bitCount);

// Colour table entries that follow the header: the used-colour count, or
// 2^bits when that is 0 and the rows hold fewer than 24 bits per pixel.
uint64_t DibColourCount(uint32_t usedColours, uint32_t bitCount);

// The header fields the layout depends on.
struct DibFields {
    uint32_t headerSize = DIB_INFO_HEADER_MIN;
    int32_t width = 0;
    int32_t height = 0;             // negative: rows stored top-down
    uint16_t bitCount = 0;
    uint32_t compression = DIB_COMPRESSION_RGB;
    uint32_t usedColours = 0;
};

// The layout of a packed DIB with these fields, from offset 0. False when the
// fields are refused (a bit count other than 1, 4, 8, 16, 24 or 32, more
// colours than the bits can index, no rows, no width, a compression other
// than plain rows or bit fields, a header under 40 bytes, sizes past 32 bits).
bool PlanDib(const DibFields& fields, DibLayout& out);

// A packed DIB: header, colour table and rows back to back. False when any
// field disagrees with the others or with the size of the block.
bool ParsePackedDib(const uint8_t* data, size_t size, DibLayout& out);

// A BMP file image: "BM", the file header, then a packed DIB whose rows start
// at the file header's bits offset. False as ParsePackedDib, and when the
// magic is wrong or the bits offset lies outside the file.
bool ParseBmpFile(const uint8_t* data, size_t size, DibLayout& out);
