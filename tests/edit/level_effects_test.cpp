#include "edit/level_effects.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "app/app_options.h"
#include "support/effect_fixture.h"

namespace {

using LevelEffectsTest = EffectTest;

Samples Ramp(size_t n, int step, int low, int high)
{
    Samples s(n);
    for (size_t i = 0; i < n; i++)
        s[i] = low + int(i * step % size_t(high - low + 1));
    return s;
}

TEST_F(LevelEffectsTest, AmplifyRoundsHalvesAwayFromZeroAndClampsToFullScale)
{
    const struct {
        uint16_t bits;
        int percent;
        Samples in, out;
    } cases[] = {
        {16, 33, {9, 100, 50, -50, 1, -2}, {9, 33, 17, -17, 0, -1}},
        {8, 33, {9, 100, 50, -50, 1, -2}, {9, 33, 17, -17, 0, -1}},
        {16, 200, {9, 20000, -20000, -32768, 16383}, {9, 32767, -32767, -32767, 32766}},
        {8, 200, {9, 100, -100, -128, 63}, {9, 127, -127, -127, 126}},
        {16, 101, {9, -32768, 32767}, {9, -32767, 32767}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << "-bit, " << c.percent << " %");
        Load(1, c.bits, c.in, 1, int32_t(c.in.size()) - 1, 2);
        settings.amplification = c.percent;
        Amplify(settings);
        EXPECT_EQ(Read(), c.out);
        EXPECT_EQ(doc.changeCount, 1);
    }
}

TEST_F(LevelEffectsTest, UnchangingSettingsAnEmptySelectionOrCompressedDataDoNothing)
{
    Load(1, 16, {1000, 2000, 3000}, 0, 3);
    settings.fadeEnd = 100;
    Amplify(settings);                  // 100 %
    Fade(settings);                     // 100 % to 100 %
    SetSelection(1, 0, ORIGIN_PROGRAM);
    settings.amplification = 50;
    Amplify(settings);
    Reverse();
    RemoveOffset();
    EXPECT_EQ(Read(), Samples({1000, 2000, 3000}));
    EXPECT_EQ(doc.changeCount, 0);
    EXPECT_TRUE(TheUndoHistory().IsEmpty());

    KvWaveFormat alaw = {WAVE_TAG_ALAW, 1, 8000, 8000, 1, 8, 0};
    ASSERT_EQ(doc.NewSound(nullptr, &alaw), 0);
    ASSERT_TRUE(doc.InsertSpace(0, 3));
    const Bytes coded = {1, 2, 3};
    doc.WriteBlocks(0, coded.data(), 3);
    SetSelection(0, 3, ORIGIN_PROGRAM);
    Amplify(settings);
    Silence();
    EXPECT_EQ(Raw(), coded);
}

TEST_F(LevelEffectsTest, FadeFollowsTheStraightLineToExactlyTheEndPercent)
{
    // Both ways, across progress positions and chunk edges.
    const int32_t start = 8000, n = 20011;
    for (auto ends : {std::pair<int, int>{7, 193}, {150, 3}}) {
        Samples in = Ramp(start + n, 37, -30000, 30000);
        Load(1, 16, in, start, n, 4409);
        settings.fadeStart = ends.first;
        settings.fadeEnd = ends.second;
        Fade(settings);
        Samples out = Read();
        int64_t d = ends.second - ends.first;
        for (int32_t i = 0; i < n; i++) {
            int64_t v = int64_t(in[start + i]) * (ends.first + d * (i + 1) / n);
            v = std::clamp<int64_t>((v >= 0 ? v + 50 : v - 50) / 100, -32767, 32767);
            ASSERT_EQ(out[start + i], v) << "sample " << i;
        }
    }
}

TEST_F(LevelEffectsTest, ReverseKeepsTheMiddleSampleOfAnOddCount)
{
    Load(1, 8, {9, 1, 2, 3, 4, 5, 9}, 1, 5);
    Reverse();
    EXPECT_EQ(Read(), Samples({9, 5, 4, 3, 2, 1, 9}));

    Samples in = Ramp(30005 * 2, 1, -32768, 32767), model = in;
    Load(2, 16, in, 3, 30000, 4409);
    Reverse();
    for (int i = 0; i < 15000 * 2; i++)
        std::swap(model[3 * 2 + i], model[(3 + 29999 - i / 2) * 2 + i % 2]);
    EXPECT_EQ(Read(), model);
}

TEST_F(LevelEffectsTest, RemoveOffsetTakesTheMeanOrARunningMeanAndSaturates)
{
    Load(1, 16, Samples(10, 100), 0, 10);
    RemoveOffset();
    EXPECT_EQ(Read(), Samples(10, 0));

    // Mean -95: the loud sample would wrap to -34.
    Load(1, 8, {-120, -120, -120, 127, -120, -120, -120, -120, -120, -120}, 0, 10);
    RemoveOffset();
    EXPECT_EQ(Read(), Samples({-25, -25, -25, 127, -25, -25, -25, -25, -25, -25}));

    // Past 256 samples the mean follows the signal: a step up decays away.
    Samples step(3000, 0);
    std::fill(step.begin() + 256, step.end(), 500);
    Load(1, 16, step, 0, 3000, 1000);
    RemoveOffset();
    Samples out = Read();
    EXPECT_EQ(std::count(out.begin(), out.begin() + 256, 0), 256);
    EXPECT_EQ(out[256], 500);
    EXPECT_TRUE(std::is_sorted(out.begin() + 256, out.end(), std::greater<int>()));
    EXPECT_LE(out.back(), 2);
}

TEST_F(LevelEffectsTest, HiddenLeftChannelIsLeftUntouched)
{
    TheAppOptions().leftChannel = 0;
    for (uint16_t bits : {8, 16}) {
        Load(2, bits, {10, 20, 30, 40, 50, 60, 70, 80}, 0, 4);
        settings.amplification = 50;
        Amplify(settings);
        Reverse();
        EXPECT_EQ(Read(), Samples({10, 40, 30, 30, 50, 20, 70, 10}));
        Silence();
        EXPECT_EQ(Read(), Samples({10, 0, 30, 0, 50, 0, 70, 0}));
    }
}

TEST_F(LevelEffectsTest, SilenceWritesTheFormatsSilenceAndInsertsWithoutSelection)
{
    Load(2, 8, {1, 2, 3, 4, 5, 6}, 1, 2);
    Silence();
    EXPECT_EQ(Raw(), Bytes({129, 130, 128, 128, 128, 128}));

    Load(1, 16, {1, 2, 3}, 1, 0);
    settings.insertLength = 10;
    int32_t inserted = int32_t(doc.format.MsToBlocks(10));
    Silence();
    Samples model(size_t(inserted) + 3, 0);
    model.front() = 1;
    model[size_t(inserted) + 1] = 2;
    model.back() = 3;
    EXPECT_EQ(Read(), model);
    EXPECT_EQ(TheSelection().selLength, inserted);
}

const std::pair<const char*, std::function<void()>> EFFECTS[] = {
    {"Amplify", [] { Amplify(TheEffectSettings()); }},
    {"Fade", [] { Fade(TheEffectSettings()); }},
    {"Reverse", Reverse},
    {"RemoveOffset", RemoveOffset},
    {"Silence", Silence},
};

TEST_F(LevelEffectsTest, UndoRestoresTheExactBytesAndRedoRepeatsTheEffect)
{
    settings.amplification = 250;
    settings.fadeStart = 30;
    for (const auto& effect : EFFECTS) {
        for (int32_t length : {40, 0}) {
            SCOPED_TRACE(testing::Message() << effect.first << " over " << length);
            Load(2, 16, Ramp(2 * 50, 997, -32768, 32767), 3, length);
            Bytes before = Raw();
            effect.second();
            Bytes after = Raw();
            EXPECT_EQ(after != before, length > 0 || effect.first == std::string("Silence"));
            ActUndo();
            EXPECT_EQ(Raw(), before);
            ActRedo();
            EXPECT_EQ(Raw(), after);
        }
    }
}

TEST_F(LevelEffectsTest, CancelLeavesTheSoundAsItWas)
{
    // Progress positions 8192 .. 32768 on each channel: Cancel in the second.
    const int32_t start = 100, n = 40000;
    settings.amplification = 250;
    for (const auto& effect : EFFECTS) {
        if (effect.first == std::string("Silence"))
            continue;                   // no progress checks: nothing to cancel
        SCOPED_TRACE(effect.first);
        Load(2, 16, Ramp(2 * (start + n), 997, -32768, 32767), start, n, 10000);
        Bytes before = Raw();
        host.updates.clear();
        host.cancelAt = -1;
        CancelAtCheck(6);
        effect.second();
        ASSERT_EQ(host.updates.size(), 6u);
        for (const auto& update : host.updates)
            EXPECT_EQ((update.first + start) % 8192, 0);
        EXPECT_EQ(Raw(), before);
        EXPECT_EQ(doc.changeCount, 0);
        EXPECT_TRUE(TheUndoHistory().IsEmpty());
    }
}

TEST_F(LevelEffectsTest, PaintingWhileMessagesAreRoutedDoesNotMoveTheEffect)
{
    settings.amplification = 50;
    Samples in = Ramp(2 * 20000, 997, -32768, 32767);
    for (const auto& effect : EFFECTS) {
        SCOPED_TRACE(effect.first);
        Load(2, 16, in, 0, 20000, 10000);
        effect.second();
        Bytes expected = Raw();
        // A paint reads the first channel at the other end of the sound.
        Load(2, 16, in, 0, 20000, 10000);
        std::function<void()> paint = [&] {
            doc.SetChannel(1);
            doc.ReadSample(19999);
            host.onPump = paint;
        };
        host.onPump = paint;
        effect.second();
        host.onPump = nullptr;
        EXPECT_EQ(Raw(), expected);
    }
}

}
