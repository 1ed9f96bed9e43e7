#include "sound/form.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "base/app_options.h"
#include "base/error_message.h"
#include "base/int_list.h"
#include "base/string_ids.h"
#include "base/string_table.h"
#include "lib/log.h"
#include "sound/compression_manager.h"
#include "sound/file.h"
#include "sound/fixed_text.h"

namespace {

// Texts of the format and length displays that have no string id.
const char TEXT_NOT_SUPPORTED[] = "Not Supported";
const char TEXT_8_BIT[] = "8-bit";
const char TEXT_16_BIT[] = "16-bit";
const char TEXT_MONO[] = "Mono";
const char TEXT_STEREO[] = "Stereo";
const char* const UNIT_SUFFIXES[] = {" secs", " secs", " bytes", " samples", " Kbytes"};

constexpr uint32_t FOURCC_FMT = MakeFourCC('f', 'm', 't', ' ');

// A record short of these bytes holds no cbSize.
constexpr uint32_t FULL_FORMAT_SIZE = sizeof(KvWaveFormat);

// The compression manager's name field is 48 characters.
enum { TAG_NAME_CHARS = 48 };

Form theDefaultFormat;

// The largest chunk (and device buffer) any format gets.
const uint64_t MAX_CHUNK_BYTES = 16u << 20;

bool FollowsBits(uint16_t tag)
{
    return tag == WAVE_TAG_PCM || tag == WAVE_TAG_ALAW || tag == WAVE_TAG_MULAW;
}

// floor(a * b / d), UINT64_MAX when a * b passes 64 bits; 0 when d is 0.
// Formats may carry any 32-bit rate, so a product of three fields can pass
// 64 bits; the conversions only divide such a product by a 32-bit field,
// which leaves a quotient far beyond any 32-bit result.
uint64_t MulDiv(uint64_t a, uint64_t b, uint64_t d)
{
    if (d == 0 || a == 0 || b == 0)
        return 0;
    if (a > UINT64_MAX / b)
        return UINT64_MAX;
    return a * b / d;
}

int32_t ClampToInt32(int64_t value)
{
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

int32_t ClampToInt32(double value)
{
    if (!(value > static_cast<double>(INT32_MIN)))     // also NaN
        return value < 0 ? INT32_MIN : 0;
    if (value >= static_cast<double>(INT32_MAX))
        return INT32_MAX;
    return static_cast<int32_t>(value);                 // truncates toward zero
}

// factor * n / divisor truncated toward zero, kept within int32.
int32_t Scale(uint64_t factor, int32_t n, uint64_t divisor)
{
    uint64_t magnitude = n < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(n)) : static_cast<uint64_t>(n);
    uint64_t q = MulDiv(factor, magnitude, divisor);
    if (q > static_cast<uint64_t>(INT32_MAX) + 1)
        q = static_cast<uint64_t>(INT32_MAX) + 1;
    int64_t value = static_cast<int64_t>(q);
    return ClampToInt32(n < 0 ? -value : value);
}

// The leading decimal number of text, after an optional sign,
// saturating in 32 bits.
int32_t ReadInteger(const char* p)
{
    bool negative = false;
    if (*p == '-' || *p == '+')
        negative = *p++ == '-';
    int64_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > static_cast<int64_t>(INT32_MAX) + 1)
            value = static_cast<int64_t>(INT32_MAX) + 1;
    }
    return ClampToInt32(negative ? -value : value);
}

int DisplayUnit(int flags)
{
    int unit = flags & LENGTH_UNIT_MASK;
    if (unit == LENGTH_UNIT_DEFAULT)
        unit = TheAppOptions().defaultLengthUnit;
    return unit;
}

}

Form& TheDefaultFormat()
{
    return theDefaultFormat;
}

Form::~Form()
{
    std::free(wfx);
}

bool Form::SetSize(uint32_t n)
{
    tagName.Empty();
    if (n == size)
        return true;
    std::free(wfx);
    wfx = nullptr;
    size = 0;
    if (n == 0)
        return true;
    // Zeroed, so that a record filled field by field never holds stray bytes.
    wfx = static_cast<KvWaveFormat*>(std::calloc(n, 1));
    if (wfx == nullptr) {
        Log("Form:SetSize(%u) FAIL", n);
        return false;
    }
    size = n;
    return true;
}

