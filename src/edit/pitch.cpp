// Pitch change: resampling the selection in place by a 16.16 factor, taking
// the nearest earlier source sample.
#include "edit/pitch.h"

#include <algorithm>
#include <cstdint>

#include "edit/actions.h"
#include "edit/links.h"
#include "edit/sample_math.h"
#include "sound/document.h"

namespace {

constexpr uint32_t FACTOR_ONE = 65536;

// n × 65536 / f in double precision, truncated toward zero.
int64_t PitchedLength(int32_t n, uint32_t f)
{
    return static_cast<int64_t>(static_cast<double>(n) * FACTOR_ONE / f);
}

// Progress of a resampling pass. Its position is where the source has got
// to: start + ⌊done × f / 65536⌋ after `done` new samples, given here as
// done × f (16.16 past start). The source moves by more than one sample a
// step when the pitch rises, so it may step over a multiple of the progress
// interval: the check is made when one is reached or passed.
class SourceProgress {
public:
    SourceProgress(int k, int32_t start) : k(k), start(start)
    {
        int64_t first = (int64_t{start} + PROGRESS_INTERVAL - 1) & ~int64_t{PROGRESS_INTERVAL - 1};
        mark = static_cast<uint64_t>(first - start) << 16;
    }

    // The 16.16 source offset at which the next check is due.
    uint64_t Mark() const { return mark; }

    // True when the user cancelled; else the next mark is set. Channel k is
    // addressed again afterwards.
    bool Check(uint64_t sourceOffset)
    {
        int64_t pos = start + static_cast<int64_t>(sourceOffset >> 16);
        if (CheckProgress(static_cast<int32_t>(pos), k))
            return true;
        int64_t next = (pos | (PROGRESS_INTERVAL - 1)) + 1;
        mark = static_cast<uint64_t>(next - start) << 16;
        return false;
    }

private:
    int k;
    int32_t start;
    uint64_t mark;
};

// Higher pitch on channel k (addressed already): new sample j (j = 0 .. m-1)
// at s + j is the old sample at s + ⌊j × f / 65536⌋. The source is always at
// or ahead of the sample being written, so walking forwards reads only old
// samples.
template <class S>
bool RaiseChannel(int k, int32_t s, int32_t m, uint32_t f)
{
    CKV_Document& doc = TheDocument();
    size_t stride = static_cast<size_t>(doc.format.BlockAlign());
    SourceProgress progress(k, s);
    uint64_t source = 0;                // j × f: the source offset in 16.16
    for (int32_t j = 0; j < m;) {
        if (source >= progress.Mark() && progress.Check(source))
            return false;
        uint8_t* to;
        int32_t toRun = doc.GetRun(&to, s + j, m - j);
        if (toRun < 1)
            break;
        CKV_BUFFER* chunk = doc.current;
        if (!doc.Lock(chunk))
            break;
        int32_t first = static_cast<int32_t>(source >> 16);
        uint8_t* from;
        int32_t fromRun = doc.GetRun(&from, s + first, INT32_MAX);
        int32_t count = 0;
        if (fromRun > 0) {
            // Steps while the source stays in its chunk and before the mark.
            uint64_t end = std::min(static_cast<uint64_t>(first + static_cast<int64_t>(fromRun)) << 16,
                                    progress.Mark());
            const uint64_t step = f;
            for (; count < toRun && source < end; count++, source += step) {
                size_t back = static_cast<size_t>((source >> 16) - static_cast<uint64_t>(first));
                S::Store(to + static_cast<size_t>(count) * stride, S::Load(from + back * stride));
            }
        }
        doc.Unlock(chunk);
        if (count < 1)
            break;
        j += count;
    }
    return true;
}

// Lower pitch on channel k (addressed already), after m - n new samples were
// inserted behind the n old ones: new sample j at s + j is the old sample at
// s + src(j), src(j) = n - 1 - ⌊(m - 1 - j) × f / 65536⌋, which never falls
// as j rises. Filled in place in two passes, so that every old sample is read
// before it is overwritten:
//   from j = m - 1 down to J, where src(j) <= j: each write lies at or above
//   every source still to be read, or writes a sample back onto itself;
//   then from j = 0 up to J - 1, where src(j) > j: each write lies below
//   every source still to be read.
// (Filling the whole range from the end down loses samples when the factor
// is above 1/2: the sources of the first samples are overwritten first.)
template <class S>
class LowerChannel {
public:
    LowerChannel(int k, int32_t s, int32_t n, int32_t m, uint32_t f, int32_t split)
        : doc(TheDocument()), stride(static_cast<size_t>(doc.format.BlockAlign())),
          progress(k, s), s(s), n(n), m(m), f(f), split(split)
    {
    }

