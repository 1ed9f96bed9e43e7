// The undo and redo histories: depth and memory limits, the memory accounting,
// the menu labels and the restore step of each kind of record.
#include "edit/undo_history.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/app.h"
#include "app/app_options.h"
#include "edit/actions.h"
#include "edit/delete_cut.h"
#include "edit/effect_settings.h"
#include "edit/level_effects.h"
#include "edit/mixing_options.h"
#include "lib/log.h"
#include "sound/document.h"
#include "support/core_state.h"
#include "support/test_host.h"
#include "view/display_options.h"
#include "view/selection_ops.h"
#include "view/view_model.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A "Mixing Options" record is 8 data bytes: 40 with the overhead.
constexpr uint32_t MIX_RECORD = 8 + ACTSTORE_OVERHEAD;

std::vector<uint8_t> restored;

// An owner's restore step: records the current block, then stores the saved one.
void RestoreBlock(const void* data, uint32_t size)
{
    std::vector<uint8_t> current(restored);
    const uint8_t* p = static_cast<const uint8_t*>(data);
    if (ActPrepare(ACTION_DEVICE_OPTIONS, ACTION_DEVICE_OPTIONS, current.data(), uint32_t(current.size())) == 0)
        return;
    restored.assign(p, p + size);
    ActComplete(ACTION_DEVICE_OPTIONS, ACT_PREPARED);
}

class UndoHistoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ResetCore());
        ASSERT_EQ(0, doc.NewSound(nullptr, nullptr));     // 8-bit mono
        doc.bufferSamples = 64;
        Bytes b(1000);
        for (size_t i = 0; i < b.size(); i++)
            b[i] = uint8_t(i * 13);
        ASSERT_TRUE(doc.InsertSpace(0, 1000));
        doc.WriteBlocks(0, b.data(), 1000);
        original = b;
        SetLogSink(&log);
    }
    void TearDown() override
    {
        SetLogSink(nullptr);
        SetRestoreHandler(ACTION_DEVICE_OPTIONS, nullptr);
        ResetActionLifecycle();
        doc.FreeAll();
    }

    // Change i of a run: a distinct mixing pair.
    void Change(int i) { SetMixingOptions(i, 100); }

    CKV_Document& doc = TheDocument();
    AppOptions& options = TheAppOptions();
    TestHost host;
    MemoryLogSink log;
    Bytes original;
};

TEST_F(UndoHistoryTest, DefaultDepthKeepsTheFifteenNewestChanges)
{
    for (int i = 1; i <= 16; i++)
        Change(i);
    EXPECT_EQ(15, TheUndoHistory().Count());
    for (int expected = 15; expected >= 1; expected--) {
        ASSERT_EQ(0, ActUndo());
        EXPECT_EQ(expected, options.mixOld);
    }
    EXPECT_EQ(-1, ActUndo());
    EXPECT_EQ(1, options.mixOld);
    EXPECT_EQ(15, TheRedoHistory().Count());
    // Redo runs the other way, in order.
    ASSERT_EQ(0, ActRedo());
    EXPECT_EQ(2, options.mixOld);
    EXPECT_EQ(2, options.settingsChanged);
}

TEST_F(UndoHistoryTest, NewChangeAfterUndoEmptiesRedo)
{
    Change(1);
    Change(2);
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(1, TheRedoHistory().Count());
    SetSelection(5, 5, ORIGIN_COMMAND);
    EXPECT_EQ(0, TheRedoHistory().Count());
    EXPECT_EQ(-1, ActRedo());
    EXPECT_EQ(2, TheUndoHistory().Count());
}

TEST_F(UndoHistoryTest, MemoryLimitDropsOldestAndStillFilesALargeRecord)
{
    options.undoMemory = 2 * MIX_RECORD + 20;
    for (int i = 1; i <= 3; i++)
        Change(i);
    EXPECT_EQ(2, TheUndoHistory().Count());
    EXPECT_EQ(2 * MIX_RECORD, UndoMemoryInUse());
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(2, options.mixOld);
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(1, options.mixOld);
    EXPECT_EQ(-1, ActUndo());

    // 600 samples are far more than the limit: everything else goes, and the
    // deletion can still be undone.
    SetSelection(100, 600, ORIGIN_PROGRAM);
    ASSERT_EQ(0, DeleteSelection());
    EXPECT_EQ(0, TheRedoHistory().Count());
    ASSERT_EQ(1, TheUndoHistory().Count());
    EXPECT_EQ(600 + 4 + ACTSTORE_OVERHEAD, UndoMemoryInUse());
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(original, DocumentBytes());
}

TEST_F(UndoHistoryTest, DepthZeroActsAsOne)
{
    options.undoCount = 0;
    Change(1);
    Change(2);
    EXPECT_EQ(1, TheUndoHistory().Count());
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(1, options.mixOld);
    EXPECT_EQ(-1, ActUndo());
}

