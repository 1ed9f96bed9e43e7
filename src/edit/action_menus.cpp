#include "edit/action_menus.h"

#include <cstring>

#include "base/string_ids.h"
#include "base/string_table.h"
#include "edit/actions.h"
#include "sound/document.h"

const char* EditModeWord(int mode)
{
    switch (mode) {
    case EDIT_INSERT:
        return LoadAppString(STR_MODE_INSERT);
    case EDIT_MIX:
        return LoadAppString(STR_MODE_MIX);
    case EDIT_REPLACE:
        return LoadAppString(STR_MODE_REPLACE);
    default:
        return "";
    }
}

bool ActGetName(int action, char* text, const char* itemText)
{
    text[0] = '\0';
    if (action < 0 || action >= ACTION_COUNT)
        return false;
    const uint32_t flags = ActionTable[action].flags;
    if (!(flags & ACT_CHANGES_WAVE))
        return false;
    // Editable PCM only: 24 and 32-bit sound carries the PCM tag too but has
    // no samples an effect could change until it is converted.
    if (!TheDocument().format.IsPcm() && !(flags & ACT_ANY_FORMAT))
        return false;
    const Selection& sel = TheSelection();
    int used = 0;
    if (flags & ACT_NO_SELECTION_OK) {
        if (!(flags & ACT_INSERT_LABEL_ONLY) || sel.editMode == EDIT_INSERT)
            used = CopyString(text, ACTION_LABEL_SIZE, EditModeWord(sel.editMode));
    } else if (sel.selLength == 0) {
        return false;
    }
    if (itemText && !*itemText)
        return false;
    CopyString(text + used, ACTION_LABEL_SIZE - used, itemText ? itemText : ActionName(action));
    return true;
}

bool ActMenuAllows(int command)
{
    if (command <= 0)
        return true;
    for (int action = 0; action < ACTION_COUNT; action++) {
        if (ActionTable[action].command == command) {
            char text[ACTION_LABEL_SIZE];
            return ActGetName(action, text, nullptr);
        }
    }
    return true;
}

std::vector<ActionMenuEntry> OtherEffectsEntries()
{
    TheSelection().editMode = ComputeEditMode();
    std::vector<ActionMenuEntry> entries;
    for (int action = 0; action < ACTION_COUNT; action++) {
        char text[ACTION_LABEL_SIZE];
        const int32_t command = ActionTable[action].command;
        if (command < 0 && ActGetName(action, text, nullptr))
            entries.push_back({action, -command, text});
    }
    return entries;
}
