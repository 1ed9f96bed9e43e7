// The command table: one row per command id (menu item, accelerator, button
// or edit message) with what runs it, the action it records and the rule
// that says when it is enabled. The frame's dispatch, the undo and redo
// steps that run an action again, the menu states and the right-button
// popup all read this one table, so a new command is one row here.
#pragma once

#include <cstdint>

// Conditions of a command's rule; the command is enabled when all its bits
// hold. Whatever the rule, while an action runs only the rows marked
// CMD_DURING_ACTION are enabled.
enum CommandRule : uint32_t {
    CMD_ALWAYS = 0,
    CMD_NEEDS_SOUND = 0x1,          // the document holds sound
    CMD_NEEDS_WAVEFORM = 0x2,       // sound, and the waveform is shown
    CMD_NEEDS_SELECTION = 0x4,      // the selection is not empty
    CMD_NEEDS_STEREO = 0x8,         // linear PCM the effects edit, two channels or more
    CMD_DURING_ACTION = 0x10,       // accepted while an action runs (Stop)
    CMD_NEEDS_ZOOM_IN = 0x20,       // waveform, and more than the fewest blocks shown
    CMD_NEEDS_ZOOM_OUT = 0x40,      // waveform, and fewer blocks shown than a view may hold
    CMD_NEEDS_SAVE = 0x80,          // sound with unsaved changes, not read-only
    CMD_NEEDS_CLIPBOARD = 0x100,    // the clipboard holds sound
    CMD_NEEDS_PCM = 0x200,          // the document is 8 or 16-bit PCM, which effects can edit
    CMD_NOT_MAXIMIZED = 0x400,      // the frame is not maximized
    CMD_FRAME = 0x800,              // the frame runs it (its own windows), not `run`
};

struct CommandRow {
    int32_t id;
    int32_t action;                 // the action it records; ACTION_NONE when none
    uint32_t rule;
    // The command as the user gives it: 0, -1 (nothing done, nothing to
    // show) or an error id for the shell to show. `shift`: Shift is held
    // (the cursor keys extend the selection). Null: the frame handles the
    // command itself (it concerns its own windows), or it is not available yet.
    int (*run)(bool shift);
    // The undo or redo step of the action's records, where the editing
    // layer cannot take it itself: puts back the saved block, or runs the
    // action again without asking (an effect with the current settings).
    // Null: `run` is the step.
    int (*apply)(const void* data, uint32_t size);
};

// The row of a command id, or null.
const CommandRow* FindCommand(int id);

// The command's rule holds now (and no action runs, unless it may).
bool CommandRuleHolds(const CommandRow& row);

// The command has a handler (or the frame runs it) and its rule holds.
bool CommandEnabled(const CommandRow& row);

// Whether command `id` may run now: its row's rule holds; an id without a
// row only while no action runs.
bool CommandAccepted(int id);

// Runs command `id` when its row has a handler and is enabled. 0 when done,
// when the id has no row or when the frame runs it; -1 when refused or
// nothing was done, or an error id for the shell to show.
int RunCommand(int id, bool shift);

// The state of a menu item when the menu opens: enabled by the command's
// row (Undo and Redo also need a record to apply), checked for the display
// toggles that are on.
bool MenuItemEnabled(int id);
bool MenuItemChecked(int id);

// The undo and redo step of a record of `action` (the editing layer's
// ActionRunner): the `apply` of the first row that records the action. -1
// when no row does.
int ApplyAction(int action, const void* data, uint32_t size);
