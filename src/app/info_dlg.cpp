#include "app/info_dlg.h"

#include <mmsystem.h>

#include "app/dialog_table_win.h"
#include "app/properties.h"
#include "base/app.h"
#include "base/dialog_owner_win.h"
#include "base/help.h"
#include "base/host.h"
#include "lib/dialog_helpers_win.h"
#include "lib/disk_free_win.h"
#include "resource.h"

namespace {

void SetText(HWND dialog, int id, const CGString& text)
{
    SetDlgItemTextA(dialog, id, text.c_str());
}

void FillProperties(HWND dialog)
{
    const PropertiesTexts t = BuildPropertiesTexts(TheHost().ClipboardSoundLength(), SoundMemory(), GetDiskFree(nullptr));
    SetText(dialog, IDC_PROP_FILE, t.fileName);
    SetText(dialog, IDC_PROP_FORMAT, t.format);
    SetText(dialog, IDC_PROP_RATE, t.bytesPerSecond);
    SetText(dialog, IDC_PROP_SIZE_BYTES, t.sizeBytes);
    SetText(dialog, IDC_PROP_SIZE_SAMPLES, t.sizeSamples);
    SetText(dialog, IDC_PROP_DURATION, t.duration);
    SetText(dialog, IDC_PROP_DISPLAYED, t.displayed);
    SetText(dialog, IDC_PROP_SELECTED, t.selected);
    SetText(dialog, IDC_PROP_CLIPBOARD, t.clipboard);
    SetText(dialog, IDC_PROP_MEMORY_KBYTES, t.memoryKbytes);
    SetText(dialog, IDC_PROP_MEMORY_SECONDS, t.memorySeconds);
    SetText(dialog, IDC_PROP_DISK_KBYTES, t.diskKbytes);
    SetText(dialog, IDC_PROP_DISK_SECONDS, t.diskSeconds);
    // Convert... opens the format conversion, when the program has it.
    EnableWindow(GetDlgItem(dialog, IDC_PROP_CONVERT), HasProgramDialog(IDD_CONVERT));
}

void FillAbout(HWND dialog)
{
    auto instance = static_cast<HINSTANCE>(TheApp().instance);
    PlaySoundA(MAKEINTRESOURCEA(IDWAVE_ABOUT), instance ? instance : GetModuleHandleA(nullptr),
        SND_RESOURCE | SND_ASYNC | SND_NODEFAULT);
    SetText(dialog, IDC_ABOUT_DISK, FormatKbytes(GetDiskFree(nullptr)));
    SetText(dialog, IDC_ABOUT_MEMORY, FormatKbytes(SoundMemory()));
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;
    CGString load;
    load.Format("%d %%", GlobalMemoryStatusEx(&status) ? static_cast<int>(status.dwMemoryLoad) : 0);
    SetText(dialog, IDC_ABOUT_RESOURCES, load);
}

INT_PTR CALLBACK InfoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        const int templateId = LOWORD(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, templateId);
        CenterWindow(dialog);
        if (templateId == IDD_PROPERTIES)
            FillProperties(dialog);
        else if (templateId == IDD_ABOUT)
            FillAbout(dialog);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case IDC_DIALOG_HELP:
            TheHost().ShowHelp(dialog, HELP_CMD_CONTEXT, static_cast<uintptr_t>(GetWindowLongPtrA(dialog, DWLP_USER)));
            return TRUE;
        case IDC_PROP_CONVERT:
            // A converted sound closes Properties: its figures are stale.
            if (RunProgramDialog(IDD_CONVERT))
                EndDialog(dialog, 1);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return DialogColour(message, wParam);
    }
}

}

bool PropertiesDialog(HWND owner)
{
    return RunModalDialog(owner, IDD_PROPERTIES, InfoDialogProc, IDD_PROPERTIES) == 1;
}

bool AboutDialog(HWND owner)
{
    RunModalDialog(owner, IDD_ABOUT, InfoDialogProc, IDD_ABOUT);
    return false;
}
