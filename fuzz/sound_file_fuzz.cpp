// libFuzzer target over the type choice and every reader: each input is
// opened as a sound (from memory and from disk) and pasted into a sound of
// another format, under a name whose extension the input picks, so the
// extension path, the probe and RAW are all reached.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "../tests/support/test_host.h"
#include "base/app.h"
#include "base/app_options.h"
#include "base/builtin_strings.h"
#include "edit/actions.h"
#include "edit/open_document.h"
#include "sound/document.h"
#include "sound/object_options.h"
#include "sound/sound_file.h"
#include "sound/wave_file.h"
#include "view/selection_ops.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint16_t v, bool bigEndian = false)
{
    b.push_back(uint8_t(bigEndian ? v >> 8 : v));
    b.push_back(uint8_t(bigEndian ? v : v >> 8));
}

void Put32(Bytes& b, uint32_t v, bool bigEndian = false)
{
    Put16(b, uint16_t(bigEndian ? v >> 16 : v), bigEndian);
    Put16(b, uint16_t(bigEndian ? v : v >> 16), bigEndian);
}

void Append(Bytes& b, const Bytes& more)
{
    b.insert(b.end(), more.begin(), more.end());
}

Bytes Samples(size_t n)
{
    Bytes b(n);
    for (size_t i = 0; i < n; i++)
        b[i] = uint8_t(i * 13 + (i >> 3));
    return b;
}

Bytes IffChunk(const char* id, const Bytes& body)
{
    Bytes b(id, id + 4);
    Put32(b, uint32_t(body.size()), true);
    Append(b, body);
    if (body.size() & 1)
        b.push_back(0);
    return b;
}

Bytes Aiff(bool aifc, uint16_t channels, uint16_t bits, uint16_t rateExponent, uint32_t frames)
{
    Bytes comm;
    Put16(comm, channels, true);
    Put32(comm, frames, true);
    Put16(comm, bits, true);
    Put16(comm, rateExponent, true);        // 2^(exponent - 16383) Hz
    Put32(comm, 0x80000000, true);
    Put32(comm, 0, true);
    if (aifc)
        Append(comm, {'N', 'O', 'N', 'E', 0});
    Bytes ssnd(8, 0);
    Append(ssnd, Samples(frames * channels * (bits / 8)));
    Bytes body = {'A', 'I', 'F', aifc ? uint8_t('C') : uint8_t('F')};
    Append(body, IffChunk("NAME", {'x'}));
    Append(body, IffChunk("COMM", comm));
    Append(body, IffChunk("SSND", ssnd));
    return IffChunk("FORM", body);
}

Bytes Au(uint32_t encoding, uint32_t channels, uint32_t rate, uint32_t bytes)
{
    Bytes b = {'.', 's', 'n', 'd'};
    Put32(b, 32, true);
    Put32(b, bytes, true);
    Put32(b, encoding, true);
    Put32(b, rate, true);
    Put32(b, channels, true);
    Append(b, {'n', 'o', 't', 'e', 0, 0, 0, 0});
    Append(b, Samples(bytes));
    return b;
}

Bytes VocBlock(uint8_t type, const Bytes& body)
{
    Bytes b = {type, uint8_t(body.size()), uint8_t(body.size() >> 8), uint8_t(body.size() >> 16)};
    Append(b, body);
    return b;
}

Bytes Voc()
{
    const char* id = "Creative Voice File\x1A";
    Bytes b(id, id + 20);
    Put16(b, 26);
    Put16(b, 0x010A);
    Put16(b, 0x1129);
    Bytes sound = {131, 0};
    Append(sound, Samples(300));
    Append(b, VocBlock(1, sound));
    Append(b, VocBlock(3, {99, 0, 166}));
    Append(b, VocBlock(6, {2, 0}));
    Append(b, VocBlock(2, Samples(40)));
    Append(b, VocBlock(4, {1, 0}));
    Append(b, VocBlock(7, {}));
    Append(b, VocBlock(8, {0x00, 0xD3, 0, 1}));
    Append(b, VocBlock(1, sound));
    Bytes fresh;
    Put32(fresh, 22050);
    Append(fresh, {16, 2, 4, 0, 0, 0, 0, 0});
    Append(fresh, Samples(400));
    Append(b, VocBlock(9, fresh));
    Append(b, VocBlock(5, {'h', 'i', 0}));
    b.push_back(0);
    return b;
}

Bytes Wave()
{
    Bytes fmt;
    Put16(fmt, 1);
    Put16(fmt, 1);
    Put32(fmt, 11025);
    Put32(fmt, 11025);
    Put16(fmt, 1);
    Put16(fmt, 8);
    Bytes body = {'W', 'A', 'V', 'E'};
    Bytes chunk = {'f', 'm', 't', ' '};
    Put32(chunk, uint32_t(fmt.size()));
    Append(chunk, fmt);
    Append(body, chunk);
    chunk = {'d', 'a', 't', 'a'};
    Put32(chunk, 200);
    Append(chunk, Samples(200));
    Append(body, chunk);
    Bytes file = {'R', 'I', 'F', 'F'};
    Put32(file, uint32_t(body.size()));
    Append(file, body);
    return file;
}