bool Form::Resize(uint32_t n)
{
    if (n == size || wfx == nullptr)
        return SetSize(n);
    // A new block first: the old bytes may be the source being copied.
    KvWaveFormat* old = wfx;
    uint32_t oldSize = size;
    wfx = nullptr;
    size = 0;
    bool ok = SetSize(n);
    if (ok)
        std::memcpy(wfx, old, oldSize < n ? oldSize : n);
    std::free(old);
    return ok;
}

uint32_t Form::RecordSize(const KvWaveFormat* record)
{
    if (record == nullptr)
        return 0;
    if (record->wFormatTag == WAVE_TAG_PCM)
        return PCM_FORMAT_SIZE;
    return record->cbSize + FULL_FORMAT_SIZE;
}

uint32_t Form::HeldRecordSize(const KvWaveFormat* record, uint32_t held)
{
    if (record == nullptr)
        return 0;
    if (record->wFormatTag == WAVE_TAG_PCM)
        return PCM_FORMAT_SIZE;
    return (held >= FULL_FORMAT_SIZE ? record->cbSize : 0) + FULL_FORMAT_SIZE;
}

bool Form::Set(const KvWaveFormat* record)
{
    // Our own record is known to hold `size` bytes, however its tag reads.
    return CopyRecord(record, record == wfx ? size : RecordSize(record));
}

bool Form::CopyRecord(const KvWaveFormat* record, uint32_t held)
{
    uint32_t n = HeldRecordSize(record, held);
    uint32_t copied = held < n ? held : n;
    if (record == nullptr || n == 0)
        return SetSize(0);
    if (record == wfx)
        return Resize(n);
    if (!SetSize(n))
        return false;
    std::memcpy(wfx, record, copied);
    if (copied < n)
        std::memset(reinterpret_cast<uint8_t*>(wfx) + copied, 0, n - copied);
    return true;
}

uint32_t Form::GetSize() const
{
    return HeldRecordSize(wfx, size);
}

bool Form::Equals(const KvWaveFormat* record) const
{
    if (record == nullptr)
        return true;
    return EqualsRecord(record, RecordSize(record));
}

bool Form::EqualsRecord(const KvWaveFormat* record, uint32_t held) const
{
    if (record == nullptr)
        return true;
    // The bytes each record claims are compared: a record read from a file
    // may hold more than its cbSize says, and which side holds the longer
    // one must not change the answer.
    uint32_t n = HeldRecordSize(record, held);
    if (n > held || n != GetSize() || n > size)
        return false;
    return std::memcmp(wfx, record, n) == 0;
}

bool Form::IsValid() const
{
    // A record that does not hold its own cbSize and extra bytes is unusable.
    if (wfx == nullptr || size < PCM_FORMAT_SIZE || size < GetSize())
        return false;
    if (wfx->nChannels == 0 || wfx->nSamplesPerSec == 0)
        return false;
    if (wfx->wFormatTag == WAVE_TAG_PCM) {
        if (!IsPcm() && !IsWidePcm())
            return false;
        uint32_t align = (wfx->wBitsPerSample / 8u) * wfx->nChannels;
        return wfx->nBlockAlign == align
            && wfx->nAvgBytesPerSec == static_cast<uint64_t>(align) * wfx->nSamplesPerSec;
    }
    return wfx->nBlockAlign != 0 && wfx->nAvgBytesPerSec != 0;
}

void Form::Normalize()
{
    if (wfx == nullptr || size < PCM_FORMAT_SIZE)
        return;
    // A result wider than its field (65535 channels of 16 bits) wraps, as the
    // record's own 16- and 32-bit fields do.
    if (IsWidePcm()) {
        wfx->nBlockAlign = static_cast<uint16_t>(wfx->wBitsPerSample / 8u * wfx->nChannels);
        wfx->nAvgBytesPerSec = wfx->nBlockAlign * wfx->nSamplesPerSec;
    } else if (FollowsBits(wfx->wFormatTag)) {
        wfx->nBlockAlign = static_cast<uint16_t>((wfx->wBitsPerSample == 8 ? 1u : 2u) * wfx->nChannels);
        wfx->nAvgBytesPerSec = wfx->nBlockAlign * wfx->nSamplesPerSec;
    } else if (wfx->nBlockAlign == 0) {
        wfx->nBlockAlign = 1;
        wfx->nAvgBytesPerSec = wfx->nChannels * wfx->nSamplesPerSec;
    }
}

void Form::SetToDefault()
{
    Form& defaultFormat = TheDefaultFormat();
    if (this == &defaultFormat) {
        if (IsValid())
            return;
    } else if (defaultFormat.wfx != nullptr && Set(defaultFormat) && IsValid()) {
        return;
    }
    SetBuiltInDefault();
}

