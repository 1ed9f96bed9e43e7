// The error message box every subsystem reports through.
#pragma once

#include <windows.h>

// The owner of a dialog or message box: the given window, else the active
// window when it belongs to this program, else the frame.
HWND MessageBoxOwner(HWND owner);

// Shows the box for an error code. 0 and -1 show nothing and are returned;
// any other code is shown and -1 returned.
int ShowError(HWND owner, int code);
