// Measure: reads the selection and reports its extremes and running average.
#include "edit/measure.h"

#include <algorithm>
#include <cstddef>

#include "base/host.h"
#include "edit/actions.h"
#include "edit/sample_math.h"
#include "sound/document.h"

namespace {

// Samples in the running average before each new one starts to replace
// 1/WINDOW of the sum.
constexpr int32_t WINDOW = 256;

struct Tally {
    int32_t minimum = 32767;
    int32_t maximum = -32767;
    int32_t count = 0;
    // Stays within WINDOW full-scale samples, far inside 32 bits.
    int32_t sum = 0;
};

template <class S>
void Accumulate(Tally& tally, const uint8_t* p, int32_t count, size_t stride)
{
    Tally t = tally;
    for (int32_t i = 0; i < count; i++, p += stride) {
        int32_t v = S::Load(p);
        t.minimum = std::min(t.minimum, v);
        t.maximum = std::max(t.maximum, v);
        if (++t.count > WINDOW) {
            t.count = WINDOW;
            t.sum -= t.sum / WINDOW;
        }
        t.sum += v;
    }
    tally = t;
}

}

bool MeasureSelection(MeasureResult& result)
{
    CKV_Document& doc = TheDocument();
    const Selection& sel = TheSelection();
    int32_t start = sel.selStart;
    int32_t n = sel.selLength;
    if (n <= 0 || !doc.format.IsPcm())
        return false;
    bool wide = IsWideSamples();
    size_t stride = static_cast<size_t>(doc.format.BlockAlign());
    Tally tally;
    // No progress checks: routing messages here would let another action
    // start under a reader that holds no record.
    for (int k = 1; doc.SetChannel(k); k++) {
        for (int32_t done = 0; done < n;) {
            uint8_t* p;
            int32_t run = doc.GetRun(&p, start + done, n - done);
            if (run < 1)
                break;                  // the selection passes the end of the sound
            if (wide)
                Accumulate<Sample16>(tally, p, run, stride);
            else
                Accumulate<Sample8>(tally, p, run, stride);
            done += run;
        }
    }
    doc.ReleaseCursor();
    // With every channel hidden there is no average to report.
    if (tally.count == 0)
        return false;
    result.length = n;
    result.maximum = tally.maximum;
    result.minimum = tally.minimum;
    result.count = tally.count;
    result.average = tally.sum / tally.count;
    return true;
}

CGString FormatMeasureReport(const MeasureResult& result)
{
    CGString text;
    text.Format("Range = %ld samples\nMax value in range = %d\nMin value in range = %d\n"
                "Avg value (%d samples) = %d\n",
                static_cast<long>(result.length), result.maximum, result.minimum, result.count,
                result.average);
    return text;
}

void Measure()
{
    MeasureResult result;
    if (!MeasureSelection(result))
        return;
    TheHost().ShowInformation(ActionName(ACTION_MEASURE), FormatMeasureReport(result));
}
