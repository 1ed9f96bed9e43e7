#include "edit/low_pass.h"

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "app/app_options.h"
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
        Load(1, c.bits, c.in, 1, 4);
        LowPass();
        EXPECT_EQ(Read(), c.out);
        EXPECT_EQ(doc.changeCount, 1);
    }
}

TEST_F(LowPassTest, FiltersEachChannelOnShowOnItsOwn)
{
    const Samples in = {3, 12, 6, 9, 9, 6, 12, 3};
    Load(2, 16, in, 0, 4, 1);
    LowPass();
    EXPECT_EQ(Read(), Samples({3, 12, 4, 11, 6, 9, 9, 6}));

    TheAppOptions().leftChannel = 0;
    Load(2, 8, in, 0, 4, 1);
    LowPass();
    EXPECT_EQ(Read(), Samples({3, 12, 6, 11, 9, 9, 12, 6}));
}

TEST_F(LowPassTest, UndoRestoresRedoRepeatsCancelOrAnEmptySelectionChangesNothing)
{
    // A square wave across chunk edges and progress positions.
    const int32_t start = 100, n = 40000;
    Samples in(size_t(2 * (start + n + 10)));
    for (size_t i = 0; i < in.size(); i++)
        in[i] = (i / 14) % 2 ? 30000 : -30000;
    Load(2, 16, in, start, n, 5000);
    Bytes before = Raw();
    LowPass();
    Bytes after = Raw();
    EXPECT_NE(after, before);
    EXPECT_EQ(ActUndo(), 0);
    EXPECT_EQ(Raw(), before);
    EXPECT_EQ(ActRedo(), 0);
    EXPECT_EQ(Raw(), after);

    Load(2, 16, in, start, n, 5000);
    host.updates.clear();
    CancelAtCheck(6);                   // on the second channel
    LowPass();
    EXPECT_EQ(host.updates.size(), 6u);
    EXPECT_EQ(Raw(), before);
    EXPECT_EQ(doc.changeCount, 0);
    EXPECT_TRUE(TheUndoHistory().IsEmpty());

    SetSelection(start, 0, ORIGIN_PROGRAM);
    LowPass();
    EXPECT_EQ(Raw(), before);
    EXPECT_TRUE(TheUndoHistory().IsEmpty());
}

}
