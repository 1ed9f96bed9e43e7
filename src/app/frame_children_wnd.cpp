#include "app/frame_children_wnd.h"

#include <memory>

#include "app/frame_wnd.h"
#include "base/app.h"
#include "base/app_options.h"
#include "base/string_ids.h"
#include "base/string_table.h"
#include "lib/button_image_wnd.h"
#include "resource.h"
#include "view/display_options.h"
#include "view/wave_wnd.h"
#include "view/zoom_wnd.h"

namespace {

enum ChildClass { OWN_CLASS, EDIT_CLASS, BUTTON_CLASS, STATIC_CLASS, SCROLLBAR_CLASS };

struct ChildRow {
    int id;
    ChildClass kind;
    DWORD style;
};

const DWORD RAISED_PANEL = WS_VISIBLE | WS_DISABLED | BS_PUSHBUTTON;
const DWORD FIELD = WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
const DWORD LABEL = WS_VISIBLE | SS_CENTER;
const DWORD STATUS = WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX;
const DWORD IMAGE_BUTTON = WS_VISIBLE | WS_TABSTOP;

// In creation order, which is also the tab and z-order.
const ChildRow childTable[] = {
    {IDW_TOP_ZOOM, OWN_CLASS, 0},
    {IDW_WAVE, OWN_CLASS, WS_BORDER | WS_TABSTOP},
    {IDW_ZOOM, OWN_CLASS, WS_VISIBLE},
    {IDW_BUTTON_BAR, BUTTON_CLASS, RAISED_PANEL},
    {IDB_REWIND, OWN_CLASS, IMAGE_BUTTON},
    {IDB_FAST_FORWARD, OWN_CLASS, IMAGE_BUTTON},
    {IDB_PLAY, OWN_CLASS, IMAGE_BUTTON | 9},
    {IDB_STOP, OWN_CLASS, IMAGE_BUTTON},
    {IDB_RECORD, OWN_CLASS, IMAGE_BUTTON | BUTTON_IMAGE_LATCHING},
    {IDB_FAST_PLAY, OWN_CLASS, IMAGE_BUTTON},
    {IDB_VOLUME, OWN_CLASS, IMAGE_BUTTON},
    {IDB_DRAG, OWN_CLASS, IMAGE_BUTTON | BUTTON_IMAGE_LATCHING},
    {IDW_FIELD_START, EDIT_CLASS, FIELD},
    {IDW_FIELD_LENGTH, EDIT_CLASS, FIELD},
    {IDW_LABEL_START, STATIC_CLASS, LABEL},
    {IDW_LABEL_LENGTH, STATIC_CLASS, LABEL},
    {IDW_LABEL_MOUSE, STATIC_CLASS, LABEL},
    {IDW_FIELD_MOUSE, EDIT_CLASS, (FIELD & ~WS_TABSTOP) | ES_READONLY},
    {IDW_LABEL_PLAYPOS, STATIC_CLASS, LABEL},
    {IDW_FIELD_PLAYPOS, EDIT_CLASS, (FIELD & ~WS_TABSTOP) | ES_READONLY | ES_AUTOVSCROLL},
    {IDW_STATUS_LEFT_PANEL, BUTTON_CLASS, RAISED_PANEL},
    {IDW_STATUS_LEFT, STATIC_CLASS, STATUS},
    {IDW_STATUS_RIGHT_PANEL, BUTTON_CLASS, RAISED_PANEL},
    {IDW_STATUS_RIGHT, STATIC_CLASS, STATUS},
    {IDW_LOCATION_SCROLL, SCROLLBAR_CLASS, SBS_VERT | WS_DISABLED},
};
static_assert(sizeof childTable / sizeof childTable[0] == FRAME_CHILD_SLOTS, "one slot per child");

const char* ClassName(ChildClass kind)
{
    switch (kind) {
    case EDIT_CLASS:
        return "EDIT";
    case BUTTON_CLASS:
        return "BUTTON";
    case STATIC_CLASS:
        return "STATIC";
    case SCROLLBAR_CLASS:
        return "SCROLLBAR";
    default:
        return TheApp().className;
    }
}

bool IsLocationControl(int id)
{
    return id >= IDW_LABEL_START && id <= IDW_FIELD_PLAYPOS;
}

bool IsImageButton(int id)
{
    return id >= IDB_REWIND && id <= IDB_DRAG;
}

// The object behind a child of the program's own class: the views and the
// image buttons.
std::unique_ptr<CWindowBase> MakeChildObject(int id)
{
    if (IsImageButton(id))
        return std::make_unique<CButtonImage>();
    if (id == IDW_WAVE)
        return std::make_unique<CKV_WaveWnd>();
    if (id == IDW_TOP_ZOOM)
        return std::make_unique<CKV_TopZoomWnd>();
    if (id == IDW_ZOOM)
        return std::make_unique<CKV_ZoomWnd>();
    return nullptr;
}

DWORD ChildStyle(const ChildRow& row)
{
    const AppOptions& options = TheAppOptions();
    DWORD style = row.style | WS_CHILD;
    if (options.showWaveform && !(row.style & (WS_VISIBLE | WS_DISABLED)))
        style |= WS_VISIBLE;
    if (!options.showLocations && IsLocationControl(row.id))
        style &= ~WS_VISIBLE;
    return style;
}

void ShowChildren(HWND frame, int first, int last, bool shown)
{
    for (int id = first; id <= last; id++)
        ShowWindow(GetDlgItem(frame, id), shown ? SW_SHOWNA : SW_HIDE);
}

}

