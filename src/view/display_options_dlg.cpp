#include "view/display_options_dlg.h"

#include "base/app_options.h"
#include "base/dialog_owner_win.h"
#include "base/help.h"
#include "base/host.h"
#include "lib/dialog_helpers_win.h"
#include "resource.h"
#include "view/display_options.h"

namespace {

// The dialog's copy of the pair, stored only on OK.
struct DisplayChoice {
    bool showEnd;
    int32_t unit;
};

void ShowChoice(HWND dialog, const DisplayChoice& c)
{
    CheckRadioButton(dialog, IDC_DISPLAY_UNIT + 1, IDC_DISPLAY_UNIT + 3, IDC_DISPLAY_UNIT + c.unit);
    CheckRadioButton(dialog, IDC_DISPLAY_END, IDC_DISPLAY_LENGTH, c.showEnd ? IDC_DISPLAY_END : IDC_DISPLAY_LENGTH);
}

INT_PTR CALLBACK DisplayOptionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* choice = reinterpret_cast<DisplayChoice*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        CenterWindow(dialog);
        ShowChoice(dialog, *reinterpret_cast<DisplayChoice*>(lParam));
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (!choice)
            return FALSE;
        if (id > IDC_DISPLAY_UNIT && id <= IDC_DISPLAY_UNIT + 3)
            choice->unit = id - IDC_DISPLAY_UNIT;
        else if (id == IDC_DISPLAY_END || id == IDC_DISPLAY_LENGTH)
            choice->showEnd = id == IDC_DISPLAY_END;
        else if (id == IDOK || id == IDCANCEL)
            EndDialog(dialog, id);
        else if (id == IDC_DIALOG_HELP)
            TheHost().ShowHelp(dialog, HELP_CMD_CONTEXT, IDD_DISPLAY_OPTIONS);
        else
            return FALSE;
        ShowChoice(dialog, *choice);
        return TRUE;
    }
    default:
        return DialogColour(message, wParam);
    }
}

}

bool DisplayOptionsDialog(HWND owner)
{
    const AppOptions& options = TheAppOptions();
    DisplayChoice choice = {options.showEnd != 0, options.defaultLengthUnit};
    if (choice.unit < 1 || choice.unit > 3)
        choice.unit = 1;
    if (RunModalDialog(owner, IDD_DISPLAY_OPTIONS, DisplayOptionsProc, reinterpret_cast<LPARAM>(&choice)) != IDOK)
        return false;
    SetDisplayOptions(choice.showEnd, choice.unit);
    return true;
}
