// Measures the File commands on a long sound against the C library moving
// the same bytes: Save (the document written under its own name, through
// a temporary file that then replaces it) against one sequential fwrite of
// the file's bytes over a file of the same size, and Open (the file read as the document through the
// reader choice, with the recent list and the views) against one
// sequential fread of the same file into fresh memory.
//     file_bench [--minutes N] [--dir DIR] [--reps N]
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/file_commands.h"
#include "app/recent_files.h"

#include "bench_support.h"

namespace {

using namespace bench;

// Ours may take at most this many times the plain time.
const double TARGET_RATIO = 1.3;

bool PlainWrite(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// Into memory malloc'ed for it and not touched before, as the document's
// chunks are.
bool PlainRead(const std::string& path, size_t bytes)
{
    auto* block = static_cast<uint8_t*>(std::malloc(bytes));
    FILE* f = block ? std::fopen(path.c_str(), "rb") : nullptr;
    size_t got = f ? std::fread(block, 1, bytes, f) : 0;
    if (f)
        std::fclose(f);
    std::free(block);
    return got == bytes;
}

// Puts a file's written pages on disk, outside the timing: each timed write
// starts with nothing of an earlier round still waiting to be written.
void Settle(const std::string& path)
{
    if (FILE* f = std::fopen(path.c_str(), "r+b")) {
        SyncFile(f);
        std::fclose(f);
    }
}

template <typename F>
double Time(F&& work, bool& ok)
{
    auto t0 = SteadyClock::now();
    ok = work();
    return Seconds(t0, SteadyClock::now());
}

// Best round of each side; returns ours / plain.
double Report(const char* what, const std::vector<double>& ours, const std::vector<double>& plain, uint64_t bytes)
{
    double mb = Megabytes(bytes);
    for (size_t r = 0; r < ours.size(); r++)
        std::printf("   round %zu: %-12s %7.1f ms = %5.0f MB/s   plain %7.1f ms = %5.0f MB/s\n", r + 1, what,
            ours[r] * 1e3, mb / ours[r], plain[r] * 1e3, mb / plain[r]);
    double ratio = Best(ours) / Best(plain);
    std::printf("   best: %s %.1f ms, plain %.1f ms: %.2fx the plain time\n", what, Best(ours) * 1e3,
        Best(plain) * 1e3, ratio);
    return ratio;
}

}

int main(int argc, char** argv)
{
    Options options;
    options.minutes = 60;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: file_bench [--minutes N] [--dir DIR] [--reps N]\n");
        return 2;
    }
    StartProgram("file_bench");
    std::printf("Target: Save and Open within %.1fx of a plain sequential write and read of the same bytes.\n\n",
        TARGET_RATIO);
    if (!StartCore())
        return 1;
    std::string path = OpenGenerated(options.dir, options.minutes);
    if (path.empty())
        return 1;
    uint64_t fileBytes = uint64_t(FileBytes(path));
    std::vector<uint8_t> image(size_t(fileBytes), 0);
    MakeHeader(image.data(), uint32_t(fileBytes - HEADER_BYTES));
    CopyBlocks(0, image.data() + HEADER_BYTES, TheDocument().length);
    std::string plainPath = options.dir + "/kv_bench_plain.wav";

    std::printf("\nSave: File Save of the modified sound over its file vs fwrite of its bytes over a file of\n"
                "   the same size (both replace an old file; no fsync inside the timing, both settled before)\n");
    std::vector<double> ours, plain;
    if (!PlainWrite(plainPath, image))
        return 1;
    for (int r = 0; r < options.reps; r++) {
        bool ok = false;
        TheDocument().changeCount = 1;
        Settle(path);
        Settle(plainPath);
        ours.push_back(Time([] { return FileSave() == 0 && !DocumentNeedsSave(); }, ok));
        if (!ok) {
            std::printf("Save FAILED\n");
            return 1;
        }
        Settle(path);
        Settle(plainPath);
        plain.push_back(Time([&] { return PlainWrite(plainPath, image); }, ok));
        if (!ok) {
            std::printf("plain write FAILED\n");
            return 1;
        }
    }
    double saveRatio = Report("Save", ours, plain, fileBytes);
    std::vector<uint8_t>().swap(image);

    std::printf("\nOpen: OpenSoundFile of the saved file vs fread of it into fresh memory (each right after the other read it)\n");
    ours.clear();
    plain.clear();
    for (int r = 0; r < options.reps; r++) {
        bool ok = false;
        NewDocument(nullptr);
        ours.push_back(Time([&] { return OpenSoundFile(path.c_str(), false, false); }, ok));
        if (!ok || uint64_t(TheDocument().length) * BLOCK_BYTES + HEADER_BYTES != fileBytes) {
            std::printf("Open FAILED\n");
            return 1;
        }
        plain.push_back(Time([&] { return PlainRead(path, size_t(fileBytes)); }, ok));
        if (!ok) {
            std::printf("plain read FAILED\n");
            return 1;
        }
    }
    double openRatio = Report("Open", ours, plain, fileBytes);
    std::remove(plainPath.c_str());

    std::printf("\nTargets (%d-minute sound, %.1f MB):\n", options.minutes, Megabytes(fileBytes));
    std::printf("   Save <= %.1fx plain write: %.2fx   %s\n", TARGET_RATIO, saveRatio, Verdict(saveRatio <= TARGET_RATIO));
    std::printf("   Open <= %.1fx plain read:  %.2fx   %s\n", TARGET_RATIO, openRatio, Verdict(openRatio <= TARGET_RATIO));
    return 0;
}