TEST_F(UndoHistoryTest, MemoryAccountingReturnsToZero)
{
    SetSelection(0, 300, ORIGIN_PROGRAM);
    ASSERT_EQ(0, DeleteSelection());
    Change(1);
    ASSERT_EQ(0, ActUndo());
    // Delete: 300 samples and their count; the undone mixing change left
    // its inverse, another 8-byte record.
    EXPECT_EQ(300 + 4 + ACTSTORE_OVERHEAD + MIX_RECORD, UndoMemoryInUse());
    ResetUndoHistory(ACTSTATE_REPLACING);
    ResetUndoHistory(ACTSTATE_READY);
    EXPECT_EQ(0u, UndoMemoryInUse());
    EXPECT_EQ(ACTSTATE_READY, TheApp().actionState);
}

TEST_F(UndoHistoryTest, LabelsNameTheActionsAndEnableTheItems)
{
    CGString text;
    EXPECT_FALSE(GetUndoLabel(text));
    EXPECT_STREQ("&Undo \tCtrl+Z", text);
    SetSelection(0, 10, ORIGIN_PROGRAM);
    ASSERT_EQ(0, DeleteSelection());
    EXPECT_TRUE(GetUndoLabel(text));
    EXPECT_STREQ("&Undo Delete\tCtrl+Z", text);
    EXPECT_FALSE(GetRedoLabel(text));
    ASSERT_EQ(0, ActUndo());
    EXPECT_TRUE(GetRedoLabel(text));
    EXPECT_STREQ("&Redo Delete\tShift+Bksp", text);
}

TEST_F(UndoHistoryTest, UndoOfAnEffectWritesBackAndRedoRunsItAgain)
{
    EffectSettings settings = TheEffectSettings();
    settings.amplification = 50;
    SetEffectSettings(settings);
    SetSelection(200, 300, ORIGIN_PROGRAM);
    Amplify(TheEffectSettings());
    Bytes halved = DocumentBytes();
    ASSERT_NE(original, halved);
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(original, DocumentBytes());
    CGString text;
    EXPECT_TRUE(GetRedoLabel(text));
    EXPECT_STREQ("&Redo Amplification\tShift+Bksp", text);
    ASSERT_EQ(0, ActRedo());
    EXPECT_EQ(halved, DocumentBytes());

    // The settings record puts back all 18 values at once.
    ASSERT_EQ(0, ActUndo());
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(100, TheEffectSettings().amplification);
    ASSERT_EQ(0, ActRedo());
    EXPECT_EQ(50, TheEffectSettings().amplification);
}

TEST_F(UndoHistoryTest, RedoOfAPasteIgnoresTheSoundNowWaitingToBePasted)
{
    SetSelection(50, 0, ORIGIN_PROGRAM);
    TheSelection().pendingLength = 100;
    ASSERT_EQ(100, ActPrepareWave(ACTION_PASTE, RESTORE_SAMPLES));
    Bytes pasted(100, 7);
    doc.WriteBlocks(50, pasted.data(), 100);
    ActComplete(ACTION_PASTE, ACT_PREPARED | ACT_LENGTH_CHANGED);
    Bytes after = DocumentBytes();
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(original, DocumentBytes());
    for (int32_t waiting : {0, 30}) {
        TheSelection().pendingLength = waiting;
        ASSERT_EQ(0, ActRedo());
        EXPECT_EQ(after, DocumentBytes());
        EXPECT_EQ(1, TheUndoHistory().Count());
        ASSERT_EQ(0, ActUndo());
        EXPECT_EQ(original, DocumentBytes());
    }
}

TEST_F(UndoHistoryTest, SelectionAndToggleRecordsAreUndone)
{
    SetSelection(10, 20, ORIGIN_COMMAND);
    SetSelection(40, 50, ORIGIN_COMMAND);
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(10, TheSelection().selStart);
    EXPECT_EQ(20, TheSelection().selLength);
    EXPECT_EQ(original, DocumentBytes());

    uint8_t before = options.showLocations;
    ToggleDisplayOption(ACTION_TOGGLE_LOCATIONS);
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(before, options.showLocations);
    ASSERT_EQ(0, ActRedo());
    EXPECT_NE(before, options.showLocations);
}

TEST_F(UndoHistoryTest, RegisteredOwnersRestoreTheirRecords)
{
    SetRestoreHandler(ACTION_DEVICE_OPTIONS, RestoreBlock);
    Bytes block(116);
    for (int i = 0; i < 116; i++)
        block[i] = uint8_t(i + 1);
    restored = block;
    ASSERT_EQ(116u, ActPrepare(ACTION_DEVICE_OPTIONS, ACTION_DEVICE_OPTIONS, block.data(), 116));
    restored.assign(116, 0);
    ActComplete(ACTION_DEVICE_OPTIONS, ACT_PREPARED);
    EXPECT_EQ(1, options.settingsChanged);
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(block, restored);
    EXPECT_EQ(0, options.settingsChanged);
    ASSERT_EQ(0, ActRedo());
    EXPECT_EQ(Bytes(116, 0), restored);
}

}
