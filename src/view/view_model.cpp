#include "view/view_model.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "sound/document.h"
#include "view/selection_ops.h"

namespace {

WaveViewModel theWaveView;

// Never less than 5 s of sound, so that a short sound is not stretched
// beyond recognition; twice the sound lets a zoom out show it whole.
const uint32_t MIN_CAP_MS = 5000;
// Pixels beyond either edge for positions outside the shown range: far
// enough that nothing drawn there shows.
const int32_t OFF_EDGE = 10;

int32_t ClampToInt32(int64_t value)
{
    return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(value, INT32_MIN), INT32_MAX));
}

}

WaveViewModel& TheWaveView()
{
    return theWaveView;
}

void ResetWaveView()
{
    theWaveView = WaveViewModel();
}

void SetWaveViewSize(int32_t width, int32_t height)
{
    WaveViewModel& view = theWaveView;
    view.width = std::max(width, 0);
    view.height = std::max(height, 0);
    view.fullRedraw = true;
    // The old scroll and columns mean nothing in the new size.
    RequestWholeWaveRepaint();
    const Selection& sel = TheSelection();
    SetViewRange(sel.viewStart, sel.viewLength, ORIGIN_PROGRAM);
}

int32_t ViewLengthCap()
{
    const CKV_Document& doc = TheDocument();
    int64_t cap = std::max<int64_t>(doc.format.MsToBlocks(MIN_CAP_MS), 2 * static_cast<int64_t>(doc.length));
    return static_cast<int32_t>(std::min<int64_t>(cap, INT32_MAX));
}

FittedRange FitViewRange(int32_t start, int32_t length)
{
    const CKV_Document& doc = TheDocument();
    int64_t total = doc.length;
    int64_t cap = ViewLengthCap();

    FittedRange fit;
    if (total > 0) {
        fit.start = static_cast<int32_t>(std::min<int64_t>(std::max(start, 0), total - 1));
        fit.length = static_cast<int32_t>(std::max<int64_t>(std::min<int64_t>(length, cap), MIN_VIEW_LENGTH));
    } else {
        fit.start = 0;
        fit.length = static_cast<int32_t>(cap);
    }

    int32_t width = theWaveView.width;
    if (width <= 0 || fit.length <= 0)
        return fit;     // SCALE_NONE
    if (fit.length < width) {
        fit.scaleMode = SCALE_WIDE;
        fit.factor = static_cast<uint32_t>(width / fit.length);
        fit.length = width / static_cast<int32_t>(fit.factor);
    } else {
        fit.scaleMode = static_cast<int64_t>(fit.length) < 3 * static_cast<int64_t>(width) ? SCALE_FEW : SCALE_MANY;
        int32_t factor = static_cast<int32_t>((static_cast<int64_t>(fit.length) + width - 1) / width);
        fit.factor = static_cast<uint32_t>(factor);
        fit.start -= fit.start % factor;
        fit.length = ClampToInt32(static_cast<int64_t>(factor) * width);
    }
    return fit;
}

int32_t SampleToX(int32_t position)
{
    const Selection& sel = TheSelection();
    const WaveViewModel& view = theWaveView;
    int64_t d = static_cast<int64_t>(position) - sel.viewStart;
    if (d > sel.viewLength)
        return view.width + OFF_EDGE;
    if (d < 0)
        return -OFF_EDGE;
    if (view.factor == 0)
        return 0;
    if (view.scaleMode == SCALE_WIDE)
        return ClampToInt32(d * view.factor);
    return static_cast<int32_t>(d / view.factor);
}

int32_t XToSample(int32_t x)
{
    const Selection& sel = TheSelection();
    const WaveViewModel& view = theWaveView;
    if (view.factor == 0)
        return sel.viewStart;
    if (view.scaleMode == SCALE_WIDE)
        return ClampToInt32(sel.viewStart + static_cast<int64_t>(x) / view.factor);
    return ClampToInt32(sel.viewStart + static_cast<int64_t>(x) * view.factor);
}

void RequestWaveRepaint(int32_t from, int32_t to)
{
    WaveViewModel& view = theWaveView;
    if (to < from)
        std::swap(from, to);
    if (!view.repaintPending) {
        view.repaintPending = true;
        view.repaintFrom = from;
        view.repaintTo = to;
        return;
    }
    view.repaintFrom = std::min(view.repaintFrom, from);
    view.repaintTo = std::max(view.repaintTo, to);
}

void RequestWaveRepaintToEdge(int32_t from)
{
    RequestWaveRepaint(from, from);
    theWaveView.repaintToEdge = true;
}

void RequestWholeWaveRepaint()
{
    theWaveView.repaintAll = true;
}

void RequestWaveScroll(int32_t dx)
{
    WaveViewModel& view = theWaveView;
    if (view.repaintAll)
        return;
    int64_t total = static_cast<int64_t>(view.scrollPixels) + dx;
    if (std::llabs(total) >= view.width) {
        view.repaintAll = true;
        view.scrollPixels = 0;
        return;
    }
    view.scrollPixels = static_cast<int32_t>(total);
}

WaveRepaint TakeWaveRepaint()
{
    WaveViewModel& view = theWaveView;
    WaveRepaint request;
    request.all = view.repaintAll;
    if (!request.all) {
        request.range = view.repaintPending;
        request.toEdge = view.repaintToEdge;
        request.from = view.repaintFrom;
        request.to = view.repaintTo;
        request.scrollPixels = view.scrollPixels;
    }
    view.repaintAll = false;
    view.repaintPending = false;
    view.repaintToEdge = false;
    view.repaintFrom = 0;
    view.repaintTo = 0;
    view.scrollPixels = 0;
    return request;
}
