// Remove Background: quiet stretches longer than a minimum are silenced
// channel by channel, or deleted as whole frames.
#include "edit/remove_background.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "edit/actions.h"
#include "edit/links.h"
#include "edit/sample_math.h"
#include "sound/document.h"

namespace {

// The channel SetChannel addresses for whole frames: the first, whatever the
// view switches say.
constexpr int WHOLE_FRAMES = 255;

struct Removal {
    int64_t minimum;        // blocks a stretch must exceed to go
    int32_t threshold;      // largest magnitude that counts as quiet
    bool deleting;
    int32_t deleted = 0;    // blocks deleted so far
    bool silenced = false;
};

// Removes the quiet stretch of r samples at q and returns the position its
// loud successor has now (the end of the selection for a final stretch).
// A deletion that fails for want of memory leaves the stretch as it is.
int32_t RemoveStretch(Removal& work, int32_t q, int32_t r)
{
    CKV_Document& doc = TheDocument();
    if (work.deleting) {
        if (!doc.DeleteRange(q, r))
            return q + r;
        work.deleted += r;
        return q;
    }
    doc.FillSilence(q, r);
    work.silenced = true;
    return q + r;
}

// One pass over n samples from start of channel k (addressed already).
// Returns the position after the last sample kept, or -1 when the user
// cancelled. A deletion moves the rest of the sound forward while the steps
// stay n, so a deleting pass ends exactly at the new end of the selection.
int32_t RemovePass(Removal& work, int k, int32_t start, int32_t n)
{
    CKV_Document& doc = TheDocument();
    int32_t p = start;
    int32_t q = start;                  // where the current quiet stretch began
    int32_t r = 0;                      // its length
    for (int32_t step = 0; step < n; step++, p++) {
        if (IsProgressPosition(p) && CheckProgress(p, k))
            return -1;
        // In int: the magnitude of -32768 is loud, not a wrapped -32768.
        if (std::abs(doc.ReadSample(p)) <= work.threshold) {
            if (r == 0)
                q = p;
            r++;
            continue;
        }
        if (r > 0) {
            if (r > work.minimum)
                p = RemoveStretch(work, q, r);
            r = 0;
        }
    }
    if (r > work.minimum)
        p = RemoveStretch(work, q, r);
    return p;
}

// Whether a pass over the n samples from start of channel k (addressed
// already) would remove anything: a quiet stretch longer than the minimum.
// Until the first such stretch a pass changes nothing, so both see the same
// samples. Past the end of the store a pass reads silence.
template <class S>
bool FindsLongStretch(const Removal& work, int32_t start, int32_t n)
{
    CKV_Document& doc = TheDocument();
    size_t stride = static_cast<size_t>(doc.format.BlockAlign());
    const int32_t threshold = work.threshold;
    int64_t r = 0;
    for (int32_t done = 0; done < n;) {
        uint8_t* p;
        int32_t run = doc.GetRun(&p, start + done, n - done);
        if (run < 1)
            return r + (n - done) > work.minimum;
        // The longest a stretch can get within this run decides it.
        int64_t needed = work.minimum - r;
        int32_t i = 0;
        for (; i < run; i++, p += stride) {
            if (std::abs(S::Load(p)) > threshold) {
                r = 0;
                needed = work.minimum;
            } else if (--needed < 0) {
                return true;
            }
        }
        r = work.minimum - needed;
        done += run;
    }
    return false;
}

// Whether RemoveBackground over the selection would change anything, judged
// as its passes judge: whole frames by the first channel when deleting, each
// channel on show when silencing.
bool AnythingToRemove(const Removal& work, int32_t start, int32_t n)
{
    CKV_Document& doc = TheDocument();
    bool wide = IsWideSamples();
    auto scan = [&] {
        return wide ? FindsLongStretch<Sample16>(work, start, n) : FindsLongStretch<Sample8>(work, start, n);
    };
    bool found = false;
    if (work.deleting) {
        doc.SetChannel(WHOLE_FRAMES);
        found = scan();
    } else {
        ForEachChannel([&](int) {
            found = scan();
            return !found;
        });
    }
    doc.ReleaseCursor();
    return found;
}

// The minimum length of a removed stretch: noiseDuration counts tens of
// milliseconds. Out-of-range settings are kept within what MsToBlocks takes.
int64_t MinimumBlocks(int32_t duration)
{
    int64_t ms = std::min<int64_t>(std::max<int64_t>(duration, 0) * 10, UINT32_MAX);
    return TheDocument().format.MsToBlocks(static_cast<uint32_t>(ms));
}

}

void RemoveBackground(const EffectSettings& settings)
{
    if (settings.noiseThreshold < 1)
        return;
    Removal work;
    work.minimum = MinimumBlocks(settings.noiseDuration);
    int32_t full = IsWideSamples() ? Sample16::MAX : Sample8::MAX;
    work.threshold = ClampToSample(ScalePercent(full, settings.noiseThreshold), 0, INT32_MAX);
    work.deleting = settings.noiseDelete != 0;
    // Looked at before anything is saved for undo: a selection without a
    // long quiet stretch would be copied only to be thrown away. Stopped
    // first: a recording ended by the stop changes the selection.
    CKV_Document& doc = TheDocument();
    if (!doc.format.IsPcm())
        return;
    TheEngineLink().Stop();
    const Selection& sel = TheSelection();
    if (sel.selLength > 0 && !AnythingToRemove(work, sel.selStart, sel.selLength))
        return;
    int32_t n = PrepareSampleEffect(ACTION_REMOVE_BACKGROUND, RESTORE_SAMPLES);
    if (n == 0)
        return;
    int32_t start = TheSelection().selStart;

    int32_t end = start + n;
    bool cancelled = false;
    if (work.deleting) {
        doc.SetChannel(WHOLE_FRAMES);
        end = RemovePass(work, WHOLE_FRAMES, start, n);
        cancelled = end < 0;
    } else {
        cancelled = !ForEachChannel([&](int k) {
            end = RemovePass(work, k, start, n);
            return end >= 0;
        });
    }
    doc.ReleaseCursor();

    if (cancelled) {
        // The lifecycle writes the saved frames back over the selection. The
        // frames deleted so far have moved the following sound into it, so
        // the selection is first cut to what is left of the original range:
        // else that sound would be overwritten.
        if (work.deleted > 0)
            TheSelectionLink().SetSelection(start, n - work.deleted, ORIGIN_PROGRAM);
        ActComplete(ACTION_REMOVE_BACKGROUND, ACT_PREPARED);
        return;
    }
    TheSelectionLink().SelectBetween(start, end, ORIGIN_PROGRAM);
    uint32_t flags = ACT_PREPARED;
    if (work.deleted > 0)
        flags |= ACT_LENGTH_CHANGED;
    else if (!work.silenced)
        flags |= ACT_NO_RECORD;
    ActComplete(ACTION_REMOVE_BACKGROUND, flags);
}
