// The Convert Format command: the compression manager's chooser when the
// "USEACM" setting asks for it and a manager is installed, else the Convert
// Format dialog (channels, sample size and rate of a copy of the document's
// format, with the room that format leaves). OK converts the whole sound
// as one undoable step; an error is shown and the dialog stays.
#pragma once

#include <windows.h>

// True when the sound was converted (or a format chosen in the chooser).
bool ConvertFormatDialog(HWND owner);
