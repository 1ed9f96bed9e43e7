// The display choices of the views: the four on/off toggles of the View menu
// (waveform, locations row, left and right channel) and the display options
// (a selection shown by its end or its length, and the unit of positions).
// Each change is one undoable action; undoing a toggle toggles again, undoing
// the options puts the saved pair back.
#pragma once

#include <cstdint>

// The toggle actions (their undo kinds are the same numbers).
enum DisplayToggle {
    TOGGLE_WAVEFORM = 9,
    TOGGLE_LOCATIONS = 10,
    TOGGLE_LEFT = 11,
    TOGGLE_RIGHT = 12,
};

// The frame's part of showing or hiding the waveform (TOGGLE_WAVEFORM) or the
// locations row (TOGGLE_LOCATIONS): window sizes, visibility, the maximize
// box. Called after the flag has changed; returning false refuses the change
// (a maximized frame cannot lose its waveform) and the flag goes back.
using DisplayLayoutHandler = bool (*)(int toggle, bool shown);
void SetDisplayLayoutHandler(DisplayLayoutHandler handler);

// Turns one display flag over and records the action. A channel is never
// left without the other: turning off the only channel shown turns the
// other on first, and both changes are recorded, the other's first, so that
// undoing them one by one never passes through "no channel". Other values
// are ignored.
void ToggleDisplayOption(int toggle);

// The display options as their undo records hold them, in the order of the
// "DISPOPTS" setting: showEnd (0 or 1), then defaultLengthUnit.
struct DisplayOptionsRecord {
    int32_t showEnd;
    int32_t defaultLengthUnit;
};
static_assert(sizeof(DisplayOptionsRecord) == 8, "the undo record of the display options is 8 bytes");

// The Display Options dialog's OK: stores the pair when it differs from the
// current one, records the old pair, and has every position reformatted.
// False, and nothing changed, for a unit other than seconds, bytes or
// samples (1..3).
bool SetDisplayOptions(bool showEnd, int32_t defaultLengthUnit);

// The undo step of the display options: puts back a saved 8-byte record the
// same way (recording the current pair first): exactly the pair the program
// had, whatever unit it held. Records of another size are ignored.
void RestoreDisplayOptions(const void* data, uint32_t size);
