#include "app/command_dispatch.h"

#include "device/engine.h"
#include "edit/actions.h"
#include "edit/delete_cut.h"
#include "edit/level_effects.h"
#include "edit/low_pass.h"
#include "edit/measure.h"
#include "edit/undo_history.h"
#include "view/display_options.h"
#include "view/view_commands.h"
#include "resource.h"

namespace {

int RunVoid(void (*command)())
{
    command();
    return 0;
}

}

int DispatchCoreCommand(int id, bool shift)
{
    switch (id) {
    case IDM_EDIT_UNDO:
    case IDM_MSG_UNDO:
        return ActUndo();
    case IDM_EDIT_REDO:
        return ActRedo();
    case IDM_EDIT_DELETE:
    case IDM_MSG_CLEAR:
        return DeleteSelection();
    case IDM_EDIT_SELECT_ALL:
        return RunVoid(SelectAll);
    case IDM_EDIT_GOTO_START:
        return RunVoid(GoToStart);
    case IDM_EDIT_GOTO_END:
        return RunVoid(GoToEnd);
    case IDM_VIEW_ZOOM_SELECT:
        return RunVoid(ZoomSelect);
    case IDM_VIEW_ZOOM_OUT:
        return RunVoid(ZoomOut);
    case IDM_VIEW_ZOOM_IN:
        return RunVoid(ZoomIn);
    case IDM_VIEW_DISPLAY_ALL:
        return RunVoid(DisplayAll);
    case IDM_VIEW_LEFT:
        ToggleDisplayOption(ACTION_TOGGLE_LEFT);
        return 0;
    case IDM_VIEW_RIGHT:
        ToggleDisplayOption(ACTION_TOGGLE_RIGHT);
        return 0;
    case IDM_CURSOR_PAGE_UP:
    case IDM_CURSOR_PAGE_DOWN:
    case IDM_CURSOR_END:
    case IDM_CURSOR_HOME:
    case IDM_CURSOR_LEFT:
    case IDM_CURSOR_RIGHT:
        OnCursorKey(id, shift);
        return 0;
    case IDM_REWIND:
    case IDB_REWIND:
        return RunVoid(Rewind);
    case IDM_FAST_FORWARD:
    case IDB_FAST_FORWARD:
        return RunVoid(FastForward);
    case IDM_PLAY:
    case IDM_FAST_PLAY:
    case IDB_PLAY:
    case IDB_FAST_PLAY:
        return Play();
    case IDM_STOP:
    case IDB_STOP:
        return RunVoid(Stop);
    case IDM_RECORD:
    case IDB_RECORD:
        return Record();
    case IDM_FX_SILENCE:
        return RunVoid(Silence);
    case IDM_FX_REVERSE:
        return RunVoid(Reverse);
    case IDM_FX_NORMALIZE:
        return RunVoid(RemoveOffset);
    case IDM_FX_LOWPASS:
        return RunVoid(LowPass);
    case IDM_FX_MEASURE:
        return RunVoid(Measure);
    default:
        return 0;
    }
}
