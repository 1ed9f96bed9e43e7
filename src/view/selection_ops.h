// The operations that change the selection, the displayed range and the play
// position. Everything goes through them; their origin says where a change
// came from, and changes from a gesture end or a command are undoable.
#pragma once

#include <cstdint>

enum SelectionOrigin {
    ORIGIN_ENGINE = 1,          // the play/record engine
    ORIGIN_DRAG = 2,
    ORIGIN_GESTURE_START = 3,
    ORIGIN_PROGRAM = 4,         // programmatic commit, not recorded
    ORIGIN_GESTURE_END = 5,
    ORIGIN_COMMAND = 6,
};

void SetSelection(int32_t start, int32_t length, int origin);
void SetViewRange(int32_t start, int32_t length, int origin);

// Repaints the waveform between two block positions; (0, 0) repaints all and
// b = 0 repaints to the right edge.
void RepaintRange(int32_t a, int32_t b);
