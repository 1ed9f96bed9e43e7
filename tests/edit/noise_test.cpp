#include "edit/noise.h"

#include <algorithm>

#include "support/effect_fixture.h"

namespace {

class NoiseTest : public EffectTest {
protected:
    NoiseTest() : EffectTest(8000, 4096) {}

    std::function<void()> noise = [this] { AddNoise(settings); };
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
        Samples out = After(noise, 1, c.bits, Samples(60002, 9), 1, 60000);
        EXPECT_EQ(out.front(), 9);
        EXPECT_EQ(out.back(), 9);
        auto range = std::minmax_element(out.begin() + 1, out.end() - 1);
        // 60000 draws reach both ends of 8-bit ranges and come within 1 %
        // of them on 16-bit ones.
        double slack = c.bits == 8 ? 0 : (c.high - c.low) / 100;
        EXPECT_NEAR(*range.first, c.low + slack / 2, slack / 2);
        EXPECT_NEAR(*range.second, c.high - slack / 2, slack / 2);
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

    // Another tick count gives other noise.
    settings.noiseAmplitude = 100;
    Samples first = After(noise, 2, 16, Samples(2000, 0), 0, 1000);
    clock.ticks++;
    EXPECT_NE(After(noise, 2, 16, Samples(2000, 0), 0, 1000), first);
}

TEST_F(NoiseTest, MixModeKeepsTheOldSoundByItsPercentage)
{
    TheAppOptions().mixNew = TheAppOptions().mixOld = 50;
    settings.noiseAmplitude = 100;
    for (int v : After(noise, 1, 16, Samples(5000, 20000), 0, 5000)) {
        ASSERT_GE(v, 10000 - 16384);
        ASSERT_LE(v, 10000 + 16383);
    }
}

}
