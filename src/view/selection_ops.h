// The operations that change the selection, the displayed range and the play
// position. Every view, the engine, the position fields and the commands go
// through them: they clamp, stop play where a user moves things, request the
// view updates and, for gesture ends and commands, file the undoable "Select"
// and "Display" actions. Positions and lengths are blocks of the document.
#pragma once

#include <cstdint>

// Where a change comes from. Origins from ORIGIN_PROGRAM up commit the change
// (it becomes the state a later gesture is undone to); those above it are
// recorded for undo.
enum SelectionOrigin {
    ORIGIN_ENGINE = 0,          // the play/record engine: no clamping, no stop
    ORIGIN_DRAG = 2,            // a mouse drag in progress
    ORIGIN_GESTURE_START = 3,   // the button went down
    ORIGIN_PROGRAM = 4,         // a final change made by the program, not recorded
    ORIGIN_GESTURE_END = 5,     // the button came up
    ORIGIN_COMMAND = 6,         // a command or a key
};

// Shows start..start + length in the views, fitted to the waveform window
// (view_model.h). Does nothing while the document has no usable format.
// Recorded changes save the last committed range; a request that leaves the
// committed range as it was files nothing.
void SetViewRange(int32_t start, int32_t length, int origin);

// Selects start..start + length, clamped into the sound. Does nothing while
// the document has no usable format. Recorded changes save the last
// committed selection; one that leaves it as it was files nothing. A commit
// also puts the play position into the new selection (its start when the
// selection is empty), which stops play.
void SetSelection(int32_t start, int32_t length, int origin);

// SetSelection from the smaller of a and b, as long as their difference.
void SelectBetween(int32_t a, int32_t b, int origin);

// Moves the play position. From the engine it is taken as given; from
// anywhere else it is clamped into the selection (or from the selection
// start to the end of the sound when nothing is selected), and for a gesture
// start, a commit or a command the engine is stopped first.
void SetPlayPosition(int32_t position, int origin);

// The play position plus (forward) or minus the sound's length, clamped as
// SetPlayPosition clamps: the selection end or start. A gesture end keeps
// the position where it is.
void MoveToEnd(bool forward, int origin);

// Repaints the waveform columns of blocks a..b; b = 0 repaints from a to the
// right edge and has the scroll bar recomputed. (0, 0) repaints everything
// shown.
void RepaintRange(int32_t a, int32_t b);
