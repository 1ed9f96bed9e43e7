// The action lifecycle and the undo and redo histories: the refusals that
// guard an action, what is filed and counted in each action state, the depth
// and memory limits, the memory accounting, the menu labels and the restore
// step of each kind of record. Cancel is tested with the effects, long
// sequences of undo and redo in undo_model_test.
#include "edit/actions.h"

#include <cstring>

#include "app/core_links.h"
#include "base/error_message.h"
#include "edit/delete_cut.h"
#include "edit/level_effects.h"
#include "edit/links.h"
#include "edit/mixing_options.h"
#include "lib/log.h"
#include "support/effect_fixture.h"
#include "view/display_options.h"

namespace {

// A "Mixing Options" record is 8 data bytes: 40 with the overhead.
constexpr uint32_t MIX_RECORD = 8 + ACTSTORE_OVERHEAD;

// 8-bit mono, so that a sample is a byte: the progress window is shown from
// 20000 samples on.
class ActionsTest : public EffectTest {
protected:
    void SetUp() override
    {
        EffectTest::SetUp();
        original.resize(20000);
        for (size_t i = 0; i < original.size(); i++)
            original[i] = uint8_t(i * 13 + (i >> 9));
        LoadBytes(1, 8, original, 0, 0, 64);
        SetLogSink(&log);
    }
    void TearDown() override
    {
        SetLogSink(nullptr);
        EffectTest::TearDown();
    }

    // Change i of a run: a distinct mixing pair.
    void Change(int i) { SetMixingOptions(i, 100); }
    int Records() { return TheUndoHistory().Count() + TheRedoHistory().Count(); }

    AppOptions& options = TheAppOptions();
    MemoryLogSink log;
    Bytes original;
};

TEST_F(ActionsTest, ProgressWindowOnlyFromTwentyThousandBytes)
{
    for (int32_t n : {19999, 20000}) {
        host.progressNames.clear();
        SetSelection(0, n, ORIGIN_PROGRAM);
        ASSERT_EQ(n, ActPrepareWave(ACTION_AMPLIFY, RESTORE_SAMPLES));
        ActComplete(ACTION_AMPLIFY, ACT_PREPARED);
        EXPECT_EQ(n == 20000 ? 1u : 0u, host.progressNames.size()) << n;
    }
    EXPECT_EQ("Amplification", host.progressNames.at(0));
    EXPECT_EQ(2, host.waitCursorBegins);
    EXPECT_EQ(0, host.waitCursorDepth);
}

TEST_F(ActionsTest, EmptySelectionRefusedForActionsThatNeedOne)
{
    SetSelection(40, 0, ORIGIN_PROGRAM);
    EXPECT_EQ(0, ActPrepareWave(ACTION_AMPLIFY, RESTORE_SAMPLES));
    EXPECT_TRUE(log.Contains("ActPrepareWave can't NO SELECT insert !"));
    EXPECT_EQ(-1, DeleteSelection());
    EXPECT_EQ(-1, RemoveSelectionForCut());
    EXPECT_EQ(0, host.waitCursorBegins);
    ExpectUnchanged(original);
}

TEST_F(ActionsTest, SecondActionWhileOneRoutesMessagesIsRefused)
{
    SetSelection(0, 300, ORIGIN_PROGRAM);
    int deleteResult = 0, undoResult = 0;
    host.onPump = [&] {
        deleteResult = DeleteSelection();
        undoResult = ActUndo();
        EffectSettings louder;
        louder.amplification = 300;
        SetEffectSettings(louder);
    };
    ASSERT_EQ(300, ActPrepareWave(ACTION_AMPLIFY, RESTORE_SAMPLES));
    EXPECT_FALSE(ActProgress(0));
    EXPECT_EQ(-1, deleteResult);
    EXPECT_EQ(-1, undoResult);
    EXPECT_TRUE(log.Contains("App:ActPrepare(14) REENTRANT"));
    EXPECT_EQ(20000, doc.length);
    EXPECT_EQ(100, TheEffectSettings().amplification);

    // A completion of another action changes nothing either.
    ActComplete(ACTION_SELECT, ACT_PREPARED);
    EXPECT_TRUE(ActIsOpen());
    EXPECT_EQ(0, Records());

    ActComplete(ACTION_AMPLIFY, ACT_PREPARED);
    EXPECT_FALSE(ActIsBusy());
    EXPECT_EQ(1, TheUndoHistory().Count());
    EXPECT_EQ(1, doc.changeCount);
}

TEST_F(ActionsTest, NothingRecordedOrCountedBelowReady)
{
    for (int state : {ACTSTATE_REPLACING, ACTSTATE_CLOSING, ACTSTATE_LOADING}) {
        SetSelection(0, 10, ORIGIN_PROGRAM);
        ResetUndoHistory(state);
        // Insert mode whatever the selection: Delete has nothing to work on.
        EXPECT_EQ(-1, DeleteSelection());
        TheSelection().pendingLength = 10;
        ASSERT_EQ(10, ActPrepareWave(ACTION_PASTE, RESTORE_SAMPLES));
        ActComplete(ACTION_PASTE, ACT_PREPARED | ACT_LENGTH_CHANGED);
        ResetUndoHistory(ACTSTATE_READY);
        EXPECT_EQ(0, Records()) << state;
        EXPECT_EQ(0, doc.changeCount) << state;
        EXPECT_EQ(0u, UndoMemoryInUse());
    }
    EXPECT_EQ(20030, doc.length);
}

TEST_F(ActionsTest, DefaultDepthKeepsTheFifteenNewestChangesAndANewChangeEmptiesRedo)
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
    ASSERT_EQ(0, ActRedo());
    EXPECT_EQ(2, options.mixOld);
    EXPECT_EQ(2, options.settingsChanged);
    // A new change empties the redo history.
    SetSelection(5, 5, ORIGIN_COMMAND);
    EXPECT_EQ(0, TheRedoHistory().Count());
    EXPECT_EQ(-1, ActRedo());
}

