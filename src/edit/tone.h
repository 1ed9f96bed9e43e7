// The tone generator: one or two periodic tones written into the selection,
// or, with nothing selected, into the "INSERT" length of new samples at the
// cursor. Each tone has its frequency and amplitude; both share one wave
// shape. In Insert and Replace mode tone 1 replaces the old samples and tone 2
// is added to it, the sum saturating at the sample width's limits; in Mix mode
// each tone is mixed into what is there by the two mixing percentages.
//
// A tone is read from a table of one half period (TONE_TABLE_SIZE entries,
// the second half period is its negation), advanced by a 16.16 fixed-point
// step per sample, and starts at its crest.
#pragma once

#include <cstdint>

#include "edit/effect_settings.h"

enum ToneShape : int32_t {
    TONE_SINE = 0,
    TONE_SQUARE = 1,
    TONE_SAWTOOTH = 2,      // so labelled; the shape is a triangle
};

enum : int32_t {
    TONE_TABLE_SIZE = 1000,             // entries of one half period
    TONE_PERIOD = 2 * TONE_TABLE_SIZE,  // table steps of one whole period
};

// One half period of `shape` at peak `amplitude` (a sample value, at most
// 32767) into table[0 .. TONE_TABLE_SIZE - 1]: a hump from 0 up to the crest
// at the middle and back, or a plateau for the square. Shapes other than
// square and sawtooth are sine.
void BuildToneTable(int32_t shape, int32_t amplitude, int16_t* table);

// Table steps per sample in 16.16 fixed point for `frequency` hertz at
// `samplesPerSec`; the frequency must lie in 1 .. samplesPerSec / 2.
uint32_t ToneStep(int32_t frequency, uint32_t samplesPerSec);

// Writes one tone over the n samples from the selection start of the channel
// that SetChannel(k) addresses (ActPrepareWave has run). amplitude is percent
// of full scale, above 100 taken as 100. add: the tone is added to what the
// channel holds (ignored in Mix mode). False when nothing was written: the
// frequency or the amplitude is 0 or less, or the frequency lies above half
// the sample rate. A cancel in the progress window stops this tone early.
bool GenerateTone(const EffectSettings& settings, int32_t frequency, int32_t amplitude, int32_t n,
                  bool add, int k);

// The Tone action, also how its undo record is redone. Does nothing when both
// amplitudes are 0; when neither tone can be written the sound stays as it
// was and no undo step is filed.
void Tone(const EffectSettings& settings);
