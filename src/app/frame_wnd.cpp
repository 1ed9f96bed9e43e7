#include "app/frame_wnd.h"

#include <algorithm>

#include "app/clipboard_win.h"
#include "app/command_table.h"
#include "app/drag_out_win.h"
#include "app/error_box_win.h"
#include "app/file_commands.h"
#include "app/frame_children_wnd.h"
#include "app/file_ui_win.h"
#include "app/frame_menu_wnd.h"
#include "app/host_win.h"
#include "app/settings.h"
#include "base/app.h"
#include "base/app_options.h"
#include "base/error_message.h"
#include "base/intl_settings.h"
#include "base/settings_store.h"
#include "base/update_views.h"
#include "device/engine.h"
#include "edit/actions.h"
#include "resource.h"
#include "sound/document.h"
#include "view/display_options.h"
#include "view/position_panel_win.h"
#include "view/freq_wnd.h"

namespace {

CKV_FrameWnd theFrame;

POINT PointFrom(LPARAM lParam)
{
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
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

CKV_FrameWnd::~CKV_FrameWnd()
{
    DeleteChildren();
}

// The children's windows are gone (destroyed with the frame, or never
// made); their objects go now.
void CKV_FrameWnd::DeleteChildren()
{
    for (CWindowBase*& child : children) {
        delete child;
        child = nullptr;
    }
}

LRESULT CKV_FrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate();
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_NCDESTROY:
        DeleteChildren();
        return CWindowBase::WindowProc(message, wParam, lParam);
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
        // Log-off waits for the save question; Cancel keeps the session.
        return AskSaveChanges() ? TRUE : FALSE;
    case WM_MOUSEMOVE:
        if (!DragOutMouseMove(hwnd, PointFrom(lParam)))
            return CWindowBase::WindowProc(message, wParam, lParam);
        return 0;
    case WM_LBUTTONUP:
        if (!DragOutButtonUp(hwnd, PointFrom(lParam)))
            return CWindowBase::WindowProc(message, wParam, lParam);
        return 0;
    case WM_CANCELMODE:
        DragOutCancel(hwnd);
        return CWindowBase::WindowProc(message, wParam, lParam);
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
            UpdateViews(UpdDevCaps | UpdTransport);
        return 0;
    case WM_SETTINGCHANGE:
        // The decimal separator and list separator may have changed: every
        // number on show is written again.
        if (SettingsStore* profile = TheSystemProfile())
            ReadIntlSettings(*profile);
        UpdateViews(UpdAll);
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        return 0;
    case WM_VSCROLL:
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDW_LOCATION_SCROLL)
            OnLocationStep(LOWORD(wParam));
        return 0;
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
        OnCommand(static_cast<int>(message), nullptr, 0);
        return 0;
    case WM_RENDERALLFORMATS:
        // The clipboard's data is always rendered when it is put there.
        if (OpenClipboard(hwnd))
            CloseClipboard();
        return 0;
    case WM_INITMENU:
        UpdateMenuStates(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_INITMENUPOPUP:
        OnMenuPopup(hwnd, reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_MENUSELECT:
        TrackMenuHelpContext(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
        return 0;
    case WM_ENTERIDLE:
        if (wParam == MSGF_MENU && GetKeyState(VK_F1) < 0)
            OnCommand(IDM_HELP_CONTEXT, nullptr, 0);
        return 0;
    case WM_RBUTTONDOWN:
        ShowFramePopup(hwnd, {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        return 0;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(TheApp().buttonFaceBrush);
    case DM_GETDEFID:
        // Enter, through the dialog key handling of the main loop, presses
        // the transport button last used.
        return FRAME_DEFID_MARK | LOWORD(TheSelection().lastButton);
    case DM_SETDEFID:
        OnPressedButton(static_cast<int>(wParam));
        return TRUE;
    default:
        return CWindowBase::WindowProc(message, wParam, lParam);
    }
}

LRESULT CKV_FrameWnd::OnCreate()
{
    TheApp().frame = this;
    DeleteChildren();
    if (!CreateFrameChildren(*this))
        return -1;
    SetDisplayLayoutHandler(ApplyDisplayLayout);
    InstallPositionPanel();
    InstallFileUi();
    RebuildRecentMenu(hwnd);
    SetDragOutAvailable(true);
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

// A maximized frame's corner is not a place to reopen at.
void CKV_FrameWnd::OnMove()
{
    if (!IsZoomed(hwnd))
        StorePlacement(false);
}

void CKV_FrameWnd::OnSize(int type, int width, int height)
{
    if (type == SIZE_MINIMIZED || type == SIZE_MAXHIDE)
        return;
    const AppOptions& options = TheAppOptions();
    if (options.showWaveform && type != SIZE_MAXIMIZED)
        StorePlacement(true);
    LayoutFrameChildren(hwnd, width, height);
}

// Unsaved changes are asked about first; Cancel keeps the program. The
// devices are closed while the window still takes their messages.
void CKV_FrameWnd::OnClose()
{
    if (!AskSaveChanges())
        return;
    CloseDevices();
    DestroyWindow(hwnd);
}

void CKV_FrameWnd::OnGetMinMaxInfo(MINMAXINFO* info)
{
    const AppOptions& options = TheAppOptions();
    FrameTrackSize size = FrameMinimumSize(MeasuredFrameMetrics(), options.showWaveform != 0,
        options.showLocations != 0);
    RECT r = {0, 0, size.minClientWidth, size.minClientHeight};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    info->ptMinTrackSize.x = r.right - r.left;
    info->ptMinTrackSize.y = r.bottom - r.top;
    // Without the waveform the frame can only be resized horizontally.
    if (size.fixedHeight)
        info->ptMaxTrackSize.y = r.bottom - r.top;
}

void CKV_FrameWnd::OnCommand(int id, HWND control, int code)
{
    // The location fields' notifications are no commands: focus and typing
    // are followed also while an action runs (which refuses the change).
    if (control && (id == IDW_FIELD_START || id == IDW_FIELD_LENGTH)) {
        OnLocationNotify(id, code);
        return;
    }
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
    case IDM_VOLUME_UP:
        StepVolumePopup(+1);
        break;
    case IDM_VOLUME_DOWN:
        StepVolumePopup(-1);
        break;
    case IDB_VOLUME:
        ToggleVolumePopup();
        break;
    case IDM_VIEW_SPECTROGRAM:
        ToggleSpectrogram();
        break;
    case IDM_EDIT_CUT:
    case IDM_MSG_CUT:
    case IDM_EDIT_COPY:
    case IDM_MSG_COPY:
    case IDM_EDIT_PASTE:
    case IDM_MSG_PASTE:
        ClipboardCommand(hwnd, id);
        break;
    case IDB_DRAG:
        // Only the press itself starts a drag, at the button's corner.
        if (code == 0) {
            RECT r;
            GetWindowRect(GetDlgItem(hwnd, IDB_DRAG), &r);
            BeginDragOut(hwnd, {r.left, r.top});
        }
        break;
    default:
        if (int rc = RunCommand(id, GetKeyState(VK_SHIFT) < 0); rc > 0)
            ShowError(hwnd, rc);
        break;
    }
}

// Esc, and Enter in a location field: the volume popup closes; else a
// focused field gives the focus back to the frame, which sends what was
// typed there, unless it was Esc, which drops it; else play or record stops.
void CKV_FrameWnd::OnEscape()
{
    if (CloseVolumePopup())
        return;
    if (TheApp().locationEditFocus) {
        if (GetKeyState(VK_ESCAPE) < 0)
            RestoreLocationEdit();
        SetFocus(hwnd);
    } else {
        Stop();
    }
}

// The transport button last used is drawn highlighted; Enter presses it.
void CKV_FrameWnd::OnPressedButton(int id)
{
    if (id < IDB_REWIND || id > IDB_DRAG)
        id = IDB_PLAY;
    Selection& sel = TheSelection();
    if (id == sel.lastButton)
        return;
    SendDlgItemMessageA(hwnd, sel.lastButton, BM_SETCHECK, FALSE, 0);
    SendDlgItemMessageA(hwnd, id, BM_SETCHECK, TRUE, 0);
    sel.lastButton = id;
}

// One sound at a time: of several files dropped only the first opens, and
// plays. The drop is released whatever happens.
void CKV_FrameWnd::OnDropFiles(HDROP drop)
{
    char name[MAX_PATH + 1] = {};
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    if (count > 0)
        DragQueryFileA(drop, 0, name, MAX_PATH);
    DragFinish(drop);
    if (count == 0)
        return;
    if (count > 1)
        ShowError(nullptr, ERR_MULTIPLE_FILES);
    if (OpenSoundFile(name, true, false)) {
        if (int rc = Play(); rc > 0)
            ShowError(hwnd, rc);
    }
}

void CKV_FrameWnd::Show(int showMode)
{
    ShowWindow(hwnd, showMode);
    UpdateWindow(hwnd);
    trackPlacement = true;
}

namespace {

// A placement on a monitor that is no longer there (or that no monitor
// shows at all) opens where the system places new windows, on the primary
// monitor.
void KeepOnAMonitor(AppOptions& options)
{
    if (options.frameX == KV_CW_USEDEFAULT || options.frameY == KV_CW_USEDEFAULT)
        return;
    RECT r = {options.frameX, options.frameY, options.frameX + std::max(options.frameWidth, 1),
        options.frameY + std::max(options.frameHeight, 1)};
    if (MonitorFromRect(&r, MONITOR_DEFAULTTONULL))
        return;
    options.frameX = KV_CW_USEDEFAULT;
    options.frameY = KV_CW_USEDEFAULT;
}

}

bool CreateFrameWindow()
{
    App& app = TheApp();
    AppOptions& options = TheAppOptions();
    KeepOnAMonitor(options);
    HMENU menu = LoadMenuA(static_cast<HINSTANCE>(app.instance), MAKEINTRESOURCEA(IDM_MENU));
    DWORD style = WS_OVERLAPPEDWINDOW;
    if (!options.showWaveform)
        style &= ~WS_MAXIMIZEBOX;
    theFrame.Create(0, app.className, "Kelvora", style, options.frameX, options.frameY,
        options.frameWidth, options.frameHeight, nullptr, menu,
        static_cast<HINSTANCE>(app.instance));
    if (!app.frame || !theFrame.hwnd) {
        // A child that could not be made fails the frame's creation.
        app.frame = nullptr;
        if (menu)
            DestroyMenu(menu);
        return false;
    }
    return true;
}