    bool Run()
    {
        // done × f, where done counts the samples written so far.
        uint64_t done = 0;
        // (m - 1 - j) × f: the distance of j's source from the last old sample.
        uint64_t back = 0;
        for (int32_t j = m - 1; j >= split;) {
            if (done >= progress.Mark() && progress.Check(done))
                return false;
            int32_t count = Downwards(j, back, done);
            if (count < 1)
                return true;
            j -= count;
        }
        back = static_cast<uint64_t>(m - 1) * f;
        for (int32_t j = 0; j < split;) {
            if (done >= progress.Mark() && progress.Check(done))
                return false;
            int32_t count = Upwards(j, back, done);
            if (count < 1)
                return true;
            j += count;
        }
        return true;
    }

private:
    int32_t Source(uint64_t back) const { return n - 1 - static_cast<int32_t>(back >> 16); }

    // Writes from j down, within j's chunk, the source's chunk, the first
    // pass and the next progress mark. Returns how many were written.
    int32_t Downwards(int32_t j, uint64_t& back, uint64_t& done)
    {
        uint8_t* to;
        if (doc.GetRun(&to, s + j, 1) < 1)
            return 0;
        int32_t limit = j - std::max(doc.currentStart - s, split) + 1;
        CKV_BUFFER* chunk = doc.current;
        if (!doc.Lock(chunk))
            return 0;
        int32_t first = Source(back);
        uint8_t* from;
        int32_t count = 0;
        if (doc.GetRun(&from, s + first, 1) == 1) {
            // The source may fall to the chunk's first sample, no further.
            uint64_t lowest = static_cast<uint64_t>(n - 1 - (doc.currentStart - s));
            const uint64_t step = f, mark = progress.Mark();
            uint64_t b = back, d = done;
            for (; count < limit && (b >> 16) <= lowest && d < mark; count++, b += step, d += step) {
                size_t below = static_cast<size_t>(first - Source(b));
                S::Store(to - static_cast<size_t>(count) * stride, S::Load(from - below * stride));
            }
            back = b;
            done = d;
        }
        doc.Unlock(chunk);
        return count;
    }

    // Writes from j up, within j's chunk, the source's chunk, the second
    // pass and the next progress mark. Returns how many were written.
    int32_t Upwards(int32_t j, uint64_t& back, uint64_t& done)
    {
        uint8_t* to;
        int32_t limit = doc.GetRun(&to, s + j, split - j);
        if (limit < 1)
            return 0;
        CKV_BUFFER* chunk = doc.current;
        if (!doc.Lock(chunk))
            return 0;
        int32_t first = Source(back);
        uint8_t* from;
        int32_t fromRun = doc.GetRun(&from, s + first, INT32_MAX);
        int32_t count = 0;
        if (fromRun > 0) {
            // The source may rise to the chunk's last sample, no further.
            int32_t highest = first + fromRun - 1;
            const uint64_t step = f, mark = progress.Mark();
            uint64_t b = back, d = done;
            for (; count < limit && Source(b) <= highest && d < mark; count++, b -= step, d += step) {
                size_t above = static_cast<size_t>(Source(b) - first);
                S::Store(to + static_cast<size_t>(count) * stride, S::Load(from + above * stride));
            }
            back = b;
            done = d;
        }
        doc.Unlock(chunk);
        return count;
    }

