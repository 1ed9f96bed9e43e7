#include "view/zoom_wnd.h"

#include <windowsx.h>

#include <algorithm>

#include "base/app.h"
#include "base/app_options.h"
#include "base/host.h"
#include "base/update_views.h"
#include "device/engine.h"
#include "resource.h"
#include "sound/document.h"
#include "view/mouse_capture_win.h"
#include "view/selection_ops.h"
#include "view/wave_views_win.h"

namespace {

CKV_TopZoomWnd* topZoom = nullptr;
CKV_ZoomWnd* overview = nullptr;

const int SEPARATOR = 0;
const int overviewPopup[] = {
    IDM_FILE_PROPERTIES, IDM_OPT_MIXING, SEPARATOR, IDM_EDIT_UNDO, IDM_EDIT_CUT, IDM_EDIT_COPY,
    IDM_EDIT_PASTE, IDM_EDIT_PASTE_FILE, IDM_EDIT_DELETE, SEPARATOR, IDM_EDIT_SELECT_ALL, SEPARATOR,
    IDM_OPT_AMPLIFY, IDM_OPT_FADE, IDM_OPT_ECHO, IDM_OPT_PITCH,
};

bool WaveformShown()
{
    return TheAppOptions().showWaveform != 0;
}

int32_t Margin()
{
    return TheApp().charWidth;
}

// The waveform's colours: complements of the highlight colours, so that an
// inverted band shows the system's own highlight.
COLORREF WaveColour()
{
    return ~GetSysColor(COLOR_HIGHLIGHT) & 0xFFFFFF;
}

COLORREF ViewBackground()
{
    return ~GetSysColor(COLOR_HIGHLIGHTTEXT) & 0xFFFFFF;
}

RECT ToRect(const StripRect& r)
{
    return RECT{r.left, r.top, r.right, r.bottom};
}

void InvalidateStripRect(HWND hwnd, const StripRect& r)
{
    RECT rc = ToRect(r);
    InvalidateRect(hwnd, &rc, TRUE);
}

// A handle as a right triangle whose vertical side stands at the position:
// on the right for a start, on the left for an end.
void DrawHandle(HDC dc, const StripRect& r, bool start)
{
    if (r.right - r.left < 1 || r.bottom - r.top < 1)
        return;
    const int32_t left = r.left;
    const int32_t right = r.right - 1;
    const int32_t top = r.top;
    const int32_t bottom = r.bottom - 1;
    POINT p[3];
    if (start)
        p[0] = {right, top}, p[1] = {right, bottom}, p[2] = {left, bottom};
    else
        p[0] = {left, top}, p[1] = {left, bottom}, p[2] = {right, bottom};
    Polygon(dc, p, 3);
}

// Selects the frame pen and the button-face brush for the handles; the old
// objects go back when it leaves.
class HandleTools {
public:
    explicit HandleTools(HDC dc)
        : dc(dc), pen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWFRAME))),
          oldPen(SelectObject(dc, pen)), oldBrush(SelectObject(dc, GetSysColorBrush(COLOR_BTNFACE)))
    {
    }
    ~HandleTools()
    {
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }

private:
    HDC dc;
    HPEN pen;
    HGDIOBJ oldPen;
    HGDIOBJ oldBrush;
};

bool IsMouseMessage(UINT message)
{
    return message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK;
}

void SetDragOrArrowCursor(bool overHandle)
{
    const App& app = TheApp();
    SetCursor(static_cast<HCURSOR>(overHandle ? app.cursorSizeWE : app.cursorArrow));
}

void PaintWindow(HWND hwnd, const CWindowBase& window, void (*paint)(const CWindowBase&, HDC))
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    paint(window, dc);
    EndPaint(hwnd, &ps);
}

}

void UpdateZoomStrips()
{
    if (topZoom)
        topZoom->Update();
    if (overview)
        overview->Update();
}

CKV_TopZoomWnd::~CKV_TopZoomWnd()
{
    if (topZoom == this)
        topZoom = nullptr;
}

