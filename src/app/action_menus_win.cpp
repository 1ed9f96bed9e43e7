#include "app/action_menus_win.h"

#include "base/app.h"
#include "edit/action_menus.h"
#include "edit/actions.h"
#include "edit/undo_history.h"
#include "lib/gstring.h"
#include "lib/log.h"
#include "resource.h"
#include "sound/document.h"

namespace {

// The edit mode the items were last labelled for; 0: none yet.
int lastMode = 0;

HINSTANCE ResourceModule()
{
    void* instance = TheApp().instance;
    return instance ? static_cast<HINSTANCE>(instance) : GetModuleHandleA(nullptr);
}

void SetItem(HMENU menu, int command, const char* text, bool enabled)
{
    ModifyMenuA(menu, command, MF_BYCOMMAND | MF_STRING, command, text);
    EnableMenuItem(menu, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

}

void ActUpdateMenu(HMENU menu)
{
    if (!menu) {
        lastMode = 0;
        return;
    }
    Selection& sel = TheSelection();
    sel.editMode = ComputeEditMode();
    // The resource holds the item texts without a mode word.
    HMENU fresh = nullptr;
    if (sel.editMode != lastMode)
        fresh = LoadMenuA(ResourceModule(), MAKEINTRESOURCEA(IDM_MENU));
    lastMode = sel.editMode;
    for (int action = 0; action < ACTION_COUNT; action++) {
        const int command = ActionTable[action].command;
        if (command <= 0)
            continue;
        char item[ACTION_LABEL_SIZE] = "";
        if (fresh)
            GetMenuStringA(fresh, command, item, sizeof item, MF_BYCOMMAND);
        char text[ACTION_LABEL_SIZE];
        const bool ok = ActGetName(action, text, fresh ? item : nullptr);
        if (ok && fresh)
            ModifyMenuA(menu, command, MF_BYCOMMAND | MF_STRING, command, text);
        EnableMenuItem(menu, command, MF_BYCOMMAND | (ok ? MF_ENABLED : MF_GRAYED));
    }
    if (fresh)
        DestroyMenu(fresh);

    CGString label;
    bool enabled = GetUndoLabel(label);
    SetItem(menu, IDM_EDIT_UNDO, label, enabled);
    enabled = GetRedoLabel(label);
    SetItem(menu, IDM_EDIT_REDO, label, enabled);
}

void ActBuildEffectsMenu(HMENU popup)
{
    while (GetMenuItemCount(popup) > 0) {
        if (!DeleteMenu(popup, 0, MF_BYPOSITION))
            break;
    }
    for (const ActionMenuEntry& entry : OtherEffectsEntries()) {
        if (!AppendMenuA(popup, MF_STRING, entry.command, entry.text))
            Log("AppendMenu FAIL %d", entry.action);
    }
}
