#include "view/zoom_strip.h"

#include <gtest/gtest.h>

#include "edit/links.h"

namespace {

const int32_t M = 8;
const int32_t HOUR = 158760000;     // 60 minutes of 44.1 kHz sound

// Client width 1016: a usable width of 1000 between the margins.
StripGeometry Strip(int32_t usable = 1000, int32_t height = 30)
{
    return MakeStripGeometry(usable + 2 * M, height, M);
}

TEST(ZoomStrip, PositionsAndPixelsOfAnHourLongSound)
{
    const StripGeometry g = Strip();
    struct Case {
        const char* what;
        int32_t got;
        int32_t want;
    } cases[] = {
        {"zoom bar middle", ZoomBarX(g, HOUR / 2, 0, HOUR), M + 500},
        {"zoom bar end", ZoomBarX(g, HOUR, 0, HOUR), M + 1000},
        {"zoom bar before the view", ZoomBarX(g, 9, 10, HOUR), -M},
        {"zoom bar after the view", ZoomBarX(g, HOUR + 11, 10, HOUR), 3 * M + 1000},
        {"zoom bar of an empty view", ZoomBarX(g, 5, 0, 0), M},
        {"zoom bar x to position", ZoomBarPosition(g, M + 250, 1000, HOUR), 1000 + HOUR / 4},
        {"zoom bar left of the window", ZoomBarPosition(g, -5, 0, HOUR), 0},
        {"overview quarter", OverviewPosition(g, M + 250, HOUR), 39690000},
        {"overview x", OverviewX(g, HOUR / 4 * 3, HOUR), M + 750},
        {"overview left of the window", OverviewPosition(g, -30000, HOUR), 0},
        {"overview of an empty sound", OverviewX(g, 0, 0), M},
        {"overview click on an empty sound", OverviewPosition(g, M + 500, 0), 0},
        {"narrow zoom bar", ZoomBarPosition(Strip(-3), 50, 7, HOUR), 7},
        {"narrow overview", OverviewPosition(Strip(0), 50, HOUR), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.want) << c.what;
}

TEST(ZoomStrip, HandlesOfAnEmptySelectionTouchWithoutOverlapping)
{
    const StripGeometry g = Strip(1000, 20);
    const ZoomBarHandles h = PlaceZoomBarHandles(g, 500, 0, 0, 1000);
    EXPECT_EQ(h.start, (StripRect{M + 501 - M, 0, M + 501, 20}));
    EXPECT_EQ(h.end, (StripRect{M + 500, 0, M + 500 + M, 20}));

    const ZoomBarHandles wide = PlaceZoomBarHandles(g, 100, 300, 0, 1000);
    EXPECT_EQ(wide.start.right, M + 101);
    EXPECT_EQ(wide.end.left, M + 399);

    StripState s;
    s.documentLength = 1000;
    s.viewStart = 200;
    s.viewLength = 100;
    s.selStart = 400;
    s.selLength = 100;
    s.playPos = 450;
    const OverviewPlacement p = PlaceOverview(Strip(1000, 30), s);
    EXPECT_EQ(p.bar, (StripRect{M, 10, M + 1000, 20}));
    EXPECT_EQ(p.handles[HANDLE_SEL_START], (StripRect{M + 401 - M, 0, M + 401, 10}));
    EXPECT_EQ(p.handles[HANDLE_SEL_END], (StripRect{M + 500, 0, M + 500 + M, 10}));
    EXPECT_EQ(p.handles[HANDLE_VIEW_START], (StripRect{M + 201 - M, 20, M + 201, 30}));
    EXPECT_EQ(p.handles[HANDLE_VIEW_END], (StripRect{M + 300, 20, M + 300 + M, 30}));
    EXPECT_EQ(p.playX, M + 450);
}

TEST(ZoomStrip, PressesOnARow)
{
    // A range 100..300 whose handles end at x 101 and begin at x 299.
    const StripRect start{94, 0, 101, 10};
    const StripRect end{299, 0, 306, 10};
    struct Case {
        const char* what;
        int32_t x;
        bool selectionRow;
        StripPressKind kind;
        int32_t anchor;
        int origin;
    } cases[] = {
        {"left of the start handle drags the start", 50, true, PRESS_SELECT_BETWEEN, 300, ORIGIN_GESTURE_START},
        {"on the start handle", 96, true, PRESS_KEEP, 300, ORIGIN_GESTURE_START},
        {"between the handles collapses", 200, true, PRESS_COLLAPSE, 7000, ORIGIN_COMMAND},
        // Dragged on past the start, the selection runs from there to the old start.
        {"on the end handle keeps the old start", 301, true, PRESS_KEEP, 100, ORIGIN_GESTURE_START},
        {"right of the end handle", 400, true, PRESS_SELECT_BETWEEN, 100, ORIGIN_GESTURE_START},
        {"between the view handles moves the end", 200, false, PRESS_SELECT_BETWEEN, 100, ORIGIN_GESTURE_START},
        {"the view end handle is no handle", 301, false, PRESS_SELECT_BETWEEN, 100, ORIGIN_GESTURE_START},
    };
    for (const Case& c : cases) {
        const StripPress p = PressOnRow(c.x, 7000, start, end, 100, 200, c.selectionRow, c.selectionRow);
        EXPECT_EQ(p.kind, c.kind) << c.what;
        EXPECT_EQ(p.anchor, c.anchor) << c.what;
        EXPECT_EQ(p.origin, c.origin) << c.what;
    }

    const StripGeometry g = Strip(1000, 30);
    EXPECT_EQ(OverviewRow(g, 9, true), 0);
    EXPECT_EQ(OverviewRow(g, 15, true), 1);
    EXPECT_EQ(OverviewRow(g, 25, true), 2);
    EXPECT_EQ(OverviewRow(g, 25, false), 1) << "the bottom third moves the play position while the waveform is hidden";
}

}
