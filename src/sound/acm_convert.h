// One step of the converter that the compression manager does: a stream
// between two formats, fed buffer by buffer. Source bytes the codec leaves
// (less than one of its blocks) are kept and put in front of the next
// buffer, so a sound cut into buffers loses nothing at their edges. An
// encoder (PCM in) pads its last partial block with silence when the stream
// ends, since codecs never encode a partial block.
#pragma once

#include <cstdint>
#include <memory>

#include "sound/compression_manager.h"

// A byte block allocated without exceptions. Owns its memory.
struct ByteBlock {
    std::unique_ptr<uint8_t[]> data;
    uint32_t size = 0;

    // False (and empty) when the memory is not there.
    bool Allocate(uint32_t bytes);
    void Free()
    {
        data.reset();
        size = 0;
    }
};

class StreamStage {
public:
    StreamStage() = default;
    StreamStage(const StreamStage&) = delete;
    StreamStage& operator=(const StreamStage&) = delete;
    ~StreamStage() { Close(); }

    // Opens the manager's stream between two records (each holding its own
    // size). 0, or the manager's error.
    int Open(CompressionManager& manager, const KvWaveFormat* input, const KvWaveFormat* output);
    bool IsOpen() const { return stream != nullptr; }

    // Converts `bytes` of input (whole input blocks or not) into out, which
    // gets a new block of outBytes used bytes (none when the codec had too
    // little to convert). `last` ends the stream: what is kept is padded (an
    // encoder) and converted. 0, 247 (no memory, or the codec failed) or 261
    // (no stream, or no destination size).
    int Run(const uint8_t* input, uint32_t bytes, bool last, ByteBlock& out, uint32_t& outBytes);

    // Abandons a stream that did not end: the codec drops what it holds.
    void Abandon();
    void Close();

private:
    int Convert(const uint8_t* input, uint32_t bytes, bool last, ByteBlock& out, uint32_t& outBytes);

    CompressionManager* manager = nullptr;
    CompressionStream stream = nullptr;
    uint32_t inputBlock = 1;        // input bytes the codec takes as one unit
    bool padLast = false;           // an encoder: the last partial block is padded
    uint8_t silence = 0;            // the input's silence byte
    bool started = false;
    ByteBlock kept;                 // input left over from the last buffer
    uint32_t keptBytes = 0;
};

// Samples in one block of a format: the wSamplesPerBlock of the ADPCM and
// GSM records, 1 for PCM, float and extensible, else as the record's rates
// say (at least 1).
uint32_t SamplesPerBlock(const KvWaveFormat* record);
