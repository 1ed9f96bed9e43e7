// The Fill effect: one constant sample value written into the selection, or,
// with nothing selected, into the "INSERT" length of new samples at the
// cursor. In Mix mode the value is mixed into the old sound by the two mixing
// percentages.
#pragma once

#include <cstdint>

#include "edit/effect_settings.h"

// The value Fill writes for fillValue on samples of `bits` (8 or 16) bits: a
// signed sample value, saturated at the width's limits (-128..127,
// -32768..32767), so 0 on 8-bit samples is stored as the byte 128.
int32_t FillSampleValue(int32_t fillValue, int bits);

// The Fill action, also how its undo record is redone.
void Fill(const EffectSettings& settings);
