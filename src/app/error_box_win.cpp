#include "app/error_box_win.h"

#include "base/dialog_owner_win.h"
#include "base/error_message.h"

HWND MessageBoxOwner(HWND owner)
{
    return OwnerWindow(owner);
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
