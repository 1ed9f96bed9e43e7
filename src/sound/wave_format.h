// The platform's wave format record, byte for byte: a file's "fmt " chunk, the
// clipboard and the compression manager all hold exactly these bytes.
#pragma once

#include <cstdint>

#pragma pack(push, 1)
struct KvWaveFormat {
    uint16_t wFormatTag;
    uint16_t nChannels;
    uint32_t nSamplesPerSec;
    uint32_t nAvgBytesPerSec;
    uint16_t nBlockAlign;
    uint16_t wBitsPerSample;
    uint16_t cbSize;            // absent in a 16-byte PCM record
};
#pragma pack(pop)

static_assert(sizeof(KvWaveFormat) == 18, "WAVEFORMATEX layout");

enum : uint16_t {
    WAVE_TAG_PCM = 1,
    WAVE_TAG_ALAW = 6,
    WAVE_TAG_MULAW = 7,
};

// Size of the PCM record, which has no cbSize.
constexpr uint32_t PCM_FORMAT_SIZE = 16;