LRESULT CKV_StripWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        Attach(true);
        InstallWaveViewsUpdate();
        break;
    case WM_DESTROY:
        Attach(false);
        break;
    case WM_SIZE:
        OnSize(static_cast<int16_t>(LOWORD(lParam)), static_cast<int16_t>(HIWORD(lParam)));
        return 0;
    case WM_PAINT:
        PaintWindow(hwnd, *this, [](const CWindowBase& w, HDC dc) {
            static_cast<const CKV_StripWnd&>(w).Paint(dc);
        });
        return 0;
    case WM_ERASEBKGND:
        return 1;       // the paint fills everything
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && GetCapture() != hwnd) {
            POINT p;
            GetCursorPos(&p);
            ScreenToClient(hwnd, &p);
            SetDragOrArrowCursor(OverHandle(p.x, p.y));
            return TRUE;
        }
        break;
    case WM_CANCELMODE:
        if (GetCapture() == hwnd) {
            EndMouseCapture();
            OnCaptureCancelled();
        }
        break;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        return 0;
    default:
        if (IsMouseMessage(message)) {
            if (message == WM_MOUSEMOVE)
                TrackMouseLeave(hwnd);
            OnMouse(message, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        }
        break;
    }
    return CWindowBase::WindowProc(message, wParam, lParam);
}

void CKV_TopZoomWnd::Attach(bool created)
{
    if (created)
        topZoom = this;
    else if (topZoom == this)
        topZoom = nullptr;
}

bool CKV_TopZoomWnd::OverHandle(int32_t x, int32_t y) const
{
    return handles.start.Contains(x, y) || handles.end.Contains(x, y);
}

void CKV_TopZoomWnd::OnCaptureCancelled()
{
    SetSelection(shownStart, shownLength, ORIGIN_GESTURE_END);
}

void CKV_TopZoomWnd::OnSize(int32_t width, int32_t height)
{
    geometry = MakeStripGeometry(width, height, Margin());
    recalc = true;
    InvalidateRect(hwnd, nullptr, TRUE);
    Update();
}

void CKV_TopZoomWnd::Update()
{
    if (!WaveformShown() || geometry.usable < 1)
        return;
    const Selection& s = TheSelection();
    if (s.viewStart != shownViewStart || s.viewLength != shownViewLength)
        recalc = true;
    if (!recalc && s.selStart == shownStart && s.selLength == shownLength)
        return;
    recalc = false;
    shownStart = s.selStart;
    shownLength = s.selLength;
    shownViewStart = s.viewStart;
    shownViewLength = s.viewLength;
    const ZoomBarHandles placed =
        PlaceZoomBarHandles(geometry, shownStart, shownLength, shownViewStart, shownViewLength);
    if (placed.start != handles.start) {
        InvalidateStripRect(hwnd, handles.start);
        InvalidateStripRect(hwnd, placed.start);
    }
    if (placed.end != handles.end) {
        InvalidateStripRect(hwnd, handles.end);
        InvalidateStripRect(hwnd, placed.end);
    }
    handles = placed;
}

void CKV_TopZoomWnd::Paint(HDC dc) const
{
    RECT client{0, 0, geometry.usable + 2 * geometry.margin, geometry.height};
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    if (!WaveformShown() || geometry.usable < 1)
        return;
    HandleTools tools(dc);
    DrawHandle(dc, handles.start, true);
    DrawHandle(dc, handles.end, false);
}

int32_t CKV_TopZoomWnd::MousePosition(int32_t x) const
{
    const Selection& s = TheSelection();
    return ZoomBarPosition(geometry, x, s.viewStart, s.viewLength);
}

