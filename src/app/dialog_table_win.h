// Which function runs each modal option dialog of the program: the shell's
// side of Host::RunDialog.
#pragma once

// Runs the dialog of template `templateId` over the frame; false when it was
// cancelled or the program has no such dialog.
bool RunProgramDialog(int templateId);

// The program has a dialog of that template.
bool HasProgramDialog(int templateId);
