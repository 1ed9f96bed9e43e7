#include "edit/noise.h"

#include <algorithm>

#include "base/clock.h"
#include "edit/actions.h"
#include "edit/sample_math.h"
#include "sound/document.h"

void AddNoise(const EffectSettings& settings)
{
    int32_t n = PrepareSampleEffect(ACTION_NOISE, RESTORE_SAMPLES);
    if (n == 0)
        return;
    int32_t start = TheSelection().selStart;
    bool mix = TheSelection().editMode == EDIT_MIX;
    // Beyond full scale the values would not fit the sample width.
    int32_t percent = std::clamp(settings.noiseAmplitude, 0, 100);
    int32_t peak = static_cast<int32_t>(ScalePercent(percent, IsWideSamples() ? Sample16::MAX : Sample8::MAX));
    // One sequence runs on through every channel.
    NoiseSource random(TheClock().TickCount());
    const MixShares shares;
    ForEachSampleRun(start, n, [] {},
        [&](auto sample, uint8_t* p, int32_t count, size_t stride, int32_t) {
            using S = decltype(sample);
            // A local generator: a store through p may alias the captured one.
            NoiseSource local = random;
            if (mix) {
                for (int32_t i = 0; i < count; i++, p += stride)
                    shares.Store<S>(p, local.Sample(peak));
            } else {
                for (int32_t i = 0; i < count; i++, p += stride)
                    S::Store(p, local.Sample(peak));
            }
            random = local;
        });
    // A cancel is completed the same way: the lifecycle puts the samples back.
    ActComplete(ACTION_NOISE, ACT_PREPARED);
}
