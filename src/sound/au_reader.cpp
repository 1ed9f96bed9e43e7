// Sun/NeXT AU: a 24-byte big-endian header (".snd", data offset, data size,
// encoding, sample rate, channels), anything up to the data offset, then
// interleaved samples. Linear samples are signed; 16-bit ones big-endian.
#include <cstring>

#include "base/error_message.h"
#include "sound/raw_data.h"
#include "sound/wave_file.h"

namespace {

const int AU_HEADER_BYTES = 24;
const uint32_t AU_SIZE_UNKNOWN = 0xFFFFFFFF;   // the data runs to the end of the file

enum : uint32_t {
    AU_MULAW_8 = 1,
    AU_LINEAR_8 = 2,
    AU_LINEAR_16 = 3,
};

}

int ReadAu(CMMFile& file, int mode)
{
    uint8_t h[AU_HEADER_BYTES];
    int32_t got = file.Read(h, AU_HEADER_BYTES);
    if (got < 4 || std::memcmp(h, ".snd", 4) != 0)
        return ERR_NOT_SOUND_FILE;
    if (got < AU_HEADER_BYTES)
        return ERR_FILE_SHORT;
    uint32_t dataOffset = BigEndian32(h + 4);
    uint32_t dataSize = BigEndian32(h + 8);
    uint32_t encoding = BigEndian32(h + 12);
    uint32_t rate = BigEndian32(h + 16);
    uint32_t channels = BigEndian32(h + 20);
    if (dataOffset < AU_HEADER_BYTES)
        return ERR_UNSUPPORTED_FORMAT;
    int64_t fileSize = file.FileSize();
    if (int64_t(dataOffset) > fileSize || file.Seek(dataOffset, SEEK_ORIGIN_SET) != dataOffset)
        return ERR_FILE_SHORT;

    uint16_t tag = WAVE_TAG_PCM;
    uint16_t bits = 8;
    unsigned layout = RAW_SIGNED_8;
    if (encoding == AU_MULAW_8) {
        tag = WAVE_TAG_MULAW;
        layout = RAW_AS_IS;
    } else if (encoding == AU_LINEAR_16) {
        bits = 16;
        layout = RAW_BIG_ENDIAN_16;
    } else if (encoding != AU_LINEAR_8) {
        return ERR_UNSUPPORTED_COMPRESSION;
    }
    // The document shows one or two channels.
    if (channels > 2)
        return ERR_UNSUPPORTED_FORMAT;
    Form format;
    // A companded format carries its cbSize (of 0); PCM has none.
    if (!format.SetSize(tag == WAVE_TAG_PCM ? PCM_FORMAT_SIZE : sizeof(KvWaveFormat)))
        return ERR_NO_MEMORY;
    KvWaveFormat* w = format.Record();
    w->wFormatTag = tag;
    w->nChannels = static_cast<uint16_t>(channels);
    w->nSamplesPerSec = rate;
    w->wBitsPerSample = bits;
    w->nBlockAlign = static_cast<uint16_t>(bits / 8 * channels);
    w->nAvgBytesPerSec = w->nBlockAlign * rate;
    if (tag != WAVE_TAG_PCM)
        w->cbSize = 0;
    if (!format.IsValid() || uint64_t(w->nBlockAlign) * rate > UINT32_MAX)
        return ERR_UNSUPPORTED_FORMAT;

    ReaderContext ctx(file, mode);
    ctx.dataStart = dataOffset;
    bool cutShort = false;
    uint64_t claimed = dataSize == AU_SIZE_UNKNOWN ? UINT64_MAX : dataSize;
    int32_t count = BlocksPresent(file, dataOffset, claimed, w->nBlockAlign, cutShort);
    ctx.cutShort = cutShort && dataSize != AU_SIZE_UNKNOWN;
    return ReadRawData(ctx, format, count, layout);
}
