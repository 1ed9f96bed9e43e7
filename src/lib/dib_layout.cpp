#include "lib/dib_layout.h"

namespace {

uint32_t Le32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t Le16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

// Bit-field masks: red, green and blue, 4 bytes each, behind a 40-byte header
// (larger headers hold them inside).
const uint32_t BITFIELD_MASK_BYTES = 12;

// The header at `offset` and its colour table, checked against `size`; the
// rows are placed right behind the colour table.
bool ParseInfo(const uint8_t* data, size_t size, uint32_t offset, DibLayout& out)
{
    if (offset > size || size - offset < DIB_INFO_HEADER_MIN)
        return false;
    const uint8_t* h = data + offset;
    DibFields f;
    f.headerSize = Le32(h);
    f.width = int32_t(Le32(h + 4));
    f.height = int32_t(Le32(h + 8));
    f.bitCount = Le16(h + 14);
    f.compression = Le32(h + 16);
    f.usedColours = Le32(h + 32);
    DibLayout layout;
    if (f.headerSize > size - offset || !PlanDib(f, layout))
        return false;
    if (uint64_t(layout.colourOffset) + layout.colourBytes > size - offset)
        return false;
    layout.headerOffset = offset;
    layout.colourOffset += offset;
    layout.bitsOffset += offset;
    out = layout;
    return true;
}

bool RowsFit(size_t size, uint64_t offset, uint64_t bytes)
{
    return offset <= size && bytes <= size - offset;
}

}

uint64_t DibRowBytes(uint64_t width, uint32_t bitCount)
{
    return (width * bitCount + 31) / 32 * 4;
}

uint64_t DibColourCount(uint32_t usedColours, uint32_t bitCount)
{
    if (usedColours != 0)
        return usedColours;
    return bitCount < 24 ? uint64_t(1) << bitCount : 0;
}

bool PlanDib(const DibFields& f, DibLayout& out)
{
    uint16_t bits = f.bitCount;
    if (f.headerSize < DIB_INFO_HEADER_MIN)
        return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    if (f.width <= 0 || f.height == 0)
        return false;
    // Compressed rows have no fixed size to check; masks go only with 16 and 32 bits.
    if (f.compression != DIB_COMPRESSION_RGB
        && !(f.compression == DIB_COMPRESSION_BITFIELDS && (bits == 16 || bits == 32)))
        return false;
    if (uint64_t(f.usedColours) > (uint64_t(1) << bits))
        return false;

    uint64_t colours = DibColourCount(f.usedColours, bits);
    uint64_t colourBytes = colours * 4;
    if (f.compression == DIB_COMPRESSION_BITFIELDS && f.headerSize == DIB_INFO_HEADER_MIN)
        colourBytes += BITFIELD_MASK_BYTES;
    // |INT32_MIN| does not fit in 32 bits.
    uint64_t rows = f.height < 0 ? uint64_t(-int64_t(f.height)) : uint64_t(f.height);
    uint64_t rowBytes = DibRowBytes(uint64_t(f.width), bits);
    uint64_t bitsSize = rowBytes * rows;     // below 2^33 × 2^31: no overflow in 64 bits
    uint64_t bitsOffset = uint64_t(f.headerSize) + colourBytes;
    if (rows > INT32_MAX || bitsSize > UINT32_MAX || bitsOffset > UINT32_MAX)
        return false;

    out.headerOffset = 0;
    out.headerSize = f.headerSize;
    out.colourOffset = f.headerSize;
    out.colourBytes = uint32_t(colourBytes);
    out.colourCount = uint32_t(colours);
    out.bitsOffset = uint32_t(bitsOffset);
    out.bitsSize = uint32_t(bitsSize);
    out.width = f.width;
    out.height = int32_t(rows);
    out.topDown = f.height < 0;
    out.bitCount = bits;
    out.compression = f.compression;
    out.rowBytes = uint32_t(rowBytes);
    return true;
}

bool ParsePackedDib(const uint8_t* data, size_t size, DibLayout& out)
{
    DibLayout layout;
    if (!data || !ParseInfo(data, size, 0, layout) || !RowsFit(size, layout.bitsOffset, layout.bitsSize))
        return false;
    out = layout;
    return true;
}

bool ParseBmpFile(const uint8_t* data, size_t size, DibLayout& out)
{
    if (!data || size < BMP_FILE_HEADER_SIZE || Le16(data) != BMP_MAGIC)
        return false;
    DibLayout layout;
    if (!ParseInfo(data, size, BMP_FILE_HEADER_SIZE, layout))
        return false;
    // The rows may start later than the colour table ends (a gap), never
    // inside the headers, and must end within the file.
    uint32_t bitsOffset = Le32(data + 10);
    if (bitsOffset < layout.bitsOffset || !RowsFit(size, bitsOffset, layout.bitsSize))
        return false;
    layout.bitsOffset = bitsOffset;
    out = layout;
    return true;
}
