// The Display Options dialog: the unit positions are shown in, and whether a
// selection shows its length or its end. OK stores a changed pair as one
// undoable step and has every position shown again.
#pragma once

#include <windows.h>

// Runs it modally over `owner` (null: the frame); true on OK.
bool DisplayOptionsDialog(HWND owner);
