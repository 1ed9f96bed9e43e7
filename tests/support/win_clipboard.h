// The system clipboard as another program uses it, for the Windows tests:
// putting a sound image there and reading back what CF_WAVE holds.
#pragma once

#include <windows.h>

#include <algorithm>

#include "support/wave_builder.h"

namespace clip {

// Puts `image` on the clipboard under `format`, in a block `extra` bytes
// larger than the image, as other programs' allocations may be. False when
// the clipboard could not be had.
inline bool Put(const wave::Bytes& image, UINT format = CF_WAVE, size_t extra = 0)
{
    if (!OpenClipboard(nullptr))
        return false;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, image.size() + extra);
    auto* p = block ? static_cast<uint8_t*>(GlobalLock(block)) : nullptr;
    bool ok = p != nullptr;
    if (p) {
        std::copy(image.begin(), image.end(), p);
        std::fill(p + image.size(), p + image.size() + extra, uint8_t(0x5A));
        GlobalUnlock(block);
        ok = SetClipboardData(format, block) != nullptr;
    }
    CloseClipboard();
    return ok;
}

// What a program that reads only CF_WAVE finds there: the block's bytes up
// to the end of the RIFF form its header announces.
inline wave::Bytes ReadWave()
{
    wave::Bytes image;
    if (!OpenClipboard(nullptr))
        return image;
    if (HANDLE block = GetClipboardData(CF_WAVE)) {
        auto* p = static_cast<const uint8_t*>(GlobalLock(block));
        size_t size = GlobalSize(block);
        if (p && size >= 8)
            image.assign(p, p + std::min<size_t>(size, wave::Get32(wave::Bytes(p + 4, p + 8)) + 8));
        if (p)
            GlobalUnlock(block);
    }
    CloseClipboard();
    return image;
}

}
