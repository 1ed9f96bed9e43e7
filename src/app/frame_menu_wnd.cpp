#include "app/frame_menu_wnd.h"

#include "app/command_table.h"
#include "base/app.h"
#include "resource.h"

namespace {

const int SEPARATOR = 0;

const int popupCommands[] = {
    IDM_FILE_NEW, IDM_FILE_OPEN, IDM_FILE_SAVE, IDM_FILE_SAVE_AS, SEPARATOR, IDM_FILE_PROPERTIES,
    IDM_OPT_DEVICE, IDM_OPT_DISPLAY, IDM_OPT_OBJECT, SEPARATOR, IDM_EDIT_UNDO,
};

}

void UpdateMenuStates(HMENU menu)
{
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; i++) {
        if (HMENU sub = GetSubMenu(menu, i)) {
            UpdateMenuStates(sub);
            continue;
        }
        const UINT id = GetMenuItemID(menu, i);
        if (id == 0 || id == static_cast<UINT>(-1))
            continue;       // a separator
        const int command = static_cast<int>(id);
        EnableMenuItem(menu, i, MF_BYPOSITION | (MenuItemEnabled(command) ? MF_ENABLED : MF_GRAYED));
        CheckMenuItem(menu, i, MF_BYPOSITION | (MenuItemChecked(command) ? MF_CHECKED : MF_UNCHECKED));
    }
}

HMENU BuildFramePopup(HMENU frameMenu)
{
    HMENU popup = CreatePopupMenu();
    if (!popup)
        return nullptr;
    for (int command : popupCommands) {
        if (command == SEPARATOR) {
            AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        char text[64];
        if (GetMenuStringA(frameMenu, command, text, sizeof text, MF_BYCOMMAND) <= 0)
            continue;
        const CommandRow* row = FindCommand(command);
        const bool enabled = row && CommandEnabled(*row);
        AppendMenuA(popup, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), command, text);
    }
    return popup;
}

void ShowFramePopup(HWND frame, POINT client)
{
    HMENU popup = BuildFramePopup(GetMenu(frame));
    if (!popup)
        return;
    ClientToScreen(frame, &client);
    TrackPopupMenu(popup, TPM_RIGHTBUTTON, client.x, client.y, 0, frame, nullptr);
    DestroyMenu(popup);
}

void TrackMenuHelpContext(UINT item, UINT flags, HMENU menu)
{
    const bool closed = flags == 0xFFFF && menu == nullptr;
    if (closed || (flags & (MF_POPUP | MF_SYSMENU)))
        TheApp().helpContext = HELP_CONTEXT_GENERAL;
    else
        TheApp().helpContext = item;
}
