#include "view/zoom_strip.h"

#include <cstdint>

#include "edit/links.h"

namespace {

int32_t ClampToInt32(int64_t v)
{
    if (v > INT32_MAX)
        return INT32_MAX;
    if (v < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(v);
}

int32_t AtLeastZero(int64_t v)
{
    return v < 0 ? 0 : ClampToInt32(v);
}

StripRect EndHandle(int32_t x, int32_t m, int32_t top, int32_t bottom)
{
    return StripRect{x, top, x + m, bottom};
}

StripRect StartHandle(int32_t x, int32_t m, int32_t top, int32_t bottom)
{
    return StripRect{x + 1 - m, top, x + 1, bottom};
}

}

StripGeometry MakeStripGeometry(int32_t clientWidth, int32_t clientHeight, int32_t margin)
{
    StripGeometry g;
    g.margin = margin;
    g.usable = clientWidth - 2 * margin;
    g.height = clientHeight;
    return g;
}

int32_t ZoomBarX(const StripGeometry& g, int32_t position, int32_t viewStart, int32_t viewLength)
{
    if (viewLength <= 0)
        return g.margin;
    const int64_t offset = int64_t(position) - viewStart;
    if (offset < 0)
        return -g.margin;
    if (offset > viewLength)
        return ClampToInt32(3 * int64_t(g.margin) + g.usable);
    return ClampToInt32(g.margin + int64_t(g.usable) * offset / viewLength);
}

int32_t ZoomBarPosition(const StripGeometry& g, int32_t x, int32_t viewStart, int32_t viewLength)
{
    if (g.usable < 1)
        return AtLeastZero(viewStart);
    return AtLeastZero(viewStart + (int64_t(x) - g.margin) * viewLength / g.usable);
}

ZoomBarHandles PlaceZoomBarHandles(
    const StripGeometry& g, int32_t selStart, int32_t selLength, int32_t viewStart, int32_t viewLength)
{
    ZoomBarHandles h;
    int32_t endX = ZoomBarX(g, ClampToInt32(int64_t(selStart) + selLength), viewStart, viewLength);
    if (selLength == 0)
        endX++;
    h.end = EndHandle(endX - 1, g.margin, 0, g.height);
    h.start = StartHandle(ZoomBarX(g, selStart, viewStart, viewLength), g.margin, 0, g.height);
    return h;
}

int32_t OverviewX(const StripGeometry& g, int32_t position, int32_t documentLength)
{
    if (documentLength <= 0)
        return g.margin;
    return ClampToInt32(g.margin + int64_t(g.usable) * position / documentLength);
}

int32_t OverviewPosition(const StripGeometry& g, int32_t x, int32_t documentLength)
{
    if (g.usable < 1)
        return 0;
    return AtLeastZero((int64_t(x) - g.margin) * documentLength / g.usable);
}

OverviewPlacement PlaceOverview(const StripGeometry& g, const StripState& s)
{
    OverviewPlacement p;
    const int32_t third = g.height / 3;
    const int32_t twoThirds = 2 * g.height / 3;
    p.bar = StripRect{g.margin, third, g.margin + g.usable, twoThirds};
    const int32_t n = s.documentLength;
    const int32_t m = g.margin;
    p.handles[HANDLE_SEL_END] = EndHandle(OverviewX(g, ClampToInt32(int64_t(s.selStart) + s.selLength), n), m, 0, third);
    p.handles[HANDLE_SEL_START] = StartHandle(OverviewX(g, s.selStart, n), m, 0, third);
    p.handles[HANDLE_VIEW_END] =
        EndHandle(OverviewX(g, ClampToInt32(int64_t(s.viewStart) + s.viewLength), n), m, twoThirds, g.height);
    p.handles[HANDLE_VIEW_START] = StartHandle(OverviewX(g, s.viewStart, n), m, twoThirds, g.height);
    p.playX = OverviewX(g, s.playPos, n);
    return p;
}

StripPress PressOnRow(int32_t x, int32_t pos, const StripRect& startHandle, const StripRect& endHandle,
    int32_t rangeStart, int32_t rangeLength, bool collapseBetween, bool takeEndHandle)
{
    StripPress p;
    p.origin = ORIGIN_GESTURE_START;
    if (x <= startHandle.right) {
        p.anchor = ClampToInt32(int64_t(rangeStart) + rangeLength);
        p.kind = x >= startHandle.left && x < startHandle.right ? PRESS_KEEP : PRESS_SELECT_BETWEEN;
    } else if (collapseBetween && x < endHandle.left) {
        p.anchor = pos;
        p.kind = PRESS_COLLAPSE;
        p.origin = ORIGIN_COMMAND;    // the click places the cursor, as a key would
    } else {
        p.anchor = rangeStart;
        p.kind = takeEndHandle && x >= endHandle.left && x < endHandle.right ? PRESS_KEEP : PRESS_SELECT_BETWEEN;
    }
    return p;
}

int OverviewRow(const StripGeometry& g, int32_t y, bool waveformShown)
{
    int row = 1;
    if (g.height > 0) {
        if (y < g.height / 3)
            row = 0;
        else if (y >= 2 * g.height / 3)
            row = 2;
    }
    if (row == 2 && !waveformShown)
        row = 1;
    return row;
}
