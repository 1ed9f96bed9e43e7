// The frame's menus: the states of the menu bar's items when it opens, the
// right-button popup, and the help context that follows the highlighted item.
#pragma once

#include <windows.h>

// Enables (or grays) and checks every item of the menu and its submenus
// from the command table.
void UpdateMenuStates(HMENU menu);

// The right-button popup: its items take their texts from the frame menu's
// items of the same commands (so Undo reads as it does there) and are left
// out where the frame menu has no such item; enabled by the command table.
// The caller destroys it.
HMENU BuildFramePopup(HMENU frameMenu);

// Shows the popup at a point of the frame's client area; the chosen item
// arrives as an ordinary command.
void ShowFramePopup(HWND frame, POINT client);

// WM_MENUSELECT: App's help context becomes the highlighted item's command,
// or the general context for a submenu, the system menu or a closed menu.
void TrackMenuHelpContext(UINT item, UINT flags, HMENU menu);
