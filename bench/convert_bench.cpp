// Measures Convert Format on the whole sound against plain loops doing the
// same arithmetic on an int16 array in the same process: the generated
// 44.1 kHz 16-bit stereo sound to 22050 Hz 8-bit mono and back again, each
// the undoable action its command runs, and the undo of each.
//
//     convert_bench [--minutes N] [--dir DIR] [--reps N]
//
// The sound is N minutes long (10 by default). The generated file stays in
// DIR; the calling script removes it.
#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "edit/convert_format.h"
#include "edit/undo_history.h"
#include "sound/converter.h"
#include "sound/document.h"
#include "sound/wave_format.h"

#include "bench_support.h"

namespace {

using namespace bench;

const uint32_t LOW_RATE = RATE / 2;
const uint16_t LOW_CHANNELS = 1;
const uint16_t LOW_BITS = 8;

// Down: at half the rate the converter's step is exactly two source blocks,
// a mono destination takes the first channel, and 16 to 8 bits keeps the
// high byte made unsigned (a 16-bit source is not rounded).
PLAIN_LOOP(PlainDown, (const int16_t* in, int32_t blocks, uint8_t* out), {
    int32_t m = (blocks + 1) / 2;
    for (int32_t j = 0; j < m; j++)
        out[j] = uint8_t((in[size_t(j) * 2 * CHANNELS] >> 8) + 128);
    return m;
})

// Up: every block twice, its sample into both channels. (b - 128) << 8 is
// written as a product: a negative value shifted left is undefined in C++17.
PLAIN_LOOP(PlainUp, (const uint8_t* in, int32_t blocks, int16_t* out), {
    for (int32_t i = 0; i < blocks; i++) {
        auto v = int16_t((in[i] - 128) * 256);
        for (int t = 0; t < 2; t++)
            for (int k = 0; k < CHANNELS; k++)
                out[(size_t(i) * 2 + t) * CHANNELS + k] = v;
    }
    return blocks * 2;
})

// Convert Format against its plain loop, in speed.
const double TARGET_PERCENT = 25.0;

// One direction: the seconds of each run.
struct Timings {
    std::vector<double> ours;           // ConvertFormat
    std::vector<double> undo;           // ActUndo of it
    std::vector<double> vectorised;     // the plain loop
    std::vector<double> scalar;
};

// A core call timed; its result.
int Timed(std::vector<double>& times, const std::function<int()>& call)
{
    auto t0 = SteadyClock::now();
    int rc = call();
    auto t1 = SteadyClock::now();
    times.push_back(Seconds(t0, t1));
    return rc;
}

// A plain loop timed into `out`, which is cleared first: so its memory has
// been written before, and a check afterwards sees this loop's work alone.
template <class Out>
double TimePlain(const std::function<int32_t(Out*)>& loop, std::vector<Out>& out, int32_t expected, bool& ok)
{
    std::fill(out.begin(), out.end(), Out(0));
    auto t0 = SteadyClock::now();
    int32_t left = loop(out.data());
    auto t1 = SteadyClock::now();
    ok = ok && left == expected;
    return Seconds(t0, t1);
}

bool IsDocument(const KvWaveFormat& f, int32_t length)
{
    CKV_Document& doc = TheDocument();
    const KvWaveFormat* w = doc.format.Record();
    return doc.length == length && w != nullptr && w->wFormatTag == f.wFormatTag && w->nChannels == f.nChannels
        && w->nSamplesPerSec == f.nSamplesPerSec && w->wBitsPerSample == f.wBitsPerSample;
}

std::string FormatName(const KvWaveFormat& f)
{
    char text[64];
    std::snprintf(text, sizeof text, "%" PRIu32 " Hz %s %u-bit", f.nSamplesPerSec,
        f.nChannels == 1 ? "mono" : "stereo", unsigned(f.wBitsPerSample));
    return text;
}

class Bench {
public:
    explicit Bench(const Options& o) : options(o) {}
    int Run();

private:
    bool Measure();
    bool Round(int r);
    void Print(const KvWaveFormat& from, const KvWaveFormat& to, int32_t sourceBlocks, const Timings& t,
        bool same, bool restored) const;

