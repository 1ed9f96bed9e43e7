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
