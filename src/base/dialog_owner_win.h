// Who owns a dialog or message box, and the modal dialogs run with that owner.
#pragma once

#include <windows.h>

// The given window; else the active window when it belongs to this program
// (a box owned by another program's window would not block ours); else the
// frame window (null before it exists).
HWND OwnerWindow(HWND given);

// Runs the dialog template `templateId` of the program's resources modally
// over OwnerWindow(owner); `param` arrives with WM_INITDIALOG. Returns what
// the procedure passed to EndDialog, -1 when the dialog could not be made.
INT_PTR RunModalDialog(HWND owner, int templateId, DLGPROC procedure, LPARAM param);
