#include "edit/tone.h"

#include <algorithm>
#include <cmath>

#include "edit/actions.h"
#include "edit/sample_math.h"
#include "sound/document.h"

namespace {

// A tone's place in its period: the whole table step and the 16-bit fraction.
struct TonePhase {
    uint32_t t = TONE_TABLE_SIZE / 2;   // the crest: every tone starts at its peak
    uint32_t fraction = 0;
};

template <class S>
void WriteTone(const int16_t* table, uint32_t step, int32_t n, bool add, bool mix, int k)
{
    CKV_Document& doc = TheDocument();
    // Messages routed during the tone before may have addressed another channel.
    doc.SetChannel(k);
    int32_t start = TheSelection().selStart;
    TonePhase phase;
    const MixShares shares;
    auto op = [&](S, uint8_t* p, int32_t count, size_t stride, int32_t) {
        // Locals: a store through p may alias anything.
        uint32_t t = phase.t;
        uint32_t fraction = phase.fraction;
        for (int32_t i = 0; i < count; i++, p += stride) {
            if (t >= TONE_PERIOD)
                t %= TONE_PERIOD;
            int32_t v = t < TONE_TABLE_SIZE ? table[t] : -table[t - TONE_TABLE_SIZE];
            if (mix) {
                shares.Store<S>(p, v);
            } else {
                if (add)
                    v = ClampToWidth<S>(int64_t{v} + S::Load(p));
                S::Store(p, v);
            }
            // step is at most 1000 whole table steps, so neither sum overflows.
            fraction += step;
            t += fraction >> 16;
            fraction &= 0xFFFF;
        }
        phase.t = t;
        phase.fraction = fraction;
    };
    // A cancel ends this tone only: completing the action puts the samples back.
    WalkChannel<S>(k, start, n, op);
}

}

void BuildToneTable(int32_t shape, int32_t amplitude, int16_t* table)
{
    const int32_t half = TONE_TABLE_SIZE / 2;
    for (int32_t i = 0; i < half; i++) {
        int32_t v;
        if (shape == TONE_SQUARE) {
            v = amplitude;
        } else if (shape == TONE_SAWTOOTH) {
            // amplitude × i / half, rounded to the nearest, halves away from zero.
            int64_t product = int64_t{amplitude} * i;
            v = static_cast<int32_t>((product >= 0 ? product + half / 2 : product - half / 2) / half);
        } else {
            // A quarter period over the first half table, truncated toward zero.
            v = static_cast<int32_t>(std::sin(i * 3.141592653 * 0.001) * amplitude);
        }
        table[i] = static_cast<int16_t>(v);
    }
    for (int32_t j = 0; j < half; j++)
        table[half + j] = table[half - 1 - j];
}

uint32_t ToneStep(int32_t frequency, uint32_t samplesPerSec)
{
    return static_cast<uint32_t>(double(frequency) * TONE_PERIOD / double(samplesPerSec) * 65536.0);
}

bool GenerateTone(const EffectSettings& settings, int32_t frequency, int32_t amplitude, int32_t n,
                  bool add, int k)
{
    const KvWaveFormat* w = TheDocument().format.Record();
    if (!w || frequency <= 0 || amplitude <= 0 || uint32_t(frequency) > w->nSamplesPerSec / 2)
        return false;
    bool wide = IsWideSamples();
    // Above full scale the table's entries would not fit the sample width.
    int32_t peak = static_cast<int32_t>(ScalePercent(std::min(amplitude, 100), wide ? Sample16::MAX : Sample8::MAX));
    int16_t table[TONE_TABLE_SIZE];
    BuildToneTable(settings.toneShape, peak, table);
    uint32_t step = ToneStep(frequency, w->nSamplesPerSec);
    bool mix = TheSelection().editMode == EDIT_MIX;
    if (mix)
        add = false;
    if (wide)
        WriteTone<Sample16>(table, step, n, add, mix, k);
    else
        WriteTone<Sample8>(table, step, n, add, mix, k);
    return true;
}

void Tone(const EffectSettings& settings)
{
    if (settings.tone1Amplitude == 0 && settings.tone2Amplitude == 0)
        return;
    int32_t n = PrepareSampleEffect(ACTION_TONE, RESTORE_SAMPLES);
    if (n == 0)
        return;
    bool written = false;
    ForEachChannel([&](int k) {
        bool first = GenerateTone(settings, settings.tone1Frequency, settings.tone1Amplitude, n, false, k);
        // Tone 2 replaces the old sound itself when tone 1 wrote nothing.
        bool second = GenerateTone(settings, settings.tone2Frequency, settings.tone2Amplitude, n, first, k);
        written = written || first || second;
        return true;
    });
    TheDocument().ReleaseCursor();
    // Nothing written: no step to undo; in Insert mode the new samples go again.
    ActComplete(ACTION_TONE, ACT_PREPARED | (written ? 0u : uint32_t{ACT_NO_RECORD}));
}
