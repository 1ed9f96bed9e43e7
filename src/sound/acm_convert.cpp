#include "sound/acm_convert.h"

#include <cstring>
#include <new>

#include "base/error_message.h"
#include "lib/log.h"
#include "sound/pcm_convert.h"
#include "sound/wave_format.h"

namespace {

// Tags whose records carry wSamplesPerBlock as their first extra word.
enum : uint16_t {
    WAVE_TAG_MS_ADPCM = 0x0002,
    WAVE_TAG_IMA_ADPCM = 0x0011,
    WAVE_TAG_GSM610 = 0x0031,
};

}

bool ByteBlock::Allocate(uint32_t bytes)
{
    data.reset(bytes ? new (std::nothrow) uint8_t[bytes] : nullptr);
    size = data ? bytes : 0;
    return data != nullptr || bytes == 0;
}

uint32_t SamplesPerBlock(const KvWaveFormat* w)
{
    if (w == nullptr)
        return 1;
    PcmLayout layout;
    if (GetPcmLayout(w, layout))
        return 1;
    uint16_t tag = w->wFormatTag;
    if ((tag == WAVE_TAG_MS_ADPCM || tag == WAVE_TAG_IMA_ADPCM || tag == WAVE_TAG_GSM610) && w->cbSize >= 2) {
        uint16_t samples;
        std::memcpy(&samples, reinterpret_cast<const uint8_t*>(w) + sizeof(KvWaveFormat), 2);
        if (samples > 0)
            return samples;
    }
    if (w->nAvgBytesPerSec == 0)
        return 1;
    uint64_t samples = static_cast<uint64_t>(w->nBlockAlign) * w->nSamplesPerSec / w->nAvgBytesPerSec;
    return samples > 0 && samples <= UINT32_MAX ? static_cast<uint32_t>(samples) : 1;
}

int StreamStage::Open(CompressionManager& owner, const KvWaveFormat* input, const KvWaveFormat* output)
{
    Close();
    CompressionStream opened = nullptr;
    int rc = owner.OpenStream(input, output, &opened);
    if (rc != 0 || opened == nullptr)
        return rc != 0 ? rc : COMPRESSION_NOT_POSSIBLE;
    manager = &owner;
    stream = opened;
    started = false;
    keptBytes = 0;
    // An encoder eats whole blocks of its output's samples; anything else
    // its input's blocks as they are.
    padLast = input->wFormatTag == WAVE_TAG_PCM && output->wFormatTag != WAVE_TAG_PCM;
    uint64_t unit = input->nBlockAlign;
    if (padLast)
        unit *= SamplesPerBlock(output);
    inputBlock = unit > 0 && unit <= UINT32_MAX / 2 ? static_cast<uint32_t>(unit) : 1;
    silence = input->wFormatTag == WAVE_TAG_PCM && input->wBitsPerSample == 8 ? 128 : 0;
    return 0;
}

void StreamStage::Abandon()
{
    if (stream && started)
        manager->ResetStream(stream);
    keptBytes = 0;
}

void StreamStage::Close()
{
    if (stream)
        manager->CloseStream(stream);
    stream = nullptr;
    manager = nullptr;
    kept.Free();
    keptBytes = 0;
}

int StreamStage::Run(const uint8_t* input, uint32_t bytes, bool last, ByteBlock& out, uint32_t& outBytes)
{
    out.Free();
    outBytes = 0;
    if (!stream)
        return ERR_INTERNAL;
    uint64_t total = static_cast<uint64_t>(keptBytes) + bytes;
    // Whole units go to the codec; at the end an encoder's last partial
    // unit is padded to a whole one.
    uint64_t whole = total / inputBlock * inputBlock;
    if (last && padLast && whole < total)
        whole += inputBlock;
    if (whole > UINT32_MAX / 2)
        return ERR_NO_MEMORY;

    const uint8_t* from = input;
    ByteBlock joined;
    if (keptBytes > 0 || whole > total) {
        if (!joined.Allocate(static_cast<uint32_t>(whole > total ? whole : total)))
            return ERR_NO_MEMORY;
        std::memcpy(joined.data.get(), kept.data.get(), keptBytes);
        if (bytes)
            std::memcpy(joined.data.get() + keptBytes, input, bytes);
        if (whole > total)
            std::memset(joined.data.get() + total, silence, static_cast<size_t>(whole - total));
        from = joined.data.get();
    } else if (input == nullptr) {
        return 0;
    }

    if (!last && whole < total) {
        // The rest waits for the next buffer.
        uint32_t rest = static_cast<uint32_t>(total - whole);
        ByteBlock next;
        if (!next.Allocate(rest))
            return ERR_NO_MEMORY;
        std::memcpy(next.data.get(), from + whole, rest);
        kept = std::move(next);
        keptBytes = rest;
    } else {
        kept.Free();
        keptBytes = 0;
    }
    if (whole == 0)
        return 0;
    return Convert(from, static_cast<uint32_t>(whole), last, out, outBytes);
}

int StreamStage::Convert(const uint8_t* input, uint32_t bytes, bool last, ByteBlock& out, uint32_t& outBytes)
{
    uint32_t size = 0;
    int rc = manager->StreamSize(stream, bytes, &size);
    if (rc != 0 || size == 0) {
        Log("Acm:StreamSize(%u) %d", bytes, rc);
        return ERR_INTERNAL;
    }
    if (!out.Allocate(size))
        return ERR_NO_MEMORY;
    StreamConversion conversion;
    conversion.source = input;
    conversion.sourceBytes = bytes;
    conversion.destination = out.data.get();
    conversion.destinationBytes = size;
    uint32_t flags = (started ? 0u : uint32_t{STREAM_CONVERT_START}) | (last ? uint32_t{STREAM_CONVERT_END} : 0u);
    started = true;
    rc = manager->ConvertStream(stream, conversion, flags);
    // What the codec made before a failure still counts.
    outBytes = conversion.destinationUsed <= size ? conversion.destinationUsed : size;
    if (rc != 0) {
        Log("Acm:Convert %d", rc);
        return ERR_NO_MEMORY;
    }
    return 0;
}
