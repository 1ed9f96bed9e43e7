// The arithmetic of the Pitch Change dialog: the factor, unsigned 16.16 fixed
// point (65536 = 1.0), against the dialog's slider value and its text, and
// the Invert button. The dialog keeps the factor within 1/3 .. 3.0.
#pragma once

#include <cstdint>

#include "lib/gstring.h"

constexpr uint32_t PITCH_FACTOR_ONE = 65536;
constexpr uint32_t PITCH_FACTOR_MIN = 21845;        // 1/3
constexpr uint32_t PITCH_FACTOR_MAX = 196608;       // 3.0
constexpr int32_t PITCH_SLIDER_MIN = -200;
constexpr int32_t PITCH_SLIDER_MAX = 200;

// The preset buttons in order: 0.50X, 0.66X, 1.50X and 2.00X.
constexpr uint32_t PITCH_PRESETS[4] = {32768, 43690, 98304, 131072};

// The factor of slider value v (taken within -200 .. 200): 0 .. 200 rise in
// equal steps from 1.0 to 3.0; -1 .. -200 give 100 / (100 - v), down to 1/3.
uint32_t PitchFactorFromSlider(int32_t v);

// The slider value that shows factor f: the inverse of the above, so that
// the factor of v shows v again (rounded up above 1.0, truncated below it);
// factors past either end give -200 or 200.
int32_t PitchSliderFromFactor(uint32_t f);

// The factor as the dialog shows it: whole part, the locale's decimal
// separator and two truncated decimals ("1.50", "0.66").
CGString FormatPitchFactor(uint32_t f);

// The factor a typed text stands for: a decimal number (with "." or the
// locale's decimal separator; reading stops at the first other character,
// and no number reads as 0) times 65536, truncated, and kept within 1/3 ..
// 3.0; a negative factor becomes 3.0.
uint32_t ParsePitchFactor(const char* text);

// Invert: 1 / f, truncated (2.0 becomes 0.5, 1.5 becomes 0.66); a factor
// below 1/3 becomes 3.0.
uint32_t InvertPitchFactor(uint32_t f);
