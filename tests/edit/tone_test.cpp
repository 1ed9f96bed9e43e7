#include "edit/tone.h"

#include <algorithm>
#include <cmath>

#include "edit/dtmf.h"
#include "support/effect_fixture.h"

namespace {

class ToneTest : public EffectTest {
protected:
    ToneTest() : EffectTest(8000, 1000) {}

    Samples Run(uint16_t channels, uint16_t bits, const Samples& in, int32_t start, int32_t length)
    {
        return After([this] { Tone(settings); }, channels, bits, in, start, length);
    }
    // A generated tone of n samples at 44100 Hz, 16-bit mono.
    Samples Generate(int32_t n)
    {
        rate = 44100;
        return Run(1, 16, Samples(size_t(n), 0), 0, n);
    }
};

TEST_F(ToneTest, SineStartsAtItsCrestAndSquareKeepsItsPlateaus)
{
    EXPECT_EQ(Generate(3), Samples({32766, 32425, 31437}));     // table steps 500, 545, 590
    // 250 steps per sample: two samples to the end of the first half period,
    // then four per half period. At half the rate the tone alternates.
    rate = 8000;
    settings.toneShape = TONE_SQUARE;
    EXPECT_EQ(Run(1, 8, Samples(12, 0), 0, 12),
              Samples({127, 127, -127, -127, -127, -127, 127, 127, 127, 127, -127, -127}));
    settings.tone1Frequency = 4000;
    EXPECT_EQ(Run(1, 8, Samples(4, 0), 0, 4), Samples({127, -127, 127, -127}));
}

TEST_F(ToneTest, ToneAboveHalfTheRateWritesNothing)
{
    settings.tone1Frequency = 4001;
    for (int32_t mixOld : {0, 50}) {
        TheAppOptions().mixOld = mixOld;
        for (int32_t length : {3, 0}) {
            SCOPED_TRACE(testing::Message() << "mix " << mixOld << ", selection " << length);
            Run(1, 16, {1, 2, 3, 4}, 1, length);
            ExpectUnchanged(SampleBytes(16, {1, 2, 3, 4}));
            EXPECT_EQ(TheSelection().selLength, length);
        }
    }
    // Tone 2 then replaces the old sound on its own.
    TheAppOptions().mixOld = 0;
    settings.toneShape = TONE_SQUARE;
    settings.tone2Frequency = 4000;
    settings.tone2Amplitude = 50;
    EXPECT_EQ(Run(1, 16, {1, 2, 3, 4}, 1, 3), Samples({1, 16384, -16384, 16384}));
    // Without a selection the INSERT length (1 ms: 8 samples) is inserted.
    settings.insertLength = 1;
    EXPECT_EQ(Run(1, 16, {1, 2}, 1, 0), Samples({1, 16384, -16384, 16384, -16384, 16384, -16384, 16384, -16384, 2}));
}

TEST_F(ToneTest, KeypadKeySetsItsRowAndColumnFrequencies)
{
    settings.toneShape = TONE_SQUARE;
    ASSERT_TRUE(SetDtmfTones(settings, DtmfKeyIndex('5')));
    EXPECT_EQ(settings.tone1Frequency, 770);
    EXPECT_EQ(settings.tone2Frequency, 1336);
    EXPECT_EQ(settings.tone1Amplitude + settings.tone2Amplitude, 100);
    EXPECT_EQ(settings.toneShape, TONE_SINE);
    EXPECT_FALSE(SetDtmfTones(settings, DtmfKeyIndex('E')));
}

TEST_F(ToneTest, SecondToneSaturatesAndMixesIntoWhatIsThere)
{
    settings.toneShape = TONE_SQUARE;
    settings.tone1Frequency = settings.tone2Frequency = 4000;
    settings.tone2Amplitude = 50;
    EXPECT_EQ(Run(2, 16, Samples(4, 7), 0, 2), Samples({32767, 32767, -32768, -32768}));
    EXPECT_EQ(Run(1, 8, Samples(2, 7), 0, 2), Samples({127, -128}));
    TheAppOptions().leftChannel = 0;
    EXPECT_EQ(Run(2, 16, Samples(4, 7), 0, 2), Samples({7, 32767, 7, -32768}));

    // Mix mode: each tone is mixed into what is there.
    TheAppOptions().mixNew = TheAppOptions().mixOld = 50;
    settings.tone2Amplitude = 0;
    EXPECT_EQ(Run(1, 16, Samples(2, 1000), 0, 2), Samples({16384 + 500, -16384 + 500}));
    settings.tone2Amplitude = 100;
    EXPECT_EQ(Run(1, 16, Samples(2, 1000), 0, 2), Samples({16384 + 8442, -16384 - 7942}));
}

// Magnitude of DFT bin k of x.
double Bin(const Samples& x, size_t k)
{
    const double pi = std::acos(-1.0);
    double re = 0, im = 0;
    size_t n = x.size();
    for (size_t i = 0; i < n; i++) {
        double a = 2 * pi * double(k * i % n) / double(n);
        re += x[i] * std::cos(a);
        im -= x[i] * std::sin(a);
    }
    return std::hypot(re, im);
}

double Db(double ratio) { return 20 * std::log10(ratio); }

// 4410 samples at 44100 Hz: bins of 10 Hz, 1000 Hz in bin 100.
TEST_F(ToneTest, SpectrumHasTheHarmonicsOfEachShape)
{
    const size_t N = 4410, F = 100;
    Samples sine = Generate(int32_t(N));
    std::vector<double> mags(N / 2);
    for (size_t k = 0; k < N / 2; k++)
        mags[k] = Bin(sine, k);
    size_t peak = size_t(std::max_element(mags.begin(), mags.end()) - mags.begin());
    EXPECT_NEAR(double(peak), double(F), 1.0);
    for (size_t h = 2; h * F < N / 2; h++)
        EXPECT_LT(Db(mags[h * F] / mags[peak]), -40.0) << "harmonic " << h;

    // Odd harmonics at 1/h of the fundamental (square) or 1/h^2 (triangle);
    // no even ones.
    for (int32_t shape : {TONE_SQUARE, TONE_SAWTOOTH}) {
        SCOPED_TRACE(shape);
        settings.toneShape = shape;
        Samples x = Generate(int32_t(N));
        double fundamental = Bin(x, F);
        for (size_t h : {3, 5, 7}) {
            double expected = shape == TONE_SQUARE ? 1.0 / double(h) : 1.0 / double(h * h);
            EXPECT_NEAR(Db(Bin(x, h * F) / fundamental), Db(expected), 0.5) << "harmonic " << h;
        }
        for (size_t h : {2, 4, 6})
            EXPECT_LT(Db(Bin(x, h * F) / fundamental), -40.0) << "harmonic " << h;
    }
}

}
