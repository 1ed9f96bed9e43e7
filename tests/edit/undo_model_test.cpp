// Long random sequences of actions, undone and redone to the end: the sound,
// the format, the selection and the change count must come back exactly.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <random>
#include <vector>

#include "base/app.h"
#include "base/app_options.h"
#include "base/clock.h"
#include "edit/actions.h"
#include "edit/delete_cut.h"
#include "edit/echo.h"
#include "edit/effect_settings.h"
#include "edit/fill.h"
#include "edit/level_effects.h"
#include "edit/mixing_options.h"
#include "edit/noise.h"
#include "edit/open_document.h"
#include "edit/pitch.h"
#include "edit/remove_background.h"
#include "edit/tone.h"
#include "edit/undo_history.h"
#include "sound/document.h"
#include "sound/wave_file.h"
#include "support/core_state.h"
#include "support/test_host.h"
#include "support/wave_builder.h"
#include "view/display_options.h"
#include "view/selection_ops.h"
#include "view/view_model.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct State {
    Bytes samples;
    Bytes format;
    int32_t selStart, selLength, viewStart, viewLength, changeCount;

    bool operator==(const State& o) const
    {
        return samples == o.samples && format == o.format && selStart == o.selStart && selLength == o.selLength
            && viewStart == o.viewStart && viewLength == o.viewLength && changeCount == o.changeCount;
    }
};

std::ostream& operator<<(std::ostream& out, const State& s)
{
    return out << s.samples.size() / 4 << " blocks, selection " << s.selStart << "+" << s.selLength << ", view "
               << s.viewStart << "+" << s.viewLength << ", changes " << s.changeCount;
}

class StillClock : public Clock {
public:
    uint32_t TickCount() override { return 4242; }
};

class UndoModelTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ResetCore());
        TheAppOptions().undoCount = 2000;   // deeper than any sequence here
        // Noise is seeded from the clock: a redo must make the same noise.
        SetClock(&clock);
        rng.seed(GetParam());
    }
    void TearDown() override { SetClock(nullptr); }

    // A random 16-bit stereo sound of `blocks` blocks, in small chunks.
    void Load(int32_t blocks)
    {
        KvWaveFormat f = PcmFormat(2, 16, 22050);
        ASSERT_EQ(0, NewDocument(&f));
        doc.bufferSamples = 997;
        ASSERT_TRUE(doc.InsertSpace(0, blocks));
        Bytes b(size_t(blocks) * 4);
        for (auto& x : b)
            x = uint8_t(rng());
        doc.SetChannel(255);
        doc.WriteBlocks(0, b.data(), blocks);
        doc.ReleaseCursor();
        SetSelection(0, 0, ORIGIN_PROGRAM);
        ResetActionLifecycle();
    }

    State Snapshot()
    {
        State s;
        s.samples.resize(size_t(doc.length) * 4);
        doc.SetChannel(255);
        doc.CopyOut(0, s.samples.data(), doc.length);
        doc.ReleaseCursor();
        const uint8_t* f = reinterpret_cast<const uint8_t*>(doc.format.Record());
        s.format.assign(f, f + doc.format.Size());
        s.selStart = TheSelection().selStart;
        s.selLength = TheSelection().selLength;
        s.viewStart = TheSelection().viewStart;
        s.viewLength = TheSelection().viewLength;
        s.changeCount = doc.changeCount;
        return s;
    }

    int32_t Random(int32_t below) { return below <= 0 ? 0 : int32_t(rng() % uint32_t(below)); }

    // One random action; the effects may be cancelled part-way.
    void Step(bool cancels)
    {
        int32_t length = doc.length;
        EffectSettings settings = TheEffectSettings();
        bool cancellable = false;
        std::function<void()> effect;
        if (cancels && length < 30000) {
            // Long enough for progress checks again: two seconds of silence
            // inserted at the end.
            SetSelection(length, 0, ORIGIN_COMMAND);
            settings.insertLength = 2000;
            SetEffectSettings(settings);
            Silence();
            return;
        }
        settings.insertLength = 5 + Random(40);      // ms an Insert-mode generator inserts
        switch (Random(24)) {
        case 0:
        case 1: {
            int32_t start = Random(length + 1);
            SetSelection(start, Random(length - start + 1), ORIGIN_COMMAND);
            return;
        }
        case 2:
            SetViewRange(Random(length + 1), Random(length + 1), ORIGIN_COMMAND);
            return;
        case 3:
            DeleteSelection();
            return;
        case 4:
            RemoveSelectionForCut();
            return;
        case 5:
            Silence();
            return;
        case 6:
            settings.amplification = 20 + Random(300);
            SetEffectSettings(settings);
            effect = [] { Amplify(TheEffectSettings()); };
            cancellable = true;
            break;
        case 7:
            settings.fadeStart = Random(200);
            settings.fadeEnd = Random(200);
            SetEffectSettings(settings);
            effect = [] { Fade(TheEffectSettings()); };
            cancellable = true;
            break;
        case 8:
            effect = [] { Reverse(); };
            cancellable = true;
            break;
        case 9:
            effect = [] { RemoveOffset(); };
            cancellable = true;
            break;
        case 10:
            // Between Replace and Mix mode.
            SetMixingOptions(Random(2) ? 0 : 50 + Random(50), 50 + Random(60));
            return;
        case 11:
            ToggleDisplayOption(Random(2) ? ACTION_TOGGLE_LEFT : ACTION_TOGGLE_RIGHT);
            return;
        case 12:
            settings.echoStrength = Random(101);
            settings.echoDelay = 1 + Random(40);
            settings.echoChorus = Random(2);
            SetEffectSettings(settings);
            effect = [] { Echo(TheEffectSettings()); };
            cancellable = true;
            break;
        case 13: {
            static const int32_t factors[] = {32768, 43690, 58982, 72089, 98304, 131072};
            settings.pitchFactor = factors[Random(6)];
            SetEffectSettings(settings);
            effect = [] { PitchChange(TheEffectSettings()); };
            cancellable = true;
            break;
        }
        case 14:
            settings.tone1Frequency = 100 + Random(4000);
            settings.tone1Amplitude = Random(101);
            settings.tone2Frequency = 100 + Random(4000);
            settings.tone2Amplitude = Random(101);
            settings.toneShape = Random(3);
            SetEffectSettings(settings);
            effect = [] { Tone(TheEffectSettings()); };
            break;
        case 15:
            settings.noiseAmplitude = Random(101);
            SetEffectSettings(settings);
            effect = [] { AddNoise(TheEffectSettings()); };
            break;
        case 16:
            settings.fillValue = Random(65536) - 32768;
            SetEffectSettings(settings);
            effect = [] { Fill(TheEffectSettings()); };
            break;
        case 17:
            settings.noiseThreshold = 1 + Random(20);
            settings.noiseDuration = Random(3);
            settings.noiseDelete = 1;
            SetEffectSettings(settings);
            effect = [] { RemoveBackground(TheEffectSettings()); };
            cancellable = true;
            break;
        case 18:
            PasteMixed();
            return;
        default: {
            // A selection long enough for the progress window.
            int32_t start = Random(length / 2 + 1);
            SetSelection(start, length - start, ORIGIN_COMMAND);
            return;
        }
        }
        if (cancels && cancellable && Random(2)) {
            State before = Snapshot();
            int filed = TheUndoHistory().Count();
            host.cancelAt = Random(TheSelection().selLength + 1);
            host.cancelPressed = false;
            effect();
            host.cancelAt = -1;
            if (host.cancelPressed) {
                EXPECT_TRUE(Snapshot() == before) << "a cancelled effect changed the sound";
                EXPECT_EQ(filed, TheUndoHistory().Count()) << "a cancelled effect was filed";
                cancelled++;
            }
            return;
        }
        effect();
    }

    // A WAVE of the document's format pasted over the selection in Mix mode
    // (Insert mode when nothing is selected).
    void PasteMixed()
    {
        SetMixingOptions(30 + Random(70), 30 + Random(70));
        int32_t blocks = 1 + Random(500);
        wave::Bytes data(size_t(blocks) * 4);
        for (auto& x : data)
            x = uint8_t(rng());
        wave::Bytes file = wave::Riff({wave::Chunk("fmt ", wave::Fmt(1, 2, 22050, 16)), wave::Chunk("data", data)});
        MemoryFileInfo memory{file.data(), uint32_t(file.size())};
        LoadWave(nullptr, READ_PASTE, &memory);
    }

    void RunSequence(int32_t blocks, int steps, bool cancels)
    {
        Load(blocks);
        State start = Snapshot();
        for (int i = 0; i < steps; i++)
            Step(cancels);
        State end = Snapshot();
        int undone = 0;
        while (!TheUndoHistory().IsEmpty()) {
            ASSERT_EQ(0, ActUndo());
            undone++;
        }
        EXPECT_TRUE(Snapshot() == start) << "after undoing " << undone << " steps: " << Snapshot() << " instead of "
                                          << start;
        while (!TheRedoHistory().IsEmpty())
            ASSERT_EQ(0, ActRedo());
        EXPECT_TRUE(Snapshot() == end) << "after redoing: " << Snapshot() << " instead of " << end;
        EXPECT_EQ(ACTSTATE_READY, TheApp().actionState);
    }

    std::mt19937 rng;
    TestHost host;
    StillClock clock;
    CKV_Document& doc = TheDocument();
    int cancelled = 0;
};

TEST_P(UndoModelTest, UndoingEverythingRestoresTheStartAndRedoingTheEnd)
{
    RunSequence(3000, 120, false);
}

TEST_P(UndoModelTest, CancelledEffectsLeaveNothingBehind)
{
    // Long enough for progress checks (every 8192 samples) and the window.
    RunSequence(80000, 100, true);
    EXPECT_GT(cancelled, 0) << "no effect was cancelled: the test proves nothing";
}

INSTANTIATE_TEST_SUITE_P(Seeds, UndoModelTest, ::testing::Range(1, 9));

}
