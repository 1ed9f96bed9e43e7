#include "app/command_table.h"

#include "base/app_options.h"
#include "device/engine.h"
#include "edit/actions.h"
#include "edit/delete_cut.h"
#include "edit/echo.h"
#include "edit/effect_settings.h"
#include "edit/fill.h"
#include "edit/level_effects.h"
#include "edit/low_pass.h"
#include "edit/measure.h"
#include "edit/noise.h"
#include "edit/pitch.h"
#include "edit/remove_background.h"
#include "edit/tone.h"
#include "edit/undo_history.h"
#include "resource.h"
#include "sound/document.h"
#include "view/display_options.h"
#include "view/view_commands.h"

namespace {

// Adapters from the operations' own signatures to the table's.
template <void (*F)()>
int Run(bool)
{
    F();
    return 0;
}

template <int (*F)()>
int RunResult(bool)
{
    return F();
}

template <void (*F)(const EffectSettings&)>
int RunEffect(bool)
{
    F(TheEffectSettings());
    return 0;
}

template <void (*F)(const EffectSettings&)>
int ApplyEffect(const void*, uint32_t)
{
    F(TheEffectSettings());
    return 0;
}

template <int Toggle>
int RunToggle(bool)
{
    ToggleDisplayOption(Toggle);
    return 0;
}

int RunCursorKey(int key, bool shift)
{
    OnCursorKey(key, shift);
    return 0;
}

template <int Key>
int RunCursor(bool shift)
{
    return RunCursorKey(Key, shift);
}

int ApplyDisplayOptions(const void* data, uint32_t size)
{
    RestoreDisplayOptions(data, size);
    return 0;
}

const CommandRow commandTable[] = {
    // The frame's own: Exit closes it; Esc closes the volume popup, leaves a
    // location field or stops.
    {IDM_FILE_EXIT, ACTION_NONE, CMD_ALWAYS, nullptr, nullptr},
    {IDM_ESCAPE, ACTION_NONE, CMD_DURING_ACTION, nullptr, nullptr},

    // Edit menu and the edit messages.
    {IDM_EDIT_UNDO, ACTION_NONE, CMD_ALWAYS, RunResult<ActUndo>, nullptr},
    {IDM_MSG_UNDO, ACTION_NONE, CMD_ALWAYS, RunResult<ActUndo>, nullptr},
    {IDM_EDIT_REDO, ACTION_NONE, CMD_ALWAYS, RunResult<ActRedo>, nullptr},
    {IDM_EDIT_DELETE, ACTION_DELETE, CMD_NEEDS_SELECTION, RunResult<DeleteSelection>, nullptr},
    {IDM_MSG_CLEAR, ACTION_DELETE, CMD_NEEDS_SELECTION, RunResult<DeleteSelection>, nullptr},
    {IDM_EDIT_SELECT_ALL, ACTION_SELECT, CMD_NEEDS_SOUND, Run<SelectAll>, nullptr},
    {IDM_EDIT_GOTO_START, ACTION_SELECT, CMD_NEEDS_SOUND, Run<GoToStart>, nullptr},
    {IDM_EDIT_GOTO_END, ACTION_SELECT, CMD_NEEDS_SOUND, Run<GoToEnd>, nullptr},
    {IDM_CURSOR_PAGE_UP, ACTION_SELECT, CMD_ALWAYS, RunCursor<IDM_CURSOR_PAGE_UP>, nullptr},
    {IDM_CURSOR_PAGE_DOWN, ACTION_SELECT, CMD_ALWAYS, RunCursor<IDM_CURSOR_PAGE_DOWN>, nullptr},
    {IDM_CURSOR_END, ACTION_SELECT, CMD_ALWAYS, RunCursor<IDM_CURSOR_END>, nullptr},
    {IDM_CURSOR_HOME, ACTION_SELECT, CMD_ALWAYS, RunCursor<IDM_CURSOR_HOME>, nullptr},
    {IDM_CURSOR_LEFT, ACTION_SELECT, CMD_ALWAYS, RunCursor<IDM_CURSOR_LEFT>, nullptr},
    {IDM_CURSOR_RIGHT, ACTION_SELECT, CMD_ALWAYS, RunCursor<IDM_CURSOR_RIGHT>, nullptr},

    // View menu.
    {IDM_VIEW_ZOOM_SELECT, ACTION_DISPLAY, CMD_NEEDS_WAVEFORM, Run<ZoomSelect>, nullptr},
    {IDM_VIEW_ZOOM_OUT, ACTION_DISPLAY, CMD_NEEDS_WAVEFORM, Run<ZoomOut>, nullptr},
    {IDM_VIEW_ZOOM_IN, ACTION_DISPLAY, CMD_NEEDS_WAVEFORM, Run<ZoomIn>, nullptr},
    {IDM_VIEW_DISPLAY_ALL, ACTION_DISPLAY, CMD_NEEDS_WAVEFORM, Run<DisplayAll>, nullptr},
    {IDM_VIEW_WAVEFORM, ACTION_TOGGLE_WAVE, CMD_ALWAYS, RunToggle<TOGGLE_WAVEFORM>, nullptr},
    {IDM_VIEW_LOCATIONS, ACTION_TOGGLE_LOCATIONS, CMD_ALWAYS, RunToggle<TOGGLE_LOCATIONS>, nullptr},
    {IDM_VIEW_LEFT, ACTION_TOGGLE_LEFT, CMD_NEEDS_STEREO, RunToggle<TOGGLE_LEFT>, nullptr},
    {IDM_VIEW_RIGHT, ACTION_TOGGLE_RIGHT, CMD_NEEDS_STEREO, RunToggle<TOGGLE_RIGHT>, nullptr},

    // Options: the dialogs come with the shell; their records are applied here.
    {IDM_OPT_DISPLAY, ACTION_DISPLAY_OPTIONS, CMD_ALWAYS, nullptr, ApplyDisplayOptions},

    // Effects. Those with settings run again over the current selection with
    // the current settings when their records are applied.
    {IDM_OPT_AMPLIFY, ACTION_AMPLIFY, CMD_ALWAYS, nullptr, ApplyEffect<Amplify>},
    {IDM_OPT_ECHO, ACTION_ECHO, CMD_ALWAYS, nullptr, ApplyEffect<Echo>},
    {IDM_OPT_FADE, ACTION_FADE, CMD_ALWAYS, nullptr, ApplyEffect<Fade>},
    {IDM_OPT_PITCH, ACTION_PITCH, CMD_ALWAYS, nullptr, ApplyEffect<PitchChange>},
    {IDM_FX_BACKGROUND, ACTION_REMOVE_BACKGROUND, CMD_ALWAYS, nullptr, ApplyEffect<RemoveBackground>},
    {IDM_FX_FILL, ACTION_FILL, CMD_ALWAYS, nullptr, ApplyEffect<Fill>},
    {IDM_FX_TONE, ACTION_TONE, CMD_ALWAYS, nullptr, ApplyEffect<Tone>},
    {IDM_FX_NOISE, ACTION_NOISE, CMD_ALWAYS, nullptr, ApplyEffect<AddNoise>},
    {IDM_FX_SILENCE, ACTION_SILENCE, CMD_ALWAYS, Run<Silence>, nullptr},
    {IDM_FX_LOWPASS, ACTION_LOW_PASS, CMD_ALWAYS, Run<LowPass>, nullptr},
    {IDM_FX_REVERSE, ACTION_REVERSE, CMD_ALWAYS, Run<Reverse>, nullptr},
    {IDM_FX_MEASURE, ACTION_MEASURE, CMD_ALWAYS, Run<Measure>, nullptr},
    {IDM_FX_NORMALIZE, ACTION_NORMALIZE, CMD_ALWAYS, Run<RemoveOffset>, nullptr},

    // Transport keys and buttons.
    {IDM_REWIND, ACTION_NONE, CMD_ALWAYS, Run<Rewind>, nullptr},
    {IDB_REWIND, ACTION_NONE, CMD_ALWAYS, Run<Rewind>, nullptr},
    {IDM_FAST_FORWARD, ACTION_NONE, CMD_ALWAYS, Run<FastForward>, nullptr},
    {IDB_FAST_FORWARD, ACTION_NONE, CMD_ALWAYS, Run<FastForward>, nullptr},
    {IDM_PLAY, ACTION_NONE, CMD_ALWAYS, RunResult<Play>, nullptr},
    {IDM_FAST_PLAY, ACTION_NONE, CMD_ALWAYS, RunResult<Play>, nullptr},
    {IDB_PLAY, ACTION_NONE, CMD_ALWAYS, RunResult<Play>, nullptr},
    {IDB_FAST_PLAY, ACTION_NONE, CMD_ALWAYS, RunResult<Play>, nullptr},
    {IDM_STOP, ACTION_NONE, CMD_DURING_ACTION, Run<Stop>, nullptr},
    {IDB_STOP, ACTION_NONE, CMD_DURING_ACTION, Run<Stop>, nullptr},
    {IDM_RECORD, ACTION_RECORD, CMD_ALWAYS, RunResult<Record>, nullptr},
    {IDB_RECORD, ACTION_RECORD, CMD_ALWAYS, RunResult<Record>, nullptr},
};

bool HasSound()
{
    return TheDocument().length > 0;
}

bool IsStereoPcm()
{
    const Form& format = TheDocument().format;
    return format.IsPcm() && format.Record()->nChannels >= 2;
}

}

