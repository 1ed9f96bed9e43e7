// libFuzzer target over the WAVE reader: every input is opened as the
// document under a ".wav" name, from memory and from disk, and read as a
// memory file in the paste and measure modes.
#include <cstdint>
#include <string>
#include <vector>

#include "edit/open_document.h"
#include "fuzz_support.h"
#include "sound/wave_file.h"

namespace {

using fuzz::Bytes;
using wave::Chunk;

// A seed: the format chunk, the description chunks when asked, and data.
Bytes Wave(const Bytes& fmt, uint32_t dataBytes, bool extras)
{
    std::vector<Bytes> chunks = {Chunk("fmt ", fmt)};
    if (extras) {
        std::string date = "2026-12-06 10:11:12 0";
        Bytes info = {'I', 'N', 'F', 'O'}, disp;
        for (const Bytes& c : {Chunk("ISBJ", {'h', 'i', 0}), Chunk("ICRD", Bytes(date.begin(), date.end() + 1)),
                 Chunk("odsp", {17, 0, 0, 0})})
            info.insert(info.end(), c.begin(), c.end());
        wave::Put32(disp, 8);
        disp.resize(disp.size() + 48, 1);
        chunks.push_back(Chunk("LIST", info));
        chunks.push_back(Chunk("DISP", disp));
    }
    chunks.push_back(Chunk("data", fuzz::Samples(dataBytes)));
    return wave::Riff(chunks);
}

std::vector<Bytes> Seeds()
{
    // IMA ADPCM: 512-byte blocks of 1017 samples, after the tag, channels,
    // rate and byte rate.
    Bytes ima = wave::Fmt(0x11, 1, 22050, 4);
    ima.resize(12);
    for (uint16_t v : {512, 4, 2, 1017})
        wave::Put16(ima, v);
    return {
        Wave(wave::Fmt(1, 1, 11025, 8), 301, false),
        Wave(wave::Fmt(1, 2, 44100, 16), 400, true),
        Wave(wave::Fmt(1, 1, 22050, 16), 33, false),
        Wave(ima, 1024, true),
    };
}

std::string diskPath;

}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    diskPath = fuzz::Start(*argc, *argv, Seeds(), "kelvora_wave_fuzz") + "/input.wav";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Bytes bytes(data, data + size);
    MemoryFileInfo memory = fuzz::Memory(bytes);
    fuzz::ResetCore();
    OpenDocumentFile("input.wav", &memory);
    if (wave::WriteFile(diskPath, bytes)) {
        fuzz::ResetCore();
        OpenDocumentFile(diskPath.c_str());
    }
    for (int mode : {READ_PASTE, READ_MEASURE}) {
        fuzz::ResetCore();
        NewDocument(nullptr);
        LoadWave(nullptr, mode, &memory);
    }
    return 0;
}
