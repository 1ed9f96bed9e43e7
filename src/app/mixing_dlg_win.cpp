#include "app/mixing_dlg_win.h"

#include <cstdio>
#include <cstdlib>

#include "base/app_options.h"
#include "base/dialog_help_key_win.h"
#include "base/dialog_owner_win.h"
#include "base/expand_dialog_win.h"
#include "edit/mixing_options.h"
#include "lib/dialog_helpers_win.h"
#include "lib/number_field_win.h"
#include "resource.h"

namespace {

// The preset buttons and the old sound's share each sets.
const struct {
    int id;
    int32_t oldPercent;
} PRESETS[] = {
    {IDC_MIX_REPLACE, 0},
    {IDC_MIX_EQUAL, 50},
    {IDC_MIX_OLD_LOUDER, 66},
    {IDC_MIX_OLD_SOFTER, 33},
};

struct MixingDialog {
    HWND dialog = nullptr;
    MixShares shares = {0, 100};
    NumberField newShare;
    // Set while the dialog writes its own fields, whose change
    // notifications are then not the user's.
    bool writing = false;

    void Show(bool force)
    {
        writing = true;
        HWND oldEdit = GetDlgItem(dialog, IDC_MIX_OLD);
        // The edit being typed in keeps the user's text.
        if (force || GetFocus() != oldEdit) {
            char text[16];
            std::snprintf(text, sizeof text, "%ld", static_cast<long>(shares.oldPercent));
            SetWindowTextA(oldEdit, text);
        }
        newShare.value = shares.newPercent;
        unsigned show = NumberField::SHOW_EDIT | NumberField::SHOW_SCROLL;
        newShare.Update(force ? show | NumberField::FORCE_EDIT : show);
        for (const auto& preset : PRESETS)
            CheckDlgButton(dialog, preset.id, preset.oldPercent == shares.oldPercent ? BST_CHECKED : BST_UNCHECKED);
        writing = false;
    }

    void SetOld(int32_t percent)
    {
        percent = percent < 0 ? 0 : percent > 100 ? 100 : percent;
        if (percent == shares.oldPercent)
            return;
        shares = {percent, 100 - percent};
        Show(false);
    }

    void OnInit(HWND window)
    {
        dialog = window;
        const AppOptions& options = TheAppOptions();
        shares = MixSharesOf(options.mixOld, options.mixNew);
        newShare.Init(dialog, IDC_MIX_NEW, 0, 100, shares.newPercent);
        Show(true);
        CenterWindow(dialog);
        ExpandDialog(dialog, options.extra ? IDC_EXPAND_MORE : IDC_EXPAND_LESS, true);
    }

    // A text the user typed: its leading number, or nothing for any other text.
    void OnOldTyped()
    {
        HWND edit = GetDlgItem(dialog, IDC_MIX_OLD);
        if (writing || !SendMessageA(edit, EM_GETMODIFY, 0, 0))
            return;
        char text[51] = {};
        GetWindowTextA(edit, text, sizeof text);
        if (text[0] == '-' || (text[0] >= '0' && text[0] <= '9'))
            SetOld(static_cast<int32_t>(std::strtol(text, nullptr, 10)));
    }

    void OnOk()
    {
        MixShares pair = MixPairOf(shares);
        const AppOptions& options = TheAppOptions();
        if (pair.oldPercent != options.mixOld || pair.newPercent != options.mixNew)
            SetMixingOptions(pair.oldPercent, pair.newPercent);
        EndDialog(dialog, IDOK);
    }

    bool OnCommand(int id, int code)
    {
        if (RouteCancelOrHelp(dialog, id, IDD_MIXING))
            return true;
        switch (id) {
        case IDOK:
            OnOk();
            return true;
        case IDC_EXPAND_MORE:
        case IDC_EXPAND_LESS:
            ExpandDialog(dialog, id, false);
            return true;
        case IDC_MIX_OLD:
            if (code == EN_CHANGE)
                OnOldTyped();
            return true;
        default:
            for (const auto& preset : PRESETS) {
                if (id == preset.id && code == BN_CLICKED) {
                    SetOld(preset.oldPercent);
                    return true;
                }
            }
            return false;
        }
    }
};

INT_PTR CALLBACK MixingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<MixingDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<MixingDialog*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        self->OnInit(dialog);
        return TRUE;
    }
    if (!self)
        return FALSE;
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_MIX_NEW) {
            if (!self->writing && self->newShare.OnMessage(message, wParam, lParam))
                self->SetOld(100 - self->newShare.value);
            return TRUE;
        }
        return self->OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_HSCROLL:
        if (self->newShare.OnMessage(message, wParam, lParam))
            self->SetOld(100 - self->newShare.value);
        return TRUE;
    default:
        return DialogColour(message, wParam);
    }
}

}

bool MixingOptionsDlg(HWND owner)
{
    MixingDialog state;
    return RunModalDialog(owner, IDD_MIXING, MixingProc, reinterpret_cast<LPARAM>(&state)) == IDOK;
}
