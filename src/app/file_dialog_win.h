// The common file dialogs of Open, Paste File and Save: the program's
// filters and flags, a Help button that asks for the dialog's help topic,
// and the folder they start in.
#pragma once

#include <string>

#include "app/file_commands.h"

// Runs the dialog of `kind` owned by the frame, starting from the last file
// name. On OK the last file name becomes the chosen path and, after Open,
// the read-only box's state is remembered; Cancel changes nothing.
bool RunFileDialog(FileDialogKind kind);

// The folder a dialog starts in: the last file name's folder; without one
// the system's media folder, or the program's own folder when that is
// missing.
// String `id` as a common dialog's filter: its "|" separators become zero
// characters and the list ends with two.
std::string FileDialogFilter(int id);
std::string FileDialogFolder(const char* lastFileName);
