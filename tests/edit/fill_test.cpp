#include "edit/fill.h"

#include "support/effect_fixture.h"

namespace {

class FillTest : public EffectTest {
protected:
    FillTest() : EffectTest(8000, 3) {}
};

TEST_F(FillTest, WritesTheValueInTheSampleWidthOnTheChannelsOnShow)
{
    const struct {
        uint16_t channels, bits;
        int32_t value;
        bool rightShown;
        int32_t mixOld;                 // percent of the old sound; 0: Replace mode
        Bytes in;
        int32_t start, length;
        Bytes out;
    } cases[] = {
        {1, 8, 0, true, 0, {1, 2, 3, 4, 5}, 1, 3, {1, 128, 128, 128, 5}},
        {2, 16, -32767, true, 0, {1, 1, 2, 2, 3, 3, 4, 4}, 1, 1, {1, 1, 2, 2, 1, 0x80, 1, 0x80}},
        // A value beyond the width saturates instead of wrapping.
        {1, 8, 200, true, 0, {1, 2}, 0, 2, {255, 255}},
        {1, 16, -40000, true, 0, {1, 2}, 0, 1, {0, 0x80}},
        {2, 8, 0, false, 0, {1, 2, 3, 4}, 0, 2, {128, 2, 128, 4}},
        {1, 8, 100, true, 50, {128 + 20, 128 - 20}, 0, 2, {128 + 60, 128 + 40}},
        // No selection: the INSERT length, 1 ms, is inserted.
        {1, 8, 7, true, 0, {1, 2}, 1, 0, {1, 135, 135, 135, 135, 135, 135, 135, 135, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << "-bit, " << c.value);
        TheAppOptions().rightChannel = c.rightShown;
        TheAppOptions().mixOld = c.mixOld;
        TheAppOptions().mixNew = 100 - c.mixOld;
        settings.fillValue = c.value;
        settings.insertLength = 1;
        LoadBytes(c.channels, c.bits, c.in, c.start, c.length);
        Fill(settings);
        EXPECT_EQ(Raw(), c.out);
        EXPECT_EQ(doc.changeCount, 1);
    }
}

}
