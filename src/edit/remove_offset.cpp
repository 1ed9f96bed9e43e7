// Normalize: removes a constant (DC) offset from the selection, channel by
// channel.
#include "edit/level_effects.h"

#include <algorithm>

#include "edit/actions.h"
#include "edit/sample_math.h"
#include "sound/document.h"

namespace {

// Samples in the running mean: it starts as the mean of the first WINDOW
// samples and then follows the signal with a weight of 1/WINDOW per sample.
constexpr int32_t WINDOW = 256;

}

void RemoveOffset()
{
    int32_t n = PrepareSampleEffect(ACTION_NORMALIZE, RESTORE_SAMPLES);
    if (n == 0)
        return;
    CKV_Document& doc = TheDocument();
    int32_t start = TheSelection().selStart;
    int32_t counted = std::min(n, WINDOW);
    bool running = counted == WINDOW;
    // The sum stays within WINDOW full-scale samples, far inside 32 bits.
    int32_t sum = 0;
    int32_t offset = 0;
    auto startChannel = [&] {
        sum = 0;
        for (int32_t i = 0; i < counted; i++)
            sum += doc.ReadSample(start + i);
        offset = sum / counted;
    };
    ForEachSampleRun(start, n, startChannel,
        [&](auto sample, uint8_t* p, int32_t count, size_t stride, int32_t) {
            using S = decltype(sample);
            // Locals: a store through p may alias anything, so the compiler
            // would reload captured state after each one.
            int32_t o = offset;
            if (!running) {
                for (int32_t i = 0; i < count; i++, p += stride)
                    S::Store(p, ClampToWidth<S>(S::Load(p) - o));
                return;
            }
            int32_t total = sum;
            for (int32_t i = 0; i < count; i++, p += stride) {
                int32_t s = S::Load(p);
                o = total / WINDOW;
                total += s - o;
                S::Store(p, ClampToWidth<S>(s - o));
            }
            sum = total;
            offset = o;
        });
    ActComplete(ACTION_NORMALIZE, ACT_PREPARED);
}
