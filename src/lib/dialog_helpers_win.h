// Small helpers every dialog of the program uses.
#pragma once

#include <windows.h>

// Places the window in the middle of the screen, keeping its size and its
// place in the z-order.
void CenterWindow(HWND window);

// Enables or disables the controls firstId..lastId of the dialog; ids without
// a control are skipped.
void EnableControlRange(HWND dialog, int firstId, int lastId, bool enable);

// The answer to a dialog's colour messages (WM_CTLCOLORDLG, ..._STATIC,
// ..._BTN, ..._MSGBOX): the button face behind text and controls. The brush
// belongs to the system.
HBRUSH DialogFaceBrush(HDC dc);
