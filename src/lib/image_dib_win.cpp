#include "lib/image_dib_win.h"

#include <cstring>
#include <vector>

#include "lib/dib_layout.h"
#include "lib/log.h"

namespace {

// Larger bitmaps than this are not read: no picture the program shows comes
// near it, and a lying file size must not cost that much memory.
const uint64_t MOST_DIB_BYTES = 64u << 20;

bool ReadAll(HANDLE file, void* data, DWORD bytes)
{
    DWORD done = 0;
    return ReadFile(file, data, bytes, &done, nullptr) && done == bytes;
}

bool WriteAll(HANDLE file, const void* data, DWORD bytes)
{
    DWORD done = 0;
    return WriteFile(file, data, bytes, &done, nullptr) && done == bytes;
}

}

CImageDIB::~CImageDIB()
{
    Release();
}

void CImageDIB::Release()
{
    if (block) {
        GlobalUnlock(block);
        GlobalFree(block);
    }
    block = nullptr;
    blockSize = 0;
    colourBytes = 0;
    header = nullptr;
    bits = nullptr;
    width = height = rowBytes = 0;
}

uint8_t* CImageDIB::Allocate(uint32_t bytes)
{
    Release();
    block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    uint8_t* start = block ? static_cast<uint8_t*>(GlobalLock(block)) : nullptr;
    if (!start) {
        Log("Dib:Alloc(%u) FAIL", bytes);
        if (block)
            GlobalFree(block);
        block = nullptr;
        return nullptr;
    }
    blockSize = bytes;
    return start;
}

RGBQUAD* CImageDIB::Colours() const
{
    return header ? reinterpret_cast<RGBQUAD*>(reinterpret_cast<uint8_t*>(header) + header->biSize) : nullptr;
}

bool CImageDIB::Assign(const void* data, size_t size, bool withFileHeader)
{
    auto* bytes = static_cast<const uint8_t*>(data);
    DibLayout layout;
    if (withFileHeader ? !ParseBmpFile(bytes, size, layout) : !ParsePackedDib(bytes, size, layout))
        return false;
    uint32_t front = layout.headerSize + layout.colourBytes;
    uint8_t* start = Allocate(front + layout.bitsSize);
    if (!start)
        return false;
    // The rows follow the colour table in the block, wherever the file kept them.
    memcpy(start, bytes + layout.headerOffset, front);
    memcpy(start + front, bytes + layout.bitsOffset, layout.bitsSize);
    header = reinterpret_cast<BITMAPINFOHEADER*>(start);
    bits = start + front;
    width = layout.width;
    height = layout.height;
    rowBytes = int32_t(layout.rowBytes);
    colourBytes = layout.colourBytes;
    return true;
}

bool CImageDIB::Create(const BITMAPINFOHEADER& info)
{
    BITMAPINFOHEADER h = info;
    h.biSize = sizeof(BITMAPINFOHEADER);
    DibFields fields;
    fields.width = h.biWidth;
    fields.height = h.biHeight;
    fields.bitCount = h.biBitCount;
    fields.compression = h.biCompression;
    fields.usedColours = h.biClrUsed;
    DibLayout layout;
    if (!PlanDib(fields, layout) || uint64_t(layout.bitsOffset) + layout.bitsSize > MOST_DIB_BYTES)
        return false;
    uint8_t* start = Allocate(layout.bitsOffset + layout.bitsSize);
    if (!start)
        return false;
    memcpy(start, &h, sizeof h);
    header = reinterpret_cast<BITMAPINFOHEADER*>(start);
    colourBytes = layout.colourBytes;
    bits = start + layout.bitsOffset;
    width = layout.width;
    height = layout.height;
    rowBytes = int32_t(layout.rowBytes);
    return true;
}

bool CImageDIB::Read(HANDLE file, bool withFileHeader)
{
    Release();
    LARGE_INTEGER here = {}, end = {}, none = {};
    if (!SetFilePointerEx(file, none, &here, FILE_CURRENT) || !GetFileSizeEx(file, &end))
        return false;
    if (end.QuadPart <= here.QuadPart || uint64_t(end.QuadPart - here.QuadPart) > MOST_DIB_BYTES)
        return false;
    std::vector<uint8_t> data(size_t(end.QuadPart - here.QuadPart));
    if (!ReadAll(file, data.data(), DWORD(data.size())) || !Assign(data.data(), data.size(), withFileHeader))
        return false;
    // A packed DIB ends with its rows; leave the file there for what follows.
    if (!withFileHeader) {
        LARGE_INTEGER after;
        after.QuadPart = here.QuadPart + blockSize;
        SetFilePointerEx(file, after, nullptr, FILE_BEGIN);
    }
    return true;
}

bool CImageDIB::Write(HANDLE file, bool withFileHeader) const
{
    if (!header)
        return false;
    if (withFileHeader) {
        BITMAPFILEHEADER fh = {};
        fh.bfType = BMP_MAGIC;
        fh.bfSize = blockSize + BMP_FILE_HEADER_SIZE;
        fh.bfOffBits = header->biSize + colourBytes + BMP_FILE_HEADER_SIZE;
        static_assert(sizeof fh == BMP_FILE_HEADER_SIZE, "the file header is packed");
        if (!WriteAll(file, &fh, sizeof fh))
            return false;
    }
    return WriteAll(file, header, blockSize);
}
