#include "view/selection_ops.h"

#include "sound/document.h"
#include "view/update_views.h"

// The selection is kept inside the sound; the gesture origins and their undo
// records arrive with the waveform view.
void SetSelection(int32_t start, int32_t length, int origin)
{
    Selection& sel = TheSelection();
    int32_t total = TheDocument().length;
    if (start < 0)
        start = 0;
    if (start > total)
        start = total;
    if (length < 0)
        length = 0;
    if (length > total - start)
        length = total - start;
    uint32_t changed = 0;
    if (sel.selStart != start)
        changed |= UpdSelStart;
    if (sel.selLength != length)
        changed |= UpdSelLength;
    sel.selStart = start;
    sel.selLength = length;
    if (changed)
        UpdateViews(changed | UpdWave);
}

void SetViewRange(int32_t start, int32_t length, int origin)
{
    Selection& sel = TheSelection();
    if (start < 0)
        start = 0;
    if (length < 0)
        length = 0;
    if (sel.viewStart != start || sel.viewLength != length) {
        sel.viewStart = start;
        sel.viewLength = length;
        UpdateViews(UpdWave);
    }
}

void RepaintRange(int32_t a, int32_t b)
{
    UpdateViews(UpdWave);
}
