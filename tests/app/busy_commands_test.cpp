// Commands that arrive while a long action routes messages, delivered the way
// the frame's message loop delivers them: through the command table. Only
// Stop may act; everything else must leave the sound, the selection and both
// histories exactly as a run without those commands leaves them.
#include <functional>
#include <string>

#include "app/command_table.h"
#include "edit/level_effects.h"
#include "edit/pitch.h"
#include "edit/remove_background.h"
#include "support/effect_fixture.h"
#include "resource.h"

namespace {

struct Outcome {
    Bytes sound;
    int32_t selStart, selLength, viewStart, viewLength;
    int undo, redo;
    bool operator==(const Outcome& o) const
    {
        return sound == o.sound && selStart == o.selStart && selLength == o.selLength && viewStart == o.viewStart
            && viewLength == o.viewLength && undo == o.undo && redo == o.redo;
    }
};

class BusyCommandsTest : public EffectTest {
protected:
    // 8-bit mono: a progress check every 8192 samples; quiet stretches of
    // 500 samples for Remove Background to delete.
    void LoadSound()
    {
        Bytes bytes(40000);
        for (size_t i = 0; i < bytes.size(); i++)
            bytes[i] = uint8_t(i / 500 % 3 == 0 ? 128 : (i * 37) >> 3);
        LoadBytes(1, 8, bytes, 1000, 30000, 4096);
    }

    Outcome Now()
    {
        const Selection& sel = TheSelection();
        return {Raw(), sel.selStart, sel.selLength, sel.viewStart, sel.viewLength, TheUndoHistory().Count(),
                TheRedoHistory().Count()};
    }

    // The effect alone, then undone; and the same with `commands` delivered
    // at its first progress check.
    void Compare(const char* name, const std::function<void()>& effect, const std::vector<int>& commands)
    {
        SCOPED_TRACE(name);
        LoadSound();
        effect();
        Outcome alone = Now();
        ASSERT_EQ(1, alone.undo) << "the effect did nothing: the comparison proves nothing";
        ASSERT_EQ(0, ActUndo());
        Outcome alongUndone = Now();

        ResetActionLifecycle();
        LoadSound();
        int delivered = 0;
        host.onPump = [&] {
            for (int id : commands) {
                EXPECT_EQ(-1, RunCommand(id, false)) << id;
                EXPECT_EQ(-1, RunCommand(id, true)) << id;
                delivered++;
            }
        };
        effect();
        EXPECT_EQ(int(commands.size()), delivered);
        EXPECT_TRUE(alone == Now());
        ASSERT_EQ(0, ActUndo());
        EXPECT_TRUE(alongUndone == Now());
    }
};

const std::vector<int> USER_COMMANDS = {
    IDM_EDIT_SELECT_ALL, IDM_EDIT_GOTO_END, IDM_EDIT_GOTO_START, IDM_CURSOR_END, IDM_CURSOR_HOME,
    IDM_CURSOR_LEFT, IDM_CURSOR_RIGHT, IDM_CURSOR_PAGE_UP, IDM_CURSOR_PAGE_DOWN, IDM_PLAY, IDB_PLAY,
    IDM_RECORD, IDB_RECORD, IDM_REWIND, IDM_FAST_FORWARD, IDM_EDIT_DELETE, IDM_MSG_CLEAR, IDM_EDIT_UNDO,
    IDM_EDIT_REDO, IDM_FX_REVERSE, IDM_FX_SILENCE, IDM_FX_NORMALIZE, IDM_VIEW_ZOOM_IN, IDM_VIEW_DISPLAY_ALL,
};

TEST_F(BusyCommandsTest, OnlyStopGetsThroughWhileAnEffectRuns)
{
    TheAppOptions().showWaveform = 1;
    settings.amplification = 150;
    Compare("Amplify", [&] { Amplify(settings); }, USER_COMMANDS);
    Compare("Reverse", [] { Reverse(); }, USER_COMMANDS);
    settings.pitchFactor = 98304;       // 1.5: the sound gets shorter
    Compare("Pitch up", [&] { PitchChange(settings); }, USER_COMMANDS);
    settings.pitchFactor = 43690;       // 0.67: longer
    Compare("Pitch down", [&] { PitchChange(settings); }, USER_COMMANDS);
    settings.noiseDelete = 1;
    settings.noiseThreshold = 10;
    settings.noiseDuration = 1;
    Compare("Remove Background", [&] { RemoveBackground(settings); }, USER_COMMANDS);

    // Stop and Esc are accepted meanwhile; the frame's own Exit is not.
    LoadSound();
    bool stopAccepted = false, escapeAccepted = false, exitAccepted = true;
    host.onPump = [&] {
        stopAccepted = CommandAccepted(IDM_STOP) && CommandAccepted(IDB_STOP);
        escapeAccepted = CommandAccepted(IDM_ESCAPE);
        exitAccepted = CommandAccepted(IDM_FILE_EXIT) || CommandAccepted(12345);
        EXPECT_EQ(0, RunCommand(IDM_STOP, false));
    };
    Reverse();
    EXPECT_TRUE(stopAccepted);
    EXPECT_TRUE(escapeAccepted);
    EXPECT_FALSE(exitAccepted);
    EXPECT_TRUE(CommandAccepted(IDM_FILE_EXIT));
}

TEST_F(BusyCommandsTest, UndoAppliesToTheCommittedSelectionNotToADrag)
{
    Load(1, 16, Samples(1000, 0), 0, 0);
    for (int i = 0; i < 1000; i++)
        doc.WriteSample(i, i);
    SetSelection(100, 200, ORIGIN_COMMAND);
    ASSERT_EQ(0, RunCommand(IDM_EDIT_DELETE, false));
    ASSERT_EQ(800, doc.length);
    // A drag is under way when Undo arrives: the deleted frames come back
    // where they were, and the drag's selection is dropped.
    SetSelection(50, 300, ORIGIN_GESTURE_START);
    SetSelection(50, 400, ORIGIN_DRAG);
    ASSERT_EQ(0, RunCommand(IDM_EDIT_UNDO, false));
    EXPECT_EQ(1000, doc.length);
    for (int i = 0; i < 1000; i++)
        ASSERT_EQ(i, doc.ReadSample(i)) << i;
    ExpectSelection(100, 200);
}

}
