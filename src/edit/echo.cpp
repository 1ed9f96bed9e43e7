// Echo and chorus: sample[p] += strength % of sample[p - d], walked forwards
// (echo: the earlier sample already carries its echo) or backwards (chorus:
// the earlier sample is still the unprocessed sound).
#include "edit/echo.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "edit/actions.h"
#include "edit/sample_math.h"
#include "sound/document.h"

namespace {

// Strength times a sample, rounded as ScalePercent. In 32 bits while the
// product cannot pass 2^31 - 50: |sample| <= 32768 and |percent| <= 65535,
// which covers every strength the dialog offers; 32-bit builds would
// otherwise divide in 64 bits through a library call per sample.
struct NarrowScale {
    static constexpr int32_t LIMIT = 65535;
    int32_t percent;
    int32_t operator()(int32_t v) const
    {
        int32_t product = v * percent;
        return (product >= 0 ? product + 50 : product - 50) / 100;
    }
};

struct WideScale {
    int32_t percent;
    int64_t operator()(int32_t v) const { return ScalePercent(v, percent); }
};

// *to += scale(*from), saturated at the width's limits: a wrapped sum is a
// loud click.
template <class S, class Scale>
inline void AddEcho(uint8_t* to, const uint8_t* from, const Scale& scale)
{
    auto sum = scale(S::Load(from)) + S::Load(to);
    using T = decltype(sum);
    S::Store(to, static_cast<int32_t>(std::min<T>(std::max<T>(sum, S::MIN), S::MAX)));
}

// Echo mode on channel k (addressed already): for p = start + d .. start +
// n - 1, ascending. Walking forwards is what makes the echo repeat: the
// sample d back was finished d steps ago. The progress position is p.
template <class Scale>
bool EchoChannel(int k, int32_t start, int32_t n, int32_t d, const Scale& scale)
{
    CKV_Document& doc = TheDocument();
    auto op = [&](auto sample, uint8_t* to, int32_t count, size_t stride, int32_t index) {
        using S = decltype(sample);
        // A local: a store through `to` may alias the caller's copy.
        const Scale times = scale;
        // The earlier samples may lie in another chunk: hold this one while
        // the cursor moves there.
        CKV_BUFFER* chunk = doc.current;
        if (!doc.Lock(chunk))
            return;
        for (int32_t done = 0; done < count;) {
            uint8_t* from;
            int32_t run = doc.GetRun(&from, start + index + done, count - done);
            if (run < 1)
                break;
            for (int32_t i = 0; i < run; i++, to += stride, from += stride)
                AddEcho<S>(to, from, times);
            done += run;
        }
        doc.Unlock(chunk);
    };
    return IsWideSamples() ? WalkChannel<Sample16>(k, start + d, n - d, op)
                           : WalkChannel<Sample8>(k, start + d, n - d, op);
}

// Chorus mode on channel k (addressed already): step i = 0 .. n - d - 1
// changes the sample at p = start + n - 1 - i, from the end of the selection
// down, so that the sample d back is still unprocessed: one echo only. The
// progress position is start + i, which moves forward.
template <class S, class Scale>
bool ChorusChannel(int k, int32_t start, int32_t n, int32_t d, const Scale& scale)
{
    CKV_Document& doc = TheDocument();
    size_t stride = static_cast<size_t>(doc.format.BlockAlign());
    const Scale times = scale;
    int32_t steps = n - d;
    for (int32_t i = 0; i < steps;) {
        int32_t pos = start + i;
        if (IsProgressPosition(pos) && CheckProgress(pos, k))
            return false;
        int32_t limit = std::min(steps - i, PROGRESS_INTERVAL - (pos & (PROGRESS_INTERVAL - 1)));
        int32_t p = start + n - 1 - i;
        uint8_t* to;
        if (doc.GetRun(&to, p, 1) < 1)
            break;                      // the range passes the end of the sound
        limit = std::min(limit, p - doc.currentStart + 1);
        CKV_BUFFER* chunk = doc.current;
        if (!doc.Lock(chunk))
            break;
        int32_t done = 0;
        while (done < limit) {
            int32_t q = p - d - done;
            uint8_t* from;
            if (doc.GetRun(&from, q, 1) < 1)
                break;
            int32_t run = std::min(limit - done, q - doc.currentStart + 1);
            // Indexed backwards from the run's last sample, so that no
            // pointer is formed before the chunk's first one.
            uint8_t* last = to - static_cast<size_t>(done) * stride;
            for (int32_t j = 0; j < run; j++) {
                size_t back = static_cast<size_t>(j) * stride;
                AddEcho<S>(last - back, from - back, times);
            }
            done += run;
        }
        doc.Unlock(chunk);
        if (done < limit)
            break;
        i += done;
    }
    return true;
}

template <class Scale>
bool RunEcho(int32_t start, int32_t n, int32_t d, bool chorus, const Scale& scale)
{
    bool wide = IsWideSamples();
    bool finished = ForEachChannel([&](int k) {
        if (!chorus)
            return EchoChannel(k, start, n, d, scale);
        return wide ? ChorusChannel<Sample16>(k, start, n, d, scale)
                    : ChorusChannel<Sample8>(k, start, n, d, scale);
    });
    TheDocument().ReleaseCursor();
    return finished;
}

}

void Echo(const EffectSettings& settings)
{
    int32_t strength = settings.echoStrength;
    if (strength == 0 || settings.echoDelay < 0)
        return;
    // The delay in blocks; the selection must reach past it, or no sample
    // would get an echo.
    int64_t d = TheDocument().format.MsToBlocks(static_cast<uint32_t>(settings.echoDelay));
    if (TheSelection().selLength <= d)
        return;
    int32_t n = PrepareSampleEffect(ACTION_ECHO, RESTORE_SAMPLES);
    if (n == 0)
        return;
    int32_t delay = static_cast<int32_t>(d);
    int32_t start = TheSelection().selStart;
    bool chorus = (settings.echoChorus & 0xFF) != 0;
    if (std::abs(static_cast<int64_t>(strength)) <= NarrowScale::LIMIT)
        RunEcho(start, n, delay, chorus, NarrowScale{strength});
    else
        RunEcho(start, n, delay, chorus, WideScale{strength});
    // A cancel is completed the same way: the lifecycle sees it and writes
    // the saved samples back.
    ActComplete(ACTION_ECHO, ACT_PREPARED);
}
