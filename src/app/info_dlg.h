// The information dialogs: Properties (the sound, and the room left for
// sound in memory, on disk and on the clipboard) and About (the product and
// three figures of the system). One dialog procedure serves both; the
// template id comes with the creation parameter.
#pragma once

#include <windows.h>

// Run modally over `owner` (null: the frame); they change nothing, except
// that Properties' "Convert..." may convert the sound. True when the sound
// was converted from Properties.
bool PropertiesDialog(HWND owner);
bool AboutDialog(HWND owner);
