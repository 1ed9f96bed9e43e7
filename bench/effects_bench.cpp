// Measures the effects against plain loops doing the same per-sample
// arithmetic on an int16 array in the same process, and Delete, Undo and Redo
// of one second in the middle of a long sound against copying that second.
//
//     effects_bench [--minutes N] [--edit-minutes N] [--dir DIR] [--reps N]
//
// The effects run on an N-minute sound (10 by default), all of it selected,
// each as the undoable action its command runs; the edits run on an
// N-minute sound of their own (60 by default, 0 leaves them out). The
// generated files stay in DIR; the calling script removes them.
#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "base/app.h"
#include "base/clock.h"
#include "edit/actions.h"
#include "edit/delete_cut.h"
#include "edit/echo.h"
#include "edit/effect_settings.h"
#include "edit/fill.h"
#include "edit/level_effects.h"
#include "edit/low_pass.h"
#include "edit/noise.h"
#include "edit/pitch.h"
#include "edit/remove_background.h"
#include "edit/tone.h"
#include "edit/undo_history.h"
#include "sound/document.h"
#include "view/selection_ops.h"

#include "bench_support.h"

namespace {

using namespace bench;

// The targets the figures are judged against.
const double TARGET_EFFECT_PERCENT = 50.0;
const double TARGET_UNDO_MS = 5.0;          // beyond the time of copying the saved samples

const int32_t FULL_SCALE = 32767;

// The settings this run uses; all others keep their defaults.
const int32_t AMPLIFY_PERCENT = 150;
const int32_t FADE_FROM = 100;
const int32_t FADE_TO = 0;
const uint32_t PITCH_FACTOR = 98304;        // 1.5 in 16.16: a higher pitch, the sound gets shorter
const int32_t FILL_VALUE = 1000;
// Noise is drawn from a seed the clock gives: a fixed clock lets the plain
// loop draw the very same values.
const uint32_t NOISE_SEED = 20240601;

class FixedClock : public ::Clock {
public:
    uint32_t TickCount() override { return NOISE_SEED; }
};

// p percent of a positive full-scale value, rounded with halves up.
int32_t PercentOf(int32_t full, int32_t p)
{
    return (full * p + 50) / 100;
}

// v × p / 100 rounded to the nearest, halves away from zero; in 64 bits, as
// a percentage of any size needs.
inline int64_t Percent64(int32_t v, int32_t p)
{
    int64_t product = int64_t(v) * p;
    return (product >= 0 ? product + 50 : product - 50) / 100;
}

inline int16_t ClampTo(int64_t v, int32_t low, int32_t high)
{
    return int16_t(v < low ? low : v > high ? high : v);
}

// The plain equivalents run channel by channel over interleaved samples, as
// the effects do, so that the same memory is visited in the same order.
PLAIN_LOOP(PlainAmplify, (int16_t* a, int32_t blocks, int32_t percent), {
    for (int k = 0; k < CHANNELS; k++)
        for (int32_t i = 0; i < blocks; i++) {
            int16_t& s = a[size_t(i) * CHANNELS + k];
            s = ClampTo(Percent64(s, percent), -FULL_SCALE, FULL_SCALE);
        }
    return blocks;
})

// Sample i of n gets from + (to - from) × (i + 1) / n percent, the quotient
// truncated toward zero and carried from sample to sample rather than
// divided out each time.
PLAIN_LOOP(PlainFade, (int16_t* a, int32_t blocks, int32_t from, int32_t to), {
    int64_t d = int64_t(to) - from;
    int64_t sign = d < 0 ? -1 : 1;
    uint64_t step = uint64_t(d < 0 ? -d : d);
    uint64_t n = uint64_t(blocks);
    uint64_t whole = step / n;
    uint64_t part = step % n;
    for (int k = 0; k < CHANNELS; k++) {
        uint64_t quotient = whole;
        uint64_t rest = part;
        for (int32_t i = 0; i < blocks; i++) {
            int16_t& s = a[size_t(i) * CHANNELS + k];
            int32_t percent = int32_t(from + sign * int64_t(quotient));
            s = ClampTo(Percent64(s, percent), -FULL_SCALE, FULL_SCALE);
            quotient += whole;
            rest += part;
            if (rest >= n) {
                rest -= n;
                quotient++;
            }
        }
    }
    return blocks;
})

// Whole blocks at once: so Silence clears them when every channel is on show.
PLAIN_LOOP(PlainSilence, (int16_t* a, int32_t blocks), {
    size_t n = size_t(blocks) * CHANNELS;
    for (size_t i = 0; i < n; i++)
        a[i] = 0;
    return blocks;
})

PLAIN_LOOP(PlainReverse, (int16_t* a, int32_t blocks), {
    for (int k = 0; k < CHANNELS; k++)
        for (int32_t i = 0, j = blocks - 1; i < j; i++, j--) {
            int16_t v = a[size_t(i) * CHANNELS + k];
            a[size_t(i) * CHANNELS + k] = a[size_t(j) * CHANNELS + k];
            a[size_t(j) * CHANNELS + k] = v;
        }
    return blocks;
})

// The running offset of a selection of at least 256 samples: the sum starts
// as that of the first 256, each sample loses sum / 256 and the sum follows
// it by what is left.
PLAIN_LOOP(PlainRemoveOffset, (int16_t* a, int32_t blocks), {
    const int32_t window = 256;
    for (int k = 0; k < CHANNELS; k++) {
        int32_t sum = 0;
        for (int32_t i = 0; i < window; i++)
            sum += a[size_t(i) * CHANNELS + k];
        for (int32_t i = 0; i < blocks; i++) {
            int16_t& s = a[size_t(i) * CHANNELS + k];
            int32_t v = s;
            int32_t offset = sum / window;
            sum += v - offset;
            s = ClampTo(v - offset, -32768, 32767);
        }
    }
    return blocks;
})

// Echo mode: walked forwards, so the earlier sample already carries its own
// echo. Sums saturate at the sample width.
PLAIN_LOOP(PlainEcho, (int16_t* a, int32_t blocks, int32_t delay, int32_t percent), {
    for (int k = 0; k < CHANNELS; k++)
        for (int32_t p = delay; p < blocks; p++) {
            int16_t& s = a[size_t(p) * CHANNELS + k];
            s = ClampTo(s + Percent64(a[size_t(p - delay) * CHANNELS + k], percent), -32768, 32767);
        }
    return blocks;
})

// A higher pitch: new sample j is old sample ⌊j × f / 65536⌋, which never
// lies behind j, so the array is resampled in place. The sound becomes
// n × 65536 / f blocks.
PLAIN_LOOP(PlainPitchUp, (int16_t* a, int32_t blocks, uint32_t f), {
    int32_t m = int32_t(int64_t(blocks) * 65536 / f);
    for (int k = 0; k < CHANNELS; k++) {
        uint64_t source = 0;
        for (int32_t j = 0; j < m; j++, source += f)
            a[size_t(j) * CHANNELS + k] = a[size_t(source >> 16) * CHANNELS + k];
    }
    return m;
})

// One tone read from a half-period table at a 16.16 step per sample, from the
// crest; the second half period is the table negated.
PLAIN_LOOP(PlainTone, (int16_t* a, int32_t blocks, const int16_t* table, uint32_t step), {
    for (int k = 0; k < CHANNELS; k++) {
        uint32_t t = TONE_TABLE_SIZE / 2;
        uint32_t fraction = 0;
        for (int32_t i = 0; i < blocks; i++) {
            if (t >= TONE_PERIOD)
                t %= TONE_PERIOD;
            int32_t v = t < TONE_TABLE_SIZE ? table[t] : -table[t - TONE_TABLE_SIZE];
            a[size_t(i) * CHANNELS + k] = int16_t(v);
            fraction += step;
            t += fraction >> 16;
            fraction &= 0xFFFF;
        }
    }
    return blocks;
})

// One sequence runs on through every channel.
PLAIN_LOOP(PlainNoise, (int16_t* a, int32_t blocks, uint32_t seed, int32_t peak), {
    NoiseSource random(seed);
    for (int k = 0; k < CHANNELS; k++)
        for (int32_t i = 0; i < blocks; i++)
            a[size_t(i) * CHANNELS + k] = int16_t(random.Sample(peak));
    return blocks;
})

PLAIN_LOOP(PlainFill, (int16_t* a, int32_t blocks, int16_t value), {
    for (int k = 0; k < CHANNELS; k++)
        for (int32_t i = 0; i < blocks; i++)
            a[size_t(i) * CHANNELS + k] = value;
    return blocks;
})

// The mean of each sample and the two before it as they were, truncated
// toward zero; the first sample stands in for the two before it.
PLAIN_LOOP(PlainLowPass, (int16_t* a, int32_t blocks), {
    for (int k = 0; k < CHANNELS; k++) {
        int32_t older = a[k];
        int32_t old = a[k];
        for (int32_t i = 0; i < blocks; i++) {
            int16_t& s = a[size_t(i) * CHANNELS + k];
            int32_t x = s;
            s = int16_t((older + old + x) / 3);
            older = old;
            old = x;
        }
    }
    return blocks;
})

// Silencing, channel by channel: a stretch whose magnitudes are all at most
// threshold becomes 0 when it is longer than minimum samples; one that
// reaches the end goes as well.
PLAIN_LOOP(PlainRemoveBackground, (int16_t* a, int32_t blocks, int32_t threshold, int32_t minimum), {
    for (int k = 0; k < CHANNELS; k++) {
        int32_t q = 0;
        int32_t r = 0;
        for (int32_t i = 0; i <= blocks; i++) {
            if (i < blocks) {
                int32_t v = a[size_t(i) * CHANNELS + k];
                if ((v < 0 ? -v : v) <= threshold) {
                    if (r == 0)
                        q = i;
                    r++;
                    continue;
                }
            }
            if (r > minimum)
                for (int32_t j = q; j < q + r; j++)
                    a[size_t(j) * CHANNELS + k] = 0;
            r = 0;
        }
    }
    return blocks;
})

// Both builds of a plain loop, with this run's settings bound.
struct PlainPair {
    std::function<int32_t(int16_t*, int32_t)> vectorised;
    std::function<int32_t(int16_t*, int32_t)> scalar;
};

template <class Loop, class... Args>
PlainPair Bind(Args... args)
{
    return {[=](int16_t* a, int32_t n) { return Loop::Vectorised(a, n, args...); },
        [=](int16_t* a, int32_t n) { return Loop::Scalar(a, n, args...); }};
}

struct EffectRun {
    std::string name;                                   // with the settings used
    std::function<void()> effect;                       // the command, on the whole sound
    PlainPair plain;
    std::string note;                                   // printed under its figures
};

struct EffectResult {
    std::string name;
    double percent = 0;
    double withCopyPercent = -1;        // beside the plain loop plus the record's copy; -1: the record saves none
};

class Bench {
public:
    explicit Bench(const Options& o) : options(o) {}
    int Run();

private:
    bool Open(int minutes);
    std::vector<EffectRun> Effects();
    bool MeasureEffects();
    bool MeasureEffect(const EffectRun& run);
    bool MeasureDelete();
    void Summary();

