#include "base/dialog_help_key_win.h"

#include <windows.h>

#include <vector>

#include "base/help.h"
#include "base/host.h"
#include "resource.h"

namespace {

// The contexts of the dialogs running now, innermost last, and the filter
// that watches their modal loops (one per thread; dialogs run on the UI
// thread only).
thread_local std::vector<uint32_t> contexts;
thread_local HHOOK filter = nullptr;

// Modal dialog loops pass each message through the message filter before
// the dialog sees it; F1 there would otherwise reach no one.
LRESULT CALLBACK HelpKeyFilter(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && msg && msg->message == WM_KEYDOWN && msg->wParam == VK_F1 && !contexts.empty()) {
        TheHost().ShowHelp(GetAncestor(msg->hwnd, GA_ROOT), HELP_CMD_CONTEXT, contexts.back());
        return TRUE;
    }
    return CallNextHookEx(filter, code, wParam, lParam);
}

}

DialogHelpKey::DialogHelpKey(uint32_t context)
{
    if (contexts.empty() && !filter)
        filter = SetWindowsHookExA(WH_MSGFILTER, HelpKeyFilter, nullptr, GetCurrentThreadId());
    contexts.push_back(context);
}

DialogHelpKey::~DialogHelpKey()
{
    contexts.pop_back();
    if (contexts.empty() && filter) {
        UnhookWindowsHookEx(filter);
        filter = nullptr;
    }
}

bool RouteCancelOrHelp(HWND dialog, int id, uint32_t context)
{
    if (id == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return true;
    }
    if (id == IDC_DIALOG_HELP) {
        TheHost().ShowHelp(dialog, HELP_CMD_CONTEXT, context);
        return true;
    }
    return false;
}
