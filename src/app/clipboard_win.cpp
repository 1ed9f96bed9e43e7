#include "app/clipboard_win.h"

#include "app/error_box_win.h"
#include "app/object_picture_win.h"
#include "base/error_message.h"
#include "edit/clip_wave.h"
#include "edit/delete_cut.h"
#include "lib/log.h"
#include "resource.h"
#include "sound/object_options.h"
#include "sound/wave_file.h"

namespace {

bool HasSound()
{
    return IsClipboardFormatAvailable(CF_WAVE) || IsClipboardFormatAvailable(CF_RIFF);
}

// The sound's picture beside the sound; a picture that cannot be made or
// placed leaves the sound on offer alone.
void OfferPictures()
{
    const ObjectOptions& options = TheObjectOptions();
    if (HGLOBAL picture = MakeMetafilePicture(options)) {
        if (!SetClipboardData(CF_METAFILEPICT, picture)) {
            Log("Doc:SetClipboardData(picture) FAIL %lu", GetLastError());
            FreeMetafilePicture(picture);
        }
    }
    if (HBITMAP icon = MakeIconBitmap(options)) {
        if (!SetClipboardData(CF_BITMAP, icon)) {
            Log("Doc:SetClipboardData(bitmap) FAIL %lu", GetLastError());
            DeleteObject(icon);
        }
    }
}

int Copy(bool cut)
{
    HGLOBAL image = MakeClipWave(true);
    if (!image)
        return ERR_NO_MEMORY;
    if (!EmptyClipboard() || !SetClipboardData(CF_WAVE, image)) {
        Log("Doc:SetClipboardData FAIL %lu", GetLastError());
        GlobalFree(image);
        return ERR_NO_MEMORY;
    }
    OfferPictures();
    return cut ? RemoveSelectionForCut() : 0;
}

// Paste (READ_PASTE) or probe (READ_MEASURE) of the clipboard's sound.
int Paste(int mode)
{
    UINT format = IsClipboardFormatAvailable(CF_WAVE) ? CF_WAVE : CF_RIFF;
    if (!IsClipboardFormatAvailable(format))
        return -1;
    // Offered but not delivered (its owner failed to render it), or gone:
    // there is no sound to read.
    HANDLE block = GetClipboardData(format);
    SIZE_T size = block ? GlobalSize(block) : 0;
    const void* data = size ? GlobalLock(block) : nullptr;
    if (!data) {
        Log("Doc:GetClipboardData(%u) FAIL", format);
        return ERR_FILE_SHORT;
    }
    int rc = ReadClipWave(static_cast<const uint8_t*>(data), size, mode);
    GlobalUnlock(block);
    return rc;
}

}

HGLOBAL MakeClipWave(bool selection)
{
    uint32_t size = ClipWaveSize(selection);
    if (size == 0)
        return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, size);
    void* data = block ? GlobalLock(block) : nullptr;
    bool ok = data && RenderClipWave(selection, static_cast<uint8_t*>(data), size);
    if (data)
        GlobalUnlock(block);
    if (ok)
        return block;
    if (!data)
        Log("Doc:GetMyClipWave FAIL");
    if (block)
        GlobalFree(block);
    return nullptr;
}

int ClipboardCommand(HWND owner, int command)
{
    // Asked whenever the menu opens: the formats are known without opening
    // the clipboard, which another program may hold open.
    if (command == CLIP_QUERY)
        return HasSound() ? 1 : 0;
    if (!OpenClipboard(owner))
        return command == CLIP_PROBE ? 0 : -1;
    int rc = -1;
    switch (command) {
    case IDM_EDIT_CUT:
    case IDM_MSG_CUT:
        rc = Copy(true);
        break;
    case IDM_EDIT_COPY:
    case IDM_MSG_COPY:
        rc = Copy(false);
        break;
    case IDM_EDIT_PASTE:
    case IDM_MSG_PASTE:
        rc = Paste(READ_PASTE);
        break;
    case CLIP_PROBE:
        rc = Paste(READ_MEASURE);
        break;
    default:
        break;
    }
    CloseClipboard();
    if (command == CLIP_PROBE)
        return rc == 0 ? 1 : 0;
    if (rc > 0)
        ShowError(owner, rc);
    return rc;
}