void CKV_TopZoomWnd::OnMouse(UINT message, int32_t x, int32_t y)
{
    if (geometry.usable < 1)
        return;
    const int32_t pos = MousePosition(x);
    SelectionLink& link = ViewSelectionLink();
    const bool captured = GetCapture() == hwnd;
    switch (message) {
    case WM_LBUTTONDOWN: {
        Update();
        const Selection& s = TheSelection();
        BeginMouseCapture(hwnd);
        const StripPress press =
            PressOnRow(x, pos, handles.start, handles.end, s.selStart, s.selLength, true, true);
        anchor = press.anchor;
        if (press.kind == PRESS_KEEP)
            SetSelection(s.selStart, s.selLength, press.origin);
        else if (press.kind == PRESS_COLLAPSE)
            link.SelectBetween(pos, pos, press.origin);
        else
            link.SelectBetween(anchor, pos, press.origin);
        break;
    }
    case WM_MOUSEMOVE:
        if (captured)
            link.SelectBetween(anchor, pos, ORIGIN_DRAG);
        else
            SetDragOrArrowCursor(handles.start.Contains(x, y) || handles.end.Contains(x, y));
        break;
    case WM_LBUTTONUP:
        if (captured) {
            EndMouseCapture();
            link.SelectBetween(anchor, pos, ORIGIN_GESTURE_END);
        }
        break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        anchor = pos;
        link.SelectBetween(pos, pos, ORIGIN_COMMAND);
        break;
    default:
        break;
    }
    UpdateViews(UpdMousePos);
}

CKV_ZoomWnd::~CKV_ZoomWnd()
{
    if (overview == this)
        overview = nullptr;
}

void CKV_ZoomWnd::Attach(bool created)
{
    if (created)
        overview = this;
    else if (overview == this)
        overview = nullptr;
}

bool CKV_ZoomWnd::OverHandle(int32_t x, int32_t y) const
{
    for (const StripRect& r : placed.handles) {
        if (r.Contains(x, y))
            return true;
    }
    return false;
}

void CKV_ZoomWnd::OnCaptureCancelled()
{
    const bool wasPlay = dragMode == DRAG_PLAY;
    dragMode = DRAG_NONE;
    restartPlay = false;
    if (wasPlay)
        InvalidateStripRect(hwnd, ThumbRect(placed.playX));
}

void CKV_ZoomWnd::OnSize(int32_t width, int32_t height)
{
    geometry = MakeStripGeometry(width, height, Margin());
    recalc = true;
    Update();
}

StripState CKV_ZoomWnd::Current() const
{
    const Selection& s = TheSelection();
    StripState c;
    c.documentLength = TheDocument().length;
    c.viewStart = s.viewStart;
    c.viewLength = s.viewLength;
    c.selStart = s.selStart;
    c.selLength = s.selLength;
    c.playPos = s.playPos;
    return c;
}

// The play position as a thumb, m wide and centred on it, or as a column
// through the bar: the wider of the two covers both.
StripRect CKV_ZoomWnd::ThumbRect(int32_t x) const
{
    const int32_t half = geometry.margin / 2 + 1;
    return StripRect{x - half, 0, x + half + 1, geometry.height};
}

void CKV_ZoomWnd::InvalidateStrip(const StripRect& r)
{
    InvalidateStripRect(hwnd, r);
}

void CKV_ZoomWnd::Update()
{
    const StripState now = Current();
    const bool same = now.documentLength == shown.documentLength && now.viewStart == shown.viewStart &&
        now.viewLength == shown.viewLength && now.selStart == shown.selStart &&
        now.selLength == shown.selLength && now.playPos == shown.playPos;
    if (!recalc && same)
        return;
    const OverviewPlacement next = PlaceOverview(geometry, now);
    if (recalc || now.documentLength != shown.documentLength) {
        InvalidateRect(hwnd, nullptr, TRUE);
    } else {
        // The selection and the shown range are drawn into the bar, which
        // is thin: it is repainted whole whenever either changes.
        if (now.selStart != shown.selStart || now.selLength != shown.selLength ||
            now.viewStart != shown.viewStart || now.viewLength != shown.viewLength)
            InvalidateStrip(StripRect{0, next.bar.top - 1, geometry.usable + 2 * geometry.margin,
                next.bar.bottom + 1});
        for (int i = 0; i < OVERVIEW_HANDLES; i++) {
            if (next.handles[i] != placed.handles[i]) {
                InvalidateStrip(placed.handles[i]);
                InvalidateStrip(next.handles[i]);
            }
        }
        if (next.playX != placed.playX) {
            InvalidateStrip(ThumbRect(placed.playX));
            InvalidateStrip(ThumbRect(next.playX));
        }
    }
    recalc = false;
    shown = now;
    placed = next;
}

