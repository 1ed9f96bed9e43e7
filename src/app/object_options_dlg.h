// The Object Options dialog: which parts of the label the sound's picture
// shows, its icon (from a file, a dropped file, the clipboard, or the
// program's default) and whether the icon is stored with the sound. It works
// on a copy; OK stores it as one undoable "Object Options" step when it
// differs from the stored options.
#pragma once

#include <windows.h>

// Runs the dialog over `owner`; true when OK was pressed.
bool ObjectOptionsDialog(HWND owner);
