// The arithmetic of the two strips beside the waveform: the zoom bar above
// it (the selection's ends within the shown range, as two handles) and the
// overview strip below it (the whole sound as a bar with the shown range, the
// selection and the play position). Positions are blocks of the document,
// x values client pixels; m is the side margin and the width of every
// handle, usable the client width less both margins. Products are taken in
// 64 bits: a shown length of an hour's sound times a thousand pixels does not
// fit 32.
#pragma once

#include <cstdint>

struct StripRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;          // exclusive
    int32_t bottom = 0;         // exclusive

    bool Contains(int32_t x, int32_t y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const StripRect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const StripRect& o) const { return !(*this == o); }
};

// The size of a strip's client area and its margin.
struct StripGeometry {
    int32_t margin = 0;
    int32_t usable = 0;         // client width - 2 * margin; below 1 the strip ignores the mouse
    int32_t height = 0;
};

StripGeometry MakeStripGeometry(int32_t clientWidth, int32_t clientHeight, int32_t margin);

// Zoom bar: position to x within the shown range vs..vs + vl. Before it -m,
// after it 3m + usable (off the strip, so the handles hide); vl = 0 gives m.
int32_t ZoomBarX(const StripGeometry& g, int32_t position, int32_t viewStart, int32_t viewLength);
// Zoom bar: x to position, at least 0.
int32_t ZoomBarPosition(const StripGeometry& g, int32_t x, int32_t viewStart, int32_t viewLength);

// The zoom bar's selection handles: the start handle ends one pixel right of
// the start's x, the end handle begins one pixel left of the end's x (one
// further right for an empty selection, so the two never cover each other).
struct ZoomBarHandles {
    StripRect start;
    StripRect end;
};
ZoomBarHandles PlaceZoomBarHandles(
    const StripGeometry& g, int32_t selStart, int32_t selLength, int32_t viewStart, int32_t viewLength);

// Overview strip: position to x over the whole sound (m for an empty one).
int32_t OverviewX(const StripGeometry& g, int32_t position, int32_t documentLength);
// Overview strip: x to position, at least 0.
int32_t OverviewPosition(const StripGeometry& g, int32_t x, int32_t documentLength);

// The overview's handles: ends (view end, selection end) span x .. x + m,
// starts x + 1 - m .. x + 1; the selection's in the top third, the view's in
// the bottom third.
enum OverviewHandle {
    HANDLE_VIEW_END = 0,
    HANDLE_SEL_END = 1,
    HANDLE_VIEW_START = 2,
    HANDLE_SEL_START = 3,
    OVERVIEW_HANDLES = 4,
};
struct OverviewPlacement {
    StripRect bar;              // the bar between the margins, in the middle third
    StripRect handles[OVERVIEW_HANDLES];
    int32_t playX = 0;
};
struct StripState {
    int32_t documentLength = 0;
    int32_t viewStart = 0;
    int32_t viewLength = 0;
    int32_t selStart = 0;
    int32_t selLength = 0;
    int32_t playPos = 0;
};
OverviewPlacement PlaceOverview(const StripGeometry& g, const StripState& s);

// What a button press on a strip does. SELECT_BETWEEN: the range becomes
// anchor .. position; KEEP: the range is filed unchanged (a handle was
// taken); COLLAPSE: the range collapses at the position.
enum StripPressKind { PRESS_SELECT_BETWEEN, PRESS_KEEP, PRESS_COLLAPSE };
struct StripPress {
    StripPressKind kind = PRESS_KEEP;
    int32_t anchor = 0;
    int origin = 0;
};

// A press at x (position pos) on a row with a start and an end handle, the
// row's range being rangeStart .. rangeStart + rangeLength. The zoom bar and
// the overview's selection row collapse a range between their handles
// (collapseBetween); the overview's view row moves the range's end instead.
// The end handle is only taken as a handle when takeEndHandle.
StripPress PressOnRow(int32_t x, int32_t pos, const StripRect& startHandle, const StripRect& endHandle,
    int32_t rangeStart, int32_t rangeLength, bool collapseBetween, bool takeEndHandle);

// The overview row under y: 0 selection (top third), 1 play position, 2 view
// range (bottom third; the play position while the waveform is hidden).
int OverviewRow(const StripGeometry& g, int32_t y, bool waveformShown);