FrameMetrics MeasuredFrameMetrics()
{
    const App& app = TheApp();
    FrameMetrics m;
    m.charWidth = app.charWidth;
    m.charHeight = app.charHeight;
    m.dialogBaseY = app.dialogBaseY;
    for (int i = 0; i < 4; i++)
        m.labelWidths[i] = app.labelWidths[i];
    return m;
}

bool CreateFrameChildren(CKV_FrameWnd& frame)
{
    const App& app = TheApp();
    HINSTANCE instance = static_cast<HINSTANCE>(app.instance);
    HGDIOBJ font = GetStockObject(SYSTEM_FONT);
    int slot = 0;
    for (const ChildRow& row : childTable) {
        HWND child = nullptr;
        const DWORD style = ChildStyle(row);
        const int width = 10 * app.charWidth;
        const int height = 10 * app.charHeight;
        HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id));
        if (row.kind == OWN_CLASS) {
            std::unique_ptr<CWindowBase> object = MakeChildObject(row.id);
            if (!object)
                return false;
            child = object->Create(0, ClassName(row.kind), "", style, 1, 1, width, height, frame.hwnd, id,
                instance);
            if (!child)
                return false;
            frame.children[slot] = object.release();
        } else {
            child = CreateWindowExA(0, ClassName(row.kind), "", style, 1, 1, width, height, frame.hwnd, id,
                instance, nullptr);
            if (!child)
                return false;
        }
        slot++;
        if (row.kind == EDIT_CLASS || row.kind == STATIC_CLASS)
            SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (IsImageButton(row.id)) {
            const int index = row.id - IDB_REWIND;
            SetWindowTextA(child, LoadAppString(STR_BUTTON_FIRST + index));
            static_cast<CButtonImage*>(frame.children[slot - 1])
                ->SetFaces(instance, IDBM_FACE_FIRST + index, IDBM_FACE_DISABLED_FIRST + index);
        }
        if (row.id >= IDW_LABEL_START && row.id <= IDW_LABEL_PLAYPOS)
            SetWindowTextA(child, LoadAppString(STR_LABEL_FIRST + row.id - IDW_LABEL_START));
    }
    return true;
}

void LayoutFrameChildren(HWND frame, int width, int height)
{
    const AppOptions& options = TheAppOptions();
    ChildPlace places[FRAME_LAYOUT_MAX];
    int n = LayoutFrame(MeasuredFrameMetrics(), width, height, options.showWaveform != 0,
        options.showLocations != 0, places);
    HDWP batch = BeginDeferWindowPos(FRAME_CHILD_SLOTS);
    for (int i = 0; i < n && batch; i++) {
        const ChildPlace& p = places[i];
        HWND child = GetDlgItem(frame, p.id);
        if (child)
            batch = DeferWindowPos(batch, child, nullptr, p.x, p.y, p.width, p.height,
                SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (batch)
        EndDeferWindowPos(batch);
}

bool ApplyDisplayLayout(int toggle, bool shown)
{
    HWND frame = TheFrame().hwnd;
    if (!frame)
        return true;
    const AppOptions& options = TheAppOptions();
    const FrameMetrics m = MeasuredFrameMetrics();
    RECT r;
    GetWindowRect(frame, &r);
    int height = r.bottom - r.top;
    if (toggle == TOGGLE_WAVEFORM) {
        if (!shown && IsZoomed(frame))
            return false;
        LONG_PTR style = GetWindowLongPtrA(frame, GWL_STYLE);
        style = shown ? (style | WS_MAXIMIZEBOX) : (style & ~WS_MAXIMIZEBOX);
        SetWindowLongPtrA(frame, GWL_STYLE, style);
        ShowChildren(frame, IDW_TOP_ZOOM, IDW_WAVE, shown);
        // Shown: the height the waveform had; hidden: the frame's minimum,
        // which the size query then raises to.
        height = shown ? options.frameHeight : 0;
    } else if (toggle == TOGGLE_LOCATIONS) {
        ShowChildren(frame, IDW_LABEL_START, IDW_FIELD_PLAYPOS, shown);
        const int row = m.charHeight * 16 / 8;
        height += shown ? row : -row;
    } else {
        return true;
    }
    SetWindowPos(frame, nullptr, 0, 0, r.right - r.left, height,
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RECT client;
    GetClientRect(frame, &client);
    LayoutFrameChildren(frame, client.right, client.bottom);
    return true;
}
