#include "edit/mixing_options.h"

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
