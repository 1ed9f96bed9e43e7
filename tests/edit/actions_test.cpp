// The action lifecycle through its public operations: the refusals that guard
// it, cancel putting the sound back, Insert-mode room taken away again, what
// is filed and counted in each action state.
#include "edit/actions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/app.h"
#include "edit/delete_cut.h"
#include "edit/undo_history.h"
#include "lib/log.h"
#include "sound/document.h"
#include "support/core_state.h"
#include "support/test_host.h"
#include "view/selection_ops.h"
#include "view/view_model.h"

namespace {

using Bytes = std::vector<uint8_t>;

// 16-bit stereo: four bytes a frame, so 5000 frames make the 20000 bytes
// from which a progress window is shown.
class ActionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ResetCore());
        KvWaveFormat f = PcmFormat(2, 16, 11025);
        ASSERT_EQ(0, doc.NewSound(nullptr, &f));
        doc.bufferSamples = 1000;
        original = Fill(40000);
        SetSelection(0, 0, ORIGIN_PROGRAM);
        doc.changeCount = 0;
        SetLogSink(&log);
    }
    void TearDown() override
    {
        SetLogSink(nullptr);
        ResetActionLifecycle();
        doc.FreeAll();
    }

    Bytes Fill(int32_t frames)
    {
        Bytes b(size_t(frames) * 4);
        for (size_t i = 0; i < b.size(); i++)
            b[i] = uint8_t(i * 7 + (i >> 9));
        EXPECT_TRUE(doc.InsertSpace(0, frames));
        doc.WriteBlocks(0, b.data(), frames);
        return b;
    }

    // An effect's loop: overwrites the prepared samples, asking for progress
    // at every multiple of 8192; true when it ran to the end.
    bool Scribble(int32_t n)
    {
        const Selection& sel = TheSelection();
        doc.SetChannel(1);
        for (int32_t p = sel.selStart; p < sel.selStart + n; p++) {
            if (p % 8192 == 0 && ActProgress(p))
                return false;
            doc.WriteSample(p, 1234);
        }
        return true;
    }

    int Records() { return TheUndoHistory().Count() + TheRedoHistory().Count(); }

    CKV_Document& doc = TheDocument();
    TestHost host;
    MemoryLogSink log;
    Bytes original;
};

TEST_F(ActionsTest, CancelPutsTheSavedSamplesBackAndFilesNothing)
{
    SetSelection(100, 30000, ORIGIN_PROGRAM);
    host.cancelAt = 8000;
    int32_t n = ActPrepareWave(ACTION_AMPLIFY, RESTORE_SAMPLES);
    ASSERT_EQ(30000, n);
    EXPECT_EQ(1, host.progressOpen);
    EXPECT_FALSE(Scribble(n));
    ActComplete(ACTION_AMPLIFY, ACT_PREPARED);

    EXPECT_EQ(original, DocumentBytes());
    EXPECT_EQ(100, TheSelection().selStart);
    EXPECT_EQ(30000, TheSelection().selLength);
    EXPECT_EQ(0, Records());
    EXPECT_EQ(0, doc.changeCount);
    EXPECT_FALSE(ActIsBusy());
    EXPECT_EQ(0u, UndoMemoryInUse());
    ASSERT_EQ(1u, host.progressNames.size());
    EXPECT_EQ("Amplification", host.progressNames[0]);
    EXPECT_EQ(0, host.progressOpen);
    EXPECT_EQ(0, host.waitCursorDepth);
    // Positions are reported from the selection start, against its length.
    EXPECT_EQ(std::make_pair(8092, 30000), host.updates.front());
}

TEST_F(ActionsTest, ProgressWindowOnlyFromTwentyThousandBytes)
{
    for (int32_t frames : {4999, 5000}) {
        host.progressNames.clear();
        SetSelection(0, frames, ORIGIN_PROGRAM);
        ASSERT_EQ(frames, ActPrepareWave(ACTION_AMPLIFY, RESTORE_SAMPLES));
        ActComplete(ACTION_AMPLIFY, ACT_PREPARED);
        EXPECT_EQ(frames == 5000 ? 1u : 0u, host.progressNames.size()) << frames;
    }
    EXPECT_EQ(2, host.waitCursorBegins);
    EXPECT_EQ(0, host.waitCursorDepth);
}

TEST_F(ActionsTest, InsertedRoomGoesAgainOnCancelOrWithoutRecord)
{
    SetSelection(500, 0, ORIGIN_PROGRAM);
    TheSelection().pendingLength = 12000;
    host.cancelAt = 0;
    int32_t n = ActPrepareWave(ACTION_PASTE, RESTORE_SAMPLES);
    ASSERT_EQ(12000, n);
    EXPECT_EQ(52000, doc.length);
    EXPECT_FALSE(Scribble(n));
    ActComplete(ACTION_PASTE, ACT_PREPARED | ACT_LENGTH_CHANGED);
    EXPECT_EQ(original, DocumentBytes());
    EXPECT_EQ(0, TheSelection().selLength);

    // Silence inserts the "INSERT" length: 2000 ms at 11025 Hz.
    n = ActPrepareWave(ACTION_SILENCE, RESTORE_SAMPLES);
    EXPECT_EQ(22050, n);
    ActComplete(ACTION_SILENCE, ACT_PREPARED | ACT_NO_RECORD);
    EXPECT_EQ(original, DocumentBytes());
    EXPECT_EQ(500, TheSelection().selStart);
    EXPECT_EQ(0, TheSelection().selLength);
    EXPECT_EQ(0, Records());
    EXPECT_EQ(0, doc.changeCount);
}

TEST_F(ActionsTest, EmptySelectionRefusedForActionsThatNeedOne)
{
    EXPECT_EQ(0, ActPrepareWave(ACTION_AMPLIFY, RESTORE_SAMPLES));
    EXPECT_TRUE(log.Contains("ActPrepareWave can't NO SELECT insert !"));
    EXPECT_FALSE(ActIsBusy());
    EXPECT_EQ(0, host.waitCursorBegins);
}

TEST_F(ActionsTest, SecondActionWhileOneRoutesMessagesIsRefused)
{
    SetSelection(0, 30000, ORIGIN_PROGRAM);
    int deleteResult = 0;
    int undoResult = 0;
    host.onPump = [&] {
        deleteResult = DeleteSelection();
        undoResult = ActUndo();
    };
    int32_t n = ActPrepareWave(ACTION_AMPLIFY, RESTORE_SAMPLES);
    EXPECT_TRUE(Scribble(n));
    EXPECT_EQ(-1, deleteResult);
    EXPECT_EQ(-1, undoResult);
    EXPECT_TRUE(log.Contains("App:ActPrepare(14) REENTRANT"));
    EXPECT_EQ(40000, doc.length);

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
        EXPECT_EQ(ACTSTATE_READY, TheApp().actionState);
        EXPECT_EQ(0, Records()) << state;
        EXPECT_EQ(0, doc.changeCount) << state;
        EXPECT_EQ(0u, UndoMemoryInUse());
    }
    EXPECT_EQ(40030, doc.length);
}

}
