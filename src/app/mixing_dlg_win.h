// The Mixing Options dialog: how much of the old and of the new sound a
// Mix-mode paste or recording keeps. It works on shares that add up to 100
// and stores them with the larger as 100; a changed pair is one undoable
// "Mixing Options" step.
#pragma once

#include <windows.h>

// Runs the dialog over `owner`. True when OK was pressed (a step is filed
// only when the pair changed).
bool MixingOptionsDlg(HWND owner);
