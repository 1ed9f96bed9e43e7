// Small helpers every dialog of the program uses.
#pragma once

#include <windows.h>

// Places the window in the middle of the screen, keeping its size and its
// place in the z-order.
void CenterWindow(HWND window);

// Enables or disables the controls firstId..lastId of the dialog; ids without
// a control are skipped.
void EnableControlRange(HWND dialog, int firstId, int lastId, bool enable);

// A dialog procedure's answer to a message it does not handle itself: for
// the colour messages (WM_CTLCOLORDLG, ..._STATIC, ..._BTN, ..._MSGBOX) the
// button face behind text and controls (a brush of the system's), else
// FALSE, leaving the message to the dialog manager.
INT_PTR DialogColour(UINT message, WPARAM wParam);