void Form::SetBuiltInDefault()
{
    if (!SetSize(PCM_FORMAT_SIZE))
        return;
    std::memset(wfx, 0, size);
    wfx->wFormatTag = WAVE_TAG_PCM;
    wfx->nChannels = 1;
    wfx->nSamplesPerSec = 11025;
    wfx->wBitsPerSample = 8;
    Normalize();
}

int32_t Form::BlocksToSamples(int32_t n) const
{
    if (wfx == nullptr)
        return 0;
    if (IsPcm())
        return n;
    return Scale(static_cast<uint64_t>(wfx->nBlockAlign) * wfx->nSamplesPerSec, n, wfx->nAvgBytesPerSec);
}

int32_t Form::SamplesToBlocks(int32_t n) const
{
    if (wfx == nullptr)
        return 0;
    if (IsPcm())
        return n;
    return Scale(wfx->nAvgBytesPerSec, n, static_cast<uint64_t>(wfx->nBlockAlign) * wfx->nSamplesPerSec);
}

int32_t Form::BlocksToMs(int32_t n) const
{
    if (wfx == nullptr || wfx->nAvgBytesPerSec == 0)
        return 0;
    return ClampToInt32(static_cast<double>(wfx->nBlockAlign) * n * 1000.0 / wfx->nAvgBytesPerSec);
}

uint32_t Form::MsToBlocks(uint32_t ms) const
{
    if (wfx == nullptr || wfx->nBlockAlign == 0)
        return 0;
    // Adds a twentieth of a block before truncating. Both terms stay below
    // 2^64 for any field values.
    uint64_t bytes = static_cast<uint64_t>(wfx->nAvgBytesPerSec) * ms + 50u * wfx->nBlockAlign;
    uint64_t blocks = bytes / (1000u * wfx->nBlockAlign);
    return blocks > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(blocks);
}

int32_t Form::ConvertLength(int32_t n, const Form* other) const
{
    if (other == nullptr || Equals(*other))
        return n;
    if (wfx == nullptr || other->wfx == nullptr)
        return 0;
    uint64_t thisBytes = static_cast<uint64_t>(wfx->nBlockAlign) * other->wfx->nAvgBytesPerSec;
    uint64_t otherBytes = static_cast<uint64_t>(other->wfx->nBlockAlign) * wfx->nAvgBytesPerSec;
    if (otherBytes == 0)
        return 0;
    return ClampToInt32(static_cast<double>(thisBytes) / static_cast<double>(otherBytes) * n);
}

uint32_t Form::GetChunkBytes() const
{
    BufferSettings& buffers = TheAppOptions().buffers;
    if (buffers.bufferSeconds == 0)
        buffers.bufferSeconds = 2;
    if (!IsValid())
        return 0;
    // Whole blocks; small blocks also in whole 32-bit words, which every
    // block size below 4 divides except 3, whose chunks take 12 bytes a step.
    uint64_t unit = wfx->nBlockAlign;
    if (unit < 4)
        unit = unit == 3 ? 12 : 4;
    uint64_t bytes = static_cast<uint64_t>(wfx->nAvgBytesPerSec) * buffers.bufferSeconds;
    bytes = (bytes + unit - 1) / unit * unit;
    // A damaged or hand-made header may claim any rate: one chunk must not
    // become gigabytes. Real formats stay far below the cap (2 s of 192 kHz
    // 8-channel 32-bit sound is 12 MiB), and a chunk is always whole blocks.
    if (bytes > MAX_CHUNK_BYTES)
        bytes = std::max<uint64_t>(MAX_CHUNK_BYTES / unit * unit, unit);
    return static_cast<uint32_t>(bytes);
}

CGString Form::GetRateName() const
{
    CGString text;
    if (wfx == nullptr)
        return text;
    uint32_t rate = wfx->nSamplesPerSec;
    if (IsPcm()) {
        for (int i = 0; i < STR_RATE_COUNT; ++i) {
            if (rate == RATE_PRESETS[i]) {
                text = LoadAppString(STR_RATE_FIRST + i);
                return text;
            }
        }
    }
    text.Format("%lu%s%03lu kHz", static_cast<unsigned long>(rate / 1000),
        TheAppOptions().intl.decimalSeparator, static_cast<unsigned long>(rate % 1000));
    return text;
}

