#include "edit/pitch.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

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

// The n frames from `start` resampled (each new frame the nearest earlier
// source frame; a lower pitch counts from the end), followed, for a higher
// pitch, by the frames the source never reached.
Samples Resampled(const Samples& in, int32_t start, int32_t n, uint32_t f, int32_t* m)
{
    *m = int32_t(double(n) * 65536 / f);
    std::vector<int64_t> sources;
    for (int64_t j = 0; j < *m; j++)
        sources.push_back(f > 65536 ? (j * f) >> 16 : n - 1 - (((*m - 1 - j) * f) >> 16));
    for (int64_t k = f > 65536 ? (int64_t(*m) * f) >> 16 : n; k < n; k++)
        sources.push_back(k);
    Samples out(in.begin(), in.begin() + start * 2);
    for (int64_t k : sources)
        out.insert(out.end(), {in[size_t(start + k) * 2], in[size_t(start + k) * 2 + 1]});
    out.insert(out.end(), in.begin() + (start + n) * 2, in.end());
    return out;
}

TEST_F(PitchTest, ShortSequencesTakeTheNearestEarlierSampleAndUndoExactly)
{
    const struct {
        uint32_t factor;
        int n;
        Samples result;                 // the new selection, then old samples left behind
        int32_t selected;
    } cases[] = {
        {131072, 10, {0, 2, 4, 6, 8}, 5},
        {98304, 10, {0, 1, 3, 4, 6, 7, 9}, 6},
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
        ASSERT_EQ(ActUndo(), 0);
        EXPECT_EQ(Read(), Numbered(c.n));
    }
}

TEST_F(PitchTest, UnchangedOrVanishingSelectionsDoNothing)
{
    Load(1, 16, Numbered(10), 1, 10);
    Run(65536);
    Run(0);
    SetSelection(1, 2, ORIGIN_PROGRAM);
    Run(196608);                        // 2 samples at 3.0 would be none
    EXPECT_EQ(Read(), Numbered(10));
    EXPECT_EQ(TheSelection().selLength, 2);
    EXPECT_EQ(doc.changeCount, 0);
    EXPECT_TRUE(TheUndoHistory().IsEmpty());
}

TEST_F(PitchTest, LongSelectionsMatchTheModelUndoExactlyAndRedo)
{
    const int32_t start = 100, n = 30011;
    Samples in(size_t(start + n + 20) * 2);
    for (size_t i = 0; i < in.size(); i++)
        in[i] = int((i * 2654435761u >> 16) & 0xFFFF) - 32768;
    for (uint32_t f : {131072u, 98304u, 196608u, 70001u, 32768u, 43690u, 21845u, 65000u}) {
        SCOPED_TRACE(testing::Message() << "factor " << f);
        Load(2, 16, in, start, n, 4409);
        Run(f);
        int32_t m;
        ASSERT_EQ(Read(), Resampled(in, start, n, f, &m));
        EXPECT_EQ(TheSelection().selLength, m);
        ASSERT_EQ(ActUndo(), 0);
        EXPECT_EQ(Read(), in);
        // Undo selects the samples the change consumed; redo runs it again
        // over them.
        int32_t consumed = f > 65536 ? int32_t((int64_t(m) * f) >> 16) : n;
        EXPECT_EQ(TheSelection().selLength, consumed);
        ASSERT_EQ(ActRedo(), 0);
        EXPECT_EQ(Read(), Resampled(in, start, consumed, f, &m));
    }
}

TEST_F(PitchTest, CancelLeavesTheSoundAndTheSelectionAsTheyWere)
{
    const int32_t start = 100, n = 40000;
    Samples in(size_t(start + n) * 2);
    for (size_t i = 0; i < in.size(); i++)
        in[i] = int(i % 2000) - 1000;
    for (uint32_t f : {131072u, 45000u}) {
        Load(2, 16, in, start, n, 10000);
        host.updates.clear();
        host.cancelAt = 16384 - start;
        Run(f);
        // Checked where the source reaches each multiple of 8192.
        ASSERT_EQ(host.updates.size(), 2u);
        EXPECT_EQ(host.updates[0].first + start, 8192);
        EXPECT_EQ(Read(), in);
        EXPECT_EQ(TheSelection().selLength, n);
        EXPECT_TRUE(TheUndoHistory().IsEmpty());
    }
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
    EXPECT_STREQ(FormatPitchFactor(21845), "0.33");
    EXPECT_STREQ(FormatPitchFactor(InvertPitchFactor(98304)), "0.66");
    EXPECT_EQ(InvertPitchFactor(131072), 32768u);
    EXPECT_EQ(InvertPitchFactor(65536), 65536u);
    EXPECT_EQ(InvertPitchFactor(20000), 196608u);
    EXPECT_EQ(ParsePitchFactor("4"), 196608u);
    EXPECT_EQ(ParsePitchFactor("0.1"), 21845u);
    EXPECT_EQ(ParsePitchFactor("0.75"), 49152u);
    EXPECT_EQ(ParsePitchFactor("-1"), 196608u);
    // The locale's separator is shown, so it is read back too.
    std::strcpy(TheAppOptions().intl.decimalSeparator, ",");
    EXPECT_STREQ(FormatPitchFactor(98304), "1,50");
    EXPECT_EQ(ParsePitchFactor("1,50"), 98304u);
    EXPECT_EQ(ParsePitchFactor("1.5"), 98304u);
    ResetAppOptions();
}

}
