// The action lifecycle: every change to the sound, the selection, the displayed
// range or the options is prepared (room made, what it overwrites saved),
// carried out with progress checks, and completed (views told, change counted,
// the record filed for undo).
#pragma once

#include <cstdint>

#include "app/app.h"

enum ActionFlags : uint32_t {
    ACT_PREPARED = 0x1,
    ACT_PROGRESS = 0x2,
    ACT_CHANGES_WAVE = 0x4,
    ACT_CHANGES_DOC = 0x8,
    ACT_CHANGES_SETTINGS = 0x10,
    ACT_PASTE_LENGTH = 0x40,
    ACT_ANY_FORMAT = 0x80,
    ACT_INSERT_LABEL_ONLY = 0x100,
    ACT_NO_SELECTION_OK = 0x200,
    ACT_INSERT_SPACE = 0x400,
    ACT_NO_RECORD = 0x1000,
    ACT_LENGTH_CHANGED = 0x2000,
};

enum ActionId {
    ACTION_NONE = 0,
    ACTION_RECORD = 1,
    ACTION_SELECT = 2,
    ACTION_DISPLAY = 3,
    ACTION_PASTE = 15,
    ACTION_PASTE_FILE = 16,
    ACTION_CHANGE = 17,
    ACTION_CONVERT = 18,
    ACTION_COUNT = 32,
};

// Restore kinds of undo records that hold samples or a count.
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

// Insert when nothing is recorded or nothing is selected; else Replace when
// the old sound is not kept by the mixing setting or the sound is not PCM;
// else Mix.
int ComputeEditMode();

void ResetUndoHistory(int level);

uint32_t ActPrepare(int action, int kind, const void* data, uint32_t size);
int32_t ActPrepareWave(int action, int kind);
bool ActProgress(int32_t position);
void ActComplete(int action, uint32_t flags);

// A record is open between prepare and completion (tests, re-entry guard).
bool ActIsOpen();