const char* Form::GetTypeName()
{
    if (wfx == nullptr)
        return TEXT_NOT_SUPPORTED;
    if (IsPcm())
        return wfx->wBitsPerSample == 8 ? TEXT_8_BIT : TEXT_16_BIT;
    if (IsWidePcm())
        return wfx->wBitsPerSample == 24 ? "24-bit" : "32-bit";
    if (!tagName.IsEmpty())
        return tagName.c_str();
    // Asked once per record: the answer, or "Not Supported", stays until the
    // record is replaced.
    char name[TAG_NAME_CHARS + 1] = {};
    CompressionManager* manager = UsableCompressionManager();
    if (manager != nullptr && manager->GetTagName(wfx->wFormatTag, name, TAG_NAME_CHARS) && name[0] != '\0')
        tagName = name;
    else
        tagName = TEXT_NOT_SUPPORTED;
    return tagName.c_str();
}

CGString Form::GetDisplayName()
{
    CGString text;
    if (!IsValid()) {
        text = TEXT_NOT_SUPPORTED;
        return text;
    }
    const char* channels = wfx->nChannels == 1 ? TEXT_MONO : wfx->nChannels == 2 ? TEXT_STEREO : TEXT_NOT_SUPPORTED;
    const char* separator = TheAppOptions().intl.listSeparator;
    CGString rate = GetRateName();
    text.Format("%s%s %s%s %s", rate.c_str(), separator, channels, separator, GetTypeName());
    return text;
}

CGString Form::FormatLength(int32_t n, int flags) const
{
    int unit = DisplayUnit(flags);
    CGString value;
    const char* suffix = "";
    switch (unit) {
    case LENGTH_UNIT_DEFAULT:
    case LENGTH_UNIT_TIME:
        value = FormatThousandths(BlocksToMs(n));
        break;
    case LENGTH_UNIT_BYTES:
        value.Format("%lld", static_cast<long long>(BlockAlign()) * n);
        break;
    case LENGTH_UNIT_SAMPLES:
        value.Format("%ld", static_cast<long>(BlocksToSamples(n)));
        break;
    case LENGTH_UNIT_KBYTES:
        value.Format("%lld", static_cast<long long>(BlockAlign()) * n / 1024);
        break;
    case LENGTH_UNIT_LABEL: {
        // The label is the whole text, so it needs no suffix flag.
        int defaultUnit = TheAppOptions().defaultLengthUnit;
        if (defaultUnit >= LENGTH_UNIT_DEFAULT && defaultUnit <= LENGTH_UNIT_KBYTES)
            suffix = UNIT_SUFFIXES[defaultUnit];
        break;
    }
    default:
        break;
    }
    if ((flags & LENGTH_WITH_SUFFIX) != 0 && unit >= LENGTH_UNIT_DEFAULT && unit <= LENGTH_UNIT_KBYTES)
        suffix = UNIT_SUFFIXES[unit];

    CGString text;
    text.Format("%s%s%s", (flags & LENGTH_LEADING_BLANK) != 0 ? " " : "", value.c_str(), suffix);
    return text;
}

int32_t Form::ParseLength(const char* text, int flags) const
{
    int unit = DisplayUnit(flags);
    if (text != nullptr) {
        while (*text == ' ' || *text == '\t')
            ++text;
    }
    int32_t result;
    uint32_t align = static_cast<uint32_t>(BlockAlign());
    switch (unit) {
    case LENGTH_UNIT_DEFAULT:
    case LENGTH_UNIT_TIME: {
        // v in hundredths of a second; (avg * v + 5 * align) * 10 / (1000 * align)
        // reduced by 10, which leaves the quotient as it is.
        int32_t v = text != nullptr ? ParseFixed(text, 2) : 1;
        if (align == 0) {
            result = 0;
            break;
        }
        uint64_t bytes = static_cast<uint64_t>(wfx->nAvgBytesPerSec) * static_cast<uint32_t>(v) + 5u * align;
        uint64_t blocks = bytes / (100u * align);
        result = blocks > INT32_MAX ? INT32_MAX : static_cast<int32_t>(blocks);
        break;
    }
    case LENGTH_UNIT_BYTES: {
        int32_t v = text != nullptr ? ReadInteger(text) : 1;
        result = align != 0 ? static_cast<int32_t>(v / static_cast<int64_t>(align)) : 0;
        break;
    }
    case LENGTH_UNIT_SAMPLES:
        result = SamplesToBlocks(text != nullptr ? ReadInteger(text) : 1);
        break;
    case LENGTH_UNIT_KBYTES: {
        int64_t v = text != nullptr ? ReadInteger(text) : 1;
        result = align != 0 ? ClampToInt32(v * 1024 / static_cast<int64_t>(align)) : 0;
        break;
    }
    default:
        result = text != nullptr ? ReadInteger(text) : 1;
        break;
    }
    if (result == 0 && text == nullptr)
        result = 1;
    return result;
}

