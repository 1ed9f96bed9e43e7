#include "edit/remove_background.h"

#include "support/effect_fixture.h"

namespace {

// At 1000 blocks a second a duration of 1 (10 ms) is a minimum of 10 blocks;
// a threshold of 2 % is 655 for 16-bit and 3 for 8-bit samples.
class RemoveBackgroundTest : public EffectTest {
protected:
    RemoveBackgroundTest() : EffectTest(1000, 4) {}
    void SetUp() override { EffectTest::SetUp(); settings.noiseDuration = 1; }
};

Samples Join(std::initializer_list<Samples> parts)
{
    Samples all;
    for (const Samples& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Selected from 1 for 35 samples: a loud sample, a quiet stretch exactly as
// long as the minimum (|v| up to the threshold), a sample just above the
// threshold, a stretch one longer, the loudest negative sample and a
// stretch that reaches the selection end. Quiet samples lie on both sides.
const Samples KEPT = {655, -655, 300, 1, 2, 3, 4, 5, 6, 7};
const Samples MIXED = Join({{0, 1000}, KEPT, {-656}, Samples(11, 100), {-32768}, Samples(11, -5), {0, 7, 2000}});

TEST_F(RemoveBackgroundTest, KeepsAStretchAsLongAsTheMinimumAndRemovesOneAtTheEnd)
{
    const struct {
        int deleting;
        Samples out;
        int32_t selected;
    } cases[] = {
        {0, Join({{0, 1000}, KEPT, {-656}, Samples(11, 0), {-32768}, Samples(11, 0), {0, 7, 2000}}), 35},
        {1, Join({{0, 1000}, KEPT, {-656, -32768}, {0, 7, 2000}}), 13},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "deleting " << c.deleting);
        settings.noiseDelete = c.deleting;
        Load(1, 16, MIXED, 1, 35);
        RemoveBackground(settings);
        EXPECT_EQ(Read(), c.out);
        ExpectSelection(1, c.selected);
        EXPECT_EQ(doc.changeCount, 1);
    }
}

TEST_F(RemoveBackgroundTest, DeletionJudgesWholeFramesByTheFirstChannelSilencingEachChannel)
{
    // Left quiet (3 is the 8-bit threshold) while right is loud, then the
    // other way round (-4 is loud).
    Samples in;
    for (int i = 0; i < 22; i++)
        in.insert(in.end(), {i < 11 ? 3 : -4, i < 11 ? 50 : -3});
    in.insert(in.end(), {60, 60, 60, 60});
    Samples rightSilenced = in, bothSilenced = in;
    for (size_t i = 0; i < 11; i++) {
        bothSilenced[2 * i] = 0;
        rightSilenced[2 * (11 + i) + 1] = bothSilenced[2 * (11 + i) + 1] = 0;
    }
    const Samples firstQuietFramesGone(in.begin() + 22, in.end());
    const struct {
        bool leftShown;
        int deleting;
        Samples out;
        int32_t selected;
    } cases[] = {
        {true, 0, bothSilenced, 24},
        {false, 0, rightSilenced, 24},
        {true, 1, firstQuietFramesGone, 13},
        {false, 1, firstQuietFramesGone, 13},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "left shown " << c.leftShown << ", deleting " << c.deleting);
        TheAppOptions().leftChannel = c.leftShown;
        settings.noiseDelete = c.deleting;
        Load(2, 8, in, 0, 24, 5);
        RemoveBackground(settings);
        EXPECT_EQ(Read(), c.out);
        ExpectSelection(0, c.selected);
    }
}

TEST_F(RemoveBackgroundTest, NoThresholdOrNoLongStretchChangesNothingAndFilesNothing)
{
    settings.noiseDelete = 1;
    settings.noiseThreshold = 0;
    Load(1, 16, Samples(30, 0), 0, 30);
    RemoveBackground(settings);
    ExpectUnchanged(SampleBytes(16, Samples(30, 0)));

    settings.noiseThreshold = 2;
    Samples in = Join({Samples(10, 100), {700}, Samples(10, -100)});
    Load(1, 16, in, 0, 21);
    RemoveBackground(settings);
    ExpectUnchanged(SampleBytes(16, in));
    ExpectSelection(0, 21);
}

}
