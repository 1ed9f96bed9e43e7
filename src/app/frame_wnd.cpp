#include "app/frame_wnd.h"

#include <commdlg.h>

#include "app/command_table.h"
#include "app/error_box_win.h"
#include "app/host_win.h"
#include "app/settings.h"
#include "base/app.h"
#include "base/app_options.h"
#include "base/update_views.h"
#include "device/engine.h"
#include "device/volume.h"
#include "edit/actions.h"
#include "resource.h"
#include "sound/document.h"

namespace {

CKV_FrameWnd theFrame;

// "Kelvora - <file title>", or "(Untitled)" for a sound without a name.
void UpdateTitle()
{
    if (!theFrame.hwnd)
        return;
    const CKV_Document& doc = TheDocument();
    char title[MAX_PATH] = {};
    const char* shown = doc.GetTitleName();
    if (*doc.Name() && GetFileTitleA(doc.Name(), title, sizeof(title)) == 0)
        shown = title;
    CGString text;
    text.Format("%s - %s", "Kelvora", shown);
    SetWindowTextA(theFrame.hwnd, text.c_str());
}

}

// Only moves and sizes the user makes count as changes, not those the window
// gets while it is created and first shown.
void CKV_FrameWnd::StorePlacement(bool withSize)
{
    if (!trackPlacement || IsIconic(hwnd))
        return;
    RECT r;
    GetWindowRect(hwnd, &r);
    AppOptions& options = TheAppOptions();
    int width = withSize ? r.right - r.left : options.frameWidth;
    int height = withSize ? r.bottom - r.top : options.frameHeight;
    if (options.frameX == r.left && options.frameY == r.top && options.frameWidth == width
        && options.frameHeight == height)
        return;
    options.frameX = r.left;
    options.frameY = r.top;
    options.frameWidth = width;
    options.frameHeight = height;
    options.settingsChanged++;
}

CKV_FrameWnd& TheFrame()
{
    return theFrame;
}

LRESULT CKV_FrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate();
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_MOVE:
        OnMove();
        return 0;
    case WM_SIZE:
        OnSize(static_cast<int>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_GETMINMAXINFO:
        OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_KV_UPDATE_VIEWS:
        RunPendingViewUpdates();
        return 0;
    case MM_WOM_DONE:
        OnPlayDone(reinterpret_cast<KvWaveHdr*>(lParam));
        return 0;
    case MM_WIM_DATA:
        OnRecordData(reinterpret_cast<KvWaveHdr*>(lParam));
        return 0;
    case WM_TIMER:
        if (wParam == DEV_TIMER_ID)
            OnPositionTimer();
        return 0;
    case WM_SHOWWINDOW:
        ShowPositionTimer(wParam != FALSE);
        return CWindowBase::WindowProc(message, wParam, lParam);
    case WM_ACTIVATEAPP:
        // Another program may have changed what the devices can do. Read
        // later, from the update message: the device calls may route sent
        // messages, and this one arrives in the middle of showing the frame.
        if (wParam)
            UpdateViews(UpdDevCaps);
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        return 0;
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
        OnCommand(static_cast<int>(message), nullptr, 0);
        return 0;
    default:
        return CWindowBase::WindowProc(message, wParam, lParam);
    }
}

LRESULT CKV_FrameWnd::OnCreate()
{
    TheApp().frame = this;
    SetViewUpdateHandler(UpdDevCaps, UpdateDeviceCaps);
    SetViewUpdateHandler(UpdTitle, UpdateTitle);
    DragAcceptFiles(hwnd, TRUE);
    UpdateViews(UpdAll);
    return 0;
}

void CKV_FrameWnd::OnDestroy()
{
    // No buffer may come back to a window that is gone, nor point into a
    // sound that is freed. Closed already when the frame was closed; not
    // when it is destroyed directly.
    CloseDevices();
    ResetUndoHistory(ACTSTATE_CLOSING);
    DragAcceptFiles(hwnd, FALSE);
    WriteSettings();
    PostQuitMessage(0);
}

void CKV_FrameWnd::OnMove()
{
    StorePlacement(false);
}

void CKV_FrameWnd::OnSize(int type, int width, int height)
{
    if (type == SIZE_MINIMIZED || type == SIZE_MAXHIDE)
        return;
    const AppOptions& options = TheAppOptions();
    if (options.showWaveform && type != SIZE_MAXIMIZED)
        StorePlacement(true);
}

// The devices are closed while the window still takes their messages.
void CKV_FrameWnd::OnClose()
{
    CloseDevices();
    DestroyWindow(hwnd);
}

void CKV_FrameWnd::OnGetMinMaxInfo(MINMAXINFO* info)
{
    const App& app = TheApp();
    const AppOptions& options = TheAppOptions();
    int cx = app.charWidth;
    int cy = app.charHeight;
    RECT r = {0, 0, cx * 282 / 4, cy * 64 / 8 + app.dialogBaseY * 3 / 2 - 1};
    if (options.showLocations)
        r.bottom += cy * 16 / 8;
    if (options.showWaveform)
        r.bottom += cy * 32 / 8;
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    info->ptMinTrackSize.x = r.right - r.left;
    info->ptMinTrackSize.y = r.bottom - r.top;
    // Without the waveform the frame can only be resized horizontally.
    if (!options.showWaveform)
        info->ptMaxTrackSize.y = r.bottom - r.top;
}

void CKV_FrameWnd::OnCommand(int id, HWND control, int code)
{
    // While an action runs (its progress routes messages) only Stop and Esc
    // get through; every other key, button and menu command is refused.
    if (!CommandAccepted(id))
        return;
    switch (id) {
    case IDM_FILE_EXIT:
        SendMessageA(hwnd, WM_CLOSE, 0, 0);
        break;
    case IDM_ESCAPE:
        OnEscape();
        break;
    default:
        if (int rc = RunCommand(id, GetKeyState(VK_SHIFT) < 0); rc > 0)
            ShowError(hwnd, rc);
        break;
    }
}

// Esc, and Enter in a location field: a focused field gives the focus back
// to the frame; otherwise play or record stops.
void CKV_FrameWnd::OnEscape()
{
    if (TheApp().locationEditFocus)
        SetFocus(hwnd);
    else
        Stop();
}

void CKV_FrameWnd::Show(int showMode)
{
    ShowWindow(hwnd, showMode);
    UpdateWindow(hwnd);
    trackPlacement = true;
}

bool CreateFrameWindow()
{
    App& app = TheApp();
    const AppOptions& options = TheAppOptions();
    HMENU menu = LoadMenuA(static_cast<HINSTANCE>(app.instance), MAKEINTRESOURCEA(IDM_MENU));
    DWORD style = WS_OVERLAPPEDWINDOW;
    if (!options.showWaveform)
        style &= ~WS_MAXIMIZEBOX;
    theFrame.Create(0, app.className, "Kelvora", style, options.frameX, options.frameY,
        options.frameWidth, options.frameHeight, nullptr, menu,
        static_cast<HINSTANCE>(app.instance));
    if (!app.frame) {
        if (menu && !theFrame.hwnd)
            DestroyMenu(menu);
        return false;
    }
    return true;
}
