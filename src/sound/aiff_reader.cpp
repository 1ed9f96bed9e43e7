// AIFF and uncompressed AIFC: an IFF "FORM" of big-endian chunks. "COMM"
// gives the format and the frame count, "SSND" holds the interleaved sample
// frames, big-endian and signed. Chunks may come in any order.
#include <algorithm>

#include "base/error_message.h"
#include "sound/raw_data.h"
#include "sound/wave_file.h"

namespace {

constexpr uint32_t BigEndianId(const char (&id)[5])
{
    return (uint32_t(uint8_t(id[0])) << 24) | (uint32_t(uint8_t(id[1])) << 16)
        | (uint32_t(uint8_t(id[2])) << 8) | uint32_t(uint8_t(id[3]));
}

const uint32_t ID_FORM = BigEndianId("FORM");
const uint32_t ID_AIFF = BigEndianId("AIFF");
const uint32_t ID_AIFC = BigEndianId("AIFC");
const uint32_t ID_COMM = BigEndianId("COMM");
const uint32_t ID_SSND = BigEndianId("SSND");
const uint32_t ID_NONE = BigEndianId("NONE");

const int COMM_AIFF_BYTES = 18;
const int COMM_AIFC_BYTES = 22;     // plus the compression type
const int SSND_HEADER_BYTES = 8;    // offset and block size

struct AiffChunk {
    uint32_t size = 0;
    int64_t dataPos = 0;            // just after the 8-byte header
};

// Searches chunk headers from the current position for `id`. limit: the bytes
// of the parent still to search, or -1 at the top level, which has none. A
// chunk of odd size is followed by a pad byte its size does not count. On
// success `header` gets the chunk's first headerBytes bytes.
int FindChunk(CMMFile& file, uint32_t id, int64_t limit, uint8_t* header, int headerBytes, AiffChunk& found)
{
    bool topLevel = limit < 0;
    int64_t remaining = limit;
    for (;;) {
        if (!topLevel && remaining < 8)
            return ERR_NOT_SOUND_FILE;
        uint8_t h[8];
        if (file.Read(h, 8) != 8)
            return topLevel ? ERR_NOT_SOUND_FILE : ERR_FILE_SHORT;
        uint32_t size = BigEndian32(h + 4);
        if (BigEndian32(h) == id) {
            found.size = size;
            found.dataPos = file.GetPosition();
            if (size < static_cast<uint32_t>(headerBytes) || file.Read(header, headerBytes) != headerBytes)
                return ERR_FILE_SHORT;
            return 0;
        }
        int64_t skip = int64_t(size) + (size & 1);
        remaining -= 8 + skip;
        if (file.Seek(skip, SEEK_ORIGIN_CUR) < 0)
            return topLevel ? ERR_NOT_SOUND_FILE : ERR_FILE_SHORT;
    }
}

// The 80-bit IEEE extended sample rate (sign, 15-bit exponent with bias 16383,
// 64-bit mantissa with its integer bit), truncated toward zero. 0 for a rate
// that is negative, below 1, not a number or past 32 bits: no format has it.
uint32_t ExtendedToRate(const uint8_t* p)
{
    if (p[0] & 0x80)
        return 0;
    int exponent = ((p[0] & 0x7F) << 8) | p[1];
    uint64_t mantissa = (uint64_t(BigEndian32(p + 2)) << 32) | BigEndian32(p + 6);
    int shift = exponent - 16383;           // value = mantissa × 2^(shift - 63)
    if (shift < 0 || shift > 31)
        return 0;
    return static_cast<uint32_t>(mantissa >> (63 - shift));
}

}

int ReadAiff(CMMFile& file, int mode)
{
    uint8_t formType[4];
    AiffChunk form;
    int rc = FindChunk(file, ID_FORM, -1, formType, 4, form);
    if (rc)
        return rc;
    bool aifc = BigEndian32(formType) == ID_AIFC;
    if (!aifc && BigEndian32(formType) != ID_AIFF)
        return ERR_NOT_SOUND_FILE;
    int64_t formBody = form.dataPos + 4;
    int64_t formLimit = int64_t(form.size) - 4;

    uint8_t comm[COMM_AIFC_BYTES];
    AiffChunk commChunk;
    rc = FindChunk(file, ID_COMM, formLimit, comm, aifc ? COMM_AIFC_BYTES : COMM_AIFF_BYTES, commChunk);
    if (rc)
        return rc;
    if (aifc && BigEndian32(comm + 18) != ID_NONE)
        return ERR_UNSUPPORTED_COMPRESSION;
    int channels = static_cast<int16_t>(BigEndian16(comm));
    uint32_t frames = BigEndian32(comm + 2);
    int sampleSize = static_cast<int16_t>(BigEndian16(comm + 6));
    if (channels > 2)
        return ERR_UNSUPPORTED_FORMAT;

    // Sample points of 1 to 16 bits are stored left-justified in one or two
    // bytes, so they read as 8- or 16-bit samples; wider ones are not held.
    uint16_t bits = sampleSize >= 1 && sampleSize <= 8 ? 8 : sampleSize > 8 && sampleSize <= 16 ? 16 : 0;
    Form format;
    if (!format.SetSize(PCM_FORMAT_SIZE))
        return ERR_NO_MEMORY;
    KvWaveFormat* w = format.Record();
    w->wFormatTag = WAVE_TAG_PCM;
    w->nChannels = static_cast<uint16_t>(channels > 0 ? channels : 0);
    w->nSamplesPerSec = ExtendedToRate(comm + 8);
    w->wBitsPerSample = bits;
    w->nBlockAlign = static_cast<uint16_t>(bits / 8 * w->nChannels);
    w->nAvgBytesPerSec = w->nBlockAlign * w->nSamplesPerSec;
    if (!format.IsValid())
        return ERR_UNSUPPORTED_FORMAT;

    ReaderContext ctx(file, mode);
    unsigned layout = bits == 8 ? RAW_SIGNED_8 : RAW_BIG_ENDIAN_16;
    if (frames == 0)
        return ReadRawData(ctx, format, 0, layout);

    // The search starts again at the top of the form: "SSND" may come first.
    uint8_t ssnd[SSND_HEADER_BYTES];
    AiffChunk ssndChunk;
    if (file.Seek(formBody, SEEK_ORIGIN_SET) != formBody)
        return ERR_FILE_SHORT;
    rc = FindChunk(file, ID_SSND, formLimit, ssnd, SSND_HEADER_BYTES, ssndChunk);
    if (rc)
        return rc;
    // The offset field is not applied: the frames follow the two fields.
    int64_t dataStart = ssndChunk.dataPos + SSND_HEADER_BYTES;
    ctx.dataStart = static_cast<uint32_t>(dataStart);
    uint64_t claimed = uint64_t(frames) * w->nBlockAlign;
    bool cutShort = false;
    int32_t count = BlocksPresent(file, dataStart, claimed, w->nBlockAlign, cutShort);
    // The chunk must hold the frames the format chunk counts.
    if (claimed > ssndChunk.size - SSND_HEADER_BYTES) {
        cutShort = true;
        count = static_cast<int32_t>(std::min<uint64_t>(count, (ssndChunk.size - SSND_HEADER_BYTES) / w->nBlockAlign));
    }
    ctx.cutShort = cutShort;
    return ReadRawData(ctx, format, count, layout);
}
