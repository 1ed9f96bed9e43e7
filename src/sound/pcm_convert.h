// The built-in PCM converter: channel count, sample size and rate, without
// the compression manager. It reads 8-bit unsigned, 16/24/32-bit signed and
// 32/64-bit float samples (plain records and WAVE_FORMAT_EXTENSIBLE ones with
// a PCM or float subformat) and writes 8-bit unsigned or 16-bit signed PCM.
//
// Every sample travels as a 32-bit full-scale value. From 8 and 16-bit
// sources the result is exact or keeps the high byte (16 to 8 bits); from
// wider sources it is rounded to nearest and saturated at the limits.
//
// The rate is changed by sample-and-hold stepping: output block k takes
// source block floor(k * step / 65536), step = source rate * 65536 /
// destination rate (integer division). Up-sampling repeats blocks,
// down-sampling drops them; nothing is interpolated or filtered. The
// position carries over from one buffer to the next, so the output does not
// depend on how the source is cut into buffers.
#pragma once

#include <cstdint>

struct KvWaveFormat;

enum PcmEncoding {
    PCM_NONE = 0,       // not a layout the built-in converter reads
    PCM_U8,
    PCM_S16,
    PCM_S24,
    PCM_S32,
    PCM_F32,
    PCM_F64,
};

// How the samples of a format lie in its blocks.
struct PcmLayout {
    PcmEncoding encoding = PCM_NONE;
    uint32_t channels = 0;
    uint32_t width = 0;             // bytes per sample
    uint32_t blockAlign = 0;
    uint32_t rate = 0;
};

// Wave format tags the built-in converter knows besides PCM.
enum : uint16_t {
    WAVE_TAG_IEEE_FLOAT = 3,
    WAVE_TAG_EXTENSIBLE = 0xFFFE,
};

// The layout of a source record (which holds its own size); false when the
// built-in converter cannot read it.
bool GetPcmLayout(const KvWaveFormat* record, PcmLayout& layout);

// 8 or 16-bit PCM (tag 1) with a consistent block size: what the built-in
// converter writes and what the editor edits.
bool IsPlainPcm(const KvWaveFormat* record);

class PcmConverter {
public:
    // False when the source cannot be read or the destination is not plain
    // PCM; the position starts at the first source block.
    bool Open(const KvWaveFormat* source, const KvWaveFormat* destination);

    // Output blocks the next Convert of n source blocks writes.
    int64_t OutputBlocks(int32_t n) const;

    // Converts n source blocks into exactly OutputBlocks(n) destination
    // blocks at out, which must hold them, and moves the position on.
    void Convert(const uint8_t* in, int32_t n, uint8_t* out);

    // Output blocks that n source blocks give from the start of a stream.
    static int64_t StreamLength(int64_t n, uint32_t sourceRate, uint32_t destinationRate);

private:
    PcmLayout from;
    PcmLayout to;
    bool round = false;             // a wide source: round to nearest
    bool same = false;              // same layout: blocks are copied
    uint64_t step = 0x10000;        // source blocks per output block, 16.16
    uint64_t position = 0;          // next output's source position, 16.16, from the next buffer's start
};
