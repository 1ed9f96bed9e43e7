#include "view/freq_bands.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "support/core_state.h"

namespace {

const double PI = 3.14159265358979323846;

TEST(SpectrumTables, MatchTheirFormulas)
{
    for (int n = 0; n < SPECTRUM_POINTS; n++)
        EXPECT_EQ(SPECTRUM_WINDOW[n], std::floor(256 * (0.54 - 0.46 * std::cos(2 * PI * n / 255)))) << n;
    for (int k = 0; k < SPECTRUM_BANDS; k++)
        EXPECT_EQ(SPECTRUM_TWIDDLES[k], std::floor(256 * std::sin(2 * PI * k / 256))) << k;
}

TEST(SpectrumTransform, PutsCosinesInTheRealAndSinesInTheImaginaryPart)
{
    struct Case {
        bool sine;
        int band;
        int index;          // where the band's energy lands
        int32_t expected;
    } cases[] = {
        {false, 10, 10, 12800},
        {true, 10, 246, -12800},
        {false, 64, 64, 12800},
        {true, 3, 253, -12800},
    };
    for (const Case& c : cases) {
        int32_t x[SPECTRUM_POINTS];
        for (int n = 0; n < SPECTRUM_POINTS; n++) {
            double phase = 2 * PI * c.band * n / SPECTRUM_POINTS;
            x[n] = static_cast<int32_t>(std::lround(100 * (c.sine ? std::sin(phase) : std::cos(phase))));
        }
        SpectrumTransform(x);
        EXPECT_NEAR(x[c.index], c.expected, 128) << c.band << (c.sine ? " sine" : " cosine");
        for (int k = 1; k < SPECTRUM_BANDS; k++) {
            if (k != c.band) {
                EXPECT_LT(std::abs(x[k]), 256) << c.band << " leaks into " << k;
                EXPECT_LT(std::abs(x[SPECTRUM_POINTS - k]), 256) << c.band << " leaks into " << k;
            }
        }
    }
}

// A whole band scale and bar layout at 64-bit heights and positions.
TEST(SpectrumLayout, HeightsAndLabelsDoNotOverflow)
{
    int32_t held[SPECTRUM_POINTS];
    for (int32_t& s : held)
        s = -128;
    SpectrumBands bands;
    BandsFromSamples(held, bands);
    EXPECT_EQ(bands.value[0], 4498944);
    EXPECT_EQ(bands.scale, 4498944);
    SpectrumBar bars[SPECTRUM_BANDS];
    ASSERT_EQ(SpectrumBarLayout(bands, 0, 1280, 1000, bars), SPECTRUM_BANDS);
    EXPECT_EQ(bars[0].left, 0);
    EXPECT_EQ(bars[0].right, 10);
    EXPECT_EQ(bars[0].height, 1000);
    EXPECT_EQ(bars[SPECTRUM_BANDS - 1].right, 1280);

    EXPECT_EQ(SpectrumLabelCount(1999), 0);
    EXPECT_EQ(SpectrumLabelCount(2000), 1);
    EXPECT_EQ(SpectrumLabelCount(44100), 22);
    // 5000 × 1,024,000 passes 32 bits.
    for (int i = 1; i <= 22; i++)
        EXPECT_NEAR(SpectrumLabelX(10, 5000, 44100, i), 10 + i * 5000 * 1000.0 / 22050, 1) << i;
}

class DocumentSpectrum : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ResetCore()); }
    void TearDown() override { TheDocument().FreeAll(); }

    // A sine of `hz` in the channel `toneChannel` (the others silent), at
    // amplitude `peak` of the sample width.
    static std::vector<uint8_t> Tone(const KvWaveFormat& f, int32_t blocks, double hz, int toneChannel, double peak)
    {
        int bytes = f.wBitsPerSample / 8;
        std::vector<uint8_t> data(size_t(blocks) * f.nBlockAlign, bytes == 1 ? 0x80 : 0);
        double full = std::ldexp(1.0, f.wBitsPerSample - 1) - 1;
        for (int32_t n = 0; n < blocks; n++) {
            int64_t v = std::llround(peak * full * std::sin(2 * PI * hz * n / f.nSamplesPerSec));
            uint8_t* p = &data[size_t(n) * f.nBlockAlign + size_t(toneChannel) * bytes];
            for (int b = 0; b < bytes; b++)
                p[b] = uint8_t((bytes == 1 ? v + 128 : v) >> (8 * b));
        }
        return data;
    }

    static int PeakBand(const SpectrumBands& bands)
    {
        int peak = 0;
        for (int k = 1; k < SPECTRUM_BANDS; k++)
            if (bands.value[k] > bands.value[peak])
                peak = k;
        return peak;
    }
};

TEST_F(DocumentSpectrum, AQuarterRateTonePeaksInTheMiddle)
{
    struct Case {
        uint16_t channels;
        uint16_t bits;
        int toneChannel;
        bool leftShown;
        bool toneSeen;
    } cases[] = {
        {1, 16, 0, true, true},
        {1, 8, 0, true, true},
        {2, 16, 1, true, false},    // the left channel is shown, silent
        {2, 16, 1, false, true},
        {2, 24, 1, false, true},    // only the top byte counts
        {2, 32, 0, true, true},
    };
    for (const Case& c : cases) {
        KvWaveFormat f = PcmFormat(c.channels, 8, 44100);
        f.wBitsPerSample = c.bits;
        f.nBlockAlign = uint16_t(c.channels * c.bits / 8);
        f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;
        SetSound(f, Tone(f, 1000, 11025, c.toneChannel, 0.8));
        TheAppOptions().leftChannel = c.leftShown;
        SpectrumBands bands;
        ASSERT_TRUE(ComputeDocumentSpectrum(500, bands)) << c.bits;
        if (!c.toneSeen) {
            EXPECT_EQ(bands.scale, SPECTRUM_MIN_SCALE);
            continue;
        }
        EXPECT_EQ(PeakBand(bands), 64) << c.channels << "x" << c.bits;
        SpectrumBar bars[SPECTRUM_BANDS];
        int n = SpectrumBarLayout(bands, 0, 300, 100, bars);
        const SpectrumBar* tallest = &bars[0];
        for (int i = 1; i < n; i++)
            if (bars[i].height > tallest->height)
                tallest = &bars[i];
        EXPECT_EQ(tallest->height, 100);
        EXPECT_LE(tallest->left, 150);
        EXPECT_GE(tallest->right, 150);
    }
}

TEST_F(DocumentSpectrum, DependsOnlyOnThePosition)
{
    KvWaveFormat f = PcmFormat(1, 16, 22050);
    SetSound(f, Tone(f, 300, 2000, 0, 1.0));
    SpectrumBands fresh, again;
    ASSERT_TRUE(ComputeDocumentSpectrum(299, fresh));
    ASSERT_TRUE(ComputeDocumentSpectrum(0, again));
    ASSERT_TRUE(ComputeDocumentSpectrum(299, again));
    for (int k = 0; k < SPECTRUM_BANDS; k++)
        EXPECT_EQ(again.value[k], fresh.value[k]) << k;
    EXPECT_EQ(again.scale, fresh.scale);
    // Past the end and in an empty sound: silence, the scale at its floor.
    SetSound(f, {});
    ASSERT_TRUE(ComputeDocumentSpectrum(100, again));
    EXPECT_EQ(again.scale, SPECTRUM_MIN_SCALE);
    EXPECT_EQ(again.value[0], 0);
}

}
