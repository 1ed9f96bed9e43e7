// Measures the document's file and sample paths against the C library doing
// the same work on the same bytes in the same process: loading and saving a
// WAVE file, inserting and deleting in the middle of a long sound, sequential
// per-sample access, and the memory a load costs.
//
// One size per run, so that the peak memory of the load is measured in a
// process that has not yet held any sound:
//     wave_bench [--minutes N] [--dir DIR] [--reps N]
// The generated and saved files stay in DIR; the calling script removes them.
#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#endif

#include "base/app.h"
#include "edit/actions.h"
#include "edit/open_document.h"
#include "sound/document.h"
#include "sound/wave_file.h"

#include "bench_support.h"

namespace {

using namespace bench;

// The targets the figures are judged against.
const double TARGET_LOAD_SAVE_PERCENT = 80.0;
const double TARGET_EDIT_MICROSECONDS = 1000.0;
const double TARGET_ACCESS_PERCENT = 30.0;
const double TARGET_PEAK_PERCENT = 105.0;

bool SameContents(const std::string& a, const std::string& b)
{
    FILE* fa = std::fopen(a.c_str(), "rb");
    FILE* fb = std::fopen(b.c_str(), "rb");
    bool same = fa && fb;
    std::vector<char> ba(1 << 20), bb(1 << 20);
    while (same) {
        size_t na = std::fread(ba.data(), 1, ba.size(), fa);
        size_t nb = std::fread(bb.data(), 1, bb.size(), fb);
        same = na == nb && std::memcmp(ba.data(), bb.data(), na) == 0;
        if (na == 0)
            break;
    }
    if (fa)
        std::fclose(fa);
    if (fb)
        std::fclose(fb);
    return same;
}

// Resident memory now and at its peak, in bytes. Linux can restart the peak
// from the current figure; elsewhere the peak is the process's whole-life one.
struct MemoryFigures {
    uint64_t resident = 0;
    uint64_t peak = 0;
    bool valid = false;
};

#ifdef _WIN32
MemoryFigures ReadMemory()
{
    MemoryFigures m;
    PROCESS_MEMORY_COUNTERS pmc;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc)) {
        m.resident = pmc.WorkingSetSize;
        m.peak = pmc.PeakWorkingSetSize;
        m.valid = true;
    }
    return m;
}

bool RestartPeak()
{
    return false;
}
#else
MemoryFigures ReadMemory()
{
    MemoryFigures m;
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return m;
    char line[256];
    int found = 0;
    while (std::fgets(line, sizeof line, f)) {
        unsigned long long kb;
        if (std::sscanf(line, "VmRSS: %llu kB", &kb) == 1) {
            m.resident = kb * 1024;
            found++;
        } else if (std::sscanf(line, "VmHWM: %llu kB", &kb) == 1) {
            m.peak = kb * 1024;
            found++;
        }
    }
    std::fclose(f);
    m.valid = found == 2;
    return m;
}

// Writing 5 to clear_refs sets the peak back to the current resident size.
bool RestartPeak()
{
    FILE* f = std::fopen("/proc/self/clear_refs", "w");
    if (!f)
        return false;
    bool ok = std::fputs("5", f) >= 0;
    return std::fclose(f) == 0 && ok;
}
#endif

void EmptyDocument()
{
    NewDocument(nullptr);
}

// The plain side of the load: one fread into memory malloc'ed for it and not
// touched before, so it pays the same first-touch cost as the document's chunks.
uint8_t* PlainRead(const std::string& path, size_t bytes)
{
    uint8_t* block = static_cast<uint8_t*>(std::malloc(bytes));
    if (!block)
        return nullptr;
    FILE* f = std::fopen(path.c_str(), "rb");
    size_t got = f ? std::fread(block, 1, bytes, f) : 0;
    if (f)
        std::fclose(f);
    if (got != bytes) {
        std::free(block);
        return nullptr;
    }
    return block;
}

bool PlainWrite(const std::string& path, const uint8_t* data, size_t bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(data, 1, bytes, f) == bytes;
    return std::fclose(f) == 0 && ok;
}

int64_t DocumentRead()
{
    CKV_Document& doc = TheDocument();
    int64_t sum = 0;
    for (int k = 1; k <= CHANNELS; k++) {
        doc.SetChannel(k);
        int32_t n = doc.length;
        for (int32_t pos = 0; pos < n; pos++)
            sum += doc.ReadSample(pos);
    }
    doc.ReleaseCursor();
    return sum;
}

