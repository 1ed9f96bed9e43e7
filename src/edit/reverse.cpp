// Reverse: the selection played backwards, channel by channel.
#include "edit/level_effects.h"

#include <algorithm>

#include "edit/actions.h"
#include "edit/sample_math.h"
#include "sound/document.h"

namespace {

// Swaps the pairs from..to-1 of channel k's n samples from start (addressed
// already):
// pair i is the samples at start + i and start + n - 1 - i. With progress,
// ActProgress is asked before a pair whose progress position, start + 2i,
// is a multiple of the interval. Returns the first pair not swapped: `to`,
// or where the user cancelled.
template <class S>
int32_t SwapPairs(int k, int32_t start, int32_t n, int32_t from, int32_t to, bool progress)
{
    CKV_Document& doc = TheDocument();
    size_t stride = static_cast<size_t>(doc.format.BlockAlign());
    // An odd start never meets a multiple of the interval.
    progress = progress && (start & 1) == 0;
    int32_t i = from;
    // The back end's chunk, followed backwards from one run to the next:
    // looking each back run up afresh would walk the chunk list from its
    // nearer end every time, which grows with the square of a long sound.
    // No other action can change the chunk list while this one runs.
    CKV_BUFFER* backChunk = nullptr;
    int32_t backStart = 0;
    while (i < to) {
        int32_t limit = to - i;
        if (progress) {
            int32_t pos = start + 2 * i;
            if (IsProgressPosition(pos) && CheckProgress(pos, k))
                break;
            limit = std::min(limit, (PROGRESS_INTERVAL - (pos & (PROGRESS_INTERVAL - 1))) / 2);
        }
        uint8_t* front;
        int32_t frontRun = doc.GetRun(&front, start + i, limit);
        if (frontRun < 1)
            break;
        // The back run lies in another chunk as often as not; moving the
        // cursor there would release the front chunk, so hold it ourselves.
        CKV_BUFFER* frontChunk = doc.current;
        if (!doc.Lock(frontChunk))
            break;
        int32_t backPos = start + n - 1 - i;
        uint8_t* back;
        int32_t count = 0;
        while (backChunk && backPos < backStart) {
            backChunk = static_cast<CKV_BUFFER*>(backChunk->Prev());
            if (backChunk)
                backStart -= backChunk->count;
        }
        if (backChunk && backPos - backStart < backChunk->count)
            doc.SetCurrent(backChunk, backStart);
        if (doc.GetRun(&back, backPos, 1) == 1) {
            backChunk = doc.current;
            backStart = doc.currentStart;
            count = std::min(frontRun, backPos - doc.currentStart + 1);
            for (int32_t k = 0; k < count; k++, front += stride, back -= stride) {
                int32_t v = S::Load(front);
                S::Store(front, S::Load(back));
                S::Store(back, v);
            }
        }
        doc.Unlock(frontChunk);
        if (count < 1)
            break;
        i += count;
    }
    return i;
}

template <class S>
bool ReverseChannels(int32_t start, int32_t n)
{
    CKV_Document& doc = TheDocument();
    int32_t half = n / 2;               // the middle sample of an odd count stays
    int cancelledChannel = 0;
    int32_t reached = half;
    bool finished = ForEachChannel([&](int k) {
        reached = SwapPairs<S>(k, start, n, 0, half, true);
        cancelledChannel = k;
        return reached == half;
    });
    if (!finished) {
        // The record holds no samples the lifecycle could write back on a
        // cancel, so put the swapped pairs back here: a half-reversed sound
        // that cannot be undone would be lost work.
        for (int k = 1; k <= cancelledChannel && doc.SetChannel(k); k++)
            SwapPairs<S>(k, start, n, 0, k == cancelledChannel ? reached : half, false);
    }
    doc.ReleaseCursor();
    return finished;
}

}

void Reverse()
{
    // Its own restore kind: reversing again undoes it, so the record saves
    // no samples.
    int32_t n = PrepareSampleEffect(ACTION_REVERSE, ACTION_REVERSE);
    if (n == 0)
        return;
    int32_t start = TheSelection().selStart;
    if (IsWideSamples())
        ReverseChannels<Sample16>(start, n);
    else
        ReverseChannels<Sample8>(start, n);
    ActComplete(ACTION_REVERSE, ACT_PREPARED);
}
