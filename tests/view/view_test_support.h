// The view tests' fixture: an 8-bit mono 11025 Hz sound of a chosen length,
// committed as a new sound is, and a ready undo history.
#pragma once

#include "base/update_views.h"
#include "edit/open_document.h"
#include "edit/undo_history.h"
#include "support/core_state.h"
#include "support/test_host.h"
#include "view/selection_ops.h"

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ResetCore());
        ResetViewUpdates();
        ASSERT_EQ(NewDocument(nullptr), 0);
        ResetActionLifecycle();
        RunPendingViewUpdates();
    }
    void TearDown() override
    {
        ResetActionLifecycle();
        TheDocument().FreeAll();
        ResetViewUpdates();
    }

    // n blocks shown whole in `width` pixels, nothing selected.
    void MakeSound(int32_t n, int32_t width = 0)
    {
        ASSERT_TRUE(TheDocument().InsertSpace(0, n));
        SetWaveViewSize(width, 100);
        SetViewRange(0, n, ORIGIN_PROGRAM);
        SetSelection(0, 0, ORIGIN_PROGRAM);
        RunPendingViewUpdates();
        TakeWaveRepaint();
    }

    static int UndoCount() { return TheUndoHistory().Count(); }
    void ExpectView(int32_t start, int32_t length)
    {
        EXPECT_EQ(sel.viewStart, start);
        EXPECT_EQ(sel.viewLength, length);
    }

    const Selection& sel = TheSelection();
    TestHost host;
};