void CKV_ZoomWnd::Paint(HDC dc) const
{
    const int32_t width = geometry.usable + 2 * geometry.margin;
    RECT client{0, 0, width, geometry.height};
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    if (geometry.usable < 1 || geometry.height < 3)
        return;
    const bool waveform = WaveformShown();
    const StripRect& bar = placed.bar;

    HPEN framePen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWFRAME));
    HGDIOBJ oldPen = SelectObject(dc, framePen);
    HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(COLOR_BTNSHADOW));
    Rectangle(dc, bar.left - 1, bar.top - 1, bar.right + 1, bar.bottom + 1);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(framePen);

    const int32_t mid = (bar.top + bar.bottom) / 2;
    HPEN windowPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOW));
    oldPen = SelectObject(dc, windowPen);
    MoveToEx(dc, bar.left, mid, nullptr);
    LineTo(dc, bar.right, mid);
    SelectObject(dc, oldPen);
    DeleteObject(windowPen);

    RECT inside{bar.left + 1, bar.top + 1, bar.right - 1, bar.bottom - 1};
    if (waveform) {
        inside.left = std::max<LONG>(inside.left, OverviewX(geometry, shown.viewStart, shown.documentLength));
        inside.right = std::min<LONG>(inside.right,
            OverviewX(geometry, static_cast<int32_t>(std::min<int64_t>(
                int64_t(shown.viewStart) + shown.viewLength, INT32_MAX)), shown.documentLength));
    }
    if (inside.right > inside.left && inside.bottom > inside.top) {
        HBRUSH background = CreateSolidBrush(ViewBackground());
        FillRect(dc, &inside, background);
        DeleteObject(background);
        HPEN wavePen = CreatePen(PS_SOLID, 1, WaveColour());
        oldPen = SelectObject(dc, wavePen);
        MoveToEx(dc, inside.left, mid, nullptr);
        LineTo(dc, inside.right, mid);
        SelectObject(dc, oldPen);
        DeleteObject(wavePen);
    }

    if (shown.selLength > 0) {
        RECT sel{placed.handles[HANDLE_SEL_START].right - 1, bar.top, placed.handles[HANDLE_SEL_END].left,
            bar.bottom};
        if (sel.right > sel.left)
            InvertRect(dc, &sel);
    }

    if (waveform && dragMode != DRAG_PLAY) {
        RECT column{placed.playX, bar.top, placed.playX + 1, bar.bottom};
        InvertRect(dc, &column);
    } else {
        const int32_t half = geometry.margin / 2;
        RECT thumb{placed.playX - half, 0, placed.playX - half + geometry.margin, geometry.height};
        FillRect(dc, &thumb, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT);
    }

    HandleTools tools(dc);
    DrawHandle(dc, placed.handles[HANDLE_SEL_START], true);
    DrawHandle(dc, placed.handles[HANDLE_SEL_END], false);
    if (waveform) {
        DrawHandle(dc, placed.handles[HANDLE_VIEW_START], true);
        DrawHandle(dc, placed.handles[HANDLE_VIEW_END], false);
    }
}

void CKV_ZoomWnd::Press(int32_t x, int32_t y, int32_t pos)
{
    Update();
    const Selection& s = TheSelection();
    SelectionLink& link = ViewSelectionLink();
    dragMode = OverviewRow(geometry, y, WaveformShown());
    BeginMouseCapture(hwnd);
    anchor = pos;
    if (dragMode == DRAG_PLAY) {
        // The engine stops here and its position updates end with it; play
        // resumes from wherever the thumb is let go.
        restartPlay = TheDev().mode == DevMode::Playing;
        SetPlayPosition(pos, ORIGIN_COMMAND);
        InvalidateStrip(ThumbRect(placed.playX));
        return;
    }
    if (dragMode == DRAG_SELECTION) {
        const StripPress press = PressOnRow(x, pos, placed.handles[HANDLE_SEL_START],
            placed.handles[HANDLE_SEL_END], s.selStart, s.selLength, true, true);
        anchor = press.anchor;
        if (press.kind == PRESS_KEEP)
            SetSelection(s.selStart, s.selLength, press.origin);
        else if (press.kind == PRESS_COLLAPSE)
            link.SelectBetween(pos, pos, press.origin);
        else
            link.SelectBetween(anchor, pos, press.origin);
        return;
    }
    const StripPress press = PressOnRow(x, pos, placed.handles[HANDLE_VIEW_START], placed.handles[HANDLE_VIEW_END],
        s.viewStart, s.viewLength, false, false);
    anchor = press.anchor;
    if (press.kind == PRESS_KEEP)
        SetViewRange(s.viewStart, s.viewLength, press.origin);
    else
        SetViewRange(std::min(anchor, pos), std::max(anchor, pos) - std::min(anchor, pos), press.origin);
}