void DocumentWrite(int salt)
{
    CKV_Document& doc = TheDocument();
    for (int k = 1; k <= CHANNELS; k++) {
        doc.SetChannel(k);
        int32_t n = doc.length;
        for (int32_t pos = 0; pos < n; pos++)
            doc.WriteSample(pos, (pos + salt + k) & 0x7FFF);
    }
    doc.ReleaseCursor();
}

// The plain equivalents: the same channel-by-channel order over interleaved
// samples, so the same memory is visited in the same order.
KV_VECTOR int64_t PlainReadLoop(const int16_t* a, int32_t blocks)
{
    int64_t sum = 0;
    for (int k = 0; k < CHANNELS; k++)
        for (int32_t i = 0; i < blocks; i++)
            sum += a[size_t(i) * CHANNELS + k];
    return sum;
}

KV_VECTOR void PlainWriteLoop(int16_t* a, int32_t blocks, int salt)
{
    for (int k = 0; k < CHANNELS; k++)
        for (int32_t i = 0; i < blocks; i++)
            a[size_t(i) * CHANNELS + k] = int16_t((i + salt + k + 1) & 0x7FFF);
}

KV_SCALAR int64_t ScalarReadLoop(const int16_t* a, int32_t blocks)
{
    int64_t sum = 0;
    for (int k = 0; k < CHANNELS; k++)
        for (int32_t i = 0; i < blocks; i++)
            sum += a[size_t(i) * CHANNELS + k];
    return sum;
}

KV_SCALAR void ScalarWriteLoop(int16_t* a, int32_t blocks, int salt)
{
    for (int k = 0; k < CHANNELS; k++)
        for (int32_t i = 0; i < blocks; i++)
            a[size_t(i) * CHANNELS + k] = int16_t((i + salt + k + 1) & 0x7FFF);
}

class Bench {
public:
    explicit Bench(const Options& o) : options(o) {}
    int Run();

private:
    bool Generate();
    bool MeasureLoad();
    bool MeasureSave();
    bool MeasureEdit();
    bool MeasureAccess();
    void Summary();

    std::string Path(const char* leaf) const { return options.dir + "/" + leaf; }

    Options options;
    std::string source;
    int32_t blocks = 0;
    uint64_t dataBytes = 0;
    uint64_t fileBytes = 0;
    uint8_t* plainFile = nullptr;       // the file as the plain read brought it in

    double loadPercent = 0;
    double savePercent = 0;
    double worstEditMedian = 0;
    double worstEdit = 0;
    double readPercent = 0;
    double writePercent = 0;
    double peakPercent = 0;
    bool peakValid = false;
};

bool Bench::Generate()
{
    blocks = int32_t(int64_t(options.minutes) * 60 * RATE);
    dataBytes = uint64_t(blocks) * BLOCK_BYTES;
    char leaf[64];
    std::snprintf(leaf, sizeof leaf, "kv_bench_%dmin.wav", options.minutes);
    source = Path(leaf);
    auto t0 = SteadyClock::now();
    if (!GenerateWave(source, blocks)) {
        std::printf("cannot write %s\n", source.c_str());
        return false;
    }
    auto t1 = SteadyClock::now();
    fileBytes = uint64_t(FileBytes(source));
    std::printf("Sound: %d minutes, 44.1 kHz 16-bit stereo, %" PRId32 " blocks, data %.1f MB, file %" PRIu64
                " bytes (generated in %.2f s, plain fwrite)\n",
        options.minutes, blocks, Megabytes(dataBytes), fileBytes, Seconds(t0, t1));
    return fileBytes == dataBytes + HEADER_BYTES;
}

// One timed step of a round: seconds, and how much the resident memory grew.
// Growth by the sound's size means the step touched fresh memory, the cost
// both sides are meant to pay alike; none means it reused memory that an
// earlier round had touched.
struct Step {
    double seconds = 0;
    int64_t grown = 0;
};

template <typename F>
Step TimeStep(F&& work, bool& ok)
{
    MemoryFigures before = ReadMemory();
    auto t0 = SteadyClock::now();
    ok = work();
    auto t1 = SteadyClock::now();
    MemoryFigures after = ReadMemory();
    return {Seconds(t0, t1), int64_t(after.resident) - int64_t(before.resident)};
}

double BestSeconds(const std::vector<Step>& steps)
{
    double best = steps[0].seconds;
    for (const Step& s : steps)
        best = std::min(best, s.seconds);
    return best;
}

