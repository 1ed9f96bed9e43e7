#include "edit/echo.h"

#include "support/effect_fixture.h"

namespace {

// At 1000 Hz a delay in milliseconds is as many blocks.
class EchoTest : public EffectTest {
protected:
    EchoTest() : EffectTest(1000, 7) {}

    void Run(int strength, int delay, bool chorus)
    {
        settings.echoStrength = strength;
        settings.echoDelay = delay;
        settings.echoChorus = chorus ? 0x101 : 0x100;   // only the low byte counts
        Echo(settings);
    }
};

TEST_F(EchoTest, EchoRepeatsEveryDelayAndChorusEchoesOnce)
{
    // Impulses at the selection start (left) and 5 blocks later (right,
    // negative); 60 blocks from block 3 are selected, the delay is 10.
    const Samples train = {500, 250, 125, 63, 32};
    for (bool chorus : {false, true}) {
        Samples in(70 * 2, 0);
        in[0] = 9;
        in[3 * 2] = 1000;
        in[8 * 2 + 1] = -1000;
        Load(2, 16, in, 3, 60);
        Run(50, 10, chorus);
        for (size_t k = 0; k < (chorus ? 1 : train.size()); k++) {
            in[(13 + 10 * k) * 2] = train[k];
            in[(18 + 10 * k) * 2 + 1] = -train[k];
        }
        EXPECT_EQ(Read(), in) << "chorus " << chorus;
        EXPECT_EQ(doc.changeCount, 1);
    }
}

TEST_F(EchoTest, SumsSaturateAtTheWidthsLimits)
{
    for (bool chorus : {false, true}) {
        auto run = [&] { Run(100, 2, chorus); };
        EXPECT_EQ(After(run, 1, 16, {30000, -30000, 20000, -20000}, 0, 4), Samples({30000, -30000, 32767, -32768}));
        EXPECT_EQ(After(run, 1, 8, {100, -100, 100, -100}, 0, 4), Samples({100, -100, 127, -128}));
    }
}

TEST_F(EchoTest, NoStrengthOrASelectionNotLongerThanTheDelayDoesNothing)
{
    Samples in(20, 100);
    Load(1, 16, in, 2, 10);
    Run(50, 10, false);
    Run(0, 5, false);
    ExpectUnchanged(SampleBytes(16, in));

    SetSelection(2, 11, ORIGIN_PROGRAM);
    Run(50, 10, false);
    in[12] = 150;
    EXPECT_EQ(Read(), in);
}

}
