#include "edit/clip_wave.h"

#include <algorithm>
#include <cstring>

#include "base/error_message.h"
#include "base/update_views.h"
#include "lib/log.h"
#include "sound/document.h"
#include "sound/wave_file.h"

namespace {

constexpr uint32_t RIFF_HEADER_BYTES = 12;     // "RIFF", size, "WAVE"
constexpr uint32_t CHUNK_HEADER_BYTES = 8;
// The fields up to nBlockAlign; a shorter "fmt " has no usable format.
constexpr uint32_t FMT_MIN_BYTES = 14;

uint16_t Get16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t Get32(const uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool IsId(const uint8_t* p, const char* id)
{
    return std::memcmp(p, id, 4) == 0;
}

int WriteFlags(bool selection)
{
    return selection ? WAVE_WRITE_SELECTION : WAVE_WRITE_ALL;
}

}

uint32_t ClipWaveSize(bool selection)
{
    const CKV_Document& doc = TheDocument();
    int32_t blocks = selection ? TheSelection().selLength : doc.length;
    if (blocks <= 0 || !doc.format.IsValid())
        return 0;
    // Exact, so that a program taking the block's size for the image's finds
    // nothing after it: the RIFF header, "fmt " and "data", each chunk
    // padded to an even length.
    uint64_t formatBytes = doc.format.Size();
    uint64_t dataBytes = uint64_t(doc.format.BlockAlign()) * uint64_t(blocks);
    uint64_t size = RIFF_HEADER_BYTES + 2 * CHUNK_HEADER_BYTES + formatBytes + (formatBytes & 1) + dataBytes
        + (dataBytes & 1);
    return size > UINT32_MAX ? 0 : static_cast<uint32_t>(size);
}

bool RenderClipWave(bool selection, uint8_t* block, uint32_t size)
{
    MemoryFileInfo memory;
    memory.data = block;
    memory.size = size;
    if (!block || size == 0 || SaveWave(nullptr, WriteFlags(selection), &memory) != 0) {
        Log("Doc:GetMyClipWave FAIL");
        return false;
    }
    return true;
}

int CheckClipWave(const uint8_t* data, uint64_t available, ClipWaveInfo* info)
{
    *info = ClipWaveInfo();
    if (!data || available < RIFF_HEADER_BYTES || !IsId(data, "RIFF") || !IsId(data + 8, "WAVE"))
        return ERR_NOT_SOUND_FILE;
    // A block may be larger than the image in it (allocations are rounded
    // up), never smaller.
    uint64_t image = uint64_t{Get32(data + 4)} + CHUNK_HEADER_BYTES;
    if (image < RIFF_HEADER_BYTES || image > available)
        return ERR_FILE_SHORT;
    info->imageBytes = static_cast<uint32_t>(image);
    bool haveFormat = false;
    for (uint64_t pos = RIFF_HEADER_BYTES; pos + CHUNK_HEADER_BYTES <= image;) {
        const uint8_t* chunk = data + pos;
        uint32_t size = Get32(chunk + 4);
        uint64_t body = pos + CHUNK_HEADER_BYTES;
        if (size > image - body)
            return ERR_FILE_SHORT;
        if (IsId(chunk, "fmt ") && !haveFormat) {
            if (size < FMT_MIN_BYTES)
                return ERR_NOT_SOUND_FILE;
            const uint8_t* f = data + body;
            info->formatTag = Get16(f);
            info->channels = Get16(f + 2);
            info->sampleRate = Get32(f + 4);
            info->blockAlign = Get16(f + 12);
            if (info->channels == 0 || info->sampleRate == 0 || info->blockAlign == 0)
                return ERR_NOT_SOUND_FILE;
            haveFormat = true;
        } else if (IsId(chunk, "data")) {
            // The reader takes the format from before the data only.
            if (!haveFormat)
                return ERR_FILE_SHORT;
            info->dataBytes = size;
            return 0;
        }
        pos = body + size + (size & 1);
    }
    return ERR_FILE_SHORT;
}

int ReadClipWave(const uint8_t* data, uint64_t available, int mode)
{
    ClipWaveInfo info;
    int rc = CheckClipWave(data, available, &info);
    if (rc)
        return rc;
    // Read only: the memory file over the block is opened for reading.
    MemoryFileInfo memory;
    memory.data = const_cast<uint8_t*>(data);
    memory.size = info.imageBytes;
    rc = LoadWave(nullptr, READ_MEASURE, &memory);
    if (rc == 0 && mode == READ_PASTE) {
        // The converted length saturates at the largest count; an insert may
        // not take the sound past it either.
        const Selection& sel = TheSelection();
        int64_t grown = sel.selLength > 0 ? 0 : int64_t{TheDocument().length} + sel.pendingLength;
        if (sel.pendingLength >= INT32_MAX || grown > INT32_MAX) {
            Log("Doc:Paste(%d) TOO LONG", sel.pendingLength);
            rc = ERR_NO_MEMORY;
        } else {
            rc = LoadWave(nullptr, READ_PASTE, &memory);
        }
    }
    // The memory file over a valid block opens unless memory ran out.
    if (rc == ERR_CANT_OPEN)
        rc = ERR_NO_MEMORY;
    if (rc != ERR_NO_MEMORY)
        UpdateViews(UpdAll);
    return rc;
}