void CKV_ZoomWnd::Release(int32_t pos)
{
    EndMouseCapture();
    const int mode = dragMode;
    dragMode = DRAG_NONE;
    const Selection& s = TheSelection();
    if (mode == DRAG_PLAY) {
        InvalidateStrip(ThumbRect(placed.playX));
        SetPlayPosition(pos, ORIGIN_GESTURE_END);
        if (restartPlay) {
            restartPlay = false;
            const int rc = Play();
            if (rc > 0)
                TheHost().ShowError(rc);
        }
    } else if (mode == DRAG_SELECTION) {
        SetSelection(s.selStart, s.selLength, ORIGIN_GESTURE_END);
    } else if (mode == DRAG_VIEW) {
        SetViewRange(s.viewStart, s.viewLength, ORIGIN_GESTURE_END);
    }
}

void CKV_ZoomWnd::OnMouse(UINT message, int32_t x, int32_t y)
{
    if (geometry.usable < 1)
        return;
    const int32_t pos = OverviewPosition(geometry, x, TheDocument().length);
    const bool captured = GetCapture() == hwnd;
    switch (message) {
    case WM_LBUTTONDOWN:
        Press(x, y, pos);
        break;
    case WM_MOUSEMOVE:
        if (!captured) {
            bool over = false;
            for (const StripRect& r : placed.handles)
                over = over || r.Contains(x, y);
            SetDragOrArrowCursor(over);
        } else if (dragMode == DRAG_SELECTION) {
            ViewSelectionLink().SelectBetween(anchor, pos, ORIGIN_DRAG);
        } else if (dragMode == DRAG_PLAY) {
            SetPlayPosition(pos, ORIGIN_DRAG);
        } else if (dragMode == DRAG_VIEW) {
            SetViewRange(std::min(anchor, pos), std::max(anchor, pos) - std::min(anchor, pos), ORIGIN_DRAG);
        }
        break;
    case WM_LBUTTONUP:
        if (captured)
            Release(pos);
        break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: {
        const int row = OverviewRow(geometry, y, WaveformShown());
        if (row == DRAG_SELECTION)
            SetSelection(pos, 0, ORIGIN_COMMAND);
        else if (row == DRAG_PLAY)
            SetPlayPosition(pos, ORIGIN_COMMAND);
        else
            SetViewRange(pos, 0, ORIGIN_COMMAND);
        break;
    }
    case WM_RBUTTONDOWN:
        ShowPopup(x, y);
        break;
    default:
        break;
    }
    UpdateViews(UpdMousePos);
}

// The popup's items take their texts from the frame menu's items of the same
// commands. It is tracked for the frame, which enables and checks it from the
// command table as it does its own menu when it opens, and gets the choice.
void CKV_ZoomWnd::ShowPopup(int32_t x, int32_t y)
{
    HWND frame = static_cast<HWND>(TheHost().FrameWindow());
    if (!frame)
        return;
    HMENU popup = CreatePopupMenu();
    if (!popup)
        return;
    HMENU frameMenu = GetMenu(frame);
    for (int command : overviewPopup) {
        char text[64];
        if (command == SEPARATOR)
            AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
        else if (GetMenuStringA(frameMenu, command, text, sizeof text, MF_BYCOMMAND) > 0)
            AppendMenuA(popup, MF_STRING, command, text);
    }
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    TrackPopupMenu(popup, TPM_RIGHTBUTTON, p.x, p.y, 0, frame, nullptr);
    DestroyMenu(popup);
}
