// Every effect over a long stereo selection across chunk edges and progress
// checks, and without a selection (the INSERT length inserted, or nothing
// done): undo gives back the exact bytes and redo the same result; Cancel
// leaves the sound as it was, with nothing filed; a paint while messages are
// routed does not move the effect.
#include "edit/echo.h"
#include "edit/fill.h"
#include "edit/level_effects.h"
#include "edit/low_pass.h"
#include "edit/noise.h"
#include "edit/pitch.h"
#include "edit/remove_background.h"
#include "edit/tone.h"
#include "support/effect_fixture.h"

namespace {

const struct {
    const char* name;
    void (*run)(EffectSettings&);      // the stored settings: redo runs with them
    bool inserts;                       // inserts the INSERT length without a selection
    bool cancellable;
} EFFECTS[] = {
    {"Amplify", [](EffectSettings& s) { Amplify(s); }, false, true},
    {"Fade", [](EffectSettings& s) { Fade(s); }, false, true},
    {"Reverse", [](EffectSettings&) { Reverse(); }, false, true},
    {"RemoveOffset", [](EffectSettings&) { RemoveOffset(); }, false, true},
    {"Silence", [](EffectSettings&) { Silence(); }, true, false},
    {"Echo", [](EffectSettings& s) { s.echoChorus = 0, Echo(s); }, false, true},
    {"Chorus", [](EffectSettings& s) { s.echoChorus = 1, Echo(s); }, false, true},
    {"Pitch 2.0", [](EffectSettings& s) { s.pitchFactor = 131072, PitchChange(s); }, false, true},
    {"Pitch 0.69", [](EffectSettings& s) { s.pitchFactor = 45000, PitchChange(s); }, false, true},
    {"Tone", [](EffectSettings& s) { Tone(s); }, true, true},
    {"Noise", [](EffectSettings& s) { AddNoise(s); }, true, true},
    {"Fill", [](EffectSettings& s) { Fill(s); }, true, true},
    {"Background silenced", [](EffectSettings& s) { s.noiseDelete = 0, RemoveBackground(s); }, false, true},
    {"Background deleted", [](EffectSettings& s) { s.noiseDelete = 1, RemoveBackground(s); }, false, true},
    {"LowPass", [](EffectSettings&) { LowPass(); }, false, true},
};

class EffectLifecycleTest : public EffectTest {
protected:
    EffectLifecycleTest() : EffectTest(11025, 4409) {}

    // 40000 frames from frame 100 selected (or none): loud stretches with
    // quiet ones of 150 frames, longer than the background minimum.
    void Load(int32_t length = N)
    {
        Samples in(size_t(START + N + 50) * 2);
        for (size_t i = 0; i < in.size(); i++)
            in[i] = i / 2 % 500 < 150 ? int(i % 7) - 3 : int(i * 7919 % 40000) - 20000;
        EffectTest::Load(2, 16, in, START, length);
    }
    void SetUp() override
    {
        EffectTest::SetUp();
        settings.amplification = 250;
        settings.fadeStart = 30;
        settings.echoStrength = 50;
        settings.tone2Amplitude = 30;
        settings.noiseDuration = 1;
        settings.fillValue = 1000;
    }

    static constexpr int32_t START = 100, N = 40000;
};

TEST_F(EffectLifecycleTest, UndoGivesBackTheExactBytesAndRedoTheSameResult)
{
    for (const auto& effect : EFFECTS) {
        for (int32_t length : {N, 0}) {
            SCOPED_TRACE(testing::Message() << effect.name << " over " << length);
            Load(length);
            Bytes before = Raw();
            effect.run(settings);
            if (length == 0 && !effect.inserts) {
                ExpectUnchanged(before);
                continue;
            }
            Bytes after = Raw();
            EXPECT_NE(after, before);
            if (length == 0)
                ExpectSelection(START, int32_t(doc.format.MsToBlocks(settings.insertLength)));
            ExpectUndoRedo(before, after);
        }
    }
}

TEST_F(EffectLifecycleTest, CancelLeavesTheSoundAsItWas)
{
    for (const auto& effect : EFFECTS) {
        for (int32_t length : {N, 0}) {
            if (!effect.cancellable || (length == 0 && !effect.inserts))
                continue;
            SCOPED_TRACE(testing::Message() << effect.name << " over " << length);
            Load(length);
            Bytes before = Raw();
            host.cancelAt = -1;
            CancelAtCheck(2);
            effect.run(settings);
            EXPECT_TRUE(host.cancelPressed);
            ExpectUnchanged(before);
            ExpectSelection(START, length);
        }
    }
}

TEST_F(EffectLifecycleTest, PaintingWhileMessagesAreRoutedDoesNotMoveTheEffect)
{
    for (const auto& effect : EFFECTS) {
        SCOPED_TRACE(effect.name);
        Load();
        effect.run(settings);
        Bytes expected = Raw();
        // A paint reads the first channel at the other end of the sound.
        Load();
        std::function<void()> paint = [&] {
            doc.SetChannel(1);
            doc.ReadSample(doc.length - 1);
            host.onPump = paint;
        };
        host.onPump = paint;
        effect.run(settings);
        host.onPump = nullptr;
        EXPECT_EQ(Raw(), expected);
    }
}

}