void WriteSeeds(const std::string& dir)
{
    const std::vector<Bytes> seeds = {
        Aiff(false, 1, 8, 16383 + 13, 301),
        Aiff(false, 2, 16, 16383 + 14, 120),
        Aiff(true, 2, 16, 16383 + 15, 77),
        Au(1, 1, 8000, 333),
        Au(2, 2, 11025, 200),
        Au(3, 2, 22050, 400),
        Voc(),
        Wave(),
        Samples(257),
    };
    for (size_t i = 0; i < seeds.size(); i++) {
        std::string path = dir + "/seed" + std::to_string(i);
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
            std::fwrite(seeds[i].data(), 1, seeds[i].size(), f);
            std::fclose(f);
        }
    }
}

const char* const NAMES[] = {"in.wav", "in.aif", "in.voc", "in.au", "in.mp3", "in.raw", "in.dat"};
const int NAME_COUNT = sizeof(NAMES) / sizeof(NAMES[0]);

// Documents pasted into: 16-bit stereo 44.1 kHz, 8-bit mono 8 kHz, mu-law.
const KvWaveFormat PASTE_FORMATS[] = {
    {1, 2, 44100, 176400, 4, 16, 0},
    {1, 1, 8000, 8000, 1, 8, 0},
    {7, 1, 8000, 8000, 1, 8, 0},
};

// Sounds longer than this are cancelled through the progress window, so that
// a loop repeated 65536 times stays quick and small.
const int32_t MOST_BLOCKS = 1 << 20;

TestHost* host = nullptr;
std::string diskDir;

void Reset()
{
    host->updates.clear();
    host->progressNames.clear();
    host->errors.clear();
    host->cancelPressed = false;
}

int ReadMemory(Bytes& bytes, const char* name, int mode)
{
    MemoryFileInfo memory;
    memory.data = bytes.data();
    memory.size = static_cast<uint32_t>(bytes.size());
    CMMFile file;
    if (!file.Open(name, KVIO_READ, &memory))
        return -1;
    int rc = ReadSoundFile(file, mode);
    file.Close();
    return rc;
}

}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    LoadBuiltInStrings();
    host = new TestHost();
    host->cancelAt = MOST_BLOCKS;
    // An empty corpus folder given on the command line gets the seeds.
    for (int i = 1; i < *argc; i++) {
        std::error_code ec;
        const char* arg = (*argv)[i];
        if (arg[0] != '-' && std::filesystem::is_directory(arg, ec)
            && std::filesystem::is_empty(arg, ec))
            WriteSeeds(arg);
    }
    diskDir = (std::filesystem::temp_directory_path() / "kelvora_sound_fuzz").string();
    std::filesystem::create_directories(diskDir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Bytes bytes(data, data + size);
    uint32_t pick = 0;
    for (size_t i = 0; i < size && i < 64; i++)
        pick = pick * 31 + data[i];
    pick ^= static_cast<uint32_t>(size);
    CKV_Document& doc = TheDocument();
    Reset();

    // Open, from memory and from disk. The file commands open in the loading
    // state, where no progress window shows; here the ready state keeps it,
    // so that the host cancels what grows past MOST_BLOCKS as a user would.
    const char* name = NAMES[pick % NAME_COUNT];
    NewDocument(nullptr);
    ReadMemory(bytes, name, READ_OPEN);
    std::string path = diskDir + "/" + name;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
        Reset();
        CMMFile file;
        if (file.Open(path.c_str(), KVIO_READ | KVIO_DENYWRITE, nullptr))
            ReadSoundFile(file, READ_OPEN);
        file.Close();
    }

    // Paste into a sound of another format: inserted, mixed or replacing.
    Reset();
    const KvWaveFormat& format = PASTE_FORMATS[(pick >> 4) % 3];
    NewDocument(&format);
    doc.InsertSpace(0, 1000);
    int placement = (pick >> 8) % 3;
    TheAppOptions().mixOld = placement == 1 ? 50 : 0;
    SetSelection(placement ? 100 : 500, placement ? 700 : 0, ORIGIN_PROGRAM);
    ReadMemory(bytes, NAMES[(pick >> 12) % NAME_COUNT], READ_PASTE);
    TheAppOptions().mixOld = 0;
    ResetUndoHistory(ACTSTATE_LOADING);
    ResetUndoHistory(ACTSTATE_READY);
    ResetObjectOptions();
    return 0;
}
