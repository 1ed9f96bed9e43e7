// The spectrum of the sound around a position, as the spectrogram window
// shows it: 128 frequency bands from a 256-point real FFT of Hamming-windowed
// samples, and where a window of a given size puts their bars and its
// kilohertz labels. Integer arithmetic on fixed tables throughout, so that
// the 32- and 64-bit programs draw the same bars.
#pragma once

#include <cstdint>

enum {
    SPECTRUM_POINTS = 256,
    SPECTRUM_BANDS = 128,
    // Bars are drawn against the largest band but never against less than
    // this, so that silence and faint noise stay flat.
    SPECTRUM_MIN_SCALE = 32768,
};

// Hamming window in Q8: floor(256 × (0.54 − 0.46 × cos(2πn / 255))).
extern const int16_t SPECTRUM_WINDOW[SPECTRUM_POINTS];
// Quarter-and-more sine in Q8: floor(256 × sin(2πk / 256)); the cosine of
// 2πk/256 is entry k + 64.
extern const int16_t SPECTRUM_TWIDDLES[SPECTRUM_BANDS];

// In-place 256-point real FFT. Afterwards x[k] is the real part of band k
// (k = 0..128) and x[256 − k] its imaginary part (k = 1..127). Inputs up to
// 128 × 256 in magnitude (windowed 8-bit samples) cannot overflow.
void SpectrumTransform(int32_t x[SPECTRUM_POINTS]);

struct SpectrumBands {
    int32_t value[SPECTRUM_BANDS] = {};     // |real| + |imaginary| of each band
    int32_t scale = SPECTRUM_MIN_SCALE;     // the largest value, at least SPECTRUM_MIN_SCALE
};

// Windows 256 samples in the 8-bit range (−128..127) and transforms them.
void BandsFromSamples(const int32_t samples[SPECTRUM_POINTS], SpectrumBands& out);

// The first of the 256 samples read for a position in a sound of `length`
// blocks: the position sits in the middle of them where the sound allows.
int32_t SpectrumStart(int32_t position, int32_t length);

// The spectrum of the document around `position`, from the channel it shows
// (the left one unless only the right one is displayed), each sample reduced
// to its most significant byte. Samples past the end count as silence, so a
// position gives the same bands however it was reached. False, and silent
// bands, for a document that is not linear PCM.
bool ComputeDocumentSpectrum(int32_t position, SpectrumBands& out);

// One filled rectangle of the bar graph, bottom-aligned: columns
// left..right−1, `height` pixels tall.
struct SpectrumBar {
    int32_t left;
    int32_t right;
    int32_t height;
};

// The bar graph across `width` columns from `left` in an area `height`
// pixels tall: one bar each time a band's end reaches a new column, as tall
// as the tallest band since the previous bar. Returns the number of bars
// (at most SPECTRUM_BANDS).
int SpectrumBarLayout(const SpectrumBands& bands, int32_t left, int32_t width, int32_t height,
    SpectrumBar bars[SPECTRUM_BANDS]);

// Kilohertz labels: one per whole kilohertz up to half the sample rate
// (none under 1 kHz); label i (from 1) goes at the returned column.
int32_t SpectrumLabelCount(uint32_t samplesPerSec);
int32_t SpectrumLabelX(int32_t left, int32_t width, uint32_t samplesPerSec, int32_t i);