    Options options;
    int32_t blocks = 0;
    std::vector<int16_t> original;      // the loaded sound, the plain loops' input
    std::vector<int16_t> work;          // what a plain loop works on
    std::vector<int16_t> result;        // the document after the effect's first run
    std::vector<int16_t> toneTable;

    std::vector<EffectResult> effectResults;
    bool editMeasured = false;
    double copySeconds = 0;             // the whole sound copied into fresh memory, best run
    double copyMs = 0;
    double undoMs = 0;
    double redoMs = 0;
};

bool Bench::Open(int minutes)
{
    blocks = SoundBlocks(minutes);
    return !OpenGenerated(options.dir, minutes).empty();
}

std::vector<EffectRun> Bench::Effects()
{
    const Form& form = TheDocument().format;
    std::vector<EffectRun> runs;
    EffectSettings s;
    s.amplification = AMPLIFY_PERCENT;
    runs.push_back({"Amplify 150 %", [s] { Amplify(s); }, Bind<PlainAmplify>(AMPLIFY_PERCENT), ""});
    s.SetToDefault();
    s.fadeStart = FADE_FROM;
    s.fadeEnd = FADE_TO;
    runs.push_back({"Fade 100 -> 0 %", [s] { Fade(s); }, Bind<PlainFade>(FADE_FROM, FADE_TO), ""});
    runs.push_back({"Silence", [] { Silence(); }, Bind<PlainSilence>(), ""});
    runs.push_back({"Reverse", [] { Reverse(); }, Bind<PlainReverse>(),
        "undo reverses again: its record holds no samples"});
    runs.push_back({"RemoveOffset", [] { RemoveOffset(); }, Bind<PlainRemoveOffset>(), "the Normalize command"});
    s.SetToDefault();
    int32_t delay = int32_t(form.MsToBlocks(uint32_t(s.echoDelay)));
    runs.push_back({"Echo " + std::to_string(s.echoStrength) + " %, " + std::to_string(s.echoDelay) + " ms",
        [s] { Echo(s); }, Bind<PlainEcho>(delay, s.echoStrength), "echo mode: repeats every delay"});
    s.SetToDefault();
    s.pitchFactor = int32_t(PITCH_FACTOR);
    runs.push_back({"PitchChange x1.5", [s] { PitchChange(s); }, Bind<PlainPitchUp>(PITCH_FACTOR),
        "samples counted before the change; the sound becomes 2/3 as long"});
    s.SetToDefault();
    // Tone 2 has no amplitude by default: tone 1 alone.
    toneTable.resize(TONE_TABLE_SIZE);
    BuildToneTable(s.toneShape, PercentOf(FULL_SCALE, s.tone1Amplitude), toneTable.data());
    uint32_t step = ToneStep(s.tone1Frequency, RATE);
    runs.push_back({"Tone " + std::to_string(s.tone1Frequency) + " Hz " + std::to_string(s.tone1Amplitude) + " %",
        [s] { Tone(s); }, Bind<PlainTone>(static_cast<const int16_t*>(toneTable.data()), step),
        "Replace mode (the mixing setting keeps none of the old sound)"});
    s.SetToDefault();
    runs.push_back({"AddNoise " + std::to_string(s.noiseAmplitude) + " %", [s] { AddNoise(s); },
        Bind<PlainNoise>(NOISE_SEED, PercentOf(FULL_SCALE, s.noiseAmplitude)),
        "Replace mode; both sides draw from the same seed"});
    s.SetToDefault();
    s.fillValue = FILL_VALUE;
    runs.push_back({"Fill " + std::to_string(FILL_VALUE), [s] { Fill(s); }, Bind<PlainFill>(int16_t(FILL_VALUE)),
        "Replace mode"});
    runs.push_back({"LowPass", [] { LowPass(); }, Bind<PlainLowPass>(), ""});
    s.SetToDefault();
    int32_t minimum = int32_t(form.MsToBlocks(uint32_t(s.noiseDuration) * 10));
    runs.push_back({"RemoveBackground " + std::to_string(s.noiseThreshold) + " %, "
            + std::to_string(s.noiseDuration * 10) + " ms",
        [s] { RemoveBackground(s); },
        Bind<PlainRemoveBackground>(PercentOf(FULL_SCALE, s.noiseThreshold), minimum),
        "silencing; no quiet stretch of this sound is that long, so this is the scan alone"});
    return runs;
}

// Restores the plain loops' array and runs one of them: the seconds it took.
double TimePlain(const std::function<int32_t(int16_t*, int32_t)>& loop, const std::vector<int16_t>& from,
    std::vector<int16_t>& to, int32_t blocks, int32_t& left)
{
    std::memcpy(to.data(), from.data(), from.size() * sizeof(int16_t));
    auto t0 = SteadyClock::now();
    left = loop(to.data(), blocks);
    auto t1 = SteadyClock::now();
    return Seconds(t0, t1);
}

bool SameSamples(const std::vector<int16_t>& a, const std::vector<int16_t>& b, int32_t blocks)
{
    size_t n = size_t(blocks) * CHANNELS;
    return a.size() == n && b.size() >= n && std::memcmp(a.data(), b.data(), n * sizeof(int16_t)) == 0;
}

bool Bench::MeasureEffect(const EffectRun& run)
{
    CKV_Document& doc = TheDocument();
    std::vector<double> ours, vectorised, scalar, undo;
    bool filed = true;
    bool savesSamples = false;
    bool restored = true;
    bool same = true;
    for (int r = 0; r < options.reps; r++) {
        SetSelection(0, doc.length, ORIGIN_PROGRAM);
        auto t0 = SteadyClock::now();
        run.effect();
        auto t1 = SteadyClock::now();
        ours.push_back(Seconds(t0, t1));
        if (r == 0)
            result = DocumentContents<int16_t>();
        // An effect that changed nothing files nothing, and undo would take
        // back whatever came before it.
        if (TheUndoHistory().IsEmpty()) {
            filed = false;
        } else {
            savesSamples = UndoMemoryInUse() >= uint32_t(blocks) * BLOCK_BYTES;
            auto t2 = SteadyClock::now();
            int rc = ActUndo();
            auto t3 = SteadyClock::now();
            undo.push_back(Seconds(t2, t3));
            if (rc != 0) {
                std::printf("   %s: ActUndo failed: %d\n", run.name.c_str(), rc);
                return false;
            }
        }
        DiscardHistory();
        if (r == 0)
            restored = DocumentContents<int16_t>() == original;
        if (doc.length != blocks) {
            std::printf("   %s: the length is %" PRId32 " after undo\n", run.name.c_str(), doc.length);
            return false;
        }

        int32_t left = 0;
        vectorised.push_back(TimePlain(run.plain.vectorised, original, work, blocks, left));
        if (r == 0)
            same = SameSamples(result, work, left);
        scalar.push_back(TimePlain(run.plain.scalar, original, work, blocks, left));
        if (r == 0)
            same = same && SameSamples(result, work, left);
    }

    double million = double(blocks) * CHANNELS / 1e6;
    double plain = std::min(Best(vectorised), Best(scalar));
    double percent = 100.0 * plain / Best(ours);
    // A record that saves the samples copies the whole sound into memory
    // just allocated, which no plain loop does: the same arithmetic plus
    // that copy is what an undoable effect can reach at best. (A record
    // that takes the old chunks over, as Silence's does, needs no figure.)
    savesSamples = savesSamples && percent < TARGET_EFFECT_PERCENT;
    double withCopy = savesSamples ? 100.0 * (plain + copySeconds) / Best(ours) : -1;
    effectResults.push_back({run.name, percent, withCopy});
    std::printf("   %-30s %7.1f M samples/s   plain loop %7.1f M samples/s   = %5.1f %% of the plain loop   %s\n",
        (run.name + ":").c_str(), million / Best(ours), million / plain, percent,
        Verdict(percent >= TARGET_EFFECT_PERCENT));
    if (savesSamples)
        std::printf("   %-30s = %5.1f %% of the plain loop plus the record's copy (%.1f ms)   %s\n", "", withCopy,
            (plain + copySeconds) * 1e3, Verdict(withCopy >= TARGET_EFFECT_PERCENT));
    std::printf("   %-30s (best %.1f ms; plain loop vectorised %.1f ms, scalar %.1f ms; contents %s; ", "",
        Best(ours) * 1e3, Best(vectorised) * 1e3, Best(scalar) * 1e3, same ? "equal" : "DIFFER");
    if (filed)
        std::printf("undone in %.1f ms, sound %s)\n", Best(undo) * 1e3, restored ? "restored" : "NOT RESTORED");
    else
        std::printf("%s)\n", restored ? "nothing changed, nothing filed" : "changed but NOTHING FILED");
    if (!run.note.empty())
        std::printf("   %-30s %s\n", "", run.note.c_str());
    return same && restored;
}

bool Bench::MeasureEffects()
{
    if (!Open(options.minutes))
        return false;
    original = DocumentContents<int16_t>();
    work.resize(original.size());
    std::printf("\nEffects on the whole sound, each one command: effect and undo record (the samples it\n"
                "overwrites are saved first), in million samples per second (samples = blocks x channels),\n"
                "best of %d runs; each run is undone and the histories discarded outside the timing.\n"
                "Beside each, its arithmetic as a plain loop over an int16 array of the same sound, built\n"
                "at -O3 twice, vectorised and kept scalar; the faster of the two is the baseline.\n\n",
        options.reps);
    // An effect's undo record copies the samples it overwrites into memory
    // just allocated, whose first touch the plain loops never pay for.
    copySeconds = FreshCopySeconds(original.data(), original.size() * sizeof(int16_t), options.reps);
    if (copySeconds <= 0)
        return false;
    std::printf("   The whole sound copied into fresh malloc'ed memory, as a record saving it is: best %.1f ms\n"
                "   (included in the time of every effect whose record saves the samples)\n\n",
        copySeconds * 1e3);
    bool ok = true;
    for (const EffectRun& run : Effects())
        ok = MeasureEffect(run) && ok;
    std::vector<int16_t>().swap(original);
    std::vector<int16_t>().swap(work);
    std::vector<int16_t>().swap(result);
    return ok;
}

bool Bench::MeasureDelete()
{
    std::printf("\n");
    if (!Open(options.editMinutes))
        return false;
    CKV_Document& doc = TheDocument();
    const size_t bytes = size_t(EDIT_BLOCKS) * BLOCK_BYTES;
    std::printf("\nDelete one second (%" PRId32 " blocks) in the middle, then Undo, then Redo, %d times\n",
        EDIT_BLOCKS, options.reps);
    std::printf("   each time at a new position inside a chunk; afterwards the sound is put back untimed\n");
    std::vector<uint8_t> saved(bytes);
    std::vector<uint8_t> warm(bytes, 1);
    std::vector<double> remove, undo, redo, freshCopy, warmCopy;
    for (int r = 0; r < options.reps; r++) {
        int32_t pos = doc.length / 2 + 12345 + r * 1001;
        CopyBlocks(pos, saved.data(), EDIT_BLOCKS);
        SetSelection(pos, EDIT_BLOCKS, ORIGIN_PROGRAM);

        auto t0 = SteadyClock::now();
        int deleted = DeleteSelection();
        auto t1 = SteadyClock::now();
        bool ok = deleted == 0 && doc.length == blocks - EDIT_BLOCKS;
        auto t2 = SteadyClock::now();
        int undone = ActUndo();
        auto t3 = SteadyClock::now();
        std::vector<uint8_t> back(bytes);
        CopyBlocks(pos, back.data(), EDIT_BLOCKS);
        ok = ok && undone == 0 && doc.length == blocks && back == saved;
        auto t4 = SteadyClock::now();
        int redone = ActRedo();
        auto t5 = SteadyClock::now();
        ok = ok && redone == 0 && doc.length == blocks - EDIT_BLOCKS;
        ok = ok && ActUndo() == 0 && doc.length == blocks;
        DiscardHistory();
        if (!ok) {
            std::printf("   Delete/Undo/Redo failed (%d, %d, %d; length %" PRId32 ")\n", deleted, undone, redone,
                doc.length);
            return false;
        }
        remove.push_back(Seconds(t0, t1) * 1e3);
        undo.push_back(Seconds(t2, t3) * 1e3);
        redo.push_back(Seconds(t4, t5) * 1e3);

        // The plain side: the saved samples copied into memory just
        // allocated, as a record's copy is, and into memory written before.
        uint8_t* fresh = static_cast<uint8_t*>(std::malloc(bytes));
        if (!fresh)
            return false;
        auto t6 = SteadyClock::now();
        std::memcpy(fresh, saved.data(), bytes);
        auto t7 = SteadyClock::now();
        std::memcpy(warm.data(), saved.data(), bytes);
        auto t8 = SteadyClock::now();
        // Both copies are read back, so neither can be left out.
        bool copied = std::memcmp(fresh, saved.data(), bytes) == 0 && warm == saved;
        std::free(fresh);
        if (!copied)
            return false;
        freshCopy.push_back(Seconds(t6, t7) * 1e3);
        warmCopy.push_back(Seconds(t7, t8) * 1e3);
    }
    std::printf("   DeleteSelection: best %7.3f ms, median %7.3f ms, worst %7.3f ms\n", Best(remove), Median(remove),
        Worst(remove));
    std::printf("   ActUndo:         best %7.3f ms, median %7.3f ms, worst %7.3f ms   (sound restored exactly)\n",
        Best(undo), Median(undo), Worst(undo));
    std::printf("   ActRedo:         best %7.3f ms, median %7.3f ms, worst %7.3f ms\n", Best(redo), Median(redo),
        Worst(redo));
    std::printf("   memcpy of the saved samples (%zu bytes): into fresh malloc'ed memory median %.3f ms (worst "
                "%.3f ms), into memory written before median %.3f ms\n",
        bytes, Median(freshCopy), Worst(freshCopy), Median(warmCopy));
    std::printf("   chunks afterwards: %d\n", doc.chunks.Count());
    copyMs = Median(freshCopy);
    undoMs = Median(undo);
    redoMs = Median(redo);
    editMeasured = true;
    return true;
}

void Bench::Summary()
{
    std::printf("\nTargets:\n");
    for (const EffectResult& e : effectResults) {
        std::printf("   %-30s >= %.0f %% of the plain loop: %6.1f %%   %s", e.name.c_str(), TARGET_EFFECT_PERCENT,
            e.percent, Verdict(e.percent >= TARGET_EFFECT_PERCENT));
        if (e.withCopyPercent >= 0)
            std::printf("   (with the record's copy: %.1f %% %s)", e.withCopyPercent,
                Verdict(e.withCopyPercent >= TARGET_EFFECT_PERCENT));
        std::printf("\n");
    }
    if (editMeasured) {
        double limit = TARGET_UNDO_MS + copyMs;
        std::printf("   undo and redo of Delete (%d-minute sound) under %.0f ms plus the copy time, %.3f ms:\n"
                    "      undo %.3f ms %s, redo %.3f ms %s (medians)\n",
            options.editMinutes, TARGET_UNDO_MS, limit, undoMs, Verdict(undoMs < limit), redoMs,
            Verdict(redoMs < limit));
    }
}

int Bench::Run()
{
    if (!StartCore())
        return 1;
    static FixedClock clock;
    SetClock(&clock);
    bool ok = MeasureEffects();
    if (options.editMinutes > 0)
        ok = MeasureDelete() && ok;
    Summary();
    if (!ok) {
        std::printf("benchmark FAILED\n");
        return 1;
    }
    return 0;
}

}

int main(int argc, char** argv)
{
    Options options;
    options.editMinutes = 60;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: effects_bench [--minutes N] [--edit-minutes N] [--dir DIR] [--reps N]\n");
        return 2;
    }
    StartProgram("effects_bench");
    std::printf("Targets: each effect >= %.0f %% of a plain loop doing its arithmetic", TARGET_EFFECT_PERCENT);
    if (options.editMinutes > 0)
        std::printf("; undo and redo of\n"
                    "deleting one second of the %d-minute sound under %.0f ms plus the time of copying that second",
            options.editMinutes, TARGET_UNDO_MS);
    std::printf(".\n\n");
    Bench bench(options);
    return bench.Run();
}
