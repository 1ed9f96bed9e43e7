// libFuzzer target over the bitmap checks: every input is parsed as a BMP file
// and as a packed DIB, and whatever is accepted is read through to its last
// row, so a layout that points past the input shows as an overflow.
#include <cstdint>
#include <vector>

#include "fuzz_support.h"
#include "lib/dib_layout.h"

namespace {

using fuzz::Bytes;

Bytes Bmp(int32_t width, int32_t height, uint16_t bits, uint32_t used, uint32_t compression)
{
    uint32_t colours = used ? used : (bits < 24 ? 1u << bits : 0);
    uint32_t masks = compression == DIB_COMPRESSION_BITFIELDS ? 12 : 0;
    uint32_t offBits = 14 + 40 + masks + colours * 4;
    uint32_t rows = uint32_t(height < 0 ? -height : height);
    Bytes b = {'B', 'M'};
    wave::Put32(b, offBits + uint32_t(DibRowBytes(uint32_t(width), bits)) * rows);
    wave::Put32(b, 0);
    wave::Put32(b, offBits);
    for (uint32_t v : {40u, uint32_t(width), uint32_t(height)})
        wave::Put32(b, v);
    wave::Put16(b, 1);
    wave::Put16(b, bits);
    for (uint32_t v : {compression, 0u, 2835u, 2835u, used, 0u})
        wave::Put32(b, v);
    Bytes rest = fuzz::Samples(offBits - 54 + DibRowBytes(uint32_t(width), bits) * rows);
    b.insert(b.end(), rest.begin(), rest.end());
    return b;
}

volatile uint32_t sink;

void Touch(const uint8_t* data, uint32_t offset, uint32_t bytes)
{
    uint32_t sum = 0;
    for (uint32_t i = 0; i < bytes; i++)
        sum += data[offset + i];
    sink = sum;
}

void TouchLayout(const uint8_t* data, const DibLayout& layout)
{
    Touch(data, layout.headerOffset, layout.headerSize);
    Touch(data, layout.colourOffset, layout.colourBytes);
    Touch(data, layout.bitsOffset, layout.bitsSize);
}

}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::Start(*argc, *argv,
        {Bmp(35, 32, 4, 0, 0), Bmp(7, -3, 1, 0, 0), Bmp(5, 4, 8, 20, 0), Bmp(3, 3, 24, 0, 0),
            Bmp(2, 5, 16, 0, DIB_COMPRESSION_BITFIELDS), Bmp(4, 2, 32, 0, 0)},
        "kelvora_dib_fuzz");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A copy of exactly the input's size, so that a read one past it is caught.
    Bytes bytes(data, data + size);
    DibLayout layout;
    if (ParseBmpFile(bytes.data(), bytes.size(), layout))
        TouchLayout(bytes.data(), layout);
    if (ParsePackedDib(bytes.data(), bytes.size(), layout))
        TouchLayout(bytes.data(), layout);
    return 0;
}
