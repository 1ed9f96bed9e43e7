// A device-independent bitmap held as a packed DIB in one movable memory
// block: information header, colour table and rows back to back, the form
// the clipboard and the bitmap functions take. The object owns the block.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

class CImageDIB {
public:
    CImageDIB() = default;
    CImageDIB(const CImageDIB&) = delete;
    CImageDIB& operator=(const CImageDIB&) = delete;
    virtual ~CImageDIB();

    // Reads from the file's current position, with the 14-byte file header in
    // front or without it. The header, colour table and rows are checked
    // against the file before anything is kept; false leaves the object empty.
    virtual bool Read(HANDLE file, bool withFileHeader);
    // Writes the packed DIB, with a file header whose size is the packed DIB
    // + 14 and whose bits offset is header + colour table + 14 when asked.
    virtual bool Write(HANDLE file, bool withFileHeader) const;

    // A copy of a packed DIB or BMP file image in memory, checked as Read does.
    bool Assign(const void* data, size_t size, bool withFileHeader);
    // A new block for the header as given (its size taken as 40): the colour
    // table its bit count and used colours call for, and zeroed rows. False
    // for a header the checks refuse or when memory runs out.
    bool Create(const BITMAPINFOHEADER& info);
    void Release();

    bool IsEmpty() const { return header == nullptr; }
    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(header); }
    RGBQUAD* Colours() const;
    uint32_t Size() const { return blockSize; }     // bytes of the packed DIB

    // Valid while the object holds a block; null when empty.
    uint8_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;                 // rows: the absolute value of the header's
    int32_t rowBytes = 0;
    BITMAPINFOHEADER* header = nullptr; // the start of the block

private:
    // Allocates and locks a block; the pointers are set by the caller.
    uint8_t* Allocate(uint32_t bytes);

    HGLOBAL block = nullptr;
    uint32_t blockSize = 0;
    uint32_t colourBytes = 0;           // masks and colour table between header and rows
};
