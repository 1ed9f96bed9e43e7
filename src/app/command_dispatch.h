// The commands whose work is all in the core: the editing, selection, view
// and effect commands that need no dialog. The frame forwards its command ids
// here after handling its own.
#pragma once

// Runs the command. Returns 0 when done or when the id is not one of these
// commands, -1 when there was nothing to do, or an error id for the shell to
// show. `shift` tells the cursor commands whether Shift is held.
int DispatchCoreCommand(int id, bool shift);
