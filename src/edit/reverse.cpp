// Reverse: the selection played backwards, channel by channel, or whole
// blocks at once when every channel is on show.
#include "edit/level_effects.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "edit/actions.h"
#include "edit/sample_math.h"
#include "sound/document.h"

namespace {

// A whole block of N bytes (every channel's sample) moved as one value.
template <size_t N>
struct WholeBlock {
    static int32_t Load(const uint8_t* p)
    {
        uint32_t v = 0;
        std::memcpy(&v, p, N);
        return static_cast<int32_t>(v);
    }
    static void Store(uint8_t* p, int32_t v)
    {
        const auto u = static_cast<uint32_t>(v);
        std::memcpy(p, &u, N);
    }
};

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

// Reverses the given channels one after the other; the channel 255 is the
// whole block. False when the user cancelled.
template <class S>
bool ReverseChannels(const std::vector<int>& channels, int32_t start, int32_t n)
{
    CKV_Document& doc = TheDocument();
    int32_t half = n / 2;               // the middle sample of an odd count stays
    size_t done = 0;
    int32_t reached = half;
    for (; done < channels.size(); done++) {
        doc.SetChannel(channels[done]);
        reached = SwapPairs<S>(channels[done], start, n, 0, half, true);
        if (reached != half)
            break;
    }
    const bool finished = done == channels.size();
    if (!finished) {
        // The record holds no samples the lifecycle could write back on a
        // cancel, so put the swapped pairs back here: a half-reversed sound
        // that cannot be undone would be lost work.
        for (size_t i = 0; i <= done; i++) {
            doc.SetChannel(channels[i]);
            SwapPairs<S>(channels[i], start, n, 0, i == done ? reached : half, false);
        }
    }
    doc.ReleaseCursor();
    return finished;
}

// The channels the view shows, in order.
std::vector<int> ShownChannels()
{
    std::vector<int> shown;
    ForEachChannel([&](int k) {
        shown.push_back(k);
        return true;
    });
    return shown;
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
    const std::vector<int> shown = ShownChannels();
    const KvWaveFormat* w = TheDocument().format.Record();
    // With every channel on show the blocks themselves change places: one
    // pass over the sound instead of one per channel.
    const bool whole = w && shown.size() == w->nChannels;
    const std::vector<int> blocks = {255};
    switch (whole ? TheDocument().format.BlockAlign() : 0) {
    case 4:
        ReverseChannels<WholeBlock<4>>(blocks, start, n);
        break;
    case 2:
        ReverseChannels<WholeBlock<2>>(blocks, start, n);
        break;
    case 1:
        ReverseChannels<WholeBlock<1>>(blocks, start, n);
        break;
    default:
        if (IsWideSamples())
            ReverseChannels<Sample16>(shown, start, n);
        else
            ReverseChannels<Sample8>(shown, start, n);
        break;
    }
    ActComplete(ACTION_REVERSE, ACT_PREPARED);
}
