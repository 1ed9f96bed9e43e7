// The frame's menus: the states of the menu bar's items when it opens, the
// right-button popup, and the help context that follows the highlighted item.
#pragma once

#include <windows.h>

// The menu bar opens: the action items are labelled with the edit mode,
// then every item of the menu and its submenus is enabled (or grayed) and
// checked from the command table; an action item stays gray while its
// action cannot run. The "Other Effects" popup is filled again when it
// next opens.
void UpdateMenuStates(HMENU menu);

// WM_INITMENUPOPUP: the first time the "Other Effects" popup of the frame's
// menu opens after the menu bar opened, it is filled with the effects
// available now, gray where the command table says so.
void OnMenuPopup(HWND frame, HMENU popup);

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
