#include "lib/dialog_helpers_win.h"

void CenterWindow(HWND window)
{
    RECT r;
    if (!GetWindowRect(window, &r))
        return;
    int width = r.right - r.left, height = r.bottom - r.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void EnableControlRange(HWND dialog, int firstId, int lastId, bool enable)
{
    for (int id = firstId; id <= lastId; id++) {
        HWND control = GetDlgItem(dialog, id);
        if (control)
            EnableWindow(control, enable);
    }
}

INT_PTR DialogColour(UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    default:
        return FALSE;
    }
}
