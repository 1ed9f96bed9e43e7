// Amplification: every selected sample times a percentage.
#include "edit/level_effects.h"

#include "edit/actions.h"
#include "edit/sample_math.h"
#include "sound/document.h"

void Amplify(const EffectSettings& settings)
{
    int32_t percent = settings.amplification;
    if (percent == 100)
        return;
    int32_t n = PrepareSampleEffect(ACTION_AMPLIFY, RESTORE_SAMPLES);
    if (n == 0)
        return;
    ForEachSampleRun(TheSelection().selStart, n, [] {},
        [percent](auto sample, uint8_t* p, int32_t count, size_t stride, int32_t) {
            using S = decltype(sample);
            // A local: a store through p may alias the captured copy.
            const int32_t scale = percent;
            for (int32_t i = 0; i < count; i++, p += stride)
                S::Store(p, ClampToLevel<S>(ScalePercent(S::Load(p), scale)));
        });
    // A cancel is completed the same way: the lifecycle sees the cancel and
    // writes the saved samples back.
    ActComplete(ACTION_AMPLIFY, ACT_PREPARED);
}
