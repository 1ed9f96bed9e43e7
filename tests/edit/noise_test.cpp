#include "edit/noise.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "app/clock.h"
#include "support/effect_fixture.h"

namespace {

class FixedClock : public Clock {
public:
    uint32_t TickCount() override { return ticks; }
    uint32_t ticks = 123456;
};

class NoiseTest : public EffectTest {
protected:
    NoiseTest() : EffectTest(8000, 4096) {}

    void SetUp() override
    {
        EffectTest::SetUp();
        SetClock(&clock);
    }
    void TearDown() override { SetClock(nullptr); }

    FixedClock clock;
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
