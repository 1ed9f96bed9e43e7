// The action items of the frame's menu bar: the Edit and Options items of
// the actions, labelled with the edit mode and enabled when the action can
// run, and the "Other Effects" popup filled with the effects available now.
#pragma once

#include <windows.h>

// With a menu: fixes the edit mode, relabels the action items from a fresh
// copy of the menu resource when the mode changed since the last time,
// enables or grays them, and sets the Undo and Redo items. Null: forgets
// the last mode, so the next call relabels.
void ActUpdateMenu(HMENU menu);

// Empties the popup and appends the "Other Effects" entries available now;
// those that are not are left out.
void ActBuildEffectsMenu(HMENU popup);
