// The waveform view as the core knows it: the window's size, how the shown
// range maps onto its pixel columns, what is left to repaint, and the last
// committed view range and selection (the undo records of gestures save
// those). The window itself, with painting and the mouse, lives in the shell;
// it sets its size here and takes the repaint requests when it updates.
#pragma once

#include <cstdint>

// How samples map onto pixel columns.
enum ScaleMode : int32_t {
    SCALE_NONE = -1,            // nothing to draw (no window or no range)
    SCALE_MANY = 0,             // at least three samples per pixel
    SCALE_FEW = 1,              // one to three samples per pixel
    SCALE_WIDE = 2,             // more pixels than samples
};

// A requested range fitted to the window. The view start and length are
// stored in the selection record; scaleMode and factor here.
struct FittedRange {
    int32_t start = 0;
    int32_t length = 0;
    int32_t scaleMode = SCALE_NONE;
    uint32_t factor = 0;        // samples per pixel, or pixels per sample in SCALE_WIDE
};

struct WaveViewModel {
    int32_t width = 0;          // client width in pixels; 0 while no window exists
    int32_t height = 0;
    int32_t scaleMode = SCALE_NONE;
    uint32_t factor = 0;
    bool fullRedraw = false;    // the next paint recomputes the scroll bar

    // What the window has to repaint when it next updates. Sample positions,
    // so that the request survives a change of the shown range.
    bool repaintAll = false;
    bool repaintPending = false;        // repaintFrom..repaintTo holds a range
    bool repaintToEdge = false;         // ... that runs on to the right edge
    int32_t repaintFrom = 0;
    int32_t repaintTo = 0;              // exclusive
    // Pixels the content moves left (negative: right) before the range is
    // repainted; the uncovered columns are repainted with it.
    int32_t scrollPixels = 0;

    // The range and selection as last committed (origins 4 and above).
    int32_t committedViewStart = 0;
    int32_t committedViewLength = 0;
    int32_t committedSelStart = 0;
    int32_t committedSelLength = 0;
};

WaveViewModel& TheWaveView();
void ResetWaveView();

// The window was created or resized: stores the client size, sets
// fullRedraw and fits the current range to it again (a programmatic, not
// recorded change). A width of 0 (the window is gone) leaves nothing to draw.
void SetWaveViewSize(int32_t width, int32_t height);

// The fewest blocks a view shows.
enum { MIN_VIEW_LENGTH = 20 };

// The most blocks a view shows: the larger of 5 s and twice the document
// length.
int32_t ViewLengthCap();

// Fits a requested range to the document and the window width: the length
// is at most the larger of 5 s and twice the document length and at least
// 20 samples; then whole pixels are given whole samples (or sample groups,
// with the start on a group boundary).
FittedRange FitViewRange(int32_t start, int32_t length);

// Sample position to pixel column of the shown range: -10 left of it,
// width + 10 right of it.
int32_t SampleToX(int32_t position);
// Pixel column to the sample shown there.
int32_t XToSample(int32_t x);

// Repaint requests, collected until the window takes them.
void RequestWaveRepaint(int32_t from, int32_t to);     // to: exclusive
void RequestWaveRepaintToEdge(int32_t from);
void RequestWholeWaveRepaint();
// The content moves by dx pixels; a move of a whole width or more repaints
// everything.
void RequestWaveScroll(int32_t dx);

// What the window is to repaint, emptied for the next requests.
struct WaveRepaint {
    bool all = false;
    bool range = false;         // from..to is to be repainted
    bool toEdge = false;        // the range runs on to the right edge
    int32_t from = 0;
    int32_t to = 0;
    int32_t scrollPixels = 0;
};
WaveRepaint TakeWaveRepaint();
