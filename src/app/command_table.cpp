#include "app/command_table.h"

#include "app/file_commands.h"
#include "base/app.h"
#include "base/app_options.h"
#include "base/help.h"
#include "base/host.h"
#include "device/device_catalogue.h"
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
#include "view/view_model.h"

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

// An option dialog of the shell; an effect's runs the effect on OK.
template <int TemplateId>
int RunDialog(bool)
{
    TheHost().RunDialog(TemplateId);
    return 0;
}

template <int Toggle>
int RunToggle(bool)
{
    ToggleDisplayOption(Toggle);
    return 0;
}

template <int K>
int RunRecent(bool)
{
    return FileOpenRecent(K);
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

// The help file's topics: the contents, a keyword search (here with an
// empty keyword), the help viewer's own help, and the topic of what the
// user is pointing at (App's help context).
template <uint32_t Command>
int RunHelp(bool)
{
    uintptr_t data = 0;
    if (Command == HELP_CMD_CONTENTS)
        data = HELP_CONTEXT_GENERAL;
    else if (Command == HELP_CMD_PARTIAL_KEY)
        data = reinterpret_cast<uintptr_t>("");
    else if (Command == HELP_CMD_CONTEXT)
        data = TheApp().helpContext;
    TheHost().ShowHelp(nullptr, Command, data);
    return 0;
}

int ApplyDeviceOptionsRecord(const void* data, uint32_t size)
{
    RestoreDeviceOptions(data, size);
    return 0;
}

int ApplyDisplayOptions(const void* data, uint32_t size)
{
    RestoreDisplayOptions(data, size);
    return 0;
}

const CommandRow commandTable[] = {
    // File menu.
    {IDM_FILE_NEW, ACTION_NONE, CMD_ALWAYS, RunResult<FileNew>, nullptr},
    {IDM_FILE_OPEN, ACTION_NONE, CMD_ALWAYS, RunResult<FileOpen>, nullptr},
    {IDM_FILE_SAVE, ACTION_NONE, CMD_NEEDS_SAVE, RunResult<FileSave>, nullptr},
    {IDM_FILE_SAVE_AS, ACTION_NONE, CMD_NEEDS_SOUND, RunResult<FileSaveAs>, nullptr},
    {IDM_FILE_PROPERTIES, ACTION_NONE, CMD_ALWAYS, RunDialog<IDD_PROPERTIES>, nullptr},
    {IDM_FILE_EXIT, ACTION_NONE, CMD_FRAME, nullptr, nullptr},
    {IDM_FILE_RECENT1, ACTION_NONE, CMD_ALWAYS, RunRecent<0>, nullptr},
    {IDM_FILE_RECENT1 + 1, ACTION_NONE, CMD_ALWAYS, RunRecent<1>, nullptr},
    {IDM_FILE_RECENT1 + 2, ACTION_NONE, CMD_ALWAYS, RunRecent<2>, nullptr},
    {IDM_FILE_RECENT4, ACTION_NONE, CMD_ALWAYS, RunRecent<3>, nullptr},

    // Edit menu and the edit messages.
    {IDM_EDIT_UNDO, ACTION_NONE, CMD_ALWAYS, RunResult<ActUndo>, nullptr},
    {IDM_MSG_UNDO, ACTION_NONE, CMD_ALWAYS, RunResult<ActUndo>, nullptr},
    {IDM_EDIT_REDO, ACTION_NONE, CMD_ALWAYS, RunResult<ActRedo>, nullptr},
    // The clipboard belongs to the frame's window.
    {IDM_EDIT_CUT, ACTION_CUT, CMD_FRAME | CMD_NEEDS_SELECTION, nullptr, nullptr},
    {IDM_MSG_CUT, ACTION_CUT, CMD_FRAME | CMD_NEEDS_SELECTION, nullptr, nullptr},
    {IDM_EDIT_COPY, ACTION_NONE, CMD_FRAME | CMD_NEEDS_SELECTION, nullptr, nullptr},
    {IDM_MSG_COPY, ACTION_NONE, CMD_FRAME | CMD_NEEDS_SELECTION, nullptr, nullptr},
    {IDM_EDIT_PASTE, ACTION_PASTE, CMD_FRAME | CMD_NEEDS_CLIPBOARD, nullptr, nullptr},
    {IDM_MSG_PASTE, ACTION_PASTE, CMD_FRAME | CMD_NEEDS_CLIPBOARD, nullptr, nullptr},
    {IDM_EDIT_PASTE_FILE, ACTION_PASTE_FILE, CMD_ALWAYS, RunResult<FilePasteFile>, nullptr},
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

    // View menu; the frame opens and closes the spectrogram window.
    {IDM_VIEW_ZOOM_SELECT, ACTION_DISPLAY, CMD_NEEDS_WAVEFORM, Run<ZoomSelect>, nullptr},
    {IDM_VIEW_ZOOM_OUT, ACTION_DISPLAY, CMD_NEEDS_ZOOM_OUT, Run<ZoomOut>, nullptr},
    {IDM_VIEW_ZOOM_IN, ACTION_DISPLAY, CMD_NEEDS_ZOOM_IN, Run<ZoomIn>, nullptr},
    {IDM_VIEW_DISPLAY_ALL, ACTION_DISPLAY, CMD_NEEDS_WAVEFORM, Run<DisplayAll>, nullptr},
    {IDM_VIEW_WAVEFORM, ACTION_TOGGLE_WAVE, CMD_NOT_MAXIMIZED, RunToggle<TOGGLE_WAVEFORM>, nullptr},
    {IDM_VIEW_LOCATIONS, ACTION_TOGGLE_LOCATIONS, CMD_ALWAYS, RunToggle<TOGGLE_LOCATIONS>, nullptr},
    {IDM_VIEW_LEFT, ACTION_TOGGLE_LEFT, CMD_NEEDS_STEREO, RunToggle<TOGGLE_LEFT>, nullptr},
    {IDM_VIEW_RIGHT, ACTION_TOGGLE_RIGHT, CMD_NEEDS_STEREO, RunToggle<TOGGLE_RIGHT>, nullptr},
    {IDM_VIEW_SPECTROGRAM, ACTION_NONE, CMD_FRAME, nullptr, nullptr},

    // Options: the dialogs come with the shell (gray until then); the
    // records they file are applied here.
    {IDM_OPT_CONVERT, ACTION_CONVERT, CMD_ALWAYS, RunDialog<IDD_CONVERT>, nullptr},
    {IDM_OPT_DEVICE, ACTION_DEVICE_OPTIONS, CMD_ALWAYS, RunDialog<IDD_DEVICE_OPTIONS>, ApplyDeviceOptionsRecord},
    {IDM_OPT_DISPLAY, ACTION_DISPLAY_OPTIONS, CMD_ALWAYS, RunDialog<IDD_DISPLAY_OPTIONS>, ApplyDisplayOptions},
    {IDM_OPT_OBJECT, ACTION_NONE, CMD_ALWAYS, RunDialog<IDD_OBJECT_OPTIONS>, nullptr},
    {IDM_OPT_MIXING, ACTION_NONE, CMD_NEEDS_PCM, RunDialog<IDD_MIXING>, nullptr},

    // Effects. Those with settings run again over the current selection with
    // the current settings when their records are applied. Only 8 and 16-bit
    // PCM has samples they can change: for compressed and wider sound they
    // are gray instead of doing nothing.
    {IDM_OPT_AMPLIFY, ACTION_AMPLIFY, CMD_NEEDS_PCM, RunDialog<IDD_AMPLIFY>, ApplyEffect<Amplify>},
    {IDM_OPT_ECHO, ACTION_ECHO, CMD_NEEDS_PCM, RunDialog<IDD_ECHO>, ApplyEffect<Echo>},
    {IDM_OPT_FADE, ACTION_FADE, CMD_NEEDS_PCM, RunDialog<IDD_FADE>, ApplyEffect<Fade>},
    {IDM_OPT_PITCH, ACTION_PITCH, CMD_NEEDS_PCM, RunDialog<IDD_PITCH>, ApplyEffect<PitchChange>},
    {IDM_FX_BACKGROUND, ACTION_REMOVE_BACKGROUND, CMD_NEEDS_PCM, RunDialog<IDD_BACKGROUND>, ApplyEffect<RemoveBackground>},
    {IDM_FX_FILL, ACTION_FILL, CMD_NEEDS_PCM, RunDialog<IDD_FILL>, ApplyEffect<Fill>},
    {IDM_FX_TONE, ACTION_TONE, CMD_NEEDS_PCM, RunDialog<IDD_TONE>, ApplyEffect<Tone>},
    {IDM_FX_NOISE, ACTION_NOISE, CMD_NEEDS_PCM, RunDialog<IDD_NOISE>, ApplyEffect<AddNoise>},
    {IDM_FX_SILENCE, ACTION_SILENCE, CMD_NEEDS_PCM, Run<Silence>, nullptr},
    {IDM_FX_LOWPASS, ACTION_LOW_PASS, CMD_NEEDS_PCM, Run<LowPass>, nullptr},
    {IDM_FX_REVERSE, ACTION_REVERSE, CMD_NEEDS_PCM, Run<Reverse>, nullptr},
    {IDM_FX_MEASURE, ACTION_MEASURE, CMD_NEEDS_PCM, Run<Measure>, nullptr},
    {IDM_FX_NORMALIZE, ACTION_NORMALIZE, CMD_NEEDS_PCM, Run<RemoveOffset>, nullptr},

    // Help goes to the help viewer through the host; the About and device
    // information dialogs come with the dialogs.
    {IDM_HELP_CONTENTS, ACTION_NONE, CMD_ALWAYS, RunHelp<HELP_CMD_CONTENTS>, nullptr},
    {IDM_HELP_SEARCH, ACTION_NONE, CMD_ALWAYS, RunHelp<HELP_CMD_PARTIAL_KEY>, nullptr},
    {IDM_HELP_HOWTO, ACTION_NONE, CMD_ALWAYS, RunHelp<HELP_CMD_HELP_ON_HELP>, nullptr},
    {IDM_HELP_CONTEXT, ACTION_NONE, CMD_ALWAYS, RunHelp<HELP_CMD_CONTEXT>, nullptr},
    {IDM_HELP_ABOUT, ACTION_NONE, CMD_ALWAYS, RunDialog<IDD_ABOUT>, nullptr},
    {IDM_HELP_DEVICE_INFO, ACTION_NONE, CMD_ALWAYS, RunDialog<IDD_DEVICE_INFO>, nullptr},

    // Transport keys and buttons; Esc, the volume keys, the volume popup and
    // the drag button concern the frame's own windows.
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
    {IDM_ESCAPE, ACTION_NONE, CMD_DURING_ACTION | CMD_FRAME, nullptr, nullptr},
    {IDM_VOLUME_UP, ACTION_NONE, CMD_FRAME, nullptr, nullptr},
    {IDM_VOLUME_DOWN, ACTION_NONE, CMD_FRAME, nullptr, nullptr},
    {IDB_VOLUME, ACTION_NONE, CMD_FRAME, nullptr, nullptr},
    {IDB_DRAG, ACTION_NONE, CMD_FRAME, nullptr, nullptr},
};

bool HasSound()
{
    return TheDocument().length > 0;
}

bool HasWaveform()
{
    return HasSound() && TheAppOptions().showWaveform;
}

bool CanSave()
{
    const CKV_Document& doc = TheDocument();
    return !doc.readOnly && DocumentNeedsSave();
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
    return (row.run || (row.rule & CMD_FRAME)) && CommandRuleHolds(row);
}

bool CommandRuleHolds(const CommandRow& row)
{
    uint32_t rule = row.rule;
    if (ActIsBusy() && !(rule & CMD_DURING_ACTION))
        return false;
    const Selection& sel = TheSelection();
    if ((rule & CMD_NEEDS_SOUND) && !HasSound())
        return false;
    if ((rule & CMD_NEEDS_WAVEFORM) && !HasWaveform())
        return false;
    if ((rule & CMD_NEEDS_ZOOM_IN) && !(HasWaveform() && sel.viewLength > MIN_VIEW_LENGTH))
        return false;
    if ((rule & CMD_NEEDS_ZOOM_OUT) && !(HasWaveform() && sel.viewLength < ViewLengthCap()))
        return false;
    if ((rule & CMD_NEEDS_SAVE) && !CanSave())
        return false;
    if ((rule & CMD_NEEDS_CLIPBOARD) && !TheHost().ClipboardHasSound())
        return false;
    if ((rule & CMD_NEEDS_PCM) && !TheDocument().format.IsPcm())
        return false;
    if ((rule & CMD_NOT_MAXIMIZED) && TheHost().FrameMaximized())
        return false;
    if ((rule & CMD_NEEDS_SELECTION) && sel.selLength == 0)
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
    if (!row)
        return 0;
    if (!CommandEnabled(*row))
        return -1;
    return row->run ? row->run(shift) : 0;
}

bool MenuItemEnabled(int id)
{
    const CommandRow* row = FindCommand(id);
    if (!row || !CommandEnabled(*row))
        return false;
    // The popup offers Undo whatever the history holds; the menu bar's
    // items say whether there is something to undo or redo.
    if (id == IDM_EDIT_UNDO)
        return !TheUndoHistory().IsEmpty();
    if (id == IDM_EDIT_REDO)
        return !TheRedoHistory().IsEmpty();
    return true;
}

bool MenuItemChecked(int id)
{
    const AppOptions& options = TheAppOptions();
    switch (id) {
    case IDM_VIEW_WAVEFORM:
        return options.showWaveform;
    case IDM_VIEW_LOCATIONS:
        return options.showLocations;
    case IDM_VIEW_LEFT:
        return options.leftChannel;
    case IDM_VIEW_RIGHT:
        return options.rightChannel;
    case IDM_VIEW_SPECTROGRAM:
        return TheApp().spectrogram != nullptr;
    default:
        return false;
    }
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
