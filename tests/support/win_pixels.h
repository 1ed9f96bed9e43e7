// What a window or a picture draws, read back from a memory bitmap, for the
// Windows tests.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

namespace paint {

// A COLORREF as a 32-bit DIB holds it: 0xRRGGBB.
inline uint32_t Rgb(COLORREF c)
{
    return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

// A top-down 32-bit surface of w × h, filled with `background`, that `draw`
// paints on; its pixels row by row as the bitmap holds them.
inline std::vector<uint32_t> Pixels(int w, int h, const std::function<void(HDC)>& draw, uint32_t background = 0)
{
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<uint32_t> out(size_t(w) * h, background);
    if (!dib) {
        ADD_FAILURE() << "no " << w << " x " << h << " DIB section";
    } else {
        HGDIOBJ old = SelectObject(dc, dib);
        auto* p = static_cast<uint32_t*>(bits);
        std::copy(out.begin(), out.end(), p);
        draw(dc);
        GdiFlush();
        out.assign(p, p + out.size());
        SelectObject(dc, old);
        DeleteObject(dib);
    }
    DeleteDC(dc);
    return out;
}

}
