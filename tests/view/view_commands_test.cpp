#include "view/view_commands.h"

#include "view_test_support.h"

namespace {

class ViewCommandsTest : public ViewTest {
protected:
    // 100,000 blocks, 1000 of them shown (no window: the range is kept as asked).
    void SetUp() override
    {
        ViewTest::SetUp();
        MakeSound(100000);
        SetViewRange(0, 1000, ORIGIN_PROGRAM);
    }
};

TEST_F(ViewCommandsTest, KeysMoveTheCursorOrWithShiftTheSelectionLength)
{
    OnCursorKey(KEY_PAGE_DOWN, true);           // nothing selected: Shift moves the start too
    EXPECT_EQ(sel.selStart, 1000);
    SetSelection(1050, 10, ORIGIN_PROGRAM);
    OnCursorKey(KEY_LEFT, true);                // shortens, never below 0
    EXPECT_EQ(sel.selLength, 0);
    SetSelection(1050, 10, ORIGIN_PROGRAM);
    OnCursorKey(KEY_END, true);
    EXPECT_EQ(sel.selLength, 100000 - 1050);
    OnCursorKey(KEY_HOME, false);               // the length is kept while it fits
    ExpectSelection(0, 100000 - 1050);
}

TEST_F(ViewCommandsTest, TheViewFollowsTheMovedSelection)
{
    OnCursorKey(KEY_PAGE_DOWN, false);          // the cursor at the view end
    ExpectSelection(1000, 0);
    ExpectView(0, 1000);
    OnCursorKey(KEY_RIGHT, false);
    ExpectView(50, 1000);
    // A selection longer than the view: its start stays in view.
    SetSelection(300, 5000, ORIGIN_PROGRAM);
    OnCursorKey(KEY_RIGHT, false);
    EXPECT_EQ(sel.viewStart, 350);
    // Each key is one "Select" and at most one "Display" step.
    EXPECT_EQ(UndoCount(), 5);
    ASSERT_EQ(ActUndo(), 0);
    EXPECT_EQ(sel.viewStart, 50);
}

TEST_F(ViewCommandsTest, ZoomKeepsTheSelectionStartOrCentresTheCursor)
{
    SetSelection(400, 0, ORIGIN_PROGRAM);
    ZoomIn();
    ExpectView(150, 500);
    ZoomOut();
    ExpectView(0, 1000);                        // 400 - 500 clamped
    SetSelection(400, 30, ORIGIN_PROGRAM);
    ZoomOut();
    ExpectView(400, 2000);
    ZoomSelect();
    EXPECT_EQ(sel.viewLength, 30);
    SetSelection(99000, 0, ORIGIN_PROGRAM);
    ZoomSelect();                               // from the cursor to the end
    ExpectView(99000, 1000);
    DisplayAll();
    ExpectView(0, 100000);
    EXPECT_EQ(UndoCount(), 6);
}

TEST_F(ViewCommandsTest, RewindAndFastForwardMoveThePlayPositionOrTheCursor)
{
    SetSelection(200, 100, ORIGIN_PROGRAM);
    FastForward();
    EXPECT_EQ(sel.playPos, 300);
    Rewind();
    EXPECT_EQ(sel.playPos, 200);
    EXPECT_EQ(sel.selLength, 100);
    EXPECT_EQ(UndoCount(), 0);
    SetSelection(200, 0, ORIGIN_PROGRAM);
    FastForward();
    EXPECT_EQ(sel.selStart, 100000);
    Rewind();
    EXPECT_EQ(sel.selStart, 0);
    EXPECT_EQ(UndoCount(), 2);
}

}