// Rounds of two steps on the same bytes, ours first; returns the plain/ours
// percentage of the best rounds.
double PrintRounds(const char* oursName, const char* plainName, const std::vector<Step>& ours,
    const std::vector<Step>& plain, uint64_t bytes)
{
    double mb = Megabytes(bytes);
    for (size_t r = 0; r < ours.size(); r++)
        std::printf("   round %zu: %s %7.1f ms = %5.0f MB/s (resident %+6.1f MB)   %s %7.1f ms = %5.0f MB/s "
                    "(resident %+6.1f MB)\n",
            r + 1, oursName, ours[r].seconds * 1e3, mb / ours[r].seconds, double(ours[r].grown) / 1e6, plainName,
            plain[r].seconds * 1e3, mb / plain[r].seconds, double(plain[r].grown) / 1e6);
    double bestOurs = BestSeconds(ours);
    double bestPlain = BestSeconds(plain);
    std::printf("   best:    %s %7.1f ms = %5.0f MB/s                       %s %7.1f ms = %5.0f MB/s\n", oursName,
        bestOurs * 1e3, mb / bestOurs, plainName, bestPlain * 1e3, mb / bestPlain);
    return 100.0 * bestPlain / bestOurs;
}

bool Bench::MeasureLoad()
{
    CKV_Document& doc = TheDocument();
    std::printf("\nLoad: LoadWave into the document vs fopen/fread into fresh malloc'ed memory\n");
    std::printf("   (the file is in the OS cache for both; neither side's memory was touched before)\n");

    // The first load runs before this process has held any sound: the peak
    // memory it leaves behind is the load's alone.
    bool restarted = RestartPeak();
    MemoryFigures before = ReadMemory();
    MemoryFigures after;
    std::vector<Step> ours, plain;
    for (int r = 0; r < options.reps; r++) {
        bool ok = true;
        if (r > 0)
            EmptyDocument();
        ours.push_back(TimeStep([&] { return OpenDocumentFile(source.c_str()) == 0 && doc.length == blocks; }, ok));
        if (r == 0)
            after = ReadMemory();
        if (!ok) {
            std::printf("LoadWave failed (length %" PRId32 ")\n", doc.length);
            return false;
        }
        std::free(plainFile);
        plainFile = nullptr;
        plain.push_back(TimeStep([&] { return (plainFile = PlainRead(source, size_t(fileBytes))) != nullptr; }, ok));
        if (!ok) {
            std::printf("plain read failed\n");
            return false;
        }
    }
    loadPercent = PrintRounds("LoadWave", "fread", ours, plain, fileBytes);
    std::printf("   load speed = %.1f %% of plain read (best round of each)\n", loadPercent);

    std::printf("\nPeak memory of the load (the first load, before anything else was allocated)\n");
    if (!before.valid || !after.valid) {
        std::printf("   resident memory cannot be read here\n");
        return true;
    }
    uint64_t increase = after.peak > before.resident ? after.peak - before.resident : 0;
    peakPercent = 100.0 * double(increase) / double(dataBytes);
    peakValid = true;
    std::printf("   resident before %.1f MB (peak %s), peak after %.1f MB: increase %.1f MB; sound %.1f MB\n",
        Megabytes(before.resident), restarted ? "reset to it" : "whole-process, not resettable here",
        Megabytes(after.peak), Megabytes(increase), Megabytes(dataBytes));
    std::printf("   peak memory of load = %.1f %% of the sound's size\n", peakPercent);
    return true;
}

bool Bench::MeasureSave()
{
    std::printf("\nSave: SaveWave vs fopen/fwrite of the same bytes from a buffer filled just before\n");
    std::printf("   (both to new files, closed with fclose, i.e. handed to the OS; no fsync)\n");
    std::string oursPath = Path("saved_by_document.wav");
    std::string plainPath = Path("saved_by_fwrite.wav");
    std::vector<Step> ours, plain;
    for (int r = 0; r < options.reps; r++) {
        // Removing the last round's files also drops their unwritten pages,
        // which would otherwise be flushed during this round.
        std::remove(oursPath.c_str());
        std::remove(plainPath.c_str());
        bool ok = true;
        int rc = 0;
        ours.push_back(TimeStep([&] { return (rc = SaveWave(oursPath.c_str(), WAVE_WRITE_FILE, nullptr)) == 0; }, ok));
        if (!ok) {
            std::printf("SaveWave failed: %d\n", rc);
            return false;
        }
        uint8_t* image = static_cast<uint8_t*>(std::malloc(size_t(fileBytes)));
        if (!image)
            return false;
        MakeHeader(image, uint32_t(dataBytes));
        CKV_Document& doc = TheDocument();
        doc.SetChannel(255);
        doc.CopyOut(0, image + HEADER_BYTES, doc.length);
        plain.push_back(TimeStep([&] { return PlainWrite(plainPath, image, size_t(fileBytes)); }, ok));
        std::free(image);
        if (!ok) {
            std::printf("plain write failed\n");
            return false;
        }
    }
    savePercent = PrintRounds("SaveWave", "fwrite", ours, plain, fileBytes);
    int64_t oursSize = FileBytes(oursPath);
    int64_t plainSize = FileBytes(plainPath);
    bool same = oursSize == plainSize && oursSize == int64_t(fileBytes) && SameContents(oursPath, plainPath);
    std::printf("   save speed = %.1f %% of plain write (best round of each); the two files are %s\n", savePercent,
        same ? "identical" : "DIFFERENT");
    return same;
}

