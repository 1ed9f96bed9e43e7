#include "edit/mixing_options.h"

#include <algorithm>
#include <cstring>

#include "base/app_options.h"
#include "edit/actions.h"
#include "lib/log.h"

namespace {

struct SavedMix {
    int32_t oldPercent;
    int32_t newPercent;
};
static_assert(sizeof(SavedMix) == 8, "the Mixing Options record is 8 bytes");

}

void SetMixingOptions(int32_t oldPercent, int32_t newPercent)
{
    AppOptions& options = TheAppOptions();
    if (options.mixOld == oldPercent && options.mixNew == newPercent)
        return;
    SavedMix saved = {options.mixOld, options.mixNew};
    if (ActPrepare(ACTION_MIXING_OPTIONS, ACTION_MIXING_OPTIONS, &saved, sizeof saved) == 0)
        return;
    options.mixOld = oldPercent;
    options.mixNew = newPercent;
    ActComplete(ACTION_MIXING_OPTIONS, ACT_PREPARED);
}

void RestoreMixingOptions(const void* data, uint32_t size)
{
    SavedMix saved;
    if (!data || size != sizeof saved) {
        Log("App:RestoreMixingOptions(%u) BAD RECORD", size);
        return;
    }
    std::memcpy(&saved, data, sizeof saved);
    SetMixingOptions(saved.oldPercent, saved.newPercent);
}

MixShares MixSharesOf(int32_t mixOld, int32_t mixNew)
{
    int32_t old = std::min(std::max(mixOld, 0), 100);
    MixShares shares;
    if (old <= mixNew) {
        shares.newPercent = 10000 / (old + 100);
        shares.oldPercent = 100 - shares.newPercent;
    } else {
        // mixNew is below old, so at most 99 here; a negative one counts as 0.
        shares.oldPercent = 10000 / (std::max(mixNew, 0) + 100);
        shares.newPercent = 100 - shares.oldPercent;
    }
    return shares;
}

MixShares MixPairOf(MixShares shares)
{
    int32_t old = shares.oldPercent, added = shares.newPercent;
    if (old <= added)
        return {added > 0 ? old * 100 / added : 0, 100};
    return {100, added * 100 / old};
}