const CommandRow* FindCommand(int id)
{
    for (const CommandRow& row : commandTable) {
        if (row.id == id)
            return &row;
    }
    return nullptr;
}

bool CommandEnabled(const CommandRow& row)
{
    uint32_t rule = row.rule;
    if (ActIsBusy() && !(rule & CMD_DURING_ACTION))
        return false;
    if ((rule & CMD_NEEDS_SOUND) && !HasSound())
        return false;
    if ((rule & CMD_NEEDS_WAVEFORM) && !(HasSound() && TheAppOptions().showWaveform))
        return false;
    if ((rule & CMD_NEEDS_SELECTION) && TheSelection().selLength == 0)
        return false;
    if ((rule & CMD_NEEDS_STEREO) && !IsStereoPcm())
        return false;
    return true;
}

bool CommandAccepted(int id)
{
    const CommandRow* row = FindCommand(id);
    return row ? CommandEnabled(*row) : !ActIsBusy();
}

int RunCommand(int id, bool shift)
{
    const CommandRow* row = FindCommand(id);
    if (!row || !row->run)
        return 0;
    if (!CommandEnabled(*row))
        return -1;
    return row->run(shift);
}

int ApplyAction(int action, const void* data, uint32_t size)
{
    for (const CommandRow& row : commandTable) {
        if (row.action != action)
            continue;
        if (row.apply)
            return row.apply(data, size);
        return row.run ? row.run(false) : -1;
    }
    return -1;
}