    Options options;
    std::string path;
    int32_t blocks = 0;
    int32_t lowBlocks = 0;
    KvWaveFormat full = PcmFormat(CHANNELS, BITS, RATE);
    KvWaveFormat low = PcmFormat(LOW_CHANNELS, LOW_BITS, LOW_RATE);

    std::vector<int16_t> original;      // the loaded sound, the plain loops' input
    std::vector<uint8_t> plainLow;      // what the plain loops make
    std::vector<int16_t> plainFull;
    std::vector<uint8_t> lowResult;     // the document after the first conversion of each kind
    std::vector<int16_t> fullResult;

    Timings down, up;
    bool downSame = true;
    bool upSame = true;
    bool downRestored = false;
    bool upRestored = false;
};

// One run: the loaded sound down and, from the result, up; each conversion
// is undone (timed) and its history discarded (untimed) before the next.
bool Bench::Round(int r)
{
    if (r > 0 && (OpenDocumentFile(path.c_str()) != 0 || !IsDocument(full, blocks))) {
        std::printf("   reloading %s failed\n", path.c_str());
        return false;
    }
    int rc = Timed(down.ours, [this] { return ConvertFormat(&low); });
    if (rc != 0 || !IsDocument(low, lowBlocks)) {
        std::printf("   ConvertFormat to %s failed: %d (length %" PRId32 ")\n", FormatName(low).c_str(), rc,
            TheDocument().length);
        return false;
    }
    if (r == 0)
        lowResult = DocumentContents<uint8_t>();
    rc = Timed(down.undo, ActUndo);
    if (rc != 0 || !IsDocument(full, blocks)) {
        std::printf("   ActUndo of the conversion to %s failed: %d\n", FormatName(low).c_str(), rc);
        return false;
    }
    if (r == 0)
        downRestored = DocumentContents<int16_t>() == original;
    // The converted sound again for the way back, from the redo record.
    rc = ActRedo();
    DiscardHistory();
    if (rc != 0 || !IsDocument(low, lowBlocks)) {
        std::printf("   ActRedo of the conversion to %s failed: %d\n", FormatName(low).c_str(), rc);
        return false;
    }

    rc = Timed(up.ours, [this] { return ConvertFormat(&full); });
    if (rc != 0 || !IsDocument(full, blocks)) {
        std::printf("   ConvertFormat to %s failed: %d (length %" PRId32 ")\n", FormatName(full).c_str(), rc,
            TheDocument().length);
        return false;
    }
    if (r == 0)
        fullResult = DocumentContents<int16_t>();
    rc = Timed(up.undo, ActUndo);
    DiscardHistory();
    if (rc != 0 || !IsDocument(low, lowBlocks)) {
        std::printf("   ActUndo of the conversion to %s failed: %d\n", FormatName(full).c_str(), rc);
        return false;
    }
    if (r == 0)
        upRestored = DocumentContents<uint8_t>() == lowResult;

    bool ok = true;
    const int16_t* in = original.data();
    down.vectorised.push_back(TimePlain<uint8_t>(
        [&](uint8_t* out) { return PlainDown::Vectorised(in, blocks, out); }, plainLow, lowBlocks, ok));
    if (r == 0)
        downSame = plainLow == lowResult;
    down.scalar.push_back(TimePlain<uint8_t>(
        [&](uint8_t* out) { return PlainDown::Scalar(in, blocks, out); }, plainLow, lowBlocks, ok));
    if (r == 0)
        downSame = downSame && plainLow == lowResult;
    // The way back starts from the plain loop's own 8-bit sound.
    const uint8_t* lowIn = plainLow.data();
    up.vectorised.push_back(TimePlain<int16_t>(
        [&](int16_t* out) { return PlainUp::Vectorised(lowIn, lowBlocks, out); }, plainFull, blocks, ok));
    if (r == 0)
        upSame = plainFull == fullResult;
    up.scalar.push_back(TimePlain<int16_t>(
        [&](int16_t* out) { return PlainUp::Scalar(lowIn, lowBlocks, out); }, plainFull, blocks, ok));
    if (r == 0)
        upSame = upSame && plainFull == fullResult;
    if (!ok)
        std::printf("   a plain loop left the wrong number of blocks\n");
    return ok;
}

void Bench::Print(const KvWaveFormat& from, const KvWaveFormat& to, int32_t sourceBlocks, const Timings& t,
    bool same, bool restored) const
{
    double million = double(sourceBlocks) * from.nChannels / 1e6;
    double ours = Best(t.ours);
    double plain = std::min(Best(t.vectorised), Best(t.scalar));
    std::printf("\n   %s -> %s (%" PRId32 " source blocks, %.2f million source samples)\n", FormatName(from).c_str(),
        FormatName(to).c_str(), sourceBlocks, million);
    std::printf("      ConvertFormat: %8.1f ms = %7.1f M samples/s   (median %.1f ms, worst %.1f ms)\n", ours * 1e3,
        million / ours, Median(t.ours) * 1e3, Worst(t.ours) * 1e3);
    std::printf("      plain loop:    %8.1f ms = %7.1f M samples/s   (vectorised %.1f ms, scalar %.1f ms; "
                "contents %s)\n",
        plain * 1e3, million / plain, Best(t.vectorised) * 1e3, Best(t.scalar) * 1e3, same ? "equal" : "DIFFER");
    std::printf("      ratio: ConvertFormat takes %.2f times the plain loop's time = %.1f %% of its speed   %s\n",
        ours / plain, 100.0 * plain / ours, Verdict(100.0 * plain / ours >= TARGET_PERCENT));
    std::printf("      ActUndo (back to %s): best %.1f ms, median %.1f ms, worst %.1f ms (sound %s)\n",
        FormatName(from).c_str(), Best(t.undo) * 1e3, Median(t.undo) * 1e3, Worst(t.undo) * 1e3,
        restored ? "restored exactly" : "NOT RESTORED");
}

bool Bench::Measure()
{
    path = OpenGenerated(options.dir, options.minutes);
    if (path.empty())
        return false;
    blocks = SoundBlocks(options.minutes);
    lowBlocks = (blocks + 1) / 2;
    original = DocumentContents<int16_t>();
    plainLow.resize(size_t(lowBlocks));
    plainFull.resize(original.size());
    std::printf("\nConvert Format of the whole sound, each one command: the conversion and its undo record\n"
                "(the old format and samples are saved first), best of %d runs, in ms and in million source\n"
                "samples per second (blocks x channels of the source format). Each run starts from the file\n"
                "loaded afresh; each conversion is undone, and redone untimed where the next one needs its\n"
                "result; the histories are discarded after each, outside the timing.\n"
                "Beside each, its arithmetic as a plain loop from an array of the same sound into one written\n"
                "before, built at -O3 twice, vectorised and kept scalar; the faster of the two is the baseline.\n",
        options.reps);
    for (int r = 0; r < options.reps; r++)
        if (!Round(r))
            return false;
    Print(full, low, blocks, down, downSame, downRestored);
    Print(low, full, lowBlocks, up, upSame, upRestored);
    return downSame && upSame && downRestored && upRestored;
}

int Bench::Run()
{
    if (!StartCore())
        return 1;
    if (!Measure()) {
        std::printf("benchmark FAILED\n");
        return 1;
    }
    return 0;
}

}

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: convert_bench [--minutes N] [--dir DIR] [--reps N]\n");
        return 2;
    }
    StartProgram("convert_bench");
    Bench bench(options);
    return bench.Run();
}
