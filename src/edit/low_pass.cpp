// Low Pass Filter: a three-sample moving average over the selection, channel
// by channel.
#include "edit/low_pass.h"

#include <cstdint>

#include "edit/actions.h"
#include "edit/sample_math.h"
#include "sound/document.h"

void LowPass()
{
    int32_t n = PrepareSampleEffect(ACTION_LOW_PASS, RESTORE_SAMPLES);
    if (n == 0)
        return;
    CKV_Document& doc = TheDocument();
    int32_t start = TheSelection().selStart;
    // The two samples before the current one as they were before filtering;
    // at the start of a channel both are its first sample.
    int32_t older = 0;
    int32_t old = 0;
    auto startChannel = [&] {
        older = old = doc.ReadSample(start);
    };
    ForEachSampleRun(start, n, startChannel,
        [&](auto sample, uint8_t* p, int32_t count, size_t stride, int32_t) {
            using S = decltype(sample);
            // Locals: a store through p may alias the captured state.
            int32_t a = older;
            int32_t b = old;
            for (int32_t i = 0; i < count; i++, p += stride) {
                int32_t x = S::Load(p);
                // Three samples of the width cannot leave it once divided;
                // the division truncates toward zero.
                S::Store(p, (a + b + x) / 3);
                a = b;
                b = x;
            }
            older = a;
            old = b;
        });
    // A cancel is completed the same way: the lifecycle writes the saved
    // samples back.
    ActComplete(ACTION_LOW_PASS, ACT_PREPARED);
}
