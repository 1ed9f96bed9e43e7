// What the menus say about the actions: whether an action can run now and
// the label it shows, with the edit-mode word ("Insert ", "Mix ",
// "Replace ") in front where new sound meets old sound. The shell puts these
// labels on the Edit and Options items and fills the "Other Effects" popup.
#pragma once

#include <cstdint>
#include <vector>

#include "lib/gstring.h"

// Labels, like the platform's menu texts they become, stay below this many
// characters including the terminating zero.
constexpr int ACTION_LABEL_SIZE = 50;

// The label of `action` in `text` (ACTION_LABEL_SIZE characters) and whether
// the action can run now: it changes the samples, the document's format is
// one it can edit, and it has a selection to work on unless it inserts.
// `itemText` is the menu item's own text to put after the mode word; null
// takes the action's name. An empty item text makes it unavailable.
bool ActGetName(int action, char* text, const char* itemText);

// False only for a menu item of an action that cannot run now; the
// shell's own rules for the item still apply.
bool ActMenuAllows(int command);

// The word of an edit mode; "" for any other value.
const char* EditModeWord(int mode);

struct ActionMenuEntry {
    int32_t action;
    int32_t command;
    CGString text;
};

// The "Other Effects" entries available now, in table order: the actions
// whose table command is negative, with that command's positive id and
// their label. The edit mode is fixed first and stored in the selection.
std::vector<ActionMenuEntry> OtherEffectsEntries();
