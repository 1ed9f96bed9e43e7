// The mixing setting: how much of the old and of the new sound a Mix-mode
// write keeps (TheAppOptions().mixOld / mixNew, percent). Changing it is the
// undoable "Mixing Options" action; its record holds the old pair as two
// 32-bit values, old-sound percentage first.
#pragma once

#include <cstdint>

// Stores a new pair, recording the old one first; an equal pair records
// nothing. While another action runs the change is refused.
void SetMixingOptions(int32_t oldPercent, int32_t newPercent);

// The restore step of a "Mixing Options" record: SetMixingOptions with the
// saved pair, so that the current one is recorded in turn. A block of
// another size is ignored.
void RestoreMixingOptions(const void* data, uint32_t size);

// The pair as the Mixing Options dialog works on it: two percentages that
// add up to 100, the old sound's first.
struct MixShares {
    int32_t oldPercent;
    int32_t newPercent;
};

// The stored pair (old clamped to 0..100) as shares of 100: the louder
// sound keeps 100 parts against the other's, so 100/100 is 50/50 and
// 100/51 is 66/34.
MixShares MixSharesOf(int32_t mixOld, int32_t mixNew);

// The dialog's shares as the pair to store: the larger becomes 100 and the
// other keeps its ratio to it (50/50 is stored as 100/100).
MixShares MixPairOf(MixShares shares);
