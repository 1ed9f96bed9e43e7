// F1 in a modal dialog asks for the dialog's help topic, as its Help button
// does. A scope around the dialog's modal loop: while it lives, F1 pressed in
// the dialog (or one run over it) asks the host for `context`; scopes nest,
// the innermost (the dialog on top) answers.
#pragma once

#include <windows.h>

#include <cstdint>

// Cancel and Help, the same in every dialog: Cancel ends the dialog with
// IDCANCEL, Help asks for the topic of `context`. True when `id` was one of
// them.
bool RouteCancelOrHelp(HWND dialog, int id, uint32_t context);

class DialogHelpKey {
public:
    explicit DialogHelpKey(uint32_t context);
    ~DialogHelpKey();
    DialogHelpKey(const DialogHelpKey&) = delete;
    DialogHelpKey& operator=(const DialogHelpKey&) = delete;
};
