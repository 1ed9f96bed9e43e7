#include "edit/measure.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/app_options.h"
#include "support/effect_fixture.h"

namespace {

class MeasureTest : public EffectTest {
protected:
    // The one report shown since the last call, or "" when none was.
    std::string Report()
    {
        std::vector<std::pair<std::string, std::string>> shown;
        shown.swap(host.informations);
        if (shown.size() != 1)
            return shown.empty() ? "" : "(more than one box)";
        EXPECT_EQ(shown[0].first, "Measure");
        return shown[0].second;
    }
};

TEST_F(MeasureTest, ReportsLengthExtremesAndMeanAndChangesNothing)
{
    Load(1, 16, {999, 10, -20, 30, 40, -999}, 1, 4);
    Bytes before = Raw();
    Measure();
    EXPECT_EQ(Report(), "Range = 4 samples\nMax value in range = 40\nMin value in range = -20\n"
                        "Avg value (4 samples) = 15\n");
    EXPECT_EQ(Raw(), before);
    EXPECT_EQ(TheSelection().selStart, 1);
    EXPECT_EQ(TheSelection().selLength, 4);
    EXPECT_EQ(doc.changeCount, 0);
    EXPECT_TRUE(TheUndoHistory().IsEmpty());
}

TEST_F(MeasureTest, AverageRunsOnAcrossChannelsWithAWindowOf256)
{
    // 200 left samples of 1000, then the right ones of 0: the count reaches
    // 256 after 56 of them and the last 144 each take 1/256 of the sum.
    Samples in;
    for (int i = 0; i < 200; i++)
        in.insert(in.end(), {1000, 0});
    Load(2, 16, in, 0, 200, 7);
    Measure();
    EXPECT_EQ(Report(), "Range = 200 samples\nMax value in range = 1000\nMin value in range = 0\n"
                        "Avg value (256 samples) = 444\n");

    TheAppOptions().leftChannel = 0;
    Load(2, 16, {5, -7, 5, 9}, 0, 2);
    Measure();
    EXPECT_EQ(Report(), "Range = 2 samples\nMax value in range = 9\nMin value in range = -7\n"
                        "Avg value (2 samples) = 1\n");
}

TEST_F(MeasureTest, EightBitSilenceMeasuresAsZero)
{
    Load(1, 8, {0, 0, 0}, 0, 3);
    Measure();
    EXPECT_EQ(Report(), "Range = 3 samples\nMax value in range = 0\nMin value in range = 0\n"
                        "Avg value (3 samples) = 0\n");
}

TEST_F(MeasureTest, NothingToMeasureShowsNothing)
{
    Load(2, 16, {1, 2, 3, 4}, 1, 0);
    Measure();
    TheAppOptions().leftChannel = 0;
    TheAppOptions().rightChannel = 0;
    SetSelection(0, 2, ORIGIN_PROGRAM);
    Measure();
    EXPECT_TRUE(host.informations.empty());

    KvWaveFormat alaw = {WAVE_TAG_ALAW, 1, 8000, 8000, 1, 8, 0};
    ASSERT_EQ(doc.NewSound(nullptr, &alaw), 0);
    ASSERT_TRUE(doc.InsertSpace(0, 3));
    SetSelection(0, 3, ORIGIN_PROGRAM);
    Measure();
    EXPECT_TRUE(host.informations.empty());
}

}
