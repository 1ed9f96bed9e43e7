#include "view/mouse_capture_win.h"

#include "base/app.h"
#include "base/host.h"
#include "base/update_views.h"
#include "sound/document.h"

namespace {

int32_t dragOrigin = 0;

}

void BeginMouseCapture(HWND window)
{
    if (HWND frame = static_cast<HWND>(TheHost().FrameWindow()))
        SetFocus(frame);
    SetCapture(window);
    SetCursor(static_cast<HCURSOR>(TheApp().cursorSizeWE));
    dragOrigin = TheSelection().anchorPos;
}

void EndMouseCapture()
{
    ReleaseCapture();
    SetCursor(static_cast<HCURSOR>(TheApp().cursorArrow));
}

int32_t MouseDragOrigin()
{
    return dragOrigin;
}

void TrackMouseLeave(HWND window)
{
    TRACKMOUSEEVENT track = {};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = window;
    TrackMouseEvent(&track);
}

void OnMouseLeave()
{
    Selection& sel = TheSelection();
    if (sel.mousePos < 0)
        return;
    sel.mousePos = -1;
    UpdateViews(UpdMousePos);
}
