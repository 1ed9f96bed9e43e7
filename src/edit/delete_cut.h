// Removing the selection: Delete, and the removal half of Cut (the copy to
// the clipboard is the clipboard's). The selected samples are saved in the
// undo record (RESTORE_SAMPLES) and removed; the selection becomes empty at its start.
// Both return 0, -1 when there was nothing to do or another action runs (an
// empty selection is refused with a log line), or 247 when memory ran out
// (nothing changed).
#pragma once

int DeleteSelection();          // the "Delete" action
int RemoveSelectionForCut();    // the "Cut" action
