// libFuzzer target over the type choice and every reader: each input is
// opened as the document (from memory and from disk) and pasted into a sound
// of another format, under a name whose extension the input picks, so the
// extension path, the probe and RAW are all reached.
#include <cstdint>
#include <string>
#include <vector>

#include "../tests/support/foreign_builder.h"
#include "base/app_options.h"
#include "edit/open_document.h"
#include "fuzz_support.h"
#include "sound/sound_file.h"
#include "sound/wave_file.h"
#include "view/selection_ops.h"

namespace {

using fuzz::Bytes;
using fuzz::Samples;

Bytes Aiff(bool aifc, uint16_t channels, uint16_t bits, double rate, uint32_t frames)
{
    return foreign::Aiff({foreign::IffChunk("NAME", {'x'}),
                             foreign::Comm(channels, frames, bits, rate, aifc ? "NONE" : nullptr),
                             foreign::Ssnd(Samples(frames * channels * (bits / 8)))},
        aifc ? "AIFC" : "AIFF");
}

Bytes VocBlock(uint8_t type, const Bytes& body)
{
    Bytes b = {type, uint8_t(body.size()), uint8_t(body.size() >> 8), uint8_t(body.size() >> 16)};
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

// Every kind of block: sound, silence, a loop around a continuation, a
// marker, extended and new-style blocks, text and the terminator.
Bytes Voc()
{
    const char* id = "Creative Voice File\x1A";
    Bytes b(id, id + 20);
    wave::Put16(b, 26);
    wave::Put16(b, 0x010A);
    wave::Put16(b, 0x1129);
    Bytes sound = {131, 0}, samples = Samples(300);
    sound.insert(sound.end(), samples.begin(), samples.end());
    Bytes fresh;
    wave::Put32(fresh, 22050);
    fresh.insert(fresh.end(), {16, 2, 4, 0, 0, 0, 0, 0});
    Bytes more = Samples(400);
    fresh.insert(fresh.end(), more.begin(), more.end());
    for (const Bytes& block : {VocBlock(1, sound), VocBlock(3, {99, 0, 166}), VocBlock(6, {2, 0}),
             VocBlock(2, Samples(40)), VocBlock(4, {1, 0}), VocBlock(7, {}), VocBlock(8, {0x00, 0xD3, 0, 1}),
             VocBlock(1, sound), VocBlock(9, fresh), VocBlock(5, {'h', 'i', 0})})
        b.insert(b.end(), block.begin(), block.end());
    b.push_back(0);
    return b;
}

std::vector<Bytes> Seeds()
{
    return {
        Aiff(false, 1, 8, 8000, 301),
        Aiff(false, 2, 16, 16000, 120),
        Aiff(true, 2, 16, 32000, 77),
        foreign::Au(1, 1, 8000, Samples(333), 32),
        foreign::Au(2, 2, 11025, Samples(200), 32),
        foreign::Au(3, 2, 22050, Samples(400), 32),
        Voc(),
        wave::Pcm(1, 11025, 8, Samples(200)),
        Samples(257),
    };
}

const char* const NAMES[] = {"in.wav", "in.aif", "in.voc", "in.au", "in.mp3", "in.raw", "in.dat"};
const int NAME_COUNT = sizeof(NAMES) / sizeof(NAMES[0]);

// Documents pasted into: 16-bit stereo 44.1 kHz, 8-bit mono 8 kHz, mu-law.
const KvWaveFormat PASTE_FORMATS[] = {
    {WAVE_TAG_PCM, 2, 44100, 176400, 4, 16, 0},
    {WAVE_TAG_PCM, 1, 8000, 8000, 1, 8, 0},
    {WAVE_TAG_MULAW, 1, 8000, 8000, 1, 8, 0},
};

std::string diskDir;

}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    diskDir = fuzz::Start(*argc, *argv, Seeds(), "kelvora_sound_fuzz");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Bytes bytes(data, data + size);
    MemoryFileInfo memory = fuzz::Memory(bytes);
    uint32_t pick = 0;
    for (size_t i = 0; i < size && i < 64; i++)
        pick = pick * 31 + data[i];
    pick ^= static_cast<uint32_t>(size);

    // Opened as the document, from memory and from disk.
    const char* name = NAMES[pick % NAME_COUNT];
    fuzz::ResetCore();
    OpenDocumentFile(name, &memory);
    std::string path = diskDir + "/" + name;
    if (wave::WriteFile(path, bytes)) {
        fuzz::ResetCore();
        OpenDocumentFile(path.c_str());
    }

    // Pasted into a sound of another format: inserted, mixed or replacing.
    fuzz::ResetCore();
    NewDocument(&PASTE_FORMATS[(pick >> 4) % 3]);
    TheDocument().InsertSpace(0, 1000);
    int placement = (pick >> 8) % 3;
    TheAppOptions().mixOld = placement == 1 ? 50 : 0;
    SetSelection(placement ? 100 : 500, placement ? 700 : 0, ORIGIN_PROGRAM);
    CMMFile file;
    if (file.Open(NAMES[(pick >> 12) % NAME_COUNT], KVIO_READ, &memory))
        ReadSoundFile(file, READ_PASTE);
    return 0;
}