bool Bench::MeasureEdit()
{
    CKV_Document& doc = TheDocument();
    const int reps = 20;
    std::printf("\nInsert and delete one second (%" PRId32 " blocks) in the middle, %d times\n",
        EDIT_BLOCKS, reps);
    std::printf("   each time at a new position inside a chunk, so every insert splits a chunk\n");
    std::vector<double> insert, remove;
    for (int r = 0; r < reps; r++) {
        int32_t pos = doc.length / 2 + 12345 + r * 1001;
        auto t0 = SteadyClock::now();
        bool inserted = doc.InsertSpace(pos, EDIT_BLOCKS);
        auto t1 = SteadyClock::now();
        bool deleted = doc.DeleteRange(pos, EDIT_BLOCKS);
        auto t2 = SteadyClock::now();
        if (!inserted || !deleted || doc.length != blocks) {
            std::printf("InsertSpace/DeleteRange failed\n");
            return false;
        }
        insert.push_back(Seconds(t0, t1) * 1e6);
        remove.push_back(Seconds(t1, t2) * 1e6);
    }
    std::printf("   InsertSpace: best %8.2f us, median %8.2f us, worst %8.2f us\n", Best(insert),
        Median(insert), *std::max_element(insert.begin(), insert.end()));
    std::printf("   DeleteRange: best %8.2f us, median %8.2f us, worst %8.2f us\n", Best(remove),
        Median(remove), *std::max_element(remove.begin(), remove.end()));
    std::printf("   chunks afterwards: %d\n", doc.chunks.Count());
    worstEditMedian = std::max(Median(insert), Median(remove));
    worstEdit = std::max(*std::max_element(insert.begin(), insert.end()),
        *std::max_element(remove.begin(), remove.end()));
    return true;
}

bool Bench::MeasureAccess()
{
    CKV_Document& doc = TheDocument();
    size_t samples = size_t(blocks) * CHANNELS;
    double million = double(samples) / 1e6;
    std::printf("\nSequential per-sample access over the whole sound, channel 1 then channel 2\n");
    std::printf("   (%.1f million samples a pass, best of %d passes; the plain loop runs in the same order over\n"
                "   an interleaved int16 array, vectorised%s)\n",
        million, options.reps, KV_HAVE_SCALAR ? " (built at -O3 so GCC vectorises it); beside it a scalar copy of it" : "");

    std::vector<int16_t> plainSamples(samples);
    std::memcpy(plainSamples.data(), plainFile + HEADER_BYTES, samples * 2);
    std::free(plainFile);
    plainFile = nullptr;

    std::vector<double> ours, plain, scalar;
    int64_t oursSum = 0, plainSum = 0, scalarSum = 0;
    for (int r = 0; r < options.reps; r++) {
        auto t0 = SteadyClock::now();
        oursSum = DocumentRead();
        auto t1 = SteadyClock::now();
        plainSum = PlainReadLoop(plainSamples.data(), blocks);
        auto t2 = SteadyClock::now();
        scalarSum = ScalarReadLoop(plainSamples.data(), blocks);
        auto t3 = SteadyClock::now();
        ours.push_back(Seconds(t0, t1));
        plain.push_back(Seconds(t1, t2));
        scalar.push_back(Seconds(t2, t3));
    }
    readPercent = 100.0 * Best(plain) / Best(ours);
    std::printf("   ReadSample:  %7.1f M samples/s   plain loop %7.1f M samples/s   (sums %s: %" PRId64 ")\n",
        million / Best(ours), million / Best(plain),
        oursSum == plainSum && plainSum == scalarSum ? "equal" : "DIFFER", oursSum);
    std::printf("   read = %.1f %% of the plain loop", readPercent);
    if (KV_HAVE_SCALAR)
        std::printf(" (plain loop kept scalar: %.1f M samples/s, read = %.1f %% of it)",
            million / Best(scalar), 100.0 * Best(scalar) / Best(ours));
    std::printf("\n");

    ours.clear();
    plain.clear();
    scalar.clear();
    for (int r = 0; r < options.reps; r++) {
        auto t0 = SteadyClock::now();
        DocumentWrite(r);
        auto t1 = SteadyClock::now();
        PlainWriteLoop(plainSamples.data(), blocks, r);
        auto t2 = SteadyClock::now();
        ScalarWriteLoop(plainSamples.data(), blocks, r);
        auto t3 = SteadyClock::now();
        ours.push_back(Seconds(t0, t1));
        plain.push_back(Seconds(t1, t2));
        scalar.push_back(Seconds(t2, t3));
    }
    // Both sides' stores are read back, so neither loop can be left out.
    std::vector<int16_t> written(samples);
    doc.SetChannel(255);
    doc.CopyOut(0, reinterpret_cast<uint8_t*>(written.data()), doc.length);
    uint64_t oursCheck = Checksum(written.data(), samples);
    uint64_t plainCheck = Checksum(plainSamples.data(), samples);
    writePercent = 100.0 * Best(plain) / Best(ours);
    std::printf("   WriteSample: %7.1f M samples/s   plain loop %7.1f M samples/s   (contents %s)\n",
        million / Best(ours), million / Best(plain), oursCheck == plainCheck ? "equal" : "DIFFER");
    std::printf("   write = %.1f %% of the plain loop", writePercent);
    if (KV_HAVE_SCALAR)
        std::printf(" (plain loop kept scalar: %.1f M samples/s, write = %.1f %% of it)",
            million / Best(scalar), 100.0 * Best(scalar) / Best(ours));
    std::printf("\n");
    return oursSum == plainSum && oursCheck == plainCheck;
}

