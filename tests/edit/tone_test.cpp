#include "edit/tone.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "app/app_options.h"
#include "edit/dtmf.h"
#include "support/effect_fixture.h"

namespace {

class ToneTest : public EffectTest {
protected:
    ToneTest() : EffectTest(8000, 1000) {}

    void SetUp() override
    {
        EffectTest::SetUp();
        settings.toneShape = TONE_SINE;
        settings.tone1Amplitude = 100;
        settings.tone2Amplitude = 0;
    }

    // Tone frequencies are in Hz, so every sound here names its rate.
    void Load(uint16_t channels, uint16_t bits, uint32_t soundRate, const Samples& samples, int32_t start,
              int32_t length, int32_t chunkBlocks = 0)
    {
        rate = soundRate;
        EffectTest::Load(channels, bits, samples, start, length, chunkBlocks);
    }

    // A generated tone of n samples at `soundRate`, 16-bit mono.
    Samples Generate(uint32_t soundRate, int32_t n)
    {
        Load(1, 16, soundRate, Samples(size_t(n), 0), 0, n, 4096);
        Tone(settings);
        return Read();
    }
};

TEST_F(ToneTest, TablesHoldOneHalfPeriodOfEachShape)
{
    int16_t sine[TONE_TABLE_SIZE], square[TONE_TABLE_SIZE], saw[TONE_TABLE_SIZE], saw8[TONE_TABLE_SIZE];
    BuildToneTable(TONE_SINE, 32767, sine);
    BuildToneTable(TONE_SQUARE, 32767, square);
    BuildToneTable(TONE_SAWTOOTH, 32767, saw);
    BuildToneTable(TONE_SAWTOOTH, 127, saw8);
    EXPECT_EQ(sine[0], 0);
    EXPECT_EQ(sine[250], 23169);        // sin(pi/4), truncated
    EXPECT_EQ(sine[499], 32766);
    EXPECT_EQ(saw[1], 66);              // 65.5 rounds up
    EXPECT_EQ(saw[250], 16384);
    EXPECT_EQ(saw8[1], 0);
    EXPECT_EQ(saw8[2], 1);
    for (int j = 0; j < TONE_TABLE_SIZE / 2; j++) {
        EXPECT_EQ(sine[500 + j], sine[499 - j]);
        EXPECT_EQ(saw[500 + j], saw[499 - j]);
    }
    for (int16_t v : square)
        EXPECT_EQ(v, 32767);
    // About 45.35 table steps per sample.
    EXPECT_EQ(ToneStep(1000, 44100), 2972154u);
}

TEST_F(ToneTest, SineStartsAtItsCrestAndSquareKeepsItsPlateaus)
{
    Samples sine = Generate(44100, 3);
    EXPECT_EQ(sine, Samples({32766, 32425, 31437}));  // table steps 500, 545, 590

    // 250 steps per sample: two samples to the end of the first half period,
    // then four per half period. At half the rate the tone alternates.
    settings.toneShape = TONE_SQUARE;
    Load(1, 8, 8000, Samples(12, 0), 0, 12);
    Tone(settings);
    EXPECT_EQ(Read(), Samples({127, 127, -127, -127, -127, -127, 127, 127, 127, 127, -127, -127}));
    settings.tone1Frequency = 4000;
    Load(1, 8, 8000, Samples(4, 0), 0, 4);
    Tone(settings);
    EXPECT_EQ(Read(), Samples({127, -127, 127, -127}));
}

TEST_F(ToneTest, ToneAboveHalfTheRateWritesNothing)
{
    settings.tone1Frequency = 4001;
    for (int32_t mixOld : {0, 50}) {
        TheAppOptions().mixOld = mixOld;
        for (int32_t length : {3, 0}) {
            SCOPED_TRACE(testing::Message() << "mix " << mixOld << ", selection " << length);
            Load(1, 16, 8000, {1, 2, 3, 4}, 1, length);
            settings.tone2Amplitude = 0;
            Tone(settings);
            EXPECT_EQ(Read(), Samples({1, 2, 3, 4}));
            EXPECT_EQ(TheSelection().selLength, length);
            EXPECT_EQ(doc.changeCount, 0);
            EXPECT_TRUE(TheUndoHistory().IsEmpty());
        }
    }
    // Tone 2 then replaces the old sound on its own.
    TheAppOptions().mixOld = 0;
    settings.toneShape = TONE_SQUARE;
    settings.tone2Frequency = 4000;
    settings.tone2Amplitude = 50;
    Load(1, 16, 8000, {1, 2, 3, 4}, 1, 3);
    Tone(settings);
    EXPECT_EQ(Read(), Samples({1, 16384, -16384, 16384}));
}

TEST_F(ToneTest, KeypadKeySetsItsRowAndColumnFrequencies)
{
    settings.toneShape = TONE_SQUARE;
    ASSERT_TRUE(SetDtmfTones(settings, DtmfKeyIndex('5')));
    EXPECT_EQ(settings.tone1Frequency, 770);
    EXPECT_EQ(settings.tone2Frequency, 1336);
    EXPECT_EQ(settings.tone1Amplitude, 50);
    EXPECT_EQ(settings.tone2Amplitude, 50);
    EXPECT_EQ(settings.toneShape, TONE_SINE);
    DtmfPair pair;
    ASSERT_TRUE(DtmfKeyFrequencies(DtmfKeyIndex('#'), &pair));
    EXPECT_EQ(pair.row, 941);
    EXPECT_EQ(pair.column, 1477);
    EXPECT_EQ(DtmfKeyIndex('d'), 15);
    EXPECT_FALSE(SetDtmfTones(settings, 16));
    EXPECT_EQ(settings.tone1Frequency, 770);

    // The pair is the sum of the two tones, starting with both crests.
    ASSERT_TRUE(SetDtmfTones(settings, DtmfKeyIndex('5')));
    Samples both = Generate(8000, 400);
    EXPECT_EQ(both[0], 2 * 16383);
    settings.tone2Amplitude = 0;
    Samples row = Generate(8000, 400);
    settings.tone1Amplitude = 0;
    settings.tone2Amplitude = 50;
    Samples column = Generate(8000, 400);
    for (size_t i = 0; i < both.size(); i++)
        ASSERT_EQ(both[i], row[i] + column[i]) << "sample " << i;
}

TEST_F(ToneTest, SecondToneSaturatesAtTheSampleWidth)
{
    settings.toneShape = TONE_SQUARE;
    settings.tone1Frequency = settings.tone2Frequency = 4000;
    settings.tone2Amplitude = 50;
    Load(2, 16, 8000, Samples(4, 7), 0, 2);
    Tone(settings);
    EXPECT_EQ(Read(), Samples({32767, 32767, -32768, -32768}));     // both channels
    Load(1, 8, 8000, Samples(2, 7), 0, 2);
    Tone(settings);
    EXPECT_EQ(Read(), Samples({127, -128}));

    // Hidden left channel: only the right one hears the tones.
    TheAppOptions().leftChannel = 0;
    Load(2, 16, 8000, Samples(4, 7), 0, 2);
    Tone(settings);
    EXPECT_EQ(Read(), Samples({7, 32767, 7, -32768}));
}

TEST_F(ToneTest, MixModeMixesEachToneIntoWhatIsThere)
{
    TheAppOptions().mixNew = 50;
    TheAppOptions().mixOld = 50;
    settings.toneShape = TONE_SQUARE;
    settings.tone1Frequency = settings.tone2Frequency = 4000;
    Load(1, 16, 8000, Samples(2, 1000), 0, 2);
    Tone(settings);
    EXPECT_EQ(Read(), Samples({16884, -15884}));    // 16384 + 500, -16384 + 500
    settings.tone2Amplitude = 100;
    Load(1, 16, 8000, Samples(2, 1000), 0, 2);
    Tone(settings);
    EXPECT_EQ(Read(), Samples({16384 + 8442, -16384 - 7942}));
}

TEST_F(ToneTest, EmptySelectionInsertsTheInsertLengthAndUndoRemovesIt)
{
    settings.insertLength = 10;
    settings.tone1Frequency = 4000;
    Load(1, 16, 8000, {1, 2}, 1, 0);
    Tone(settings);
    ASSERT_EQ(TheSelection().selLength, 80);        // 10 ms at 8000 Hz
    Samples after = Read();
    ASSERT_EQ(after.size(), 82u);
    EXPECT_EQ(after[1], 32766);
    EXPECT_EQ(after[2], -32766);
    EXPECT_EQ(after[81], 2);
    ActUndo();
    EXPECT_EQ(Read(), Samples({1, 2}));
    ActRedo();
    EXPECT_EQ(Read(), after);

    // Replace mode: undo restores the old samples, redo writes the tone again.
    Load(1, 16, 8000, {1, 2, 3, 4}, 1, 2);
    Tone(settings);
    after = Read();
    ActUndo();
    EXPECT_EQ(Read(), Samples({1, 2, 3, 4}));
    ActRedo();
    EXPECT_EQ(Read(), after);
}

TEST_F(ToneTest, CancelLeavesTheSoundAsItWas)
{
    settings.tone2Amplitude = 30;
    for (int32_t length : {40000, 0}) {
        settings.insertLength = 2000;
        Load(2, 16, 44100, Samples(2 * 40100, 5), 100, length, 10000);
        host.updates.clear();
        host.cancelAt = 20000;
        Tone(settings);
        EXPECT_FALSE(host.updates.empty());
        EXPECT_EQ(Read(), Samples(2 * 40100, 5));
        EXPECT_EQ(TheSelection().selLength, length);
        EXPECT_TRUE(TheUndoHistory().IsEmpty());
        EXPECT_EQ(doc.changeCount, 0);
    }
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

double Db(double ratio)
{
    return 20 * std::log10(ratio);
}

// 4410 samples at 44100 Hz: bins of 10 Hz, 1000 Hz in bin 100.
TEST_F(ToneTest, SpectrumHasTheHarmonicsOfEachShape)
{
    const size_t N = 4410, F = 100;
    Samples sine = Generate(44100, int32_t(N));
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
        Samples x = Generate(44100, int32_t(N));
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
