// The program's own help window: a resizable top-level window, owned by the
// frame, that shows one help topic (its title and text) beside a list of all
// topics, with "Contents" and "Back" buttons. One window at a time: a new
// help request shows its topic in the window that is open.
#pragma once

#include <windows.h>

#include <cstdint>

// Child control ids of the help window.
enum {
    IDC_HELPWND_CONTENTS = 100,
    IDC_HELPWND_BACK = 101,
    IDC_HELPWND_LIST = 102,
    IDC_HELPWND_TITLE = 103,
    IDC_HELPWND_TEXT = 104,
};

// Shows the topic a help request names (HELP_CMD_* with its data, as the
// host's ShowHelp receives them), opening the window owned by `owner` (the
// frame; null: unowned) when it is not open. The topic shown before goes on
// the Back list. False when the window could not be made.
bool ShowHelpWindow(HWND owner, uint32_t command, uintptr_t data);

// The open help window, null when there is none.
HWND HelpWindow();

// The first context id of the topic on show; 0 with no window.
uint32_t HelpWindowContext();

void CloseHelpWindow();
