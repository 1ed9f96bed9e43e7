// F1 in a modal dialog asks for the dialog's help topic, as its Help button
// does. A scope around the dialog's modal loop: while it lives, F1 pressed in
// the dialog (or one run over it) asks the host for `context`; scopes nest,
// the innermost (the dialog on top) answers.
#pragma once

#include <cstdint>

class DialogHelpKey {
public:
    explicit DialogHelpKey(uint32_t context);
    ~DialogHelpKey();
    DialogHelpKey(const DialogHelpKey&) = delete;
    DialogHelpKey& operator=(const DialogHelpKey&) = delete;
};
