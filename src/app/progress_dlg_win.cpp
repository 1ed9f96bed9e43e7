#include "app/progress_dlg_win.h"

#include "base/app.h"
#include "base/string_ids.h"
#include "base/string_table.h"
#include "lib/dialog_helpers_win.h"
#include "lib/gstring.h"
#include "lib/log.h"
#include "resource.h"

namespace {

// The dialog is painted at most this often: under Wine a paint of its text
// and bar costs about half a millisecond, which at every percent adds a
// fifth to a short effect. Ten times a second is enough to follow.
const DWORD PAINT_INTERVAL_MS = 100;

struct ProgressState {
    HWND dialog = nullptr;
    HWND bar = nullptr;
    // The bar's client rectangle shrunk by its one-pixel frame; `filled` is
    // the right edge of what is filled (inner.left: nothing).
    RECT inner = {};
    int filled = 0;
    int percent = -1;           // on show; -1: nothing yet
    DWORD paintedAt = 0;
    bool cancelled = false;
};

ProgressState state;

HINSTANCE ResourceModule()
{
    void* instance = TheApp().instance;
    return instance ? static_cast<HINSTANCE>(instance) : GetModuleHandleA(nullptr);
}

void CentreOnScreen(HWND dialog)
{
    RECT r;
    GetWindowRect(dialog, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
        (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void InitDialog(HWND dialog, const char* actionName)
{
    state.dialog = dialog;
    CentreOnScreen(dialog);
    SetDlgItemTextA(dialog, IDC_PROGRESS_NAME, actionName ? actionName : "");
    state.bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    if (!state.bar) {
        Log("ActStat:No progress Child");
        return;
    }
    GetClientRect(state.bar, &state.inner);
    InflateRect(&state.inner, -1, -1);
    state.filled = state.inner.left;
}

// The bar is painted whole from the state, so a dialog that was covered
// shows the same fill when it is uncovered.
void DrawBar(const DRAWITEMSTRUCT& item)
{
    RECT frame = item.rcItem;
    DrawEdge(item.hDC, &frame, BDR_SUNKENOUTER, BF_RECT);
    RECT done = state.inner, rest = state.inner;
    done.right = state.filled;
    rest.left = state.filled;
    if (done.right > done.left)
        FillRect(item.hDC, &done, GetSysColorBrush(COLOR_HIGHLIGHT));
    if (rest.right > rest.left)
        FillRect(item.hDC, &rest, GetSysColorBrush(COLOR_BTNFACE));
}

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitDialog(dialog, reinterpret_cast<const char*>(lParam));
        return TRUE;
    case WM_COMMAND:
        // Esc arrives here as the Cancel button's command.
        if (LOWORD(wParam) == IDCANCEL)
            state.cancelled = true;
        return TRUE;
    case WM_DRAWITEM:
        if (wParam == IDC_PROGRESS_BAR) {
            DrawBar(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        if (state.dialog == dialog) {
            state.dialog = nullptr;
            state.bar = nullptr;
        }
        return FALSE;
    default:
        return DialogColour(message, wParam);
    }
}

}

bool ShowProgressDialog(HWND owner, const char* actionName)
{
    CloseProgressDialog();
    state = ProgressState();
    HWND dialog = CreateDialogParamA(ResourceModule(), MAKEINTRESOURCEA(IDD_PROGRESS), owner,
        ProgressDialogProc, reinterpret_cast<LPARAM>(actionName));
    if (!dialog) {
        Log("ActStat:Dialog FAIL %lu", GetLastError());
        return false;
    }
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    return true;
}

bool UpdateProgressDialog(int32_t done, int32_t total)
{
    if (!state.dialog || total <= 0)
        return state.cancelled;
    // In 64 bits: done × 100 passes the 32-bit range past about 21 million
    // blocks.
    const int percent = static_cast<int>(int64_t{done} * 100 / total);
    // Painting at every check would cost an effect more than the check
    // itself: the dialog changes once per percent, and not faster than the
    // eye follows.
    const DWORD now = GetTickCount();
    if (percent == state.percent || (state.percent >= 0 && now - state.paintedAt < PAINT_INTERVAL_MS))
        return state.cancelled;
    state.percent = percent;
    state.paintedAt = now;
    CGString text;
    text.Format(LoadAppString(STR_PERCENT), percent);
    SetDlgItemTextA(state.dialog, IDC_PROGRESS_PERCENT, text);
    if (state.bar) {
        const int width = state.inner.right;
        int64_t right = int64_t{width} * done / total;
        int filled = static_cast<int>(right < state.inner.left ? state.inner.left : right > width ? width : right);
        if (filled != state.filled) {
            // Only the strip that changed is painted again; a count that
            // starts again (the next channel) empties the bar back to it.
            RECT strip = state.inner;
            strip.left = filled < state.filled ? filled : state.filled;
            strip.right = filled < state.filled ? state.filled : filled;
            state.filled = filled;
            InvalidateRect(state.bar, &strip, FALSE);
            UpdateWindow(state.bar);
        }
    }
    return state.cancelled;
}

void CloseProgressDialog()
{
    if (state.dialog)
        DestroyWindow(state.dialog);
}

HWND ProgressDialogWindow()
{
    return state.dialog;
}
