#include "edit/low_pass.h"

#include "support/effect_fixture.h"

namespace {

using LowPassTest = EffectTest;

TEST_F(LowPassTest, AveragesTheUnfilteredSamplesTruncatingTowardZero)
{
    const struct {
        uint16_t bits;
        Samples in, out;
    } cases[] = {
        {16, {50, 3, 6, 9, 12, 50}, {50, 3, 4, 6, 9, 50}},
        {8, {50, -3, -6, -9, -12, 50}, {50, -3, -4, -6, -9, 50}},
        // -2 / 3 is 0, not -1.
        {8, {50, -1, -1, 0, 0, 50}, {50, -1, -1, 0, 0, 50}},
        {16, {0, 32767, 32767, -32768, -32768, 0}, {0, 32767, 32767, 10922, -10923, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << "-bit, from " << c.in[1]);
        EXPECT_EQ(After(LowPass, 1, c.bits, c.in, 1, 4), c.out);
        EXPECT_EQ(doc.changeCount, 1);
    }
}

TEST_F(LowPassTest, FiltersEachChannelOnShowOnItsOwn)
{
    const Samples in = {3, 12, 6, 9, 9, 6, 12, 3};
    EXPECT_EQ(After(LowPass, 2, 16, in, 0, 4), Samples({3, 12, 4, 11, 6, 9, 9, 6}));

    TheAppOptions().leftChannel = 0;
    EXPECT_EQ(After(LowPass, 2, 8, in, 0, 4), Samples({3, 12, 6, 11, 9, 9, 12, 6}));
}

}
