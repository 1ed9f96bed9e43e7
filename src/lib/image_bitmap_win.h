// A device-dependent bitmap and its size. The object owns the handle it was
// given or made and deletes it on Release and destruction.
#pragma once

#include <windows.h>

#include <cstdint>

#include "lib/image_dib_win.h"

class CImageBitmap {
public:
    CImageBitmap() = default;
    CImageBitmap(const CImageBitmap&) = delete;
    CImageBitmap& operator=(const CImageBitmap&) = delete;
    virtual ~CImageBitmap();

    // A BMP file read and made into a bitmap of the screen. False for a
    // missing file or one the bitmap checks refuse; the object is then empty.
    virtual bool LoadFromFile(const char* name);
    // The bitmap in its own bit count as a BMP file. The old file is replaced
    // only once the new one is complete.
    virtual bool SaveToFile(const char* name) const;

    // Takes ownership of a bitmap and reads its size; false (and the handle
    // left to the caller) when it is not a bitmap.
    bool Attach(HBITMAP bitmap);
    // The bitmap resource `id` of the module.
    bool Load(HINSTANCE instance, int id);
    void Release();
    bool IsEmpty() const { return handle == nullptr; }

    // Copies the whole bitmap to (x, y) of the surface.
    bool Draw(HDC dc, int x, int y) const;
    // A new bitmap of the screen holding a copy of this one's pixels.
    bool Duplicate(CImageBitmap& out) const;
    // Replaces this bitmap with a bitmap of the screen made from the DIB.
    bool FromDIB(const CImageDIB& dib);
    // Header size 40, this bitmap's width and height, one plane, the bit count
    // given (0: the bitmap's planes × bits per pixel), the compression given,
    // every other field 0.
    void FillDIBHeader(BITMAPINFOHEADER& info, int bitCount = 0, DWORD compression = BI_RGB) const;
    // The pixels as a DIB of the bit count given (0: the bitmap's), with the
    // palette given or the default palette.
    bool ToDIB(CImageDIB& out, HPALETTE palette = nullptr, int bitCount = 0) const;
    // The colour of one pixel; CLR_INVALID outside the bitmap.
    COLORREF PixelAt(int x, int y) const;

    HBITMAP handle = nullptr;
    int32_t width = 0;
    int32_t height = 0;
};
