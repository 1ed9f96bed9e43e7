// A compression manager for core tests, installed while it exists. It knows
// one lossless block codec (FAKE_CODEC_TAG): a block holds samplesPerBlock
// frames of 16-bit samples, each stored big-endian with its bits inverted, so
// that coded bytes never pass for PCM. Like the system's codecs it converts
// only between the codec and 16-bit PCM of the same rate and channels,
// decodes whole blocks and never encodes a partial one. Its chooser answers
// with `chosen` and `chooseResult`.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "sound/compression_manager.h"
#include "sound/wave_format.h"

enum : uint16_t { FAKE_CODEC_TAG = 0x7E57 };

#pragma pack(push, 1)
struct FakeCodecFormat {
    KvWaveFormat wfx;
    uint16_t samplesPerBlock;
};
#pragma pack(pop)

inline FakeCodecFormat MakeFakeCodec(uint16_t channels, uint32_t rate, uint16_t samplesPerBlock)
{
    uint16_t align = uint16_t(samplesPerBlock * 2 * channels);
    return FakeCodecFormat{{FAKE_CODEC_TAG, channels, rate, rate * 2u * channels, align, 16, 2}, samplesPerBlock};
}

// The codec's bytes of one 16-bit sample.
inline void FakeEncodeSample(int16_t v, uint8_t* out)
{
    out[0] = uint8_t(~(uint16_t(v) >> 8));
    out[1] = uint8_t(~uint16_t(v));
}

inline int16_t FakeDecodeSample(const uint8_t* in)
{
    return int16_t(uint16_t((uint8_t(~in[0]) << 8) | uint8_t(~in[1])));
}

class FakeCompressionManager : public CompressionManager {
public:
    FakeCompressionManager() { SetCompressionManager(this); }
    ~FakeCompressionManager() override { SetCompressionManager(nullptr); }

    uint32_t Version() const override { return 0x02000000; }

    bool GetTagName(uint16_t tag, char* name, int size) override
    {
        if (tag != FAKE_CODEC_TAG || size < 1)
            return false;
        std::snprintf(name, size_t(size), "%s", "Fake Codec");
        return true;
    }

    int OpenStream(const KvWaveFormat* source, const KvWaveFormat* destination, CompressionStream* stream) override
    {
        *stream = nullptr;
        bool encode = IsPcm16(source) && destination->wFormatTag == FAKE_CODEC_TAG;
        bool decode = source->wFormatTag == FAKE_CODEC_TAG && IsPcm16(destination);
        if (!(encode || decode) || source->nChannels != destination->nChannels
            || source->nSamplesPerSec != destination->nSamplesPerSec)
            return COMPRESSION_NOT_POSSIBLE;
        const KvWaveFormat* codec = encode ? destination : source;
        streams.push_back(Stream{encode, codec->nBlockAlign});
        *stream = reinterpret_cast<CompressionStream>(streams.size());
        opens++;
        return 0;
    }

    int StreamSize(CompressionStream stream, uint32_t sourceBytes, uint32_t* destinationBytes) override
    {
        const Stream& s = Get(stream);
        *destinationBytes = sourceBytes / s.codecBlock * s.codecBlock;
        return 0;
    }

    int ConvertStream(CompressionStream stream, StreamConversion& c, uint32_t flags) override
    {
        conversions++;
        convertFlags.push_back(flags);
        if (failConvertAt >= 0 && conversions > failConvertAt)
            return 12;
        const Stream& s = Get(stream);
        uint32_t blocks = std::min(c.sourceBytes, c.destinationBytes) / s.codecBlock;
        uint32_t bytes = blocks * s.codecBlock;
        for (uint32_t i = 0; i + 1 < bytes; i += 2) {
            if (s.encode) {
                int16_t v;
                std::memcpy(&v, c.source + i, 2);
                FakeEncodeSample(v, c.destination + i);
            } else {
                int16_t v = FakeDecodeSample(c.source + i);
                std::memcpy(c.destination + i, &v, 2);
            }
        }
        c.sourceUsed = bytes;
        c.destinationUsed = bytes;
        return 0;
    }

    void CloseStream(CompressionStream) override { closes++; }
    uint32_t MaxFormatSize() override { return maxFormatSize; }

    int ChooseFormat(FormatChoice& choice) override
    {
        chooserCalls++;
        chooserTitle = choice.title ? choice.title : "";
        chooserRestricted = choice.convertibleFrom != nullptr;
        if (chooseResult == 0)
            std::memcpy(choice.format, chosen.data(), std::min<size_t>(chosen.size(), choice.size));
        return chooseResult;
    }

    int failConvertAt = -1;             // conversions after this many fail
    uint32_t maxFormatSize = 50;
    int chooseResult = COMPRESSION_CANCELLED;
    std::vector<uint8_t> chosen;        // the record the chooser answers with

    int opens = 0;                      // streams opened
    int closes = 0;
    int conversions = 0;
    std::vector<uint32_t> convertFlags;
    int chooserCalls = 0;
    std::string chooserTitle;
    bool chooserRestricted = false;

private:
    struct Stream {
        bool encode;
        uint32_t codecBlock;            // coded and PCM blocks are the same size
    };

    static bool IsPcm16(const KvWaveFormat* w)
    {
        return w->wFormatTag == WAVE_TAG_PCM && w->wBitsPerSample == 16;
    }

    const Stream& Get(CompressionStream stream) const
    {
        return streams.at(reinterpret_cast<uintptr_t>(stream) - 1);
    }

    std::vector<Stream> streams;
};
