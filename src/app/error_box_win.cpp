#include "app/error_box_win.h"

#include "app/frame_wnd.h"
#include "base/app.h"
#include "base/error_message.h"

HWND MessageBoxOwner(HWND owner)
{
    if (owner)
        return owner;
    HWND active = GetActiveWindow();
    DWORD process = 0;
    if (active)
        GetWindowThreadProcessId(active, &process);
    if (active && process == GetCurrentProcessId())
        return active;
    return TheApp().frame ? TheApp().frame->hwnd : nullptr;
}

int ShowError(HWND owner, int code)
{
    if (code == 0 || code == -1)
        return code;
    ErrorBoxContent box = MakeErrorBox(code);
    UINT style = box.stopIcon ? (MB_ICONSTOP | MB_SYSTEMMODAL) : MB_ICONEXCLAMATION;
    MessageBoxA(MessageBoxOwner(owner), box.text.c_str(), ErrorBoxTitle(), MB_OK | style);
    return -1;
}
