// What the benchmark programs share: starting the core, the generated test
// sound, opening it as the document, reading it back, timing, and the build
// attributes of the plain loops that the document's figures are judged
// against. Each program is one source file; everything here is inline.
#pragma once

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "../tests/support/core_reset.h"
#include "app/core_links.h"
#include "app/settings.h"
#include "base/app.h"
#include "base/app_options.h"
#include "base/builtin_strings.h"
#include "edit/actions.h"
#include "edit/open_document.h"
#include "lib/log.h"
#include "sound/document.h"
#include "sound/wave_file.h"
#include "sound/wave_format.h"

namespace bench {

// Not "Clock": the core's clock seam has that name.
using SteadyClock = std::chrono::steady_clock;

const uint32_t RATE = 44100;
const uint16_t CHANNELS = 2;
const uint16_t BITS = 16;
const uint32_t BLOCK_BYTES = CHANNELS * BITS / 8;
const uint32_t HEADER_BYTES = 44;           // RIFF, "fmt " (16 bytes of format) and "data" headers
const int32_t EDIT_BLOCKS = RATE;           // one second

class StderrLogSink : public LogSink {
public:
    void Output(const char* text) override { std::fprintf(stderr, "log: %s\n", text); }
};

// Log lines go to stderr, figures to stdout unbuffered so that they appear
// as they are measured, also through Wine's console.
inline void StartProgram(const char* name)
{
    static StderrLogSink sink;
    SetLogSink(&sink);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
#if defined(_WIN32)
    std::printf("%s (Windows build)\n", name);
#else
    std::printf("%s (native build)\n", name);
#endif
}

// The core as the program starts it, with an empty document and no action
// or history left.
inline bool StartCore()
{
    return ResetCore() && NewDocument(nullptr) == 0;
}

// A linear PCM record; bits is 8 or 16.
inline KvWaveFormat PcmFormat(uint16_t channels, uint16_t bits, uint32_t rate)
{
    auto align = uint16_t(channels * bits / 8);
    return {WAVE_TAG_PCM, channels, rate, rate * align, align, bits, 0};
}

inline double Seconds(SteadyClock::time_point from, SteadyClock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

inline double Megabytes(uint64_t bytes)
{
    return static_cast<double>(bytes) / 1e6;
}

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

inline double Best(const std::vector<double>& v)
{
    return *std::min_element(v.begin(), v.end());
}

inline double Worst(const std::vector<double>& v)
{
    return *std::max_element(v.begin(), v.end());
}

// The best of `reps` copies of `bytes` into memory just allocated: the
// first touch of new memory, which an undo record or a converted sound pays
// and a plain loop over an array written before does not. 0 when out of
// memory.
inline double FreshCopySeconds(const void* from, size_t bytes, int reps)
{
    std::vector<double> copies;
    for (int r = 0; r < reps; r++) {
        auto t0 = SteadyClock::now();
        void* fresh = std::malloc(bytes);
        if (fresh)
            std::memcpy(fresh, from, bytes);
        auto t1 = SteadyClock::now();
        // Looked at afterwards, so that the copy is made at all.
        bool copied = fresh && std::memcmp(fresh, from, bytes) == 0;
        std::free(fresh);
        if (!copied)
            return 0;
        copies.push_back(Seconds(t0, t1));
    }
    return Best(copies);
}

inline const char* Verdict(bool met)
{
    return met ? "met" : "MISSED";
}

inline void StoreLE16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

inline void StoreLE32(uint8_t* p, uint32_t v)
{
    StoreLE16(p, uint16_t(v));
    StoreLE16(p + 2, uint16_t(v >> 16));
}

// The canonical 44-byte header, exactly as the writer puts it in front of a
// PCM sound without description chunks, so a saved copy can be compared with
// a plain one byte for byte.
inline void MakeHeader(uint8_t* h, uint32_t dataBytes)
{
    std::memcpy(h, "RIFF", 4);
    StoreLE32(h + 4, HEADER_BYTES - 8 + dataBytes);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    StoreLE32(h + 16, 16);
    StoreLE16(h + 20, 1);
    StoreLE16(h + 22, CHANNELS);
    StoreLE32(h + 24, RATE);
    StoreLE32(h + 28, RATE * BLOCK_BYTES);
    StoreLE16(h + 32, BLOCK_BYTES);
    StoreLE16(h + 34, BITS);
    std::memcpy(h + 36, "data", 4);
    StoreLE32(h + 40, dataBytes);
}

inline bool SyncFile(FILE* f)
{
#ifdef _WIN32
    return _commit(_fileno(f)) == 0;
#else
    return fsync(fileno(f)) == 0;
#endif
}

// A triangle on the left and a sawtooth on the right, streamed through a
// small buffer: the generator must not add to the memory a load is judged by.
inline bool GenerateWave(const std::string& path, int32_t blocks)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    uint8_t header[HEADER_BYTES];
    MakeHeader(header, uint32_t(blocks) * BLOCK_BYTES);
    bool ok = std::fwrite(header, 1, HEADER_BYTES, f) == HEADER_BYTES;
    std::vector<int16_t> buffer(65536 * CHANNELS);
    for (int32_t done = 0; ok && done < blocks;) {
        int32_t n = std::min<int32_t>(blocks - done, 65536);
        for (int32_t i = 0; i < n; i++) {
            int32_t t = done + i;
            int32_t phase = t % 200;        // 220.5 Hz
            buffer[2 * i] = int16_t((phase < 100 ? phase : 200 - phase) * 400 - 20000);
            buffer[2 * i + 1] = int16_t((t % 147) * 300 - 22000);   // 300 Hz
        }
        ok = std::fwrite(buffer.data(), BLOCK_BYTES, size_t(n), f) == size_t(n);
        done += n;
    }
    // On disk before anything is measured: its write-back would otherwise
    // run during the first measurements.
    ok = ok && std::fflush(f) == 0 && SyncFile(f);
    return std::fclose(f) == 0 && ok;
}

inline int64_t FileBytes(const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return -1;
#ifdef _WIN32
    _fseeki64(f, 0, SEEK_END);
    int64_t size = _ftelli64(f);
#else
    fseeko(f, 0, SEEK_END);
    int64_t size = ftello(f);
#endif
    std::fclose(f);
    return size;
}


inline int32_t SoundBlocks(int minutes)
{
    return int32_t(int64_t(minutes) * 60 * RATE);
}

// Writes the N-minute test sound into dir and opens it as the document: the
// file's path, "" when either failed (said on stdout).
inline std::string OpenGenerated(const std::string& dir, int minutes)
{
    int32_t blocks = SoundBlocks(minutes);
    char leaf[64];
    std::snprintf(leaf, sizeof leaf, "kv_bench_%dmin.wav", minutes);
    std::string path = dir + "/" + leaf;
    if (!GenerateWave(path, blocks)) {
        std::printf("cannot write %s\n", path.c_str());
        return "";
    }
    int rc = OpenDocumentFile(path.c_str());
    if (rc != 0 || TheDocument().length != blocks) {
        std::printf("LoadWave failed: %d (length %" PRId32 ")\n", rc, TheDocument().length);
        return "";
    }
    std::printf("Sound: %d minutes, 44.1 kHz 16-bit stereo, %" PRId32 " blocks, %.1f million samples, data %.1f MB\n",
        minutes, blocks, double(blocks) * CHANNELS / 1e6, Megabytes(uint64_t(blocks) * BLOCK_BYTES));
    return path;
}

// n blocks of the document from pos, in its own format.
inline void CopyBlocks(int32_t pos, void* out, int32_t n)
{
    CKV_Document& doc = TheDocument();
    doc.SetChannel(255);
    doc.CopyOut(pos, static_cast<uint8_t*>(out), n);
    doc.ReleaseCursor();
}

// Every block of the document, as elements of T: int16_t for 16-bit
// samples, uint8_t for the bytes of any format.
template <class T>
std::vector<T> DocumentContents()
{
    CKV_Document& doc = TheDocument();
    std::vector<T> s(size_t(doc.length) * size_t(doc.format.BlockAlign()) / sizeof(T));
    CopyBlocks(0, s.data(), doc.length);
    return s;
}

// Nothing an action left behind may pile up: the record its undo filed goes
// with the rest of both histories.
inline void DiscardHistory()
{
    ResetUndoHistory(ACTSTATE_LOADING);
    ResetUndoHistory(ACTSTATE_READY);
}

inline uint64_t Checksum(const int16_t* a, size_t n)
{
    uint64_t h = 1469598103934665603ull;
    for (size_t i = 0; i < n; i++)
        h = (h ^ uint16_t(a[i])) * 1099511628211ull;
    return h;
}

}