CGString Form::ToText() const
{
    CGString text;
    if (wfx == nullptr)
        return text;
    // Unsigned, so that any rate reads back as itself.
    text.Format("%u,%u,%lu,%lu,%u,%u", wfx->wFormatTag, wfx->nChannels,
        static_cast<unsigned long>(wfx->nSamplesPerSec), static_cast<unsigned long>(wfx->nAvgBytesPerSec),
        wfx->nBlockAlign, wfx->wBitsPerSample);
    return text;
}

bool Form::FromText(const char* text)
{
    SetToDefault();
    if (wfx == nullptr)
        return false;
    int32_t v[6];
    int n = ParseIntList(v, text, 6);
    if (n > 0) {
        uint16_t oldTag = wfx->wFormatTag;
        uint16_t tag = static_cast<uint16_t>(v[0]);
        // The text carries no cbSize or extra bytes: a PCM record has none,
        // another tag gets the default's extras only when it is the default's
        // tag, else a cbSize of 0.
        uint32_t newSize = size;
        if (tag == WAVE_TAG_PCM)
            newSize = PCM_FORMAT_SIZE;
        else if (tag != oldTag || size < FULL_FORMAT_SIZE)
            newSize = FULL_FORMAT_SIZE;
        if (!Resize(newSize))
            return false;
        wfx->wFormatTag = tag;
        if (tag != WAVE_TAG_PCM && newSize == FULL_FORMAT_SIZE)
            wfx->cbSize = 0;
        if (n >= 2)
            wfx->nChannels = static_cast<uint16_t>(v[1]);
        if (n >= 3)
            wfx->nSamplesPerSec = static_cast<uint32_t>(v[2]);
        if (n >= 4)
            wfx->nAvgBytesPerSec = static_cast<uint32_t>(v[3]);
        if (n >= 5)
            wfx->nBlockAlign = static_cast<uint16_t>(v[4]);
        if (n >= 6)
            wfx->wBitsPerSample = static_cast<uint16_t>(v[5]);
    }
    Normalize();
    if (IsValid())
        return true;
    SetToDefault();
    return false;
}

int Form::ReadFmt(CMMFile& file, const ChunkInfo* parent)
{
    ChunkInfo ck;
    ck.ckid = FOURCC_FMT;
    if (!file.Descend(ck, parent, KVIO_FINDCHUNK))
        return ERR_FILE_SHORT;
    if (ck.cksize < 14) {
        file.Ascend(ck);
        return ERR_UNSUPPORTED_COMPRESSION;
    }
    int rc = 0;
    // A chunk that claims more than the file holds is short; refusing it
    // here also keeps a damaged size from asking for gigabytes.
    int64_t fileSize = file.FileSize();
    if (fileSize < 0 || ck.cksize > INT32_MAX || static_cast<int64_t>(ck.dwDataOffset) + ck.cksize > fileSize) {
        rc = ERR_FILE_SHORT;
    } else if (!SetSize(ck.cksize)) {
        file.Ascend(ck);
        return ERR_NO_MEMORY;
    } else if (file.Read(wfx, static_cast<int32_t>(ck.cksize)) != static_cast<int32_t>(ck.cksize)) {
        rc = ERR_FILE_SHORT;
    } else if (size < HeldRecordSize(wfx, size)) {
        // Also a non-PCM chunk shorter than 18 bytes: it has no cbSize.
        rc = ERR_FILE_SHORT;
    } else {
        Normalize();
    }
    // A record that failed is never left half read.
    if (rc != 0)
        SetSize(0);
    file.Ascend(ck);
    return rc;
}

bool Form::WriteFmt(CMMFile& file) const
{
    // An empty format would make a file that no reader takes back.
    if (wfx == nullptr)
        return false;
    ChunkInfo ck;
    ck.ckid = FOURCC_FMT;
    ck.cksize = size;
    return file.CreateChunk(ck, 0) && file.Write(wfx, static_cast<int32_t>(size)) && file.Ascend(ck);
}
