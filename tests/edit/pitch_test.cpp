#include "edit/pitch.h"

#include <cstring>

#include "edit/pitch_factor.h"
#include "support/effect_fixture.h"

namespace {

class PitchTest : public EffectTest {
protected:
    void Run(uint32_t factor)
    {
        settings.pitchFactor = int32_t(factor);
        PitchChange(settings);
    }
};

// Mono 99, 0, 1 .. n-1, 98: the selection is 1 .. n.
Samples Numbered(int n)
{
    Samples s = {99};
    for (int i = 0; i < n; i++)
        s.push_back(i);
    s.push_back(98);
    return s;
}

TEST_F(PitchTest, ShortSequencesTakeTheNearestEarlierSample)
{
    const struct {
        uint32_t factor;
        int n;
        Samples result;                 // the new samples, then old ones the source never reached
        int32_t selected;               // both: undo puts back exactly what was selected
    } cases[] = {
        {131072, 10, {0, 2, 4, 6, 8}, 5},
        {98304, 10, {0, 1, 3, 4, 6, 7, 9}, 7},
        {32768, 3, {0, 0, 1, 1, 2, 2}, 6},
        {43690, 3, {1, 1, 2, 2}, 4},
        // Filling from the end alone would overwrite sources above 1/2.
        {58982, 8, {1, 2, 3, 4, 5, 6, 7, 7}, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "factor " << c.factor);
        Load(1, 16, Numbered(c.n), 1, c.n);
        Run(c.factor);
        Samples model = {99};
        model.insert(model.end(), c.result.begin(), c.result.end());
        model.push_back(98);
        EXPECT_EQ(Read(), model);
        EXPECT_EQ(TheSelection().selLength, c.selected);
        EXPECT_EQ(doc.changeCount, 1);
    }
}

TEST_F(PitchTest, UnchangedOrVanishingSelectionsDoNothing)
{
    Load(1, 16, Numbered(10), 1, 10);
    Run(65536);
    Run(0);
    SetSelection(1, 2, ORIGIN_PROGRAM);
    Run(196608);                        // 2 samples at 3.0 would be none
    ExpectUnchanged(SampleBytes(16, Numbered(10)));
    EXPECT_EQ(TheSelection().selLength, 2);
}

TEST(PitchFactorTest, SliderTextAndInvert)
{
    const std::pair<int32_t, uint32_t> points[] = {
        {-200, 21845}, {-50, 43690}, {0, 65536}, {50, 98304}, {200, 196608}};
    for (const auto& p : points) {
        EXPECT_EQ(PitchFactorFromSlider(p.first), p.second);
        EXPECT_EQ(PitchSliderFromFactor(p.second), p.first);
    }
    // A slider set back from its factor stays where it was put.
    for (int32_t v = -200; v <= 200; v++)
        EXPECT_EQ(PitchSliderFromFactor(PitchFactorFromSlider(v)), v);

    ResetAppOptions();
    EXPECT_STREQ(FormatPitchFactor(InvertPitchFactor(98304)), "0.66");
    EXPECT_EQ(InvertPitchFactor(20000), 196608u);   // limited to 3.0
    EXPECT_EQ(ParsePitchFactor("4"), 196608u);
    EXPECT_EQ(ParsePitchFactor("0.1"), 21845u);
    // The locale's separator is shown, so it is read back too.
    std::strcpy(TheAppOptions().intl.decimalSeparator, ",");
    EXPECT_STREQ(FormatPitchFactor(98304), "1,50");
    EXPECT_EQ(ParsePitchFactor("1,50"), 98304u);
    EXPECT_EQ(ParsePitchFactor("1.5"), 98304u);
    ResetAppOptions();
}

}
