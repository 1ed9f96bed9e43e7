#include "view/selection_ops.h"

#include "view_test_support.h"

namespace {

using SelectionOpsTest = ViewTest;

TEST_F(SelectionOpsTest, FittingUsesWholePixelsCapsTheLengthAndKeepsTheStartInsideTheSound)
{
    // Ten samples in 200 pixels: raised to 20 samples of 10 pixels each.
    MakeSound(10, 200);
    ExpectView(0, 20);
    EXPECT_EQ(TheWaveView().scaleMode, SCALE_WIDE);
    EXPECT_EQ(SampleToX(3), 30);
    EXPECT_EQ(XToSample(35), 3);
    EXPECT_EQ(SampleToX(21), 210);              // past the shown range

    // 10,000 samples in 300 pixels: 34 a pixel, the start on a multiple of 34.
    TheDocument().FreeAll();
    ResetWaveView();
    MakeSound(20000, 300);
    SetViewRange(1000, 10000, ORIGIN_PROGRAM);
    ExpectView(986, 10200);
    EXPECT_EQ(TheWaveView().scaleMode, SCALE_MANY);
    EXPECT_EQ(XToSample(2), 986 + 68);

    TheDocument().FreeAll();
    ResetWaveView();
    MakeSound(1000, 100);
    // At most 5 s (55125 blocks at 11025 Hz) when that exceeds twice the sound.
    SetViewRange(0, 1000000, ORIGIN_PROGRAM);
    EXPECT_EQ(sel.viewLength, 55200);
    SetViewRange(5000, 50, ORIGIN_PROGRAM);
    ExpectView(999, 50);
    SetWaveViewSize(0, 0);                  // no window: nothing to draw
    EXPECT_EQ(TheWaveView().scaleMode, SCALE_NONE);
}

TEST_F(SelectionOpsTest, SelectionIsClampedIntoTheSoundAndAskedToBeShown)
{
    MakeSound(100);
    SetSelection(-5, 500, ORIGIN_PROGRAM);
    ExpectSelection(0, 100);
    SetSelection(90, 50, ORIGIN_PROGRAM);
    ExpectSelection(90, 10);
    EXPECT_EQ(RunPendingViewUpdates(), uint32_t(UpdSelStart | UpdSelLength | UpdWaveView | UpdPlayPos));

    // Shown by its end, a new start changes the end field as well.
    TheAppOptions().showEnd = 1;
    SetSelection(80, 10, ORIGIN_PROGRAM);
    EXPECT_EQ(RunPendingViewUpdates() & (UpdSelStart | UpdSelLength), uint32_t(UpdSelStart | UpdSelLength));
    SetSelection(80, 10, ORIGIN_PROGRAM);
    EXPECT_EQ(RunPendingViewUpdates(), 0u);
}

TEST_F(SelectionOpsTest, ASelectionCommandOrGestureIsOneUndoStepAndRepeatingItNone)
{
    MakeSound(100);
    SetSelection(10, 5, ORIGIN_COMMAND);
    EXPECT_EQ(UndoCount(), 1);
    SetSelection(10, 5, ORIGIN_COMMAND);
    SetSelection(-3, 0, ORIGIN_COMMAND);    // clamped back to the cursor at 0 ...
    SetSelection(10, 5, ORIGIN_COMMAND);
    EXPECT_EQ(UndoCount(), 3);              // ... which is a change, and back again

    ASSERT_EQ(ActUndo(), 0);
    ExpectSelection(0, 0);
    ASSERT_EQ(ActRedo(), 0);
    ExpectSelection(10, 5);

    // A mouse gesture is one step, undone to where it began; one that ends
    // where the last commit was files nothing.
    SetSelection(5, 5, ORIGIN_COMMAND);
    const int steps = UndoCount();
    SetSelection(40, 0, ORIGIN_GESTURE_START);
    ViewSelectionLink().SelectBetween(40, 60, ORIGIN_DRAG);
    ViewSelectionLink().SelectBetween(40, 30, ORIGIN_DRAG);
    ExpectSelection(30, 10);
    ViewSelectionLink().SelectBetween(40, 30, ORIGIN_GESTURE_END);
    EXPECT_EQ(UndoCount(), steps + 1);
    ASSERT_EQ(ActUndo(), 0);
    ExpectSelection(5, 5);
    SetSelection(70, 0, ORIGIN_GESTURE_START);
    ViewSelectionLink().SelectBetween(5, 10, ORIGIN_GESTURE_END);
    EXPECT_EQ(UndoCount(), steps);
}

TEST_F(SelectionOpsTest, ADisplayCommandIsOneUndoStepAndADragScrollsWhatOverlaps)
{
    MakeSound(100000, 100);
    SetViewRange(1000, 1000, ORIGIN_COMMAND);
    SetViewRange(1000, 1000, ORIGIN_COMMAND);
    EXPECT_EQ(UndoCount(), 1);
    TakeWaveRepaint();
    SetViewRange(1500, 1000, ORIGIN_DRAG);
    WaveRepaint drag = TakeWaveRepaint();
    EXPECT_FALSE(drag.all);
    EXPECT_EQ(drag.scrollPixels, 50);
    SetViewRange(3000, 1000, ORIGIN_DRAG);  // no overlap
    EXPECT_TRUE(TakeWaveRepaint().all);
    SetViewRange(3000, 1000, ORIGIN_GESTURE_END);
    EXPECT_TRUE(TakeWaveRepaint().all);
    EXPECT_EQ(UndoCount(), 2);
    ASSERT_EQ(ActUndo(), 0);
    ExpectView(1000, 1000);
    ASSERT_EQ(ActUndo(), 0);
    ExpectView(0, 100000);
}

TEST_F(SelectionOpsTest, PlayPositionFromTheEngineIsTakenAsGivenElseClamped)
{
    MakeSound(100);
    SetSelection(20, 10, ORIGIN_PROGRAM);
    SetPlayPosition(90, ORIGIN_ENGINE);
    EXPECT_EQ(sel.playPos, 90);
    EXPECT_EQ(RunPendingViewUpdates() & (UpdWaveView | UpdPlayPos), uint32_t(UpdWaveView | UpdPlayPos));
    SetPlayPosition(90, ORIGIN_COMMAND);
    EXPECT_EQ(sel.playPos, 30);
    SetPlayPosition(-4, ORIGIN_DRAG);
    EXPECT_EQ(sel.playPos, 20);
    // A committed cursor carries the play position; then it may go anywhere
    // from the cursor to the end.
    SetSelection(50, 0, ORIGIN_PROGRAM);
    EXPECT_EQ(sel.playPos, 50);
    SetPlayPosition(99, ORIGIN_COMMAND);
    EXPECT_EQ(sel.playPos, 99);
    MoveToEnd(false, ORIGIN_GESTURE_END);
    EXPECT_EQ(sel.playPos, 99);
    EXPECT_EQ(UndoCount(), 0);          // play positions are not undone
}

TEST_F(SelectionOpsTest, RepaintRangeCollectsBlocksUntilTheWindowTakesThem)
{
    MakeSound(100, 200);
    RepaintRange(30, 10);
    RepaintRange(50, 60);
    WaveRepaint r = TakeWaveRepaint();
    EXPECT_TRUE(r.range && !r.toEdge && r.from == 10 && r.to == 61);
    RepaintRange(40, 0);
    r = TakeWaveRepaint();
    EXPECT_TRUE(r.toEdge && r.from == 40);
    EXPECT_TRUE(TheWaveView().fullRedraw);
    EXPECT_EQ(PendingViewUpdates(), uint32_t(UpdWaveView));
}

}
