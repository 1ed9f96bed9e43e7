// Per-sample arithmetic of the effects and the walk over the selected samples
// of every channel on show.
//
// Sample values are signed in their native width: -128..127 for 8-bit PCM
// (stored as the byte value - 128), -32768..32767 for 16-bit PCM (little-endian,
// as the machine). An operation sees the samples of one channel as a pointer
// to the first and a stride of nBlockAlign bytes; every sample it is handed
// lies in one chunk, so it can run at memory speed.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "base/app_options.h"
#include "edit/actions.h"
#include "sound/document.h"

struct Sample8 {
    static constexpr int32_t MIN = -128;
    static constexpr int32_t MAX = 127;
    static int32_t Load(const uint8_t* p) { return p[0] - 128; }
    static void Store(uint8_t* p, int32_t v) { p[0] = static_cast<uint8_t>(static_cast<uint32_t>(v) + 128u); }
};

struct Sample16 {
    static constexpr int32_t MIN = -32768;
    static constexpr int32_t MAX = 32767;
    static int32_t Load(const uint8_t* p)
    {
        int16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    static void Store(uint8_t* p, int32_t v)
    {
        int16_t s = static_cast<int16_t>(v);
        std::memcpy(p, &s, 2);
    }
};

// v × p / 100, exact in 64 bits, rounded to the nearest integer with halves
// away from zero (the platform's MulDiv): 33 % of 50 is 17, of -50 is -17.
inline int64_t ScalePercent(int32_t v, int32_t p)
{
    int64_t product = static_cast<int64_t>(v) * p;
    return (product >= 0 ? product + 50 : product - 50) / 100;
}

inline int32_t ClampToSample(int64_t v, int32_t low, int32_t high)
{
    return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(v, low), high));
}

// Level changes stay within the symmetric full scale, -MAX..MAX, so that a
// loud passage never reaches the one value without a positive twin.
template <class S>
int32_t ClampToLevel(int64_t v)
{
    return ClampToSample(v, -S::MAX, S::MAX);
}

// Sums saturate at the width's own limits: a wrapped sample is a loud click.
template <class S>
int32_t ClampToWidth(int64_t v)
{
    return ClampToSample(v, S::MIN, S::MAX);
}

// Mix mode's store, as CKV_Document::WriteSampleMixed makes it: the new
// value by the "new" mixing percentage plus the old one by the "old"
// percentage, saturated at the width's limits. Taken once per effect, so a
// run is mixed without a look-up per sample.
struct MixShares {
    int32_t mixNew;
    int32_t mixOld;

    MixShares() : mixNew(TheAppOptions().mixNew), mixOld(TheAppOptions().mixOld) {}

    template <class S>
    void Store(uint8_t* p, int32_t v) const
    {
        S::Store(p, ClampToWidth<S>(ScalePercent(v, mixNew) + ScalePercent(S::Load(p), mixOld)));
    }
};

// Long loops ask ActProgress whenever the absolute sample position is a
// multiple of this, so that routing messages costs little.
constexpr int32_t PROGRESS_INTERVAL = 8192;

inline bool IsProgressPosition(int32_t pos)
{
    return (pos & (PROGRESS_INTERVAL - 1)) == 0;
}

// ActPrepareWave for an effect on the samples themselves. Compressed data has
// no samples an effect could change, so there is nothing to do (0).
inline int32_t PrepareSampleEffect(int action, int kind)
{
    if (!TheDocument().format.IsPcm())
        return 0;
    return ActPrepareWave(action, kind);
}

inline bool IsWideSamples()
{
    const KvWaveFormat* w = TheDocument().format.Record();
    return w && w->wBitsPerSample == 16;
}

// Calls channel(k) after SetChannel(k) for k = 1, 2, ... until SetChannel
// fails (a channel the view hides is skipped by SetChannel itself). Stops
// and returns false as soon as channel() does.
template <class F>
bool ForEachChannel(F channel)
{
    CKV_Document& doc = TheDocument();
    for (int k = 1; doc.SetChannel(k); k++) {
        if (!channel(k))
            return false;
    }
    return true;
}

// ActProgress routes messages, and painting reads the samples of every
// channel: afterwards the cursor and the channel may be another one's. True
// when the user cancelled; else channel k is addressed again.
inline bool CheckProgress(int32_t pos, int k)
{
    if (ActProgress(pos))
        return true;
    TheDocument().SetChannel(k);
    return false;
}

// The n samples from start of channel k (addressed already), in pieces that
// lie in one chunk and hold no progress position but their first:
//   op(S(), first, count, stride, index)
// where index is first's distance from start. Before a piece that begins at
// a progress position ActProgress is asked; false when the user cancelled.
template <class S, class Op>
bool WalkChannel(int k, int32_t start, int32_t n, Op& op)
{
    CKV_Document& doc = TheDocument();
    size_t stride = static_cast<size_t>(doc.format.BlockAlign());
    for (int32_t done = 0; done < n;) {
        int32_t pos = start + done;
        if (IsProgressPosition(pos) && CheckProgress(pos, k))
            return false;
        int32_t toMark = PROGRESS_INTERVAL - (pos & (PROGRESS_INTERVAL - 1));
        uint8_t* p;
        int32_t run = doc.GetRun(&p, pos, std::min(n - done, toMark));
        if (run < 1)
            break;                      // the range passes the end of the sound
        op(S(), p, run, stride, done);
        done += run;
    }
    return true;
}

// Runs op (as WalkChannel describes) over the n samples from start of every
// channel on show; startChannel() runs first on each channel, to reset
// per-channel state or look at the samples before they change. False when
// the user cancelled: the caller completes the action at once.
template <class Start, class Op>
bool ForEachSampleRun(int32_t start, int32_t n, Start startChannel, Op op)
{
    bool wide = IsWideSamples();
    bool finished = ForEachChannel([&](int k) {
        startChannel();
        return wide ? WalkChannel<Sample16>(k, start, n, op) : WalkChannel<Sample8>(k, start, n, op);
    });
    TheDocument().ReleaseCursor();
    return finished;
}
