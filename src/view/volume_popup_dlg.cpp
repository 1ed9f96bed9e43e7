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

// The popup placed at `at` (screen) lies wholly inside the frame's client
// area.
bool FitsInClient(HWND frame, HWND window, POINT at)
{
    RECT client, own;
    GetClientRect(frame, &client);
    MapWindowPoints(frame, nullptr, reinterpret_cast<POINT*>(&client), 2);
    GetWindowRect(window, &own);
    return at.x >= client.left && at.y >= client.top && at.x + (own.right - own.left) <= client.right
        && at.y + (own.bottom - own.top) <= client.bottom;
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
    POINT at = {r.left, r.bottom};
    if (FitsInClient(frame, popup, at)) {
        // Wine leaves a top-level popup that lies wholly over its owner
        // undrawn (a black box); as a child of the frame, at the same place
        // on the screen, it is drawn with the frame.
        SetWindowLongPtrA(popup, GWL_STYLE, (GetWindowLongPtrA(popup, GWL_STYLE) & ~WS_POPUP) | WS_CHILD | WS_CLIPSIBLINGS);
        SetParent(popup, frame);
        ScreenToClient(frame, &at);
    }
    // Shown without taking the activation: Up and Down keep reaching the
    // frame's keys, which step the slider.
    SetWindowPos(popup, HWND_TOP, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
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
