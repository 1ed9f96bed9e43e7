#include "edit/noise.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/app_options.h"
#include "app/builtin_strings.h"
#include "app/clock.h"
#include "edit/actions.h"
#include "edit/undo_history.h"
#include "sound/document.h"
#include "support/test_host.h"
#include "view/selection_ops.h"

namespace {

using Samples = std::vector<int>;       // interleaved, signed in the sample width

class FixedClock : public Clock {
public:
    uint32_t TickCount() override { return ticks; }
    uint32_t ticks = 123456;
};

class NoiseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadBuiltInStrings());
        ResetApp();
        ResetAppOptions();
        ResetSelection();
        ResetActionLifecycle();
        SetClock(&clock);
    }
    void TearDown() override { SetClock(nullptr); }

    void Load(uint16_t channels, uint16_t bits, const Samples& samples, int32_t start, int32_t length)
    {
        uint16_t align = uint16_t(channels * bits / 8);
        KvWaveFormat f = {WAVE_TAG_PCM, channels, 8000, 8000u * align, align, bits, 0};
        ASSERT_EQ(doc.NewSound(nullptr, &f), 0);
        doc.bufferSamples = 4096;
        std::vector<uint8_t> bytes;
        for (int v : samples) {
            bytes.push_back(uint8_t(bits == 8 ? v + 128 : v));
            if (bits == 16)
                bytes.push_back(uint8_t(unsigned(v) >> 8));
        }
        int32_t n = int32_t(samples.size() / channels);
        ASSERT_TRUE(doc.InsertSpace(0, n));
        doc.WriteBlocks(0, bytes.data(), n);
        SetSelection(start, length, ORIGIN_PROGRAM);
        doc.changeCount = 0;
    }

    Samples Read()
    {
        bool wide = doc.format.Record()->wBitsPerSample == 16;
        std::vector<uint8_t> bytes(size_t(doc.length) * doc.format.BlockAlign());
        doc.CopyOut(0, bytes.data(), doc.length);
        Samples out;
        for (size_t i = 0; i < bytes.size(); i += wide ? 2 : 1)
            out.push_back(wide ? int16_t(bytes[i] | bytes[i + 1] << 8) : bytes[i] - 128);
        return out;
    }

    FixedClock clock;
    TestHost host;
    CKV_Document& doc = TheDocument();
    EffectSettings& settings = TheEffectSettings();
};

TEST_F(NoiseTest, ValuesSpanMinusAToAMinusOne)
{
    const struct {
        uint16_t bits;
        int32_t percent, low, high;
    } cases[] = {
        {16, 50, -16384, 16383}, {16, 100, -32767, 32766}, {8, 50, -64, 63}, {8, 100, -127, 126},
        {8, 250, -127, 126}, {16, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << "-bit, " << c.percent << " %");
        settings.noiseAmplitude = c.percent;
        Load(1, c.bits, Samples(60002, 9), 1, 60000);
        AddNoise(settings);
        Samples out = Read();
        EXPECT_EQ(out.front(), 9);
        EXPECT_EQ(out.back(), 9);
        auto range = std::minmax_element(out.begin() + 1, out.end() - 1);
        // 60000 draws reach both ends of 8-bit ranges and come within 1 %
        // of them on 16-bit ones.
        int32_t slack = c.bits == 8 ? 0 : (c.high - c.low) / 100;
        EXPECT_GE(*range.first, c.low);
        EXPECT_LE(*range.first, c.low + slack);
        EXPECT_LE(*range.second, c.high);
        EXPECT_GE(*range.second, c.high - slack);
    }
}

TEST_F(NoiseTest, GeneratorIsUniformAndFollowsItsSeed)
{
    NoiseSource random(7);
    std::vector<int> counts(6);
    for (int i = 0; i < 60000; i++)
        counts[size_t(random.Sample(3) + 3)]++;
    for (int count : counts)
        EXPECT_NEAR(count, 10000, 400);

    // The same tick count gives the same noise; another one other noise.
    settings.noiseAmplitude = 100;
    Load(2, 16, Samples(2000, 0), 0, 1000);
    AddNoise(settings);
    Samples first = Read();
    EXPECT_NE(Samples(first.begin(), first.begin() + 1000), Samples(first.begin() + 1000, first.end()));
    Load(2, 16, Samples(2000, 0), 0, 1000);
    AddNoise(settings);
    EXPECT_EQ(Read(), first);
    clock.ticks++;
    Load(2, 16, Samples(2000, 0), 0, 1000);
    AddNoise(settings);
    EXPECT_NE(Read(), first);
}

TEST_F(NoiseTest, MixModeKeepsTheOldSoundByItsPercentage)
{
    TheAppOptions().mixNew = 50;
    TheAppOptions().mixOld = 50;
    settings.noiseAmplitude = 100;
    Load(1, 16, Samples(5000, 20000), 0, 5000);
    AddNoise(settings);
    for (int v : Read()) {
        ASSERT_GE(v, 10000 - 16384);
        ASSERT_LE(v, 10000 + 16383);
    }
}

TEST_F(NoiseTest, EmptySelectionInsertsAndUndoRedoAndCancel)
{
    settings.insertLength = 10;
    Load(1, 8, {1, 2}, 1, 0);
    AddNoise(settings);
    EXPECT_EQ(TheSelection().selLength, 80);
    Samples after = Read();
    ASSERT_EQ(after.size(), 82u);
    ActUndo();
    EXPECT_EQ(Read(), Samples({1, 2}));
    ActRedo();                          // the clock stands still: the same noise
    EXPECT_EQ(Read(), after);

    Load(2, 16, Samples(2 * 40000, 3), 0, 40000);
    host.cancelAt = 10000;
    AddNoise(settings);
    EXPECT_FALSE(host.updates.empty());
    EXPECT_EQ(Read(), Samples(2 * 40000, 3));
    EXPECT_TRUE(TheUndoHistory().IsEmpty());
}

}
