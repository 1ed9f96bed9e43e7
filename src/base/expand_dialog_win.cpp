#include "base/expand_dialog_win.h"

#include "base/app.h"
#include "base/app_options.h"
#include "resource.h"

namespace {

// The window property holding a dialog's full height; it goes with the dialog.
const char* const FULL_HEIGHT = "KvFullHeight";

int FullHeight(HWND dialog)
{
    return int(reinterpret_cast<INT_PTR>(GetPropA(dialog, FULL_HEIGHT)));
}

}

void ExpandDialog(HWND dialog, int buttonId, bool first)
{
    RECT frame;
    if (!GetWindowRect(dialog, &frame))
        return;
    if (first || !GetPropA(dialog, FULL_HEIGHT))
        SetPropA(dialog, FULL_HEIGHT, reinterpret_cast<HANDLE>(INT_PTR(frame.bottom - frame.top)));

    bool more = buttonId == IDC_EXPAND_MORE;
    AppOptions& options = TheAppOptions();
    if (options.extra != (more ? 1 : 0)) {
        options.extra = more ? 1 : 0;
        options.settingsChanged++;
    }

    int height = FullHeight(dialog);
    HWND button = GetDlgItem(dialog, buttonId);
    if (!more && button) {
        // Below the button: the dialog's bottom frame and a quarter of a line.
        RECT r;
        GetWindowRect(button, &r);
        height = r.bottom - frame.top + GetSystemMetrics(SM_CYDLGFRAME) + 2 * TheApp().charHeight / 8;
    }
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, height,
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    HWND partner = GetDlgItem(dialog, more ? IDC_EXPAND_LESS : IDC_EXPAND_MORE);
    if (button)
        ShowWindow(button, SW_HIDE);
    if (partner)
        ShowWindow(partner, SW_SHOW);
}
