#include "view/volume_popup_dlg.h"

#include <windows.h>

#include "base/app.h"
#include "base/host.h"
#include "device/engine.h"
#include "device/volume.h"
#include "lib/number_field_win.h"
#include "resource.h"

namespace {

HWND popup = nullptr;
NumberField slider;
// Set while the popup is created: the volume could not be read.
bool unreadable = false;

// Every move of the slider sets both channels. A volume the device refuses
// puts the slider back where the engine's volume is.
void OnSliderChanged()
{
    uint32_t volume = VolumeFromStep(slider.value);
    if (!SetVolume(volume, volume)) {
        slider.value = StepFromVolume(TheDev().volume);
        slider.Update(NumberField::SHOW_SCROLL);
    }
}

INT_PTR CALLBACK VolumePopupProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        if (!ReadVolume()) {
            unreadable = true;
            return FALSE;
        }
        slider.Init(dialog, IDC_VOLUME_EDIT, 0, VOLUME_STEP_MAX, StepFromVolume(TheDev().volume));
        return FALSE;   // the focus stays where it was
    case WM_VSCROLL:
        if (slider.OnMessage(message, wParam, lParam))
            OnSliderChanged();
        return TRUE;
    case WM_NCDESTROY:
        if (popup == dialog)
            popup = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

HINSTANCE ResourceModule()
{
    void* instance = TheApp().instance;
    return instance ? static_cast<HINSTANCE>(instance) : GetModuleHandleA(nullptr);
}

}

void ToggleVolumePopup()
{
    if (CloseVolumePopup())
        return;
    HWND frame = static_cast<HWND>(TheHost().FrameWindow());
    HWND button = frame ? GetDlgItem(frame, IDB_VOLUME) : nullptr;
    if (!button)
        return;
    unreadable = false;
    HWND created = CreateDialogParamA(ResourceModule(), MAKEINTRESOURCEA(IDD_VOLUME), frame, VolumePopupProc, 0);
    if (!created)
        return;
    if (unreadable) {
        DestroyWindow(created);
        return;
    }
    popup = created;
    RECT r;
    GetWindowRect(button, &r);
    // Shown without taking the activation: Up and Down keep reaching the
    // frame's keys, which step the slider.
    SetWindowPos(popup, HWND_TOP, r.left, r.bottom, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

bool CloseVolumePopup()
{
    if (!popup)
        return false;
    HWND closing = popup;
    popup = nullptr;
    DestroyWindow(closing);
    return true;
}

bool StepVolumePopup(int delta)
{
    if (!popup)
        return false;
    // As if the slider's arrows were pressed, up meaning louder.
    HWND bar = GetDlgItem(popup, IDC_VOLUME_SLIDER);
    int code = delta > 0 ? SB_LINEUP : SB_LINEDOWN;
    for (int n = delta > 0 ? delta : -delta; n > 0 && popup; n--)
        SendMessageA(popup, WM_VSCROLL, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(bar));
    return true;
}

void* VolumePopupWindow()
{
    return popup;
}
