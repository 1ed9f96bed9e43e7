// The file commands' questions and dialogs as the shell shows them: the save
// question, the question after a cancelled save, the common file dialogs and
// the recent-file items of the File menu.
#pragma once

#include <windows.h>

// Installs the shell's answers for the file commands (the frame calls it
// once it exists).
void InstallFileUi();

// Puts the recent-file items after Exit in the File menu of `frame`: items
// 3009.. with "&1 path" and so on, behind one separator that comes with the
// first item and stays.
void RebuildRecentMenu(HWND frame);