void Bench::Summary()
{
    std::printf("\nTargets (%d-minute sound):\n", options.minutes);
    std::printf("   load  >= %.0f %% of plain read:           %6.1f %%   %s\n", TARGET_LOAD_SAVE_PERCENT,
        loadPercent, Verdict(loadPercent >= TARGET_LOAD_SAVE_PERCENT));
    std::printf("   save  >= %.0f %% of plain write:          %6.1f %%   %s\n", TARGET_LOAD_SAVE_PERCENT,
        savePercent, Verdict(savePercent >= TARGET_LOAD_SAVE_PERCENT));
    std::printf("   insert/delete in the middle < %.0f us:  %6.1f us  %s (median; slowest of all %.1f us)%s\n",
        TARGET_EDIT_MICROSECONDS, worstEditMedian, Verdict(worstEditMedian < TARGET_EDIT_MICROSECONDS), worstEdit,
        options.minutes == 60 ? "" : "; the target is set for the 60-minute sound");
    std::printf("   read  >= %.0f %% of the plain loop:       %6.1f %%   %s\n", TARGET_ACCESS_PERCENT,
        readPercent, Verdict(readPercent >= TARGET_ACCESS_PERCENT));
    std::printf("   write >= %.0f %% of the plain loop:       %6.1f %%   %s\n", TARGET_ACCESS_PERCENT,
        writePercent, Verdict(writePercent >= TARGET_ACCESS_PERCENT));
    if (peakValid)
        std::printf("   peak memory of load <= %.0f %% of sound: %6.1f %%   %s\n", TARGET_PEAK_PERCENT,
            peakPercent, Verdict(peakPercent <= TARGET_PEAK_PERCENT));
    else
        std::printf("   peak memory of load: not measurable here\n");
}

int Bench::Run()
{
    if (!StartCore())
        return 1;
    bool ok = Generate() && MeasureLoad() && MeasureSave() && MeasureEdit() && MeasureAccess();
    std::free(plainFile);
    if (!ok) {
        std::printf("benchmark FAILED\n");
        return 1;
    }
    Summary();
    return 0;
}

}

int main(int argc, char** argv)
{
    Options options;
    options.reps = 7;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: wave_bench [--minutes N] [--dir DIR] [--reps N]\n");
        return 2;
    }
    StartProgram("wave_bench");
    std::printf("Targets: load and save >= %.0f %% of plain read/write; insert or delete in the middle of\n"
                "the 60-minute sound < %.0f us; per-sample access >= %.0f %% of a plain loop; peak memory\n"
                "of a load within %.0f %% of the sound's size.\n\n",
        TARGET_LOAD_SAVE_PERCENT, TARGET_EDIT_MICROSECONDS, TARGET_ACCESS_PERCENT,
        TARGET_PEAK_PERCENT - 100.0);
    Bench bench(options);
    return bench.Run();
}
