// Where the frame's children go: the layout arithmetic of the frame window,
// in units of the variable-pitch system font (a character's average width
// cx and height cy, in eighths and quarters), and the frame's tracking size.
// Portable, so the numbers are tested for measured font metrics.
#pragma once

#include <cstdint>

struct FrameMetrics {
    int32_t charWidth = 0;          // cx
    int32_t charHeight = 0;         // cy
    int32_t dialogBaseY = 0;        // vertical dialog base unit
    int32_t labelWidths[4] = {};    // the four location labels, padded by one cx
};

struct ChildPlace {
    int32_t id;
    int32_t x, y, width, height;
};

// The button bar, the views (while the waveform is shown), the overview
// strip, the location labels and fields (while locations are shown) and the
// two status panels, for a client area of width x height.
enum { FRAME_LAYOUT_MAX = 25 };
int LayoutFrame(const FrameMetrics& m, int32_t width, int32_t height, bool showWaveform,
    bool showLocations, ChildPlace out[FRAME_LAYOUT_MAX]);

// The smallest client area the frame keeps: at least 70.5 characters wide,
// and, while locations are shown, as wide as their row. Without the
// waveform there is nothing to grow into vertically: the height is fixed at
// the minimum.
struct FrameTrackSize {
    int32_t minClientWidth;
    int32_t minClientHeight;
    bool fixedHeight;
};
FrameTrackSize FrameMinimumSize(const FrameMetrics& m, bool showWaveform, bool showLocations);

// a * b / c rounded to the nearest integer, halves away from zero, in 64
// bits (the platform's MulDiv); c = 0 gives 0 instead of a fault.
int32_t MulDivRound(int32_t a, int32_t b, int32_t c);
