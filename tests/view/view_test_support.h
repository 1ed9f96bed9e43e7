// The view tests' fixture: an 8-bit mono 11025 Hz sound of a chosen length,
// committed as a new sound is, and a ready undo history.
#pragma once

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/app_options.h"
#include "app/builtin_strings.h"
#include "edit/actions.h"
#include "edit/undo_history.h"
#include "sound/document.h"
#include "sound/form.h"
#include "support/test_host.h"
#include "view/selection_ops.h"
#include "view/update_views.h"
#include "view/view_model.h"

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadBuiltInStrings());
        ResetApp();
        ResetAppOptions();
        ResetSelection();
        ResetWaveView();
        ResetViewUpdates();
        savedDefault.Set(TheDefaultFormat());
        TheDefaultFormat().SetBuiltInDefault();
        ASSERT_EQ(TheDocument().NewSound(nullptr, nullptr), 0);
        for (int i = 0; i < 16 && TheApp().actionState != ACTSTATE_READY; i++)
            ResetUndoHistory(ACTSTATE_READY);
        RunPendingViewUpdates();
    }
    void TearDown() override
    {
        ResetUndoHistory(ACTSTATE_REPLACING);
        ResetUndoHistory(ACTSTATE_READY);
        TheDocument().FreeAll();
        TheDefaultFormat().Set(savedDefault);
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
    void ExpectSelection(int32_t start, int32_t length)
    {
        EXPECT_EQ(sel.selStart, start);
        EXPECT_EQ(sel.selLength, length);
    }
    void ExpectView(int32_t start, int32_t length)
    {
        EXPECT_EQ(sel.viewStart, start);
        EXPECT_EQ(sel.viewLength, length);
    }

    const Selection& sel = TheSelection();
    TestHost host;
    Form savedDefault;
};
