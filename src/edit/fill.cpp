#include "edit/fill.h"

#include "edit/actions.h"
#include "edit/sample_math.h"
#include "sound/document.h"

int32_t FillSampleValue(int32_t fillValue, int bits)
{
    // A stored value can come from a sound of the other width; a truncated
    // one would be an arbitrary level.
    return bits == 16 ? ClampToWidth<Sample16>(fillValue) : ClampToWidth<Sample8>(fillValue);
}

void Fill(const EffectSettings& settings)
{
    int32_t n = PrepareSampleEffect(ACTION_FILL, RESTORE_SAMPLES);
    if (n == 0)
        return;
    int32_t start = TheSelection().selStart;
    bool mix = TheSelection().editMode == EDIT_MIX;
    const int32_t value = FillSampleValue(settings.fillValue, IsWideSamples() ? 16 : 8);
    const MixShares shares;
    ForEachSampleRun(start, n, [] {},
        [&](auto sample, uint8_t* p, int32_t count, size_t stride, int32_t) {
            using S = decltype(sample);
            const int32_t v = value;
            if (mix) {
                for (int32_t i = 0; i < count; i++, p += stride)
                    shares.Store<S>(p, v);
                return;
            }
            for (int32_t i = 0; i < count; i++, p += stride)
                S::Store(p, v);
        });
    // A cancel stops at once and is completed the same way: the lifecycle
    // puts the samples back.
    ActComplete(ACTION_FILL, ACT_PREPARED);
}
