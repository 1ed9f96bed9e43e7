#include "edit/delete_cut.h"

#include "edit/actions.h"
#include "edit/undo_history.h"

// Removal is a restore step with no frames: the step's own record saves the
// selection, and applying that record puts it back.
int DeleteSelection()
{
    return ActRestoreWave(ACTION_DELETE, RESTORE_SAMPLES, nullptr, 0);
}

int RemoveSelectionForCut()
{
    return ActRestoreWave(ACTION_CUT, RESTORE_SAMPLES, nullptr, 0);
}