TEST_F(ActionsTest, MemoryLimitDropsOldestAndStillFilesALargeRecord)
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

TEST_F(ActionsTest, DepthZeroActsAsOne)
{
    options.undoCount = 0;
    Change(1);
    Change(2);
    EXPECT_EQ(1, TheUndoHistory().Count());
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(1, options.mixOld);
    EXPECT_EQ(-1, ActUndo());
}

TEST_F(ActionsTest, MemoryAccountingReturnsToZero)
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
}

TEST_F(ActionsTest, LabelsNameTheActionsAndEnableTheItems)
{
    CGString text;
    EXPECT_FALSE(GetUndoLabel(text));
    SetSelection(0, 10, ORIGIN_PROGRAM);
    ASSERT_EQ(0, RemoveSelectionForCut());
    EXPECT_TRUE(GetUndoLabel(text));
    EXPECT_STREQ("&Undo Cut\tCtrl+Z", text);
    EXPECT_FALSE(GetRedoLabel(text));
    SetSelection(0, 10, ORIGIN_PROGRAM);
    ASSERT_EQ(0, DeleteSelection());
    ASSERT_EQ(0, ActUndo());
    EXPECT_TRUE(GetRedoLabel(text));
    EXPECT_STREQ("&Redo Delete\tShift+Bksp", text);
}

TEST_F(ActionsTest, EffectSettingsChangeIsOneStepForAllEighteenValues)
{
    const EffectSettings defaults;
    EffectSettings work;
    SetEffectSettings(work);            // equal: nothing filed
    EXPECT_TRUE(TheUndoHistory().IsEmpty());
    int32_t values[18];
    std::memcpy(values, &work, sizeof values);
    for (int i = 0; i < 18; i++)
        values[i] += i + 1;
    std::memcpy(&work, values, sizeof values);
    SetEffectSettings(work);
    ASSERT_EQ(1, TheUndoHistory().Count());
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(0, std::memcmp(&TheEffectSettings(), &defaults, sizeof defaults));
    EXPECT_EQ(0, options.settingsChanged);
    ASSERT_EQ(0, ActRedo());
    EXPECT_EQ(0, std::memcmp(&TheEffectSettings(), &work, sizeof work));
}