// The plain loops are compiled at the compiler's best whatever the build type
// (GCC 12 at -O2 leaves them scalar, and so does -O3 once they are inlined into
// a long caller), so the document is held to the strictest comparison; a
// scalar copy shows how much of their lead is vectorisation.
#if defined(__GNUC__) && !defined(__clang__)
#define KV_VECTOR __attribute__((noinline, optimize("O3")))
#define KV_SCALAR __attribute__((noinline, optimize("O3", "no-tree-vectorize")))
#define KV_HAVE_SCALAR 1
#else
#define KV_VECTOR
#define KV_SCALAR
#define KV_HAVE_SCALAR 0
#endif

// A plain loop built twice from one body, vectorised and kept scalar; the
// faster is the baseline: without SSE4.1 GCC's vectorised 32-bit products
// and divisions by constants can run at a third of the scalar speed, and a
// vectoriser's miss must not flatter the document. Each returns the blocks
// it leaves.
#define PLAIN_LOOP(name, params, ...)                          \
    struct name {                                              \
        static KV_VECTOR int32_t Vectorised params __VA_ARGS__ \
        static KV_SCALAR int32_t Scalar params __VA_ARGS__     \
    };

// Command-line options shared by the benchmark programs; each sets its own
// defaults. editMinutes is the length of the sound edited in the middle
// (0: that part is skipped).
struct Options {
    int minutes = 10;
    int editMinutes = 0;
    std::string dir = ".";
    int reps = 5;
};

inline bool ParseOptions(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        if (a == "--minutes" && i + 1 < argc)
            o.minutes = std::atoi(argv[++i]);
        else if (a == "--edit-minutes" && i + 1 < argc)
            o.editMinutes = std::atoi(argv[++i]);
        else if (a == "--dir" && i + 1 < argc)
            o.dir = argv[++i];
        else if (a == "--reps" && i + 1 < argc)
            o.reps = std::atoi(argv[++i]);
        else
            return false;
    }
    return o.minutes > 0 && o.minutes <= 180 && o.editMinutes >= 0 && o.editMinutes <= 180
        && o.reps > 0;
}
