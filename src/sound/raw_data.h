// The readers of the foreign sound formats (AIFF/AIFC, AU, VOC and headerless
// RAW) and what they share: the reader context and the one path by which
// their samples reach the document, through the converter in the running
// action's edit mode. None of these formats is ever written.
//
// Each reader takes an opened file positioned at its start and a reader mode
// (READ_OPEN or READ_PASTE; READ_MEASURE only sets pendingLength) and answers
// 0, -1 (cancelled) or an error id: 250 when the file is not of its type (the
// type probe goes on), 251 when a header, a block or a size field does not fit
// the file, 256 for a format the document cannot hold, 257 for a compression
// that is not read, 247 when memory runs out.
#pragma once

#include <cstdint>

#include "sound/file.h"
#include "sound/form.h"

// One read, on the stack.
struct ReaderContext {
    ReaderContext(CMMFile& f, int mode) : file(f), readMode(mode) {}

    CMMFile& file;
    int32_t readMode;
    uint32_t dataStart = 0;     // where the samples, or the VOC block list, begin
    int32_t writePos = 0;       // document block where the next converted samples go
    // The file holds less than its header claims: what is there is read and
    // the read ends with 251 (a paste then takes it back).
    bool cutShort = false;
    // VOC only.
    int32_t formatKnown = 0;    // readFormat is fixed (pasting, or after the first sound block)
    uint8_t blockType = 0;      // type of the block being read
    Form readFormat;            // the format in which lengths are counted
    int32_t blocksLeft = 0;     // blocks counted (measure pass) or still free (read pass)
};

// How a file's samples differ from the document's layout. Each flag applies
// only to linear PCM of its width, never to companded or compressed data.
enum : unsigned {
    RAW_AS_IS = 0,
    RAW_SIGNED_8 = 1,           // 8-bit samples are signed: the top bit of each is flipped
    RAW_BIG_ENDIAN_16 = 2,      // 16-bit samples are big-endian: their bytes are swapped
    RAW_SILENCE = 4,            // nothing is read: the source is silence of the format
};

// Brings count blocks of `format`, the file positioned at the first, into the
// document as the Paste action: opening makes a new sound of that format
// named after the file; pasting converts them to the document's format at the
// selection. 0, -1 or an error id (251 after the read when ctx.cutShort).
int ReadRawData(ReaderContext& ctx, const Form& format, int32_t count, unsigned layout);

// Reads up to `blocks` blocks of `format` from the file and converts them
// into the document from `position` on, until they end or the room the
// action prepared is full (what does not fit is dropped); ctx.writePos then
// holds the position reached. A short read ends the reading without an error.
int ReadConverted(ReaderContext& ctx, const Form& format, int32_t position, int32_t blocks,
    unsigned layout);

// Document blocks that `blocks` blocks of `format` become, exactly as the
// converter makes them.
int32_t DocumentBlocks(const Form& format, int32_t blocks, const Form& documentFormat);

// Whole blocks of `align` bytes that the file holds from `start` on, at most
// claimedBytes' worth; cutShort tells whether the file holds fewer than
// claimed. Also limited to the largest document length.
int32_t BlocksPresent(CMMFile& file, int64_t start, uint64_t claimedBytes, int align,
    bool& cutShort);

int ReadAiff(CMMFile& file, int mode);
int ReadVoc(CMMFile& file, int mode);
int ReadAu(CMMFile& file, int mode);
// The whole file as blocks of the document's current format.
int ReadRaw(CMMFile& file, int mode);

inline uint16_t BigEndian16(const uint8_t* p)
{
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

inline uint32_t BigEndian32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

inline uint16_t LittleEndian16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t LittleEndian32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