TEST_F(ActionsTest, RedoOfAPasteIgnoresTheSoundNowWaitingToBePasted)
{
    SetSelection(50, 0, ORIGIN_PROGRAM);
    TheSelection().pendingLength = 100;
    ASSERT_EQ(100, ActPrepareWave(ACTION_PASTE, RESTORE_SAMPLES));
    Bytes pasted(100, 7);
    doc.WriteBlocks(50, pasted.data(), 100);
    ActComplete(ACTION_PASTE, ACT_PREPARED | ACT_LENGTH_CHANGED);
    Bytes after = DocumentBytes();
    ASSERT_EQ(0, ActUndo());
    for (int32_t waiting : {0, 30}) {
        TheSelection().pendingLength = waiting;
        ASSERT_EQ(0, ActRedo());
        EXPECT_EQ(after, DocumentBytes());
        ASSERT_EQ(0, ActUndo());
        EXPECT_EQ(original, DocumentBytes());
    }
}

TEST_F(ActionsTest, ToggleRecordsAreUndoneAndRedone)
{
    uint8_t before = options.showLocations;
    ToggleDisplayOption(ACTION_TOGGLE_LOCATIONS);
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(before, options.showLocations);
    ASSERT_EQ(0, ActRedo());
    EXPECT_NE(before, options.showLocations);
}

// A step that fails after filing its inverse: the inverse stands for the
// sound as it is now; the record it came from must not stay as well, or a
// later redo would do the change twice.
int failingStep = 0;
int FailingRunner(int action, const void*, uint32_t)
{
    if (failingStep == 2) {
        ActPrepare(action, action, nullptr, 0);
        ActComplete(action, ACT_PREPARED);
    }
    return ERR_NO_MEMORY;
}

TEST_F(ActionsTest, AFailedUndoStepLeavesExactlyOneRecordFiled)
{
    ToggleDisplayOption(ACTION_TOGGLE_LOCATIONS);
    SetActionRunner(FailingRunner);
    failingStep = 1;            // nothing changed: the record stays for another try
    EXPECT_EQ(ERR_NO_MEMORY, ActUndo());
    EXPECT_EQ(1, TheUndoHistory().Count());
    EXPECT_TRUE(TheRedoHistory().IsEmpty());
    failingStep = 2;            // changed part-way: only its inverse stays
    EXPECT_EQ(ERR_NO_MEMORY, ActUndo());
    EXPECT_TRUE(TheUndoHistory().IsEmpty());
    EXPECT_EQ(1, TheRedoHistory().Count());
    InstallCoreLinks();
}

TEST_F(ActionsTest, SamplesThatCannotBeReachedTakeTheChangeBackAsACancel)
{
    // Memory that cannot be had: a chunk past what a lock can map.
    KvWaveFormat stereo = PcmFormat(2, 16, 44100);
    ASSERT_EQ(0, NewDocument(&stereo));
    doc.bufferSamples = INT32_MAX;
    ASSERT_TRUE(doc.InsertSpace(0, (1 << 30) + 10));
    uint32_t failures = doc.lockFailures;
    EXPECT_EQ(nullptr, doc.Lock(static_cast<CKV_BUFFER*>(doc.chunks.Head())));
    EXPECT_EQ(failures + 1, doc.lockFailures);

    // An effect whose samples fail part-way is put back, not filed, and the
    // user is told.
    LoadBytes(1, 8, original, 0, 20000, 64);
    host.onPump = [] { TheDocument().lockFailures++; };
    settings.amplification = 50;
    Amplify(settings);
    ExpectUnchanged(original);
    EXPECT_EQ(std::vector<int>{ERR_NO_MEMORY}, host.errors);
}

}
