#include "edit/measure.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/app_options.h"
#include "app/builtin_strings.h"
#include "edit/actions.h"
#include "edit/undo_history.h"
#include "sound/document.h"
#include "support/test_host.h"
#include "view/selection_ops.h"

namespace {

using Samples = std::vector<int>;       // interleaved, signed in the sample width
using Bytes = std::vector<uint8_t>;

class MeasureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadBuiltInStrings());
        ResetApp();
        ResetAppOptions();
        ResetSelection();
        ResetActionLifecycle();
    }

    // A sound of these samples in chunks of `chunk` blocks, so that chunk
    // edges fall inside the selection, which is then set.
    void Load(uint16_t channels, uint16_t bits, const Samples& samples, int32_t start, int32_t length,
              int32_t chunk = 3)
    {
        uint16_t align = uint16_t(channels * bits / 8);
        KvWaveFormat f = {WAVE_TAG_PCM, channels, 11025, 11025u * align, align, bits, 0};
        ASSERT_EQ(doc.NewSound(nullptr, &f), 0);
        doc.bufferSamples = chunk;
        Bytes bytes;
        for (int v : samples) {
            bytes.push_back(uint8_t(bits == 8 ? v + 128 : v));
            if (bits == 16)
                bytes.push_back(uint8_t(unsigned(v) >> 8));
        }
        int32_t n = int32_t(samples.size() / channels);
        ASSERT_TRUE(doc.InsertSpace(0, n));
        doc.WriteBlocks(0, bytes.data(), n);
        SetSelection(start, length, ORIGIN_PROGRAM);
        doc.changeCount = 0;
        host.informations.clear();
    }

    Bytes Raw()
    {
        Bytes bytes(size_t(doc.length) * doc.format.BlockAlign());
        doc.CopyOut(0, bytes.data(), doc.length);
        return bytes;
    }

    // The one report shown, or "" when none was.
    std::string Report()
    {
        if (host.informations.size() != 1)
            return host.informations.empty() ? "" : "(more than one box)";
        EXPECT_EQ(host.informations[0].first, "Measure");
        return host.informations[0].second;
    }

    TestHost host;
    CKV_Document& doc = TheDocument();
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
