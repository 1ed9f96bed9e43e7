// The progress dialog of a long action: the action's name, the percentage
// done, a bar that fills from the left, and Cancel (its button or Esc).
// Modeless and owned by the frame, so painting and the Cancel button work
// while the action routes messages between its progress checks. One at a
// time.
#pragma once

#include <windows.h>

#include <cstdint>

// Shows the dialog centred on the screen with the action's name; one
// already shown is closed first. False when it could not be created.
bool ShowProgressDialog(HWND owner, const char* actionName);

// Shows `done` of `total` blocks (total > 0) as a percentage and as the
// bar's filled part; a smaller `done` than before (the next channel starts)
// empties the bar back to it. The dialog changes only when the percentage
// does, and at most ten times a second. Returns true once the user
// cancelled, also after the dialog is gone.
bool UpdateProgressDialog(int32_t done, int32_t total);

// Closes the dialog; the cancelled flag stays until the next dialog.
void CloseProgressDialog();

// The dialog's window, or null. The message loop gives it its own keys
// first, so that Esc cancels there instead of reaching the frame.
HWND ProgressDialogWindow();

