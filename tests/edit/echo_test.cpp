#include "edit/echo.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

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

// A loud stereo signal, so that echoes saturate now and then.
Samples Signal(size_t frames)
{
    Samples s(frames * 2);
    for (size_t i = 0; i < s.size(); i++)
        s[i] = int((i * 7919 + i / 3 * 104729) % 65536) - 32768;
    return s;
}

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
        Load(1, 16, {30000, -30000, 20000, -20000}, 0, 4);
        Run(100, 2, chorus);
        EXPECT_EQ(Read(), Samples({30000, -30000, 32767, -32768}));
        Load(1, 8, {100, -100, 100, -100}, 0, 4);
        Run(100, 2, chorus);
        EXPECT_EQ(Read(), Samples({100, -100, 127, -128}));
    }
}

TEST_F(EchoTest, NoStrengthOrASelectionNotLongerThanTheDelayDoesNothing)
{
    Samples in(20, 100);
    Load(1, 16, in, 2, 10);
    Run(50, 10, false);
    Run(0, 5, false);
    EXPECT_EQ(Read(), in);
    EXPECT_EQ(doc.changeCount, 0);
    EXPECT_TRUE(TheUndoHistory().IsEmpty());

    SetSelection(2, 11, ORIGIN_PROGRAM);
    Run(50, 10, false);
    in[12] = 150;
    EXPECT_EQ(Read(), in);
}

TEST_F(EchoTest, LongSelectionsMatchTheDefinitionAndUndoExactly)
{
    // Delays shorter and longer than a chunk; the selection crosses chunk
    // edges and progress positions on both channels.
    const int32_t start = 100, n = 20000, strength = 70;
    Samples in = Signal(start + n + 50);
    for (int32_t d : {3, 5000}) {
        for (bool chorus : {false, true}) {
            SCOPED_TRACE(testing::Message() << "delay " << d << ", chorus " << chorus);
            Load(2, 16, in, start, n, 4409);
            Run(strength, d, chorus);
            Samples model = in;
            for (size_t i = size_t(start + d) * 2; i < size_t(start + n) * 2; i++) {
                int64_t echo = int64_t((chorus ? in : model)[i - size_t(d) * 2]) * strength;
                echo = (echo >= 0 ? echo + 50 : echo - 50) / 100;
                model[i] = int(std::clamp<int64_t>(model[i] + echo, -32768, 32767));
            }
            ASSERT_EQ(Read(), model);
            ASSERT_EQ(ActUndo(), 0);
            EXPECT_EQ(Read(), in);
            ASSERT_EQ(ActRedo(), 0);
            EXPECT_EQ(Read(), model);
        }
    }
}

TEST_F(EchoTest, CancelLeavesTheSoundAsItWas)
{
    // Progress positions 8192, 16384 ...: Cancel at the second.
    const int32_t start = 100, n = 40000;
    Samples in = Signal(start + n);
    for (bool chorus : {false, true}) {
        Load(2, 16, in, start, n, 10000);
        host.updates.clear();
        host.cancelAt = 16384 - start;
        Run(50, 100, chorus);
        ASSERT_EQ(host.updates.size(), 2u);
        EXPECT_EQ(host.updates[0].first + start, 8192);
        EXPECT_EQ(Read(), in);
        EXPECT_EQ(doc.changeCount, 0);
        EXPECT_TRUE(TheUndoHistory().IsEmpty());
    }
}

}
