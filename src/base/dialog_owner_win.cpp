#include "base/dialog_owner_win.h"

#include "base/app.h"
#include "base/dialog_help_key_win.h"
#include "base/host.h"
#include "lib/log.h"

HWND OwnerWindow(HWND given)
{
    if (given)
        return given;
    HWND active = GetActiveWindow();
    DWORD process = 0;
    if (active)
        GetWindowThreadProcessId(active, &process);
    if (active && process == GetCurrentProcessId())
        return active;
    return static_cast<HWND>(TheHost().FrameWindow());
}

INT_PTR RunModalDialog(HWND owner, int templateId, DLGPROC procedure, LPARAM param)
{
    auto instance = static_cast<HINSTANCE>(TheApp().instance);
    if (!instance)
        instance = GetModuleHandleA(nullptr);
    DialogHelpKey helpKey(static_cast<uint32_t>(templateId));
    INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), OwnerWindow(owner), procedure, param);
    if (result == -1)
        Log("App:Dialog(%d) FAIL %lu", templateId, GetLastError());
    return result;
}
