#include "app/drag_out_win.h"

#include <shlobj.h>

#include <cstring>

#include "app/file_commands.h"
#include "base/app.h"
#include "base/file_names.h"
#include "base/update_views.h"
#include "resource.h"
#include "sound/document.h"

namespace {

struct DragOut {
    bool active = false;
    HCURSOR noDrop = nullptr;
    HCURSOR drop = nullptr;
    HWND target = nullptr;
};

DragOut drag;

// The window under the point, or its nearest ancestor, that takes dropped
// files; null when none does.
HWND FileTarget(POINT screen)
{
    for (HWND w = WindowFromPoint(screen); w; w = GetAncestor(w, GA_PARENT)) {
        if (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_ACCEPTFILES)
            return w;
        if (w == GetDesktopWindow())
            break;
    }
    return nullptr;
}

void Track(HWND frame, POINT screen)
{
    drag.target = IsWindowEnabled(frame) ? FileTarget(screen) : nullptr;
    SetCursor(drag.target ? drag.drop : drag.noDrop);
}

void EndDrag()
{
    if (drag.noDrop)
        DestroyCursor(drag.noDrop);
    if (drag.drop)
        DestroyCursor(drag.drop);
    drag = {};
    UpdateViews(UpdTransport);
}

POINT ToScreen(HWND frame, POINT client)
{
    ClientToScreen(frame, &client);
    return client;
}

}

HGLOBAL MakeDropBlock(const std::string& name, POINT screen, bool nonClient)
{
    // The header, the name with its zero, and the zero that ends the list.
    size_t bytes = sizeof(DROPFILES) + name.size() + 2;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, bytes);
    if (!block)
        return nullptr;
    auto* files = static_cast<DROPFILES*>(GlobalLock(block));
    if (!files) {
        GlobalFree(block);
        return nullptr;
    }
    files->pFiles = sizeof(DROPFILES);
    files->pt = screen;
    files->fNC = nonClient;
    files->fWide = FALSE;
    std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), name.c_str(), name.size());
    GlobalUnlock(block);
    return block;
}

void BeginDragOut(HWND frame, POINT screen)
{
    if (drag.active || !IsAcceptableFileName(TheDocument().Name()))
        return;
    // The receiver reads the file: changes it lacks are saved first, or
    // nothing is dragged.
    if (DocumentNeedsSave() && (!AskSaveChanges() || DocumentNeedsSave())) {
        UpdateViews(UpdTransport);
        return;
    }
    HINSTANCE instance = static_cast<HINSTANCE>(TheApp().instance);
    drag.active = true;
    drag.noDrop = LoadCursorA(instance, MAKEINTRESOURCEA(IDC_DRAG_NO_DROP));
    drag.drop = LoadCursorA(instance, MAKEINTRESOURCEA(IDC_DRAG_DROP));
    SetCapture(frame);
    Track(frame, screen);
}

bool DragOutMouseMove(HWND frame, POINT client)
{
    if (!drag.active)
        return false;
    if (GetCapture() == frame)
        Track(frame, ToScreen(frame, client));
    return true;
}

bool DragOutButtonUp(HWND frame, POINT client)
{
    if (!drag.active)
        return false;
    ReleaseCapture();
    POINT screen = ToScreen(frame, client);
    Track(frame, screen);
    HWND target = drag.target;
    if (target && target != frame) {
        POINT inTarget = screen;
        ScreenToClient(target, &inTarget);
        LRESULT hit = SendMessageA(target, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
        if (HGLOBAL block = MakeDropBlock(TheDocument().Name(), inTarget, hit != HTCLIENT)) {
            if (!PostMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0))
                GlobalFree(block);
        }
    }
    EndDrag();
    return true;
}

bool DragOutCancel(HWND frame)
{
    if (!drag.active)
        return false;
    if (GetCapture() == frame)
        ReleaseCapture();
    EndDrag();
    return true;
}
