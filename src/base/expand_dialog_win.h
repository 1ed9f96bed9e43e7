// The "More >>" / "<< Less" pair of an option dialog: the dialog grows to its
// full height to show its further controls, or is cut below the pair.
#pragma once

#include <windows.h>

// Shows the dialog in full when `buttonId` is IDC_EXPAND_MORE, else cut to
// end just below that control; hides the control and shows its partner.
// `first` (from WM_INITDIALOG) takes the dialog's full height, kept with that
// dialog, before any cut. The choice is remembered in AppOptions::extra so
// the next option dialog opens the same way. Left, top and width stay.
void ExpandDialog(HWND dialog, int buttonId, bool first);
