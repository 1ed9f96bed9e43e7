// Clipboard benchmark: Copy of a 100 MB selection against a plain memcpy of
// the same bytes (plus, in the Windows build, the same raw clipboard set the
// Copy command ends with), and an Insert-mode Paste of a 60-minute image
// against opening the same image as the document. The targets: each takes
// at most 1.5 times its plain counterpart.
#include "bench_support.h"

#include "edit/clip_wave.h"

#ifdef _WIN32
#include <windows.h>

#include "app/clipboard_win.h"
#include "resource.h"
#endif

namespace {

using namespace bench;

const double TARGET = 1.5;
const uint64_t COPY_BYTES = 100000000;
const int REPS = 3;

// A 16-bit stereo sound of `blocks` blocks (a triangle and a sawtooth),
// written in runs; all of it selected.
bool MakeSound(int32_t blocks)
{
    KvWaveFormat f = PcmFormat(CHANNELS, BITS, RATE);
    if (!StartCore() || NewDocument(&f) != 0)
        return false;
    CKV_Document& doc = TheDocument();
    if (!doc.InsertSpace(0, blocks))
        return false;
    std::vector<int16_t> run(65536 * CHANNELS);
    for (int32_t done = 0; done < blocks;) {
        int32_t n = std::min<int32_t>(blocks - done, 65536);
        for (int32_t i = 0; i < n; i++) {
            run[size_t(2 * i)] = int16_t((done + i) % 200 * 300 - 30000);
            run[size_t(2 * i + 1)] = int16_t((done + i) % 147 * 400 - 29000);
        }
        if (doc.WriteBlocks(done, reinterpret_cast<uint8_t*>(run.data()), n) != done + n)
            return false;
        done += n;
    }
    doc.ReleaseCursor();
    Selection& sel = TheSelection();
    sel.selStart = 0;
    sel.selLength = blocks;
    return true;
}

#ifdef _WIN32
// The plain counterpart of Copy's last step: a block of that size filled by
// memcpy and set as CF_WAVE.
bool RawClipboardSet(const std::vector<uint8_t>& bytes)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, bytes.size());
    void* p = block ? GlobalLock(block) : nullptr;
    if (!p)
        return false;
    std::memcpy(p, bytes.data(), bytes.size());
    GlobalUnlock(block);
    bool ok = OpenClipboard(nullptr) && EmptyClipboard() && SetClipboardData(CF_WAVE, block);
    CloseClipboard();
    if (!ok)
        GlobalFree(block);
    return ok;
}
#endif

int BenchCopy()
{
    int32_t blocks = int32_t(COPY_BYTES / BLOCK_BYTES);
    if (!MakeSound(blocks)) {
        std::printf("   making the sound failed\n");
        return 1;
    }
    uint32_t size = ClipWaveSize(true);
    std::vector<uint8_t> image(size), plain(size);
    std::vector<double> render, copy, baseline;
    for (int r = 0; r < REPS; r++) {
        auto t0 = SteadyClock::now();
        bool ok = RenderClipWave(true, image.data(), size);
        auto t1 = SteadyClock::now();
        std::memcpy(plain.data(), image.data(), size);
        auto t2 = SteadyClock::now();
        if (!ok)
            return std::printf("   rendering failed\n"), 1;
        render.push_back(Seconds(t0, t1));
        baseline.push_back(Seconds(t1, t2));
#ifdef _WIN32
        // The real command, rendering into a new block and setting it, against
        // memcpy into a new block and the same set.
        t0 = SteadyClock::now();
        int rc = ClipboardCommand(nullptr, IDM_EDIT_COPY);
        t1 = SteadyClock::now();
        ok = RawClipboardSet(plain);
        t2 = SteadyClock::now();
        if (rc != 0 || !ok)
            return std::printf("   clipboard set failed (%d)\n", rc), 1;
        copy.push_back(Seconds(t0, t1));
        baseline.back() = Seconds(t1, t2);
#else
        copy.push_back(render.back());
#endif
    }
    double ours = Best(copy), theirs = Best(baseline);
    std::printf("\nCopy of %.0f MB (16-bit stereo 44100 Hz, %" PRId32 " blocks)\n", Megabytes(size), blocks);
    std::printf("   rendering the image: best %.1f ms\n", Best(render) * 1e3);
#ifdef _WIN32
    std::printf("   Copy command:        best %.1f ms, median %.1f ms\n", ours * 1e3, Median(copy) * 1e3);
    std::printf("   memcpy + raw set:    best %.1f ms, median %.1f ms\n", theirs * 1e3, Median(baseline) * 1e3);
#else
    std::printf("   memcpy:              best %.1f ms\n", theirs * 1e3);
#endif
    std::printf("   ratio %.2f (target %.1f): %s\n", ours / theirs, TARGET, Verdict(ours <= TARGET * theirs));
    return 0;
}

int BenchPaste(int minutes)
{
    int32_t blocks = SoundBlocks(minutes);
    if (!MakeSound(blocks)) {
        std::printf("   making the sound failed\n");
        return 1;
    }
    std::vector<uint8_t> image(ClipWaveSize(false));
    if (image.empty() || !RenderClipWave(false, image.data(), uint32_t(image.size())))
        return std::printf("   rendering failed\n"), 1;
    KvWaveFormat f = PcmFormat(CHANNELS, BITS, RATE);
    std::vector<double> paste, open;
    for (int r = 0; r < REPS; r++) {
        if (!StartCore() || NewDocument(&f) != 0)
            return 1;
        auto t0 = SteadyClock::now();
        int rc = ReadClipWave(image.data(), image.size(), READ_PASTE);
        auto t1 = SteadyClock::now();
        if (rc != 0 || TheDocument().length != blocks)
            return std::printf("   paste failed: %d\n", rc), 1;
        paste.push_back(Seconds(t0, t1));
        if (!StartCore())
            return 1;
        MemoryFileInfo memory;
        memory.data = image.data();
        memory.size = uint32_t(image.size());
        t0 = SteadyClock::now();
        rc = OpenDocumentFile("bench.wav", &memory);
        t1 = SteadyClock::now();
        if (rc != 0 || TheDocument().length != blocks)
            return std::printf("   open failed: %d\n", rc), 1;
        open.push_back(Seconds(t0, t1));
    }
    double ours = Best(paste), theirs = Best(open);
    std::printf("\nInsert-mode Paste of %d minutes (%.0f MB image) into an empty sound\n", minutes,
        Megabytes(image.size()));
    std::printf("   Paste: best %.1f ms, median %.1f ms\n", ours * 1e3, Median(paste) * 1e3);
    std::printf("   open:  best %.1f ms, median %.1f ms\n", theirs * 1e3, Median(open) * 1e3);
    std::printf("   ratio %.2f (target %.1f): %s\n", ours / theirs, TARGET, Verdict(ours <= TARGET * theirs));
    return 0;
}

}

int main(int argc, char** argv)
{
    int minutes = 60;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--minutes") == 0)
            minutes = std::atoi(argv[i + 1]);
    }
    if (minutes < 1) {
        std::fprintf(stderr, "usage: clip_bench [--minutes N]\n");
        return 2;
    }
    StartProgram("clip_bench");
    int rc = BenchCopy();
    return BenchPaste(minutes) || rc;
}
