#include "sound/raw_data.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "base/error_message.h"
#include "lib/log.h"
#include "sound/converter.h"
#include "sound/document.h"
#include "sound/sample_actions.h"
#include "sound/wave_file.h"

namespace {

void FlipSign(uint8_t* data, size_t bytes)
{
    for (size_t i = 0; i < bytes; i++)
        data[i] ^= 0x80;
}

void SwapPairs(uint8_t* data, size_t bytes)
{
    for (size_t i = 0; i + 1 < bytes; i += 2)
        std::swap(data[i], data[i + 1]);
}

const int64_t MAX_STEP_OUTPUT = 1 << 20;

bool IsLinear(const Form& format, int bits)
{
    return format.IsPcm() && format.Record()->wBitsPerSample == bits;
}

}

int32_t BlocksPresent(CMMFile& file, int64_t start, uint64_t claimedBytes, int align, bool& cutShort)
{
    int64_t size = file.FileSize();
    uint64_t held = size > start && start >= 0 ? static_cast<uint64_t>(size - start) : 0;
    cutShort = held < claimedBytes;
    if (align <= 0)
        return 0;
    uint64_t blocks = std::min(held, claimedBytes) / static_cast<uint64_t>(align);
    return static_cast<int32_t>(std::min<uint64_t>(blocks, INT32_MAX));
}

int ReadRawData(ReaderContext& ctx, const Form& format, int32_t count, unsigned layout)
{
    Selection& sel = TheSelection();
    int shortResult = ctx.cutShort ? ERR_FILE_SHORT : 0;
    if (ctx.readMode == READ_OPEN) {
        sel.pendingLength = count;
    } else {
        sel.pendingLength = DocumentBlocks(format, count, TheDocument().format);
        // Nothing to paste must not cut a selection down to nothing.
        if (ctx.readMode == READ_MEASURE || count == 0)
            return shortResult;
    }
    int32_t n = 0;
    int rc = PrepareFill(ctx.file.Name(), ctx.readMode, format, &n);
    if (rc || n == 0)
        return rc ? rc : shortResult;
    ctx.writePos = sel.selStart;
    int result = ReadConverted(ctx, format, sel.selStart, count, layout);
    if (result == 0)
        result = shortResult;
    CompleteFill(result);
    return result;
}

int32_t DocumentBlocks(const Form& format, int32_t blocks, const Form& documentFormat)
{
    return ConvertedLength(format, blocks, documentFormat, -1);
}

int ReadConverted(ReaderContext& ctx, const Form& format, int32_t position, int32_t blocks,
    unsigned layout)
{
    const CKV_Document& doc = TheDocument();
    int align = format.BlockAlign();
    if (blocks <= 0 || align <= 0)
        return 0;
    int rc = OpenConverter(format.Record(), nullptr, position);
    if (rc)
        return rc;
    // One chunk of the file's format, or less when less is to be read.
    uint64_t chunkBlocks = format.GetChunkBytes() / static_cast<uint32_t>(align);
    int32_t perRead = static_cast<int32_t>(std::min<uint64_t>(chunkBlocks, static_cast<uint64_t>(blocks)));
    // A step of the converter makes at most MAX_STEP_OUTPUT bytes, so that a
    // rate raised many times over neither asks for one huge buffer nor goes
    // long without a progress check.
    int64_t stepOutput = int64_t(DocumentBlocks(format, perRead, doc.format)) * doc.format.BlockAlign();
    if (stepOutput > MAX_STEP_OUTPUT)
        perRead = static_cast<int32_t>(std::max<int64_t>(1, perRead * MAX_STEP_OUTPUT / stepOutput));
    uint32_t bufferBytes = static_cast<uint32_t>(perRead) * static_cast<uint32_t>(align);
    std::unique_ptr<uint8_t[]> buffer;
    if (perRead > 0)
        buffer.reset(new (std::nothrow) uint8_t[bufferBytes]);
    if (!buffer) {
        Log("Doc:ReadConverted(%u) NO MEMORY", bufferBytes);
        ctx.writePos = CloseConverter();
        return ERR_NO_MEMORY;
    }
    bool silence = (layout & RAW_SILENCE) != 0;
    bool flip = (layout & RAW_SIGNED_8) && IsLinear(format, 8);
    bool swap = (layout & RAW_BIG_ENDIAN_16) && IsLinear(format, 16);
    if (silence)
        std::memset(buffer.get(), IsLinear(format, 8) ? 0x80 : 0, bufferBytes);

    int result = 0;
    int32_t left = blocks;
    while (left > 0) {
        int32_t n = std::min(left, perRead);
        bool shortRead = false;
        if (!silence) {
            int32_t want = n * align;
            int32_t got = ctx.file.Read(buffer.get(), want);
            if (got < want) {
                // What arrived whole still counts; the rest of the file is missing.
                n = std::max(got, 0) / align;
                shortRead = true;
            }
            size_t bytes = static_cast<size_t>(n) * static_cast<size_t>(align);
            if (flip)
                FlipSign(buffer.get(), bytes);
            if (swap)
                SwapPairs(buffer.get(), bytes);
        }
        if (n > 0) {
            rc = ConvertChunk(buffer.get(), n);
            // The converter also stops when the room is full: not a cancel.
            if (rc < 0 && ConverterFull())
                break;
            if (rc) {
                result = rc;
                break;
            }
        }
        if (shortRead)
            break;
        left -= n;
    }
    ctx.writePos = CloseConverter();
    return result;
}
