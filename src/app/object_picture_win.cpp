#include "app/object_picture_win.h"

#include <algorithm>

#include "base/app.h"
#include "base/app_options.h"
#include "base/file_names.h"
#include "lib/image_dib_win.h"
#include "lib/log.h"
#include "resource.h"
#include "sound/object_icon.h"
#include "sound/object_picture_text.h"

namespace {

// Metafile picture extents are in hundredths of a millimetre: 22 of them
// to the pixel.
const LONG HIMETRIC_PER_PIXEL = 22;

bool BitmapOfDib(const std::vector<uint8_t>& icon, CImageBitmap& out)
{
    CImageDIB dib;
    return !icon.empty() && dib.Assign(icon.data(), icon.size(), false) && out.FromDIB(dib);
}

// The text's size in the picture's font, measured on a screen surface: a
// metafile being recorded answers no questions.
SIZE TextSize(const CGString& text)
{
    SIZE size = {0, 0};
    if (text.IsEmpty())
        return size;
    HDC screen = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(screen, GetStockObject(ANSI_VAR_FONT));
    GetTextExtentPoint32A(screen, text.c_str(), text.Length(), &size);
    SelectObject(screen, old);
    DeleteDC(screen);
    return size;
}

SIZE PictureSize(const CImageBitmap& icon, const CGString& text)
{
    SIZE textSize = TextSize(text);
    // The text sits below the icon: the picture is as wide as the wider.
    return {std::max<LONG>(icon.width, textSize.cx), icon.height + textSize.cy};
}

}

bool LoadDefaultIcon(CImageBitmap& out)
{
    CGString sibling = SiblingFileName(TheApp().programPath.c_str(), ".BMP");
    std::vector<uint8_t> icon;
    if (ReadIconFile(sibling.c_str(), true, icon) && BitmapOfDib(icon, out))
        return true;
    return out.Load(static_cast<HINSTANCE>(TheApp().instance), IDBM_SOUND_PICTURE);
}

bool LoadPictureIcon(const ObjectOptions& options, CImageBitmap& out)
{
    return BitmapOfDib(options.icon, out) || LoadDefaultIcon(out);
}

bool IconDibOf(const CImageBitmap& bitmap, std::vector<uint8_t>& icon)
{
    CImageDIB dib;
    if (!bitmap.ToDIB(dib))
        return false;
    return TakeIconDib(reinterpret_cast<const uint8_t*>(dib.header), dib.Size(), icon);
}

SIZE ObjectPictureSize(const ObjectOptions& options)
{
    CImageBitmap icon;
    LoadPictureIcon(options, icon);
    return PictureSize(icon, ObjectPictureText(options, TheAppOptions().intl));
}

bool DrawObjectPicture(const ObjectOptions& options, HDC dc, SIZE* sizeOut)
{
    CImageBitmap icon;
    if (!LoadPictureIcon(options, icon))
        return false;
    CGString text = ObjectPictureText(options, TheAppOptions().intl);
    SIZE size = PictureSize(icon, text);
    int oldMode = SetMapMode(dc, MM_ANISOTROPIC);
    if (sizeOut)
        *sizeOut = size;
    else
        SetViewportExtEx(dc, size.cx, size.cy, nullptr);
    SetWindowExtEx(dc, size.cx, size.cy, nullptr);
    bool drawn = icon.Draw(dc, 0, 0);
    if (!text.IsEmpty()) {
        HGDIOBJ oldFont = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
        TextOutA(dc, 0, icon.height, text.c_str(), text.Length());
        SelectObject(dc, oldFont);
    }
    if (oldMode)
        SetMapMode(dc, oldMode);
    return drawn;
}

HGLOBAL MakeMetafilePicture(const ObjectOptions& options)
{
    HDC recorder = CreateMetaFileA(nullptr);
    if (!recorder) {
        Log("App:CreateMetaFile FAIL");
        return nullptr;
    }
    SIZE size = {0, 0};
    bool drawn = DrawObjectPicture(options, recorder, &size);
    HMETAFILE metafile = CloseMetaFile(recorder);
    HGLOBAL block = drawn && metafile ? GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, sizeof(METAFILEPICT)) : nullptr;
    auto* picture = block ? static_cast<METAFILEPICT*>(GlobalLock(block)) : nullptr;
    if (!picture) {
        Log("App:MakeMetafilePicture FAIL");
        if (block)
            GlobalFree(block);
        if (metafile)
            DeleteMetaFile(metafile);
        return nullptr;
    }
    picture->mm = MM_ANISOTROPIC;
    picture->xExt = size.cx * HIMETRIC_PER_PIXEL;
    picture->yExt = size.cy * HIMETRIC_PER_PIXEL;
    picture->hMF = metafile;
    GlobalUnlock(block);
    return block;
}

void FreeMetafilePicture(HGLOBAL block)
{
    if (!block)
        return;
    if (auto* picture = static_cast<METAFILEPICT*>(GlobalLock(block))) {
        DeleteMetaFile(picture->hMF);
        GlobalUnlock(block);
    }
    GlobalFree(block);
}

HBITMAP MakeIconBitmap(const ObjectOptions& options)
{
    CImageBitmap icon, copy;
    if (!LoadPictureIcon(options, icon) || !icon.Duplicate(copy))
        return nullptr;
    HBITMAP bitmap = copy.handle;
    copy.handle = nullptr;      // handed to the caller
    copy.width = copy.height = 0;
    return bitmap;
}