    CKV_Document& doc;
    size_t stride;
    SourceProgress progress;
    int32_t s, n, m;
    uint32_t f;
    int32_t split;
};

// The first j whose source lies at or below it (see LowerChannel); m - 1 at
// the latest, whose source is the last old sample.
int32_t LowerSplit(int32_t n, int32_t m, uint32_t f)
{
    auto atOrBelow = [&](int32_t j) {
        uint64_t back = static_cast<uint64_t>(m - 1 - j) * f;
        return n - 1 - static_cast<int64_t>(back >> 16) <= j;
    };
    int32_t low = 0, high = m - 1;
    while (low < high) {
        int32_t mid = low + (high - low) / 2;
        if (atOrBelow(mid))
            high = mid;
        else
            low = mid + 1;
    }
    return low;
}

template <class S>
bool ResampleChannels(int32_t s, int32_t n, int32_t m, uint32_t f)
{
    int32_t split = f < FACTOR_ONE ? LowerSplit(n, m, f) : 0;
    bool finished = ForEachChannel([&](int k) {
        if (f > FACTOR_ONE)
            return RaiseChannel<S>(k, s, m, f);
        return LowerChannel<S>(k, s, n, m, f, split).Run();
    });
    TheDocument().ReleaseCursor();
    return finished;
}

}

void PitchChange(const EffectSettings& settings)
{
    uint32_t f = static_cast<uint32_t>(settings.pitchFactor);
    if (f == FACTOR_ONE || f == 0)
        return;
    // Stopped first: a recording ended by the stop changes the selection
    // the new length is computed from.
    TheEngineLink().Stop();
    CKV_Document& doc = TheDocument();
    const Selection& sel = TheSelection();
    int32_t s = sel.selStart;
    int32_t selected = sel.selLength;
    if (selected > 0) {
        int64_t m = PitchedLength(selected, f);
        // Nothing would be left, or more than the sound can hold.
        if (m < 1 || m - selected > INT32_MAX - static_cast<int64_t>(doc.length))
            return;
        // Compressed data has no samples to resample, and with no channel
        // on show the length would change for nothing.
        if (!doc.format.IsPcm() || !doc.SetChannel(1))
            return;
    }
    int32_t n = PrepareSampleEffect(ACTION_PITCH, RESTORE_SAMPLES);
    if (n == 0)
        return;
    int32_t newLength = static_cast<int32_t>(PitchedLength(n, f));
    if (newLength > n && !doc.InsertSpace(s + n, newLength - n)) {
        ActComplete(ACTION_PITCH, ACT_PREPARED | ACT_NO_RECORD);
        return;
    }
    bool finished = IsWideSamples() ? ResampleChannels<Sample16>(s, n, newLength, f)
                                    : ResampleChannels<Sample8>(s, n, newLength, f);
    if (!finished) {
        // The lifecycle writes the saved samples back over the selection:
        // for a lower pitch that must cover the inserted samples too.
        if (f < FACTOR_ONE)
            TheSelectionLink().SelectBetween(s, s + newLength, ORIGIN_PROGRAM);
        ActComplete(ACTION_PITCH, ACT_PREPARED | ACT_LENGTH_CHANGED);
        TheSelectionLink().SetSelection(s, selected, ORIGIN_PROGRAM);
        return;
    }
    int32_t end = s + newLength;
    if (f > FACTOR_ONE) {
        // The source consumed `used` old samples (rounded up). The few it
        // never reached stay behind the new ones and inside the selection:
        // undo then puts back exactly the samples that were selected, in
        // place of exactly what the change left, and redo over them computes
        // the same length again.
        auto used = static_cast<int32_t>(
            std::min<uint64_t>((static_cast<uint64_t>(newLength) * f + FACTOR_ONE - 1) >> 16, static_cast<uint64_t>(n)));
        if (used > newLength && !doc.DeleteRange(end, used - newLength))
            end = s + n;        // (logged by the store) the consumed samples stay selected
        else
            end += n - used;
    }
    TheSelectionLink().SelectBetween(s, end, ORIGIN_PROGRAM);
    ActComplete(ACTION_PITCH, ACT_PREPARED | ACT_LENGTH_CHANGED);
}
