#include "lib/image_bitmap_win.h"

#include <string>

#include "lib/log.h"

namespace {

// A memory surface of the screen's kind with a bitmap selected into it for
// the life of the object.
class BitmapSurface {
public:
    explicit BitmapSurface(HBITMAP bitmap) : dc(CreateCompatibleDC(nullptr))
    {
        old = dc ? SelectObject(dc, bitmap) : nullptr;
    }
    ~BitmapSurface()
    {
        if (dc) {
            SelectObject(dc, old);
            DeleteDC(dc);
        }
    }
    bool Ok() const { return dc && old; }

    HDC dc;

private:
    HGDIOBJ old;
};

}

CImageBitmap::~CImageBitmap()
{
    Release();
}

void CImageBitmap::Release()
{
    if (handle)
        DeleteObject(handle);
    handle = nullptr;
    width = height = 0;
}

bool CImageBitmap::Attach(HBITMAP bitmap)
{
    BITMAP info;
    if (!bitmap || GetObjectType(bitmap) != OBJ_BITMAP || GetObjectA(bitmap, sizeof info, &info) != sizeof info)
        return false;
    Release();
    handle = bitmap;
    width = info.bmWidth;
    height = info.bmHeight;
    return true;
}

bool CImageBitmap::Load(HINSTANCE instance, int id)
{
    HBITMAP bitmap = LoadBitmapA(instance, MAKEINTRESOURCEA(id));
    if (bitmap && Attach(bitmap))
        return true;
    Log("Bmp:Load(%d) FAIL", id);
    if (bitmap)
        DeleteObject(bitmap);
    return false;
}

bool CImageBitmap::Draw(HDC dc, int x, int y) const
{
    if (!handle)
        return false;
    BitmapSurface source(handle);
    return source.Ok() && BitBlt(dc, x, y, width, height, source.dc, 0, 0, SRCCOPY);
}

COLORREF CImageBitmap::PixelAt(int x, int y) const
{
    if (!handle || x < 0 || y < 0 || x >= width || y >= height)
        return CLR_INVALID;
    BitmapSurface source(handle);
    return source.Ok() ? GetPixel(source.dc, x, y) : CLR_INVALID;
}

bool CImageBitmap::Duplicate(CImageBitmap& out) const
{
    if (!handle)
        return false;
    HDC screen = GetDC(nullptr);
    HBITMAP copy = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    if (!copy)
        return false;
    bool copied = false;
    {
        BitmapSurface target(copy);
        copied = target.Ok() && Draw(target.dc, 0, 0);
    }
    if (!copied || !out.Attach(copy)) {
        DeleteObject(copy);
        return false;
    }
    return true;
}

bool CImageBitmap::FromDIB(const CImageDIB& dib)
{
    if (dib.IsEmpty())
        return false;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, dib.header, CBM_INIT, dib.bits, dib.Info(), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (bitmap && Attach(bitmap))
        return true;
    if (bitmap)
        DeleteObject(bitmap);
    return false;
}

void CImageBitmap::FillDIBHeader(BITMAPINFOHEADER& info, int bitCount, DWORD compression) const
{
    info = BITMAPINFOHEADER{};
    info.biSize = sizeof(BITMAPINFOHEADER);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    if (bitCount == 0 && handle) {
        BITMAP bm;
        if (GetObjectA(handle, sizeof bm, &bm) == sizeof bm)
            bitCount = bm.bmPlanes * bm.bmBitsPixel;
    }
    info.biBitCount = WORD(bitCount);
    info.biCompression = compression;
}

bool CImageBitmap::ToDIB(CImageDIB& out, HPALETTE palette, int bitCount) const
{
    BITMAPINFOHEADER info;
    FillDIBHeader(info, bitCount, BI_RGB);
    if (!handle || !out.Create(info))
        return false;
    HDC screen = GetDC(nullptr);
    HPALETTE old = SelectPalette(screen, palette ? palette : HPALETTE(GetStockObject(DEFAULT_PALETTE)), FALSE);
    RealizePalette(screen);
    // GetDIBits fills the colour table behind the header in the block.
    int rows = GetDIBits(screen, handle, 0, UINT(height), out.bits, reinterpret_cast<BITMAPINFO*>(out.header),
        DIB_RGB_COLORS);
    SelectPalette(screen, old, FALSE);
    ReleaseDC(nullptr, screen);
    if (rows != height) {
        Log("Bmp:GetDIBits %d FAIL", rows);
        out.Release();
        return false;
    }
    return true;
}

bool CImageBitmap::LoadFromFile(const char* name)
{
    Release();
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CImageDIB dib;
    bool read = dib.Read(file, true);
    CloseHandle(file);
    return read && FromDIB(dib);
}

bool CImageBitmap::SaveToFile(const char* name) const
{
    CImageDIB dib;
    if (!ToDIB(dib))
        return false;
    std::string temporary = std::string(name) + "~";
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool written = dib.Write(file, true);
    written = CloseHandle(file) && written;
    if (!written || !MoveFileExA(temporary.c_str(), name, MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}
