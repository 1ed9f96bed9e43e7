#include "edit/measure.h"

#include <string>

#include "support/effect_fixture.h"

namespace {

class MeasureTest : public EffectTest {
protected:
    // The one report shown for a sound of these samples, "" when none was.
    std::string Report(uint16_t channels, uint16_t bits, const Samples& in, int32_t start, int32_t length)
    {
        After(Measure, channels, bits, in, start, length);
        auto shown = std::move(host.informations);
        host.informations.clear();
        if (shown.size() != 1)
            return shown.empty() ? "" : "(more than one box)";
        EXPECT_EQ(shown[0].first, "Measure");
        return shown[0].second;
    }
};

TEST_F(MeasureTest, ReportsLengthExtremesAndMeanAndChangesNothing)
{
    EXPECT_EQ(Report(1, 16, {999, 10, -20, 30, 40, -999}, 1, 4),
              "Range = 4 samples\nMax value in range = 40\nMin value in range = -20\nAvg value (4 samples) = 15\n");
    ExpectUnchanged(SampleBytes(16, {999, 10, -20, 30, 40, -999}));
    ExpectSelection(1, 4);
    // 8-bit silence measures as 0.
    EXPECT_EQ(Report(1, 8, {0, 0, 0}, 0, 3),
              "Range = 3 samples\nMax value in range = 0\nMin value in range = 0\nAvg value (3 samples) = 0\n");
    // Nothing selected, or no channel on show: nothing to report.
    EXPECT_EQ(Report(2, 16, {1, 2, 3, 4}, 1, 0), "");
    TheAppOptions().leftChannel = TheAppOptions().rightChannel = 0;
    EXPECT_EQ(Report(2, 16, {1, 2, 3, 4}, 0, 2), "");
}

TEST_F(MeasureTest, AverageRunsOnAcrossChannelsWithAWindowOf256)
{
    // 200 left samples of 1000, then the right ones of 0: the count reaches
    // 256 after 56 of them and the last 144 each take 1/256 of the sum.
    Samples in;
    for (int i = 0; i < 200; i++)
        in.insert(in.end(), {1000, 0});
    EXPECT_EQ(Report(2, 16, in, 0, 200), "Range = 200 samples\nMax value in range = 1000\nMin value in range = 0\n"
                                          "Avg value (256 samples) = 444\n");
    TheAppOptions().leftChannel = 0;
    EXPECT_EQ(Report(2, 16, {5, -7, 5, 9}, 0, 2),
              "Range = 2 samples\nMax value in range = 9\nMin value in range = -7\nAvg value (2 samples) = 1\n");
}

}
