#include "sound/pcm_convert.h"

#include <cmath>
#include <cstring>

#include "sound/wave_format.h"

namespace {

// The part of WAVE_FORMAT_EXTENSIBLE behind cbSize.
constexpr uint16_t EXTENSIBLE_EXTRA_BYTES = 22;

// A subformat GUID is the format tag in its first four bytes followed by
// these twelve.
const uint8_t SUBFORMAT_TAIL[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

PcmEncoding IntegerEncoding(uint16_t bits)
{
    switch (bits) {
    case 8:
        return PCM_U8;
    case 16:
        return PCM_S16;
    case 24:
        return PCM_S24;
    case 32:
        return PCM_S32;
    default:
        return PCM_NONE;
    }
}

PcmEncoding FloatEncoding(uint16_t bits)
{
    return bits == 32 ? PCM_F32 : bits == 64 ? PCM_F64 : PCM_NONE;
}

// The tag a record's samples really have: the subformat of an extensible
// record, 0 when that is not one of ours.
uint16_t SampleTag(const KvWaveFormat* w)
{
    if (w->wFormatTag != WAVE_TAG_EXTENSIBLE)
        return w->wFormatTag;
    if (w->cbSize < EXTENSIBLE_EXTRA_BYTES)
        return 0;
    // cbSize, then valid bits (2), channel mask (4) and the GUID.
    const uint8_t* guid = reinterpret_cast<const uint8_t*>(w) + sizeof(KvWaveFormat) + 6;
    uint32_t tag;
    std::memcpy(&tag, guid, 4);
    if (tag > 0xFFFF || std::memcmp(guid + 4, SUBFORMAT_TAIL, sizeof SUBFORMAT_TAIL) != 0)
        return 0;
    return static_cast<uint16_t>(tag);
}

int32_t SaturateToInt32(double v)
{
    if (v != v)
        return 0;
    if (v >= 2147483647.0)
        return INT32_MAX;
    if (v <= -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(std::lrint(v));
}

// One sample as a 32-bit full-scale value. Samples of extensible records
// are left-justified in their container, so reading the container is right
// whatever their valid bits.
int32_t ReadValue(const uint8_t* p, PcmEncoding e)
{
    switch (e) {
    case PCM_U8:
        return static_cast<int32_t>(static_cast<uint32_t>(p[0] ^ 0x80u) << 24);
    case PCM_S16:
        return static_cast<int32_t>((static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8) << 16);
    case PCM_S24:
        return static_cast<int32_t>(static_cast<uint32_t>(p[0]) << 8 | static_cast<uint32_t>(p[1]) << 16
                                    | static_cast<uint32_t>(p[2]) << 24);
    case PCM_S32: {
        int32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    case PCM_F32: {
        float f;
        std::memcpy(&f, p, 4);
        return SaturateToInt32(static_cast<double>(f) * 2147483648.0);
    }
    case PCM_F64: {
        double d;
        std::memcpy(&d, p, 8);
        return SaturateToInt32(d * 2147483648.0);
    }
    default:
        return 0;
    }
}

// The bias added before the shift: half of what is cut off when rounding.
int32_t Narrow(int32_t v, int shift, int64_t bias)
{
    int64_t r = (static_cast<int64_t>(v) + bias) >> shift;
    int64_t high = (int64_t{1} << (31 - shift)) - 1;
    return static_cast<int32_t>(r > high ? high : r);
}

void WriteValue(uint8_t* p, PcmEncoding e, int32_t v, bool round)
{
    if (e == PCM_U8) {
        p[0] = static_cast<uint8_t>(Narrow(v, 24, round ? 0x800000 : 0) + 128);
    } else {
        auto s = static_cast<uint16_t>(Narrow(v, 16, round ? 0x8000 : 0));
        p[0] = static_cast<uint8_t>(s);
        p[1] = static_cast<uint8_t>(s >> 8);
    }
}

// The editor's own sample types as 32-bit full-scale values, for the
// conversions between them that need no rounding: ReadValue and WriteValue
// for PCM_U8 and PCM_S16 with the switch decided once per buffer.
struct Unsigned8 {
    static constexpr uint32_t WIDTH = 1;
    static int32_t Read(const uint8_t* p) { return static_cast<int32_t>(static_cast<uint32_t>(p[0] ^ 0x80u) << 24); }
    static void Write(uint8_t* p, int32_t v) { p[0] = static_cast<uint8_t>((v >> 24) + 128); }
};

struct Signed16 {
    static constexpr uint32_t WIDTH = 2;
    static int32_t Read(const uint8_t* p)
    {
        return static_cast<int32_t>((static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8) << 16);
    }
    static void Write(uint8_t* p, int32_t v)
    {
        auto s = static_cast<uint16_t>(v >> 16);
        p[0] = static_cast<uint8_t>(s);
        p[1] = static_cast<uint8_t>(s >> 8);
    }
};

// count output blocks of TO channels from source blocks of FROM channels,
// output block k taking source block (position + k × step) >> 16. A mono
// source feeds both channels; a mono destination takes the first.
template <class In, class Out, uint32_t FROM, uint32_t TO>
void Resample(const uint8_t* in, uint8_t* out, int64_t count, uint64_t position, uint64_t step)
{
    for (int64_t k = 0; k < count; k++, position += step, out += TO * Out::WIDTH) {
        const uint8_t* block = in + static_cast<size_t>(position >> 16) * (FROM * In::WIDTH);
        for (uint32_t c = 0; c < TO; c++)
            Out::Write(out + c * Out::WIDTH, In::Read(block + (c < FROM ? c : 0) * In::WIDTH));
    }
}

template <class In, class Out>
bool ResampleMonoOrStereo(uint32_t from, uint32_t to, const uint8_t* in, uint8_t* out, int64_t count,
                          uint64_t position, uint64_t step)
{
    if (from == 1 && to == 1)
        Resample<In, Out, 1, 1>(in, out, count, position, step);
    else if (from == 1 && to == 2)
        Resample<In, Out, 1, 2>(in, out, count, position, step);
    else if (from == 2 && to == 1)
        Resample<In, Out, 2, 1>(in, out, count, position, step);
    else if (from == 2 && to == 2)
        Resample<In, Out, 2, 2>(in, out, count, position, step);
    else
        return false;
    return true;
}

template <class In>
bool ResampleFrom(const PcmLayout& from, const PcmLayout& to, const uint8_t* in, uint8_t* out, int64_t count,
                  uint64_t position, uint64_t step)
{
    if (to.encoding == PCM_U8)
        return ResampleMonoOrStereo<In, Unsigned8>(from.channels, to.channels, in, out, count, position, step);
    return ResampleMonoOrStereo<In, Signed16>(from.channels, to.channels, in, out, count, position, step);
}

// The fast way for 8 and 16-bit mono and stereo on both sides (the
// destination is one of them always); false for other layouts.
bool ResampleEditorPcm(const PcmLayout& from, const PcmLayout& to, const uint8_t* in, uint8_t* out, int64_t count,
                       uint64_t position, uint64_t step)
{
    if (from.encoding == PCM_U8)
        return ResampleFrom<Unsigned8>(from, to, in, out, count, position, step);
    if (from.encoding == PCM_S16)
        return ResampleFrom<Signed16>(from, to, in, out, count, position, step);
    return false;
}

}

bool GetPcmLayout(const KvWaveFormat* w, PcmLayout& layout)
{
    layout = PcmLayout();
    if (w == nullptr || w->nChannels == 0 || w->nSamplesPerSec == 0)
        return false;
    PcmEncoding e = PCM_NONE;
    uint16_t tag = SampleTag(w);
    if (tag == WAVE_TAG_PCM)
        e = IntegerEncoding(w->wBitsPerSample);
    else if (tag == WAVE_TAG_IEEE_FLOAT)
        e = FloatEncoding(w->wBitsPerSample);
    if (e == PCM_NONE)
        return false;
    uint32_t width = w->wBitsPerSample / 8u;
    if (w->nBlockAlign != width * w->nChannels)
        return false;
    layout.encoding = e;
    layout.channels = w->nChannels;
    layout.width = width;
    layout.blockAlign = w->nBlockAlign;
    layout.rate = w->nSamplesPerSec;
    return true;
}

bool IsPlainPcm(const KvWaveFormat* w)
{
    PcmLayout layout;
    return w != nullptr && w->wFormatTag == WAVE_TAG_PCM && GetPcmLayout(w, layout)
        && (layout.encoding == PCM_U8 || layout.encoding == PCM_S16);
}

bool PcmConverter::Open(const KvWaveFormat* source, const KvWaveFormat* destination)
{
    if (!GetPcmLayout(source, from) || !IsPlainPcm(destination) || !GetPcmLayout(destination, to))
        return false;
    round = from.encoding != PCM_U8 && from.encoding != PCM_S16;
    same = from.encoding == to.encoding && from.channels == to.channels;
    step = (static_cast<uint64_t>(from.rate) << 16) / to.rate;
    // Below 1/65536 the ratio has no 16.16 value; the smallest step repeats
    // each source block 65536 times.
    if (step == 0)
        step = 1;
    position = 0;
    return true;
}

int64_t PcmConverter::OutputBlocks(int32_t n) const
{
    uint64_t end = static_cast<uint64_t>(n > 0 ? n : 0) << 16;
    if (position >= end)
        return 0;
    return static_cast<int64_t>((end - position + step - 1) / step);
}

void PcmConverter::Convert(const uint8_t* in, int32_t n, uint8_t* out)
{
    int64_t count = OutputBlocks(n);
    if (ResampleEditorPcm(from, to, in, out, count, position, step)) {
        position += static_cast<uint64_t>(count) * step;
        count = 0;
    }
    for (int64_t k = 0; k < count; k++, position += step, out += to.blockAlign) {
        const uint8_t* block = in + static_cast<size_t>(position >> 16) * from.blockAlign;
        if (same) {
            std::memcpy(out, block, to.blockAlign);
            continue;
        }
        for (uint32_t c = 0; c < to.channels; c++) {
            // A mono source feeds every channel; a mono destination takes the
            // first channel only; a channel the source lacks is silent.
            int32_t v = 0;
            if (c < from.channels)
                v = ReadValue(block + c * from.width, from.encoding);
            else if (from.channels == 1)
                v = ReadValue(block, from.encoding);
            WriteValue(out + c * to.width, to.encoding, v, round);
        }
    }
    uint64_t end = static_cast<uint64_t>(n > 0 ? n : 0) << 16;
    position = position >= end ? position - end : 0;
}

int64_t PcmConverter::StreamLength(int64_t n, uint32_t sourceRate, uint32_t destinationRate)
{
    if (n <= 0 || sourceRate == 0 || destinationRate == 0)
        return 0;
    uint64_t step = (static_cast<uint64_t>(sourceRate) << 16) / destinationRate;
    if (step == 0)
        step = 1;
    return static_cast<int64_t>(((static_cast<uint64_t>(n) << 16) + step - 1) / step);
}
