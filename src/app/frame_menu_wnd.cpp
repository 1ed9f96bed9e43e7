#include "app/frame_menu_wnd.h"

#include "app/action_menus_win.h"
#include "app/command_table.h"
#include "base/app.h"
#include "edit/action_menus.h"
#include "resource.h"

namespace {

const int SEPARATOR = 0;

const int popupCommands[] = {
    IDM_FILE_NEW, IDM_FILE_OPEN, IDM_FILE_SAVE, IDM_FILE_SAVE_AS, SEPARATOR, IDM_FILE_PROPERTIES,
    IDM_OPT_DEVICE, IDM_OPT_DISPLAY, IDM_OPT_OBJECT, SEPARATOR, IDM_EDIT_UNDO,
};

// "&Options" is the fourth menu of the bar; "Other Effects" is its last item.
const int OPTIONS_MENU_INDEX = 3;

// Set when the "Other Effects" popup was filled since the menu bar opened.
bool effectsFilled = false;

void ApplyCommandStates(HMENU menu)
{
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; i++) {
        if (HMENU sub = GetSubMenu(menu, i)) {
            ApplyCommandStates(sub);
            continue;
        }
        const UINT id = GetMenuItemID(menu, i);
        if (id == 0 || id == static_cast<UINT>(-1))
            continue;       // a separator
        const int command = static_cast<int>(id);
        const bool enabled = MenuItemEnabled(command) && ActMenuAllows(command);
        EnableMenuItem(menu, i, MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
        CheckMenuItem(menu, i, MF_BYPOSITION | (MenuItemChecked(command) ? MF_CHECKED : MF_UNCHECKED));
    }
}

HMENU OtherEffectsPopup(HMENU bar)
{
    HMENU options = bar ? GetSubMenu(bar, OPTIONS_MENU_INDEX) : nullptr;
    const int count = options ? GetMenuItemCount(options) : 0;
    return count > 0 ? GetSubMenu(options, count - 1) : nullptr;
}

}

void UpdateMenuStates(HMENU menu)
{
    ActUpdateMenu(menu);
    effectsFilled = false;
    ApplyCommandStates(menu);
}

void OnMenuPopup(HWND frame, HMENU popup)
{
    if (effectsFilled || !popup || popup != OtherEffectsPopup(GetMenu(frame)))
        return;
    ActBuildEffectsMenu(popup);
    ApplyCommandStates(popup);
    effectsFilled = true;
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
