#include "view/display_options.h"

#include <vector>

#include "view/position_format.h"
#include "view_test_support.h"

namespace {

// The frame's layout handler: what it was asked, and whether it refuses.
std::vector<int> layoutCalls;
bool refuseLayout = false;

bool Layout(int toggle, bool shown)
{
    layoutCalls.push_back(toggle * 10 + (shown ? 1 : 0));
    return !refuseLayout;
}

class DisplayOptionsTest : public ViewTest {
protected:
    void TearDown() override
    {
        SetDisplayLayoutHandler(nullptr);
        ViewTest::TearDown();
    }

    AppOptions& options = TheAppOptions();
};

TEST_F(DisplayOptionsTest, TheOnlyChannelShownCannotBeTurnedOff)
{
    options.rightChannel = 0;
    ToggleDisplayOption(TOGGLE_LEFT);
    EXPECT_TRUE(!options.leftChannel && options.rightChannel);
    EXPECT_TRUE(TakeWaveRepaint().all);
    EXPECT_EQ(UndoCount(), 2);
    int before = options.settingsChanged;

    // Undone step by step, no step shows neither channel.
    ASSERT_EQ(ActUndo(), 0);
    EXPECT_TRUE(options.leftChannel && options.rightChannel);
    ASSERT_EQ(ActUndo(), 0);
    EXPECT_TRUE(options.leftChannel && !options.rightChannel);
    EXPECT_EQ(options.settingsChanged, before - 2);
    ASSERT_EQ(ActRedo(), 0);
    ASSERT_EQ(ActRedo(), 0);
    EXPECT_TRUE(!options.leftChannel && options.rightChannel);
}

TEST_F(DisplayOptionsTest, PaneTogglesAskTheFrameWhichMayRefuse)
{
    layoutCalls.clear();
    refuseLayout = false;
    SetDisplayLayoutHandler(Layout);
    ToggleDisplayOption(TOGGLE_WAVEFORM);
    EXPECT_EQ(options.showWaveform, 1);
    EXPECT_EQ(RunPendingViewUpdates(), uint32_t(UpdSelStart | UpdSelLength | UpdPlayPos | UpdMousePos));
    refuseLayout = true;
    ToggleDisplayOption(TOGGLE_WAVEFORM);
    EXPECT_EQ(options.showWaveform, 1);
    EXPECT_EQ(UndoCount(), 1);
    refuseLayout = false;
    ToggleDisplayOption(TOGGLE_LOCATIONS);
    ASSERT_EQ(ActUndo(), 0);
    EXPECT_EQ(options.showLocations, 0);
    ToggleDisplayOption(3);                     // not a display toggle
    EXPECT_EQ(layoutCalls, (std::vector<int>{91, 90, 101, 100}));
}

TEST_F(DisplayOptionsTest, OptionsAreOneUndoStepOnlyWhenTheyChange)
{
    EXPECT_TRUE(SetDisplayOptions(false, LENGTH_UNIT_TIME));
    EXPECT_FALSE(SetDisplayOptions(true, LENGTH_UNIT_KBYTES));
    EXPECT_EQ(options.showEnd, 0);
    EXPECT_EQ(UndoCount(), 0);
    EXPECT_TRUE(SetDisplayOptions(true, LENGTH_UNIT_SAMPLES));
    EXPECT_EQ(RunPendingViewUpdates(), uint32_t(UpdAll));
    EXPECT_EQ(UndoCount(), 1);
    EXPECT_EQ(options.settingsChanged, 1);

    ASSERT_EQ(ActUndo(), 0);
    EXPECT_EQ(options.showEnd, 0);
    EXPECT_EQ(options.defaultLengthUnit, LENGTH_UNIT_TIME);
    ASSERT_EQ(ActRedo(), 0);
    EXPECT_EQ(options.showEnd, 1);
    EXPECT_EQ(options.defaultLengthUnit, LENGTH_UNIT_SAMPLES);

    // A record of another size is not the display options.
    const int32_t wrong[3] = {0, 2, 0};
    RestoreDisplayOptions(wrong, sizeof wrong);
    EXPECT_EQ(options.defaultLengthUnit, LENGTH_UNIT_SAMPLES);
}

TEST_F(DisplayOptionsTest, RangesReadAsLengthOrEnd)
{
    const int flags = LENGTH_UNIT_SAMPLES | LENGTH_WITH_SUFFIX;
    EXPECT_STREQ(FormatRange(0, 100, flags), "start 0, length 100 samples");
    options.showEnd = 1;
    EXPECT_STREQ(FormatRange(0, 100, flags), "0 to 100 samples");
    EXPECT_STREQ(FormatRange(11025, 5512, LENGTH_UNIT_TIME | LENGTH_WITH_SUFFIX), "1.00 to 1.49 secs");
    EXPECT_STREQ(FormatRange(INT32_MAX - 1, 10, LENGTH_UNIT_SAMPLES), "2147483646 to 2147483647");
}

}
