#include "app/frame_layout.h"

#include <gtest/gtest.h>

#include <map>

#include "resource.h"

namespace {

// The system font as Wine measures it here: 7 x 16 pixels, dialog base unit
// 16; the labels "Selection: Start", "Length", "Mouse", "Play Position" with
// their one-character padding.
FrameMetrics WineMetrics()
{
    FrameMetrics m;
    m.charWidth = 7;
    m.charHeight = 16;
    m.dialogBaseY = 16;
    const int32_t labels[4] = {121, 57, 52, 103};
    for (int i = 0; i < 4; i++)
        m.labelWidths[i] = labels[i];
    return m;
}

struct Box {
    int32_t x, y, width, height;
    bool operator==(const Box& o) const
    {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
};

std::map<int32_t, Box> Layout(int32_t width, int32_t height, bool wave, bool locations)
{
    ChildPlace places[FRAME_LAYOUT_MAX];
    int n = LayoutFrame(WineMetrics(), width, height, wave, locations, places);
    std::map<int32_t, Box> byId;
    for (int i = 0; i < n; i++)
        byId[places[i].id] = {places[i].x, places[i].y, places[i].width, places[i].height};
    return byId;
}

TEST(FrameLayoutTest, PlacesEveryChildForTheMeasuredFont)
{
    auto at = Layout(640, 400, true, true);
    EXPECT_EQ(24u, at.size());      // all but the step arrows, which follow a field
    EXPECT_EQ((Box{0, 0, 640, 60}), at[IDW_BUTTON_BAR]);
    for (int i = 0; i < 8; i++)
        EXPECT_EQ((Box{3 + 61 * i, 4, 61, 52}), at[IDB_REWIND + i]) << i;
    EXPECT_EQ((Box{0, 60, 640, 8}), at[IDW_TOP_ZOOM]);
    EXPECT_EQ((Box{7, 68, 626, 232}), at[IDW_WAVE]);
    EXPECT_EQ((Box{0, 308, 640, 24}), at[IDW_ZOOM]);
    // Label, field, label, field... each followed by one character.
    EXPECT_EQ((Box{7, 340, 121, 16}), at[IDW_LABEL_START]);
    EXPECT_EQ((Box{135, 340, 70, 24}), at[IDW_FIELD_START]);
    EXPECT_EQ((Box{212, 340, 57, 16}), at[IDW_LABEL_LENGTH]);
    EXPECT_EQ((Box{599, 340, 70, 24}), at[IDW_FIELD_PLAYPOS]);
    // The status row: a third and (rounded) two thirds of 633.
    EXPECT_EQ((Box{0, 372, 211, 28}), at[IDW_STATUS_LEFT_PANEL]);
    EXPECT_EQ((Box{218, 372, 422, 28}), at[IDW_STATUS_RIGHT_PANEL]);
    EXPECT_EQ((Box{3, 376, 204, 20}), at[IDW_STATUS_LEFT]);
    EXPECT_EQ((Box{221, 376, 415, 20}), at[IDW_STATUS_RIGHT]);

    // Without the waveform and the locations the strip and the status row
    // move up under the button bar; the view slots are not placed.
    auto bare = Layout(640, 400, false, false);
    EXPECT_EQ(0u, bare.count(IDW_WAVE));
    EXPECT_EQ(0u, bare.count(IDW_FIELD_START));
    EXPECT_EQ((Box{0, 68, 640, 24}), bare[IDW_ZOOM]);
    EXPECT_EQ(100, bare[IDW_STATUS_LEFT_PANEL].y);
}

TEST(FrameLayoutTest, MinimumSizeFollowsTheShownParts)
{
    FrameMetrics m = WineMetrics();
    FrameTrackSize bare = FrameMinimumSize(m, false, false);
    EXPECT_EQ(493, bare.minClientWidth);        // 70.5 characters, truncated
    EXPECT_EQ(128 + 23, bare.minClientHeight);
    EXPECT_TRUE(bare.fixedHeight);

    FrameTrackSize full = FrameMinimumSize(m, true, true);
    EXPECT_EQ(151 + 32 + 64, full.minClientHeight);
    EXPECT_FALSE(full.fixedHeight);
    // The location row (7 + labels + 4 x (7 + 70 + 7)) is wider than 70.5
    // characters: the frame keeps it whole.
    EXPECT_EQ(7 + 121 + 57 + 52 + 103 + 4 * 84, full.minClientWidth);
    EXPECT_EQ(full.minClientWidth, FrameMinimumSize(m, false, true).minClientWidth);
}

TEST(FrameLayoutTest, MulDivRoundsHalvesAwayFromZeroAndSurvivesZero)
{
    EXPECT_EQ(422, MulDivRound(2, 633, 3));
    EXPECT_EQ(3, MulDivRound(2, 5, 3));
    EXPECT_EQ(-3, MulDivRound(2, -5, 3));
    EXPECT_EQ(1, MulDivRound(1, 1, 2));
    EXPECT_EQ(-1, MulDivRound(1, -1, 2));
    EXPECT_EQ(2000000000, MulDivRound(2000000000, 2000000000, 2000000000));   // 64-bit product
    EXPECT_EQ(0, MulDivRound(5, 5, 0));
}

}
