// The action lifecycle: every change to the sound, the selection, the displayed
// range or the options is prepared (room made, what it overwrites saved),
// carried out with progress checks, and completed (views told, change counted,
// the record filed for undo).
//
// At most one action runs at a time. An action runs from a successful prepare
// to its completion: while its undo record is open, or, for an action that
// changes the samples, while its progress state exists (also when nothing is
// recorded, as during a file load). Meanwhile another prepare is refused, a
// completion of another action is ignored and Undo/Redo do nothing; this
// guards the commands that arrive while ActProgress routes messages.
#pragma once

#include <cstdint>

#include "base/app.h"

class CKV_ACTSTORE;

enum ActionFlags : uint32_t {
    ACT_PREPARED = 0x1,             // completion only: the record was opened by a prepare
    ACT_PROGRESS = 0x2,             // a progress window may be shown
    ACT_CHANGES_WAVE = 0x4,
    ACT_CHANGES_DOC = 0x8,
    ACT_CHANGES_SETTINGS = 0x10,
    ACT_PASTE_LENGTH = 0x40,        // works on the paste length (Selection::pendingLength)
    ACT_ANY_FORMAT = 0x80,          // allowed for compressed sound
    ACT_INSERT_LABEL_ONLY = 0x100,
    ACT_NO_SELECTION_OK = 0x200,
    ACT_INSERT_SPACE = 0x400,       // Insert mode inserts new samples first and works on them
    ACT_NO_RECORD = 0x1000,         // nothing to undo: the record is dropped
    ACT_LENGTH_CHANGED = 0x2000,    // completion only
    ACT_FAILED = 0x4000,            // completion only: what the action did is taken back, as on Cancel
};

enum ActionId {
    ACTION_NONE = 0,
    ACTION_RECORD = 1,
    ACTION_SELECT = 2,
    ACTION_DISPLAY = 3,
    ACTION_DEVICE_OPTIONS = 4,
    ACTION_DISPLAY_OPTIONS = 5,
    ACTION_MIXING_OPTIONS = 6,
    ACTION_EFFECT_SETUP = 7,
    ACTION_OBJECT_OPTIONS = 8,
    ACTION_TOGGLE_WAVE = 9,
    ACTION_TOGGLE_LOCATIONS = 10,
    ACTION_TOGGLE_LEFT = 11,
    ACTION_TOGGLE_RIGHT = 12,
    ACTION_CUT = 13,
    ACTION_DELETE = 14,
    ACTION_PASTE = 15,
    ACTION_PASTE_FILE = 16,
    ACTION_CHANGE = 17,
    ACTION_CONVERT = 18,
    ACTION_AMPLIFY = 19,
    ACTION_FADE = 20,
    ACTION_ECHO = 21,
    ACTION_PITCH = 22,
    ACTION_SILENCE = 23,
    ACTION_LOW_PASS = 24,
    ACTION_REMOVE_BACKGROUND = 25,
    ACTION_FILL = 26,
    ACTION_REVERSE = 27,
    ACTION_TONE = 28,
    ACTION_NOISE = 29,
    ACTION_MEASURE = 30,
    ACTION_NORMALIZE = 31,
    ACTION_COUNT = 32,
};

// Restore kinds of undo records that hold samples or a count. Every other
// kind is the id of the action whose step applying the record performs.
enum RestoreKind {
    RESTORE_SAMPLES = 17,       // the selected frames, written back over the selection
    RESTORE_INSERTED = 14,      // a count of inserted samples, deleted again
};

struct ActionRow {
    int32_t command;            // menu command; negative: an "Other Effects" item
    int32_t nameId;             // string id of the name
    uint32_t flags;
};

extern const ActionRow ActionTable[ACTION_COUNT];

// The action's display name ("" for ACTION_NONE and ids outside the table).
const char* ActionName(int action);

// Insert when nothing is recorded or nothing is selected; else Replace when
// the old sound is not kept by the mixing setting or the sound is not PCM;
// else Mix.
int ComputeEditMode();

// Levels up to 2 discard the open record and both histories; 4 returns from
// a nested state (the state becomes ready when the nesting is back to 0);
// other levels enter that state. Above 2 nothing changes while a record is
// open.
void ResetUndoHistory(int level);

// Opens the record of `action`. For the sample kinds (ACTION_RECORD,
// ACTION_PASTE, ACTION_PASTE_FILE, RESTORE_SAMPLES) `size` frames are saved
// from the selection start; ACTION_CUT and RESTORE_INSERTED keep `size` as a
// count; other kinds copy `size` bytes of `data` (none when data is null).
// Returns `size`, or 0 when refused (an action runs, or no record could be
// made). Below the ready state nothing is recorded but the action runs.
uint32_t ActPrepare(int action, int kind, const void* data, uint32_t size);

// Stops the engine (unless recording), fixes the edit mode and prepares the
// samples `action` works on from the selection start: the selection in Mix
// and Replace mode (cut to the paste length first for paste actions), new
// samples in Insert mode (kind becomes 14). Returns their count; 0: do
// nothing, except in Insert mode for an action that inserts as it goes
// (Record, Change): then the record is open and must be completed.
int32_t ActPrepareWave(int action, int kind);

// ActPrepareWave for an action that makes every prepared byte silence: the
// record takes over the memory of the chunks wholly inside the selection
// instead of copying it, and those chunks are left without memory, which
// reads as silence. Chunks someone else holds locked (the device engine
// plays from its locks) are copied as ActPrepareWave copies them.
int32_t ActPrepareWaveTakingChunks(int action, int kind);

// ActPrepareWave that tells a refusal from a prepared count of 0: true when
// the action was prepared and must be completed; *count gets the count.
bool ActTryPrepareWave(int action, int kind, int32_t* count);

// Called by long loops with the current block position: routes waiting
// messages and updates the progress window. True once the user cancelled.
bool ActProgress(int32_t position);

// Closes the action: `flags` are added to the table flags. Cancelled or
// failed (ACT_FAILED) work is undone as far as the record allows and nothing
// is filed; otherwise the views are refreshed, the record filed by the action
// state and the change counted. Without ACT_PREPARED a record without data is
// made first (the display toggles).
void ActComplete(int action, uint32_t flags);

// A record is open between prepare and completion.
bool ActIsOpen();
// An action runs (see above).
bool ActIsBusy();
// The open record, or null.
const CKV_ACTSTORE* ActOpenRecord();
// The open record to complete with what only the finished action can give
// (Convert Format adopts the replaced chunks), or null.
CKV_ACTSTORE* ActOpenRecordToFill();

// Discards the open record, the running action's progress state and both
// histories; the state becomes ready with no nesting (tests and start-up).
void ResetActionLifecycle();
