// RIFF chunk navigation over any CMMFile, with the multimedia file layer's
// rules. Every size read here comes from the file and is untrusted: offsets
// are computed in 64 bits, and a search ends at its parent's end or the file's
// end, whichever comes first.
#include <algorithm>
#include <cstdint>

#include "lib/log.h"
#include "sound/file.h"

namespace {

constexpr uint32_t FOURCC_RIFF = MakeFourCC('R', 'I', 'F', 'F');
constexpr uint32_t FOURCC_LIST = MakeFourCC('L', 'I', 'S', 'T');

// Chunk id and size; RIFF and LIST chunks follow them with their type, which
// counts as part of their data.
constexpr int64_t HEADER_BYTES = 8;
constexpr int64_t TYPE_BYTES = 4;

// dwDataOffset is 32 bits wide: chunks whose data starts beyond it cannot be
// described.
constexpr int64_t MAX_DATA_OFFSET = 0xFFFFFFFF;

uint32_t LoadLE32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

void StoreLE32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

bool HasType(uint32_t id)
{
    return id == FOURCC_RIFF || id == FOURCC_LIST;
}

bool Matches(uint32_t flags, const ChunkInfo& wanted, uint32_t id, uint32_t type)
{
    if (flags & KVIO_FINDRIFF)
        return id == FOURCC_RIFF && type == wanted.fccType;
    if (flags & KVIO_FINDLIST)
        return id == FOURCC_LIST && type == wanted.fccType;
    if (flags & KVIO_FINDCHUNK)
        return id == wanted.ckid;
    return true;
}

// Where the chunk after the one at pos begins. RIFF pads each chunk to an
// even length; the pad byte is not in its size.
int64_t NextChunk(int64_t pos, uint32_t size)
{
    return pos + HEADER_BYTES + int64_t(size) + (size & 1);
}

} // namespace

bool CMMFile::Descend(ChunkInfo& ck, const ChunkInfo* parent, uint32_t flags)
{
    const int64_t start = GetPosition();
    int64_t limit = FileSize();
    if (start < 0 || limit < 0)
        return false;
    if (parent)
        limit = std::min(limit, int64_t(parent->dwDataOffset) + int64_t(parent->cksize));

    // Each step moves forward by at least a header, so even zero-size chunks
    // end the loop at the limit.
    int64_t pos = start;
    while (pos + HEADER_BYTES <= limit && pos + HEADER_BYTES <= MAX_DATA_OFFSET) {
        uint8_t header[HEADER_BYTES + TYPE_BYTES];
        if (Seek(pos, SEEK_ORIGIN_SET) != pos || Read(header, HEADER_BYTES) != HEADER_BYTES)
            break;
        const uint32_t id = LoadLE32(header);
        const uint32_t size = LoadLE32(header + 4);
        uint32_t type = 0;
        if (HasType(id)) {
            // A RIFF or LIST header cut short by the limit is a damaged end.
            if (pos + HEADER_BYTES + TYPE_BYTES > limit || Read(header + HEADER_BYTES, TYPE_BYTES) != TYPE_BYTES)
                break;
            type = LoadLE32(header + HEADER_BYTES);
        }
        if (Matches(flags, ck, id, type)) {
            // Reported even when its size passes the parent or the file: the
            // caller decides what a short chunk means. The file stays at the
            // data, after the type for RIFF and LIST.
            ck.ckid = id;
            ck.cksize = size;
            ck.fccType = type;
            ck.dwDataOffset = uint32_t(pos + HEADER_BYTES);
            ck.dwFlags = 0;
            return true;
        }
        pos = NextChunk(pos, size);
    }
    // A failed search leaves the file where it was, so the caller can try
    // another one.
    Seek(start, SEEK_ORIGIN_SET);
    return false;
}

bool CMMFile::Ascend(ChunkInfo& ck)
{
    if (ck.dwFlags & KVIO_DIRTY) {
        // The data of a created chunk ends at the current position.
        const int64_t end = GetPosition();
        const int64_t size = end - int64_t(ck.dwDataOffset);
        if (end < 0 || ck.dwDataOffset < HEADER_BYTES || size < 0 || size > 0xFFFFFFFF) {
            Log("File:Ascend(%lld) FAIL", static_cast<long long>(size));
            return false;
        }
        uint8_t field[4];
        StoreLE32(field, uint32_t(size));
        const uint8_t pad = 0;
        if (((size & 1) && !Write(&pad, 1))
            || Seek(int64_t(ck.dwDataOffset) - 4, SEEK_ORIGIN_SET) < 0 || !Write(field, 4) || !Flush()) {
            Log("File:Ascend write FAIL");
            return false;
        }
        ck.cksize = uint32_t(size);
        ck.dwFlags &= ~KVIO_DIRTY;
    }
    const int64_t next = int64_t(ck.dwDataOffset) + int64_t(ck.cksize) + (ck.cksize & 1);
    return Seek(next, SEEK_ORIGIN_SET) == next;
}

bool CMMFile::CreateChunk(ChunkInfo& ck, uint32_t flags)
{
    const int64_t pos = GetPosition();
    if (pos < 0 || pos + HEADER_BYTES > MAX_DATA_OFFSET)
        return false;
    const uint32_t id = (flags & KVIO_CREATERIFF) ? FOURCC_RIFF
        : (flags & KVIO_CREATELIST)               ? FOURCC_LIST
                                                  : ck.ckid;
    uint8_t header[HEADER_BYTES + TYPE_BYTES];
    StoreLE32(header, id);
    StoreLE32(header + 4, ck.cksize);
    StoreLE32(header + 8, ck.fccType);
    const int32_t bytes = int32_t(HasType(id) ? HEADER_BYTES + TYPE_BYTES : HEADER_BYTES);
    if (!Write(header, bytes))
        return false;
    ck.ckid = id;
    ck.dwDataOffset = uint32_t(pos + HEADER_BYTES);
    ck.dwFlags = KVIO_DIRTY;
    return true;
}
