// Fade: a percentage that moves in a straight line from fadeStart to fadeEnd
// across the selection.
#include "edit/level_effects.h"

#include "edit/actions.h"
#include "edit/sample_math.h"
#include "sound/document.h"

void Fade(const EffectSettings& settings)
{
    if (settings.fadeStart == 100 && settings.fadeEnd == 100)
        return;
    int32_t n = PrepareSampleEffect(ACTION_FADE, RESTORE_SAMPLES);
    if (n == 0)
        return;
    // The i-th sample (from 0) gets fadeStart + d × (i + 1) / n percent, the
    // quotient truncated toward zero. The quotient of |d| × (i + 1) by n is
    // carried from sample to sample instead of dividing each time; |d| is
    // below 2^32 and i + 1 at most n, so the products fit 64 bits.
    int64_t first = settings.fadeStart;
    int64_t d = static_cast<int64_t>(settings.fadeEnd) - first;
    int64_t sign = d < 0 ? -1 : 1;
    uint64_t step = static_cast<uint64_t>(d < 0 ? -d : d);
    uint64_t total = static_cast<uint64_t>(n);
    uint64_t wholeStep = step / total;
    uint64_t partStep = step % total;
    ForEachSampleRun(TheSelection().selStart, n, [] {},
        [=](auto sample, uint8_t* p, int32_t count, size_t stride, int32_t index) {
            using S = decltype(sample);
            // Locals: a store through p may alias the captured copies.
            const int64_t base = first, direction = sign;
            const uint64_t divisor = total, whole = wholeStep, part = partStep;
            uint64_t product = step * (static_cast<uint64_t>(index) + 1);
            uint64_t quotient = product / divisor;
            uint64_t rest = product % divisor;
            for (int32_t i = 0; i < count; i++, p += stride) {
                // Between fadeStart and fadeEnd, so within 32 bits.
                int32_t percent = static_cast<int32_t>(base + direction * static_cast<int64_t>(quotient));
                S::Store(p, ClampToLevel<S>(ScalePercent(S::Load(p), percent)));
                quotient += whole;
                rest += part;
                if (rest >= divisor) {
                    rest -= divisor;
                    quotient++;
                }
            }
        });
    ActComplete(ACTION_FADE, ACT_PREPARED);
}
