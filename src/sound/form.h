// Form: the wave format of a sound. Owns one format record and offers every
// computation that depends on it: validity, derived fields, conversions between
// blocks, samples, bytes and time, display texts, the "FORMAT" setting text and
// the RIFF "fmt " chunk. A block is one sample frame of nBlockAlign bytes (for
// compressed formats one compression block); every position and length in the
// program is a signed 32-bit block count.
#pragma once

#include <cstdint>

#include "lib/gstring.h"
#include "sound/wave_format.h"

class CMMFile;
struct ChunkInfo;

// Length units of FormatLength/ParseLength (low four bits of the flags).
enum {
    LENGTH_UNIT_DEFAULT = 0,    // the settings' defaultLengthUnit
    LENGTH_UNIT_TIME = 1,
    LENGTH_UNIT_BYTES = 2,
    LENGTH_UNIT_SAMPLES = 3,
    LENGTH_UNIT_KBYTES = 4,
    LENGTH_UNIT_LABEL = 5,
    LENGTH_UNIT_MASK = 0x0F,
    LENGTH_WITH_SUFFIX = 0x10,
    LENGTH_LEADING_BLANK = 0x20,
};

class Form {
public:
    Form() = default;
    ~Form();
    Form(const Form&) = delete;             // copied only through Set
    Form& operator=(const Form&) = delete;

    // Record management.
    bool SetSize(uint32_t n);               // empties tagName; false (and empty) when out of memory
    // Copies the record's own size (GetSize rule); a raw record must hold that
    // many bytes. From another Form only the bytes it holds are read (a missing
    // cbSize counts as 0). False only when memory is short.
    bool Set(const KvWaveFormat* record);
    bool Set(const Form& other) { return CopyRecord(other.wfx, other.size); }
    uint32_t GetSize() const;               // 0, 16 for PCM, else cbSize + 18 (from the record)
    static uint32_t RecordSize(const KvWaveFormat* record);
    // True for a null record; else the same size (as each record's tag and
    // cbSize give it) and the same bytes.
    bool Equals(const KvWaveFormat* record) const;
    bool Equals(const Form& other) const { return EqualsRecord(other.wfx, other.size); }
    // Also false for a record shorter than its own GetSize.
    bool IsValid() const;
    void Normalize();
    void SetToDefault();                    // the settings' default format, else 11025 Hz mono 8-bit PCM
    void SetBuiltInDefault();               // 11025 Hz mono 8-bit PCM

    // The record; null when there is none. Fields are read and written directly.
    KvWaveFormat* Record() const { return wfx; }
    uint32_t Size() const { return size; }
    // Editable PCM: 8 or 16-bit linear samples. Wider linear PCM (24 and 32
    // bits) is held, played and saved like compressed data and becomes
    // editable by conversion.
    bool IsPcm() const
    {
        return wfx && wfx->wFormatTag == WAVE_TAG_PCM
            && (wfx->wBitsPerSample == 8 || wfx->wBitsPerSample == 16);
    }
    // Linear PCM wider than 16 bits.
    bool IsWidePcm() const
    {
        return wfx && wfx->wFormatTag == WAVE_TAG_PCM
            && (wfx->wBitsPerSample == 24 || wfx->wBitsPerSample == 32);
    }
    int BlockAlign() const { return wfx ? wfx->nBlockAlign : 0; }

    // Length conversions (blocks unless named otherwise). Intermediate
    // products are exact whatever the fields hold; results past the type's
    // range saturate, and a format without a record, or with a 0 divisor,
    // gives 0. Negative lengths convert by magnitude and keep their sign.
    int32_t BlocksToSamples(int32_t n) const;
    int32_t SamplesToBlocks(int32_t n) const;
    int32_t BlocksToMs(int32_t n) const;
    uint32_t MsToBlocks(uint32_t ms) const;    // adds 1/20 block before truncating
    // Blocks of other that last as long as n blocks of this format; n when
    // other is null or equal.
    int32_t ConvertLength(int32_t n, const Form* other) const;
    // One chunk / one device buffer: bufferSeconds of sound (a setting of 0 is
    // made 2 first), whole blocks, and for blocks below 4 bytes whole 32-bit
    // words as well. 0 for an invalid format.
    uint32_t GetChunkBytes() const;

    // Display texts.
    CGString GetRateName() const;
    // "8-bit"/"16-bit" for PCM; else the compression manager's tag name or
    // "Not Supported", cached until the record is replaced. The pointer lives
    // until the next change of the Form.
    const char* GetTypeName();
    // "Voice Quality (11.025 kHz), Mono, 8-bit"; "Not Supported" when invalid.
    CGString GetDisplayName();
    // A length as text in a LENGTH_UNIT_* unit (0: the settings'
    // defaultLengthUnit, and a default of 0 is time). Time is seconds with two
    // truncated decimals and the locale's separator. The label unit writes
    // the default unit's suffix whether or not LENGTH_WITH_SUFFIX is given.
    CGString FormatLength(int32_t n, int flags) const;
    // The inverse for the same unit choice; leading blanks and any text after
    // the number (a suffix) are ignored, time is read with "." as decimal
    // point. Null text means one of the unit (0.01 s for time), and then a
    // result of 0 becomes 1.
    int32_t ParseLength(const char* text, int flags) const;

    // The "FORMAT" setting: tag, channels, rate, bytes per second, block align
    // and bits, joined by ","; "" when there is no record. Extra bytes are not
    // kept.
    CGString ToText() const;
    // Starts from SetToDefault, sets the fields of the numbers found (the
    // first k of the six), Normalizes. False, and the default again, when the
    // result is not valid. A PCM result is 16 bytes; another tag keeps the
    // default's extra bytes only when it is the default's tag, else cbSize 0.
    bool FromText(const char* text);

    // RIFF "fmt " chunk inside parent: 0 or an error id: 251 missing, longer
    // than the file, short, or shorter than its own tag and cbSize say; 257
    // under 14 bytes; 247 out of memory. The whole chunk becomes the record
    // (size = chunk size, also past 16 bytes for PCM). A chunk refused with 251
    // or 247 leaves the Form empty; a missing or too small one leaves it as it
    // was. The file is left after the chunk whenever it was found.
    int ReadFmt(CMMFile& file, const ChunkInfo* parent);
    // Writes `size` bytes as a "fmt " chunk; false without a record.
    bool WriteFmt(CMMFile& file) const;

private:
    // The record's own size (GetSize rule) when only `held` bytes of it exist:
    // a cbSize that lies past them counts as 0.
    static uint32_t HeldRecordSize(const KvWaveFormat* record, uint32_t held);
    // Set from a record of which `held` bytes exist; bytes past them become 0.
    bool CopyRecord(const KvWaveFormat* record, uint32_t held);
    bool EqualsRecord(const KvWaveFormat* record, uint32_t held) const;
    // SetSize that keeps the first bytes of the record and zeroes the new ones.
    bool Resize(uint32_t n);

    uint32_t size = 0;
    CGString tagName;
    KvWaveFormat* wfx = nullptr;            // malloc'ed, exactly size bytes
};

// The PCM rates that have a name of their own (string ids STR_RATE_FIRST + i),
// in the order of the Convert Format dialog's rate list.
constexpr uint32_t RATE_PRESETS[] = {8000, 11025, 22050, 44100};

// The default format for new sounds (the "FORMAT" setting).
Form& TheDefaultFormat();
