// The telephone keypad of the tone generator. Its sixteen keys, in reading
// order 1 2 3 A / 4 5 6 B / 7 8 9 C / * 0 # D (the dialog's buttons 6600 ..
// 6615), each sound a pair of tones: the frequency of the key's row and the
// frequency of its column (dual-tone multi-frequency signalling).
#pragma once

#include <cstdint>

#include "edit/effect_settings.h"

enum : int { DTMF_KEY_COUNT = 16 };

struct DtmfPair {
    int32_t row;        // hertz: 697, 770, 852 or 941
    int32_t column;     // hertz: 1209, 1336, 1477 or 1633
};

// The pair of key index 0 .. DTMF_KEY_COUNT - 1; false for any other index.
bool DtmfKeyFrequencies(int key, DtmfPair* pair);

// The index of the key labelled '0' .. '9', 'A' .. 'D' (or 'a' .. 'd'), '*'
// or '#'; -1 for any other character.
int DtmfKeyIndex(char label);

// What a keypad button does to the dialog's settings: tone 1 becomes the
// row frequency and tone 2 the column frequency, both at 50 %, in the sine
// shape. Nothing is generated. False, with nothing changed, for an unknown key.
bool SetDtmfTones(EffectSettings& settings, int key);
