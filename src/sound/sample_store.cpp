// The document's sample store: the chunk list, its cursor and every operation
// that reads, writes or reshapes the samples.
#include "sound/document.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "base/app_options.h"
#include "base/update_views.h"
#include "lib/log.h"

CKV_BUFFER::CKV_BUFFER(int32_t n, std::unique_ptr<uint8_t[]> data, uint32_t bytes)
    : count(n), memory(std::move(data)), memoryBytes(memory ? bytes : 0)
{
}

// The base destructor unlinks the record from its list.
CKV_BUFFER::~CKV_BUFFER() = default;

namespace {

CKV_BUFFER* NextChunk(const CGObListRec* rec)
{
    return static_cast<CKV_BUFFER*>(rec->Next());
}

CKV_BUFFER* PrevChunk(const CGObListRec* rec)
{
    return static_cast<CKV_BUFFER*>(rec->Prev());
}

uint32_t AlignOf(const Form& format)
{
    return static_cast<uint32_t>(format.BlockAlign());
}

// Bytes of one sample: 2 for 16-bit PCM, else 1 (compressed formats are
// addressed byte by byte, which only whole-block work does).
uint32_t SampleWidth(const Form& format)
{
    const KvWaveFormat* w = format.Record();
    return w && w->wBitsPerSample == 16 && w->nBlockAlign >= 2 ? 2 : 1;
}

// The byte that sounds like nothing: 8-bit PCM is unsigned around 128; A-law
// and mu-law code their zero as 0xD5 and 0xFF; everything else uses 0.
uint8_t FormatSilence(const Form& format)
{
    const KvWaveFormat* w = format.Record();
    if (!w)
        return 0;
    switch (w->wFormatTag) {
    case WAVE_TAG_PCM:
        return w->wBitsPerSample == 8 ? 128 : 0;
    case WAVE_TAG_ALAW:
        return 0xD5;
    case WAVE_TAG_MULAW:
        return 0xFF;
    default:
        return 0;
    }
}

// 16-bit samples are little-endian, like every machine the program runs on
// (the format record is read straight from the file the same way).
int LoadSample(const uint8_t* p, bool wide)
{
    if (wide) {
        int16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    return p[0] - 128;
}

void StoreSample(uint8_t* p, int value, bool wide)
{
    if (wide) {
        int16_t v = static_cast<int16_t>(value);
        std::memcpy(p, &v, 2);
    } else {
        p[0] = static_cast<uint8_t>(static_cast<unsigned>(value) + 128u);
    }
}

// v × percent / 100 rounded half away from zero, as the platform's MulDiv.
int64_t ScalePercent(int value, int percent)
{
    int64_t product = static_cast<int64_t>(value) * percent;
    return product >= 0 ? (product + 50) / 100 : (product - 50) / 100;
}

// New and old sound by the two MIX percentages. The sum saturates: a wrapped
// sample is a full-scale click.
int MixValue(int newValue, int oldValue, bool wide)
{
    const AppOptions& options = TheAppOptions();
    int64_t sum = ScalePercent(newValue, options.mixNew) + ScalePercent(oldValue, options.mixOld);
    int64_t low = wide ? -32768 : -128;
    int64_t high = wide ? 32767 : 127;
    return static_cast<int>(std::min(std::max(sum, low), high));
}

}

uint8_t* CKV_Document::Lock(CKV_BUFFER* chunk)
{
    if (!chunk)
        return nullptr;
    uint64_t need = static_cast<uint64_t>(std::max(chunk->count, 0)) * AlignOf(format);
    if (need == 0 || need > UINT32_MAX) {
        Log("Doc:Lock(%d) FAIL", chunk->count);
        lockFailures++;
        return nullptr;
    }
    if (chunk->memoryBytes < need || !chunk->memory) {
        // Memory held under someone else's lock must not move.
        if (!chunk->memory || chunk->lockCount == 0)
            ResizeMemory(chunk, static_cast<uint32_t>(need));
        if (!chunk->memory || chunk->memoryBytes < need) {
            Log("Doc:Lock(%d) FAIL", chunk->count);
            lockFailures++;
            return nullptr;
        }
    }
    ++chunk->lockCount;
    return chunk->memory.get();
}

void CKV_Document::Unlock(CKV_BUFFER* chunk)
{
    if (chunk && chunk->lockCount > 0)
        --chunk->lockCount;
}

void CKV_Document::ReleaseCursor()
{
    runCount = 0;
    runData = nullptr;
    if (lockedData) {
        lockedData = nullptr;
        Unlock(current);
    }
}

// A new block of `bytes`: the old contents as far as they reach, silence
// after them. Out of memory leaves the chunk as it was; 0 bytes frees it.
void CKV_Document::ResizeMemory(CKV_BUFFER* chunk, uint32_t bytes)
{
    if (bytes == 0) {
        chunk->memory.reset();
        chunk->memoryBytes = 0;
        return;
    }
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[bytes]);
    if (!block)
        return;
    uint32_t kept = chunk->memory ? std::min(chunk->memoryBytes, bytes) : 0;
    if (kept)
        std::memcpy(block.get(), chunk->memory.get(), kept);
    std::memset(block.get() + kept, FormatSilence(format), bytes - kept);
    chunk->memory = std::move(block);
    chunk->memoryBytes = bytes;
}

// After a chunk lost blocks: its memory follows its count, unless someone
// holds it locked (then it stays, larger than needed).
void CKV_Document::ShrinkMemory(CKV_BUFFER* chunk)
{
    uint64_t need = static_cast<uint64_t>(chunk->count) * AlignOf(format);
    if (chunk->memory && chunk->memoryBytes > need && chunk->lockCount == 0)
        ResizeMemory(chunk, static_cast<uint32_t>(need));
}

void CKV_Document::LengthChanged(int32_t before)
{
    if (before == length)
        return;
    UpdateViews(before == 0 || length == 0 ? UpdTransport | UpdTotal : UpdTotal);
}

void CKV_Document::SetCurrent(CKV_BUFFER* chunk, int32_t start)
{
    if (chunk == current)
        return;
    ReleaseCursor();
    current = chunk;
    currentStart = chunk ? start : -1;
}

bool CKV_Document::Next()
{
    if (!current)
        return false;
    CKV_BUFFER* next = NextChunk(current);
    SetCurrent(next, currentStart + current->count);
    return next != nullptr;
}

bool CKV_Document::SeekChunk(CKV_BUFFER* chunk)
{
    int32_t start = 0;
    for (CGObListRec* rec = chunks.Head(); rec && chunk; rec = rec->Next()) {
        if (rec == chunk) {
            SetCurrent(chunk, start);
            return true;
        }
        start += static_cast<CKV_BUFFER*>(rec)->count;
    }
    return false;
}

bool CKV_Document::Locate(int32_t pos)
{
    if (pos < 0) {
        SetCurrent(nullptr, -1);
        return false;
    }
    if (current && pos >= currentStart && pos - currentStart < current->count)
        return true;
    CKV_BUFFER* tail = static_cast<CKV_BUFFER*>(chunks.Tail());
    if (pos >= length || !tail)
        return false;

    // Walk from the nearest chunk start we know: the head, the cursor or the
    // tail. Sequential access stays on the cursor; jumps cost at most half
    // the list.
    CKV_BUFFER* chunk = static_cast<CKV_BUFFER*>(chunks.Head());
    int32_t start = 0;
    int64_t distance = pos;
    if (current) {
        int64_t d = pos > currentStart ? int64_t(pos) - currentStart : int64_t(currentStart) - pos;
        if (d < distance) {
            chunk = current;
            start = currentStart;
            distance = d;
        }
    }
    if (int64_t(length) - pos < distance) {
        chunk = tail;
        start = length - tail->count;
    }
    while (chunk && pos < start) {
        chunk = PrevChunk(chunk);
        if (chunk)
            start -= chunk->count;
    }
    while (chunk && pos - start >= chunk->count) {
        start += chunk->count;
        chunk = NextChunk(chunk);
    }
    if (!chunk)
        return false;
    SetCurrent(chunk, start);
    return true;
}

bool CKV_Document::SetChannel(int k)
{
    if (k == 255) {
        channel = 1;
        runCount = 0;
        return true;
    }
    const KvWaveFormat* w = format.Record();
    if (!w || k < 0)
        return false;
    if (!format.IsPcm()) {
        if (k > 1)
            return false;
    } else if (w->nChannels >= 2) {
        const AppOptions& options = TheAppOptions();
        if (!options.leftChannel)
            k++;
        if (!options.rightChannel && k >= 2)
            return false;
    }
    if (k > w->nChannels)
        return false;
    channel = k;
    runCount = 0;
    return true;
}

uint8_t* CKV_Document::ChannelSample(int32_t pos)
{
    if (!Locate(pos))
        return nullptr;
    if (!lockedData) {
        lockedData = Lock(current);
        if (!lockedData)
            return nullptr;
    }
    uint32_t align = AlignOf(format);
    uint32_t width = SampleWidth(format);
    uint32_t offset = channel > 1 && format.IsPcm() ? static_cast<uint32_t>(channel - 1) * width : 0;
    if (offset + width > align)
        return nullptr;
    runData = lockedData + offset;
    runStart = static_cast<uint32_t>(currentStart);
    runCount = static_cast<uint32_t>(current->count);
    runAlign = align;
    runWide = width == 2;
    return runData + static_cast<size_t>(pos - currentStart) * align;
}

int CKV_Document::ReadSampleSlow(int32_t pos)
{
    const uint8_t* p = ChannelSample(pos);
    return p ? LoadSample(p, runWide) : 0;
}

void CKV_Document::WriteSampleSlow(int32_t pos, int value)
{
    uint8_t* p = ChannelSample(pos);
    if (p)
        StoreSample(p, value, runWide);
}

uint8_t* CKV_Document::GetPointer(int32_t pos)
{
    uint32_t i = static_cast<uint32_t>(pos) - runStart;
    if (i < runCount)
        return runData + static_cast<size_t>(i) * runAlign;
    return ChannelSample(pos);
}

int32_t CKV_Document::GetRun(uint8_t** out, int32_t pos, int32_t max)
{
    if (!out)
        return 0;
    *out = nullptr;
    if (max < 1)
        return 0;
    uint8_t* p = GetPointer(pos);
    if (!p)
        return 0;
    *out = p;
    return std::min(max, currentStart + current->count - pos);
}

int32_t CKV_Document::BlockRun(uint8_t** out, int32_t pos, int32_t max)
{
    *out = nullptr;
    if (max < 1 || !Locate(pos))
        return 0;
    if (!lockedData) {
        lockedData = Lock(current);
        if (!lockedData)
            return 0;
    }
    *out = lockedData + static_cast<size_t>(pos - currentStart) * AlignOf(format);
    return std::min(max, currentStart + current->count - pos);
}

void CKV_Document::PrepareOverwrite(int32_t pos, int32_t n)
{
    if (!Locate(pos) || current->memory || pos != currentStart || n < current->count)
        return;
    uint64_t need = static_cast<uint64_t>(current->count) * AlignOf(format);
    if (need == 0 || need > UINT32_MAX)
        return;
    // Out of memory: Lock tries again and reports it.
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[need]);
    if (!block)
        return;
    current->memory = std::move(block);
    current->memoryBytes = static_cast<uint32_t>(need);
}

int32_t CKV_Document::GetRunToOverwrite(uint8_t** out, int32_t pos, int32_t max)
{
    if (!out)
        return 0;
    *out = nullptr;
    if (max < 1)
        return 0;
    PrepareOverwrite(pos, max);
    return BlockRun(out, pos, max);
}

uint8_t CKV_Document::SilenceByte() const
{
    return FormatSilence(format);
}

void CKV_Document::WriteSampleMixed(int32_t pos, int value)
{
    if (TheSelection().editMode != EDIT_MIX) {
        WriteSample(pos, value);
        return;
    }
    uint8_t* p = GetPointer(pos);
    if (p)
        StoreSample(p, MixValue(value, LoadSample(p, runWide), runWide), runWide);
}

int32_t CKV_Document::CopyBlocks(int32_t pos, uint8_t* data, int32_t n, bool intoStore)
{
    if (!data)
        return pos;
    size_t align = AlignOf(format);
    int32_t done = 0;
    while (done < n) {
        if (intoStore)
            PrepareOverwrite(pos + done, n - done);
        uint8_t* p;
        int32_t run = BlockRun(&p, pos + done, n - done);
        if (run < 1)
            break;
        uint8_t* outside = data + static_cast<size_t>(done) * align;
        size_t bytes = static_cast<size_t>(run) * align;
        if (intoStore)
            std::memcpy(p, outside, bytes);
        else
            std::memcpy(outside, p, bytes);
        done += run;
    }
    ReleaseCursor();
    return pos + done;
}

int32_t CKV_Document::WriteBlocks(int32_t pos, const uint8_t* data, int32_t n)
{
    // Only read from when copying into the store.
    return CopyBlocks(pos, const_cast<uint8_t*>(data), n, true);
}

int32_t CKV_Document::CopyOut(int32_t pos, uint8_t* data, int32_t n)
{
    return CopyBlocks(pos, data, n, false);
}

int32_t CKV_Document::MixBlocks(int32_t pos, const uint8_t* data, int32_t n)
{
    if (!data)
        return pos;
    bool mix = TheSelection().editMode == EDIT_MIX;
    size_t align = AlignOf(format);
    int32_t done = 0;
    while (done < n) {
        uint8_t* p;
        int32_t run = GetRun(&p, pos + done, n - done);
        if (run < 1)
            break;
        const uint8_t* from = data + static_cast<size_t>(done) * align;
        for (int32_t i = 0; i < run; i++, p += runAlign, from += align) {
            int value = LoadSample(from, runWide);
            if (mix)
                value = MixValue(value, LoadSample(p, runWide), runWide);
            StoreSample(p, value, runWide);
        }
        done += run;
    }
    ReleaseCursor();
    return pos + done;
}

void CKV_Document::FillSilence(int32_t pos, int32_t n)
{
    uint8_t silence = FormatSilence(format);
    int32_t done = 0;
    while (done < n) {
        uint8_t* p;
        int32_t run = GetRun(&p, pos + done, n - done);
        if (run < 1)
            break;
        for (int32_t i = 0; i < run; i++, p += runAlign) {
            p[0] = silence;
            if (runWide)
                p[1] = silence;
        }
        done += run;
    }
    ReleaseCursor();
}

int32_t CKV_Document::SilenceBlocks(int32_t pos, int32_t n)
{
    uint8_t silence = FormatSilence(format);
    size_t align = AlignOf(format);
    int32_t done = 0;
    while (done < n && Locate(pos + done)) {
        int32_t run = std::min(n - done, currentStart + current->count - (pos + done));
        if (current->memory) {
            uint8_t* p;
            run = BlockRun(&p, pos + done, run);
            if (run < 1)
                break;
            std::memset(p, silence, static_cast<size_t>(run) * align);
        }
        done += run;
    }
    ReleaseCursor();
    return pos + done;
}

// Links a chunk after the cursor (at the head without one) and makes it
// current; no view update.
bool CKV_Document::LinkChunk(int32_t n, std::unique_ptr<uint8_t[]> data, uint32_t bytes)
{
    if (n > INT32_MAX - length) {
        Log("Doc:InsertChunk(%d) TOO LONG", n);
        return false;
    }
    if (data && static_cast<uint64_t>(n) * AlignOf(format) > bytes) {
        Log("Doc:InsertChunk(%d) SHORT MEMORY %u", n, bytes);
        return false;
    }
    CKV_BUFFER* chunk = new (std::nothrow) CKV_BUFFER(n, std::move(data), bytes);
    if (!chunk) {
        Log("Doc:InsertChunk(%d) FAIL", n);
        return false;
    }
    int32_t start = current ? currentStart + current->count : 0;
    ReleaseCursor();
    chunks.InsertAfter(chunk, current);
    current = chunk;
    currentStart = start;
    length += n;
    return true;
}

bool CKV_Document::InsertChunk(int32_t n, std::unique_ptr<uint8_t[]> data, uint32_t bytes)
{
    if (n < 1)
        return true;
    int32_t before = length;
    if (!LinkChunk(n, std::move(data), bytes))
        return false;
    LengthChanged(before);
    return true;
}

bool CKV_Document::Split(int32_t offset)
{
    if (!current)
        return false;
    if (offset < 1 || offset >= current->count)
        return true;
    ReleaseCursor();
    CKV_BUFFER* chunk = current;
    uint64_t align = AlignOf(format);
    int32_t tailCount = chunk->count - offset;
    std::unique_ptr<uint8_t[]> tail;
    uint32_t tailBytes = 0;
    if (chunk->memory) {
        uint64_t from = offset * align;
        uint64_t end = chunk->count * align;
        if (end > chunk->memoryBytes) {
            Log("Doc:Split(%d) SHORT MEMORY", offset);
            return false;
        }
        tailBytes = static_cast<uint32_t>(end - from);
        tail.reset(new (std::nothrow) uint8_t[tailBytes]);
        if (!tail) {
            Log("Doc:Split(%d) FAIL", offset);
            return false;
        }
        std::memcpy(tail.get(), chunk->memory.get() + from, tailBytes);
    }
    CKV_BUFFER* rest = new (std::nothrow) CKV_BUFFER(tailCount, std::move(tail), tailBytes);
    if (!rest) {
        Log("Doc:Split(%d) FAIL", offset);
        return false;
    }
    chunks.InsertAfter(rest, chunk);
    chunk->count = offset;
    ShrinkMemory(chunk);
    return true;
}

bool CKV_Document::SplitAt(int32_t pos)
{
    if (pos < 0 || pos > length)
        return false;
    if (pos == 0)
        return true;
    if (!Locate(pos - 1))
        return false;
    return Split(pos - currentStart);
}

bool CKV_Document::Truncate(int32_t n)
{
    if (!current)
        return false;
    if (n >= current->count)
        return true;
    if (n <= 0)
        return DeleteCurrent();
    ReleaseCursor();
    int32_t before = length;
    length -= current->count - n;
    current->count = n;
    ShrinkMemory(current);
    LengthChanged(before);
    return true;
}

void CKV_Document::UnlinkCurrent()
{
    ReleaseCursor();
    CKV_BUFFER* next = NextChunk(current);
    length -= current->count;
    delete current;
    current = next;
    if (!next)
        currentStart = -1;
}

bool CKV_Document::DeleteCurrent()
{
    if (!current)
        return false;
    int32_t before = length;
    UnlinkCurrent();
    LengthChanged(before);
    return true;
}

bool CKV_Document::InsertSpace(int32_t pos, int32_t n)
{
    if (n == 0)
        return true;
    if (n < 0 || pos < 0 || pos > length)
        return false;
    if (bufferSamples < 1 || AlignOf(format) == 0 || n > INT32_MAX - length) {
        Log("Doc:InsertSpace(%d, %d) FAIL", pos, n);
        return false;
    }
    if (!SplitAt(pos))
        return false;
    // The new chunks go behind the chunk that ends at pos.
    if (pos == 0)
        SetCurrent(nullptr, -1);
    CKV_BUFFER* anchor = current;
    int32_t anchorStart = currentStart;
    int32_t before = length;
    int added = 0;
    for (int32_t left = n; left > 0; added++) {
        int32_t k = std::min(left, bufferSamples);
        if (!LinkChunk(k, nullptr, 0)) {
            ReleaseCursor();
            for (; added > 0; added--) {
                CKV_BUFFER* chunk = anchor ? NextChunk(anchor) : static_cast<CKV_BUFFER*>(chunks.Head());
                length -= chunk->count;
                delete chunk;
            }
            current = anchor;
            currentStart = anchor ? anchorStart : -1;
            Log("Doc:InsertSpace(%d, %d) FAIL", pos, n);
            return false;
        }
        left -= k;
    }
    LengthChanged(before);
    return true;
}

bool CKV_Document::DeleteRange(int32_t pos, int32_t n)
{
    if (n == 0)
        return true;
    if (n < 0 || pos < 0 || pos >= length)
        return false;
    int32_t count = std::min(n, length - pos);
    int32_t end = pos + count;
    uint64_t align = AlignOf(format);

    // The blocks behind the range in its last chunk need a block of their own
    // (and, when the range lies inside one chunk, a record of their own).
    // Both are made before anything changes, so running out of memory
    // changes nothing.
    if (!Locate(end - 1))
        return false;
    CKV_BUFFER* last = current;
    int32_t lastStart = currentStart;
    int32_t dropped = end - lastStart;          // blocks of `last` up to the range end
    int32_t tailCount = last->count - dropped;
    bool inside = lastStart <= pos;
    int32_t head = inside ? pos - lastStart : 0;
    std::unique_ptr<uint8_t[]> tail;
    uint32_t tailBytes = 0;
    if (tailCount > 0 && last->memory) {
        uint64_t from = dropped * align;
        uint64_t to = last->count * align;
        if (to > last->memoryBytes) {
            Log("Doc:DeleteRange(%d, %d) SHORT MEMORY", pos, n);
            return false;
        }
        tailBytes = static_cast<uint32_t>(to - from);
        tail.reset(new (std::nothrow) uint8_t[tailBytes]);
        if (!tail) {
            Log("Doc:DeleteRange(%d, %d) FAIL", pos, n);
            return false;
        }
        std::memcpy(tail.get(), last->memory.get() + from, tailBytes);
    }
    CKV_BUFFER* rest = nullptr;
    if (inside && head > 0 && tailCount > 0) {
        rest = new (std::nothrow) CKV_BUFFER(tailCount, std::move(tail), tailBytes);
        if (!rest) {
            Log("Doc:DeleteRange(%d, %d) FAIL", pos, n);
            return false;
        }
    }

    int32_t before = length;
    if (!inside) {
        // Cut the first chunk back to the blocks before pos and drop the
        // whole chunks up to the last one.
        Locate(pos);
        ReleaseCursor();
        CKV_BUFFER* chunk = current;
        int32_t keep = pos - currentStart;
        if (keep > 0) {
            length -= chunk->count - keep;
            chunk->count = keep;
            ShrinkMemory(chunk);
            chunk = NextChunk(chunk);
        }
        while (chunk != last) {
            CKV_BUFFER* next = NextChunk(chunk);
            length -= chunk->count;
            delete chunk;
            chunk = next;
        }
    }
    ReleaseCursor();
    CKV_BUFFER* resume = last;                  // the chunk holding block pos afterwards
    int32_t resumeStart = pos;
    length -= dropped - head;
    if (rest) {
        chunks.InsertAfter(rest, last);
        last->count = head;
        ShrinkMemory(last);
        resumeStart = lastStart;
    } else if (head > 0) {
        last->count = head;
        ShrinkMemory(last);
        resume = NextChunk(last);
    } else if (tailCount > 0) {
        if (last->memory) {
            last->memory = std::move(tail);
            last->memoryBytes = tailBytes;
        }
        last->count = tailCount;
    } else {
        resume = NextChunk(last);
        delete last;
    }
    current = resume;
    currentStart = resume ? resumeStart : -1;
    LengthChanged(before);
    return count == n;
}

bool CKV_Document::PutChunkMemory(int32_t pos, std::unique_ptr<uint8_t[]> data, uint32_t bytes, int32_t n)
{
    if (pos < 0)
        return false;
    uint64_t align = AlignOf(format);
    if (pos >= length) {
        if (n < 1 || !data)
            return false;
        CKV_BUFFER* tail = static_cast<CKV_BUFFER*>(chunks.Tail());
        SetCurrent(tail, tail ? length - tail->count : -1);
        return InsertChunk(n, std::move(data), bytes);
    }
    if (!Locate(pos))
        return false;
    if (n == 0)
        return DeleteCurrent();
    if (!data)
        return false;
    CKV_BUFFER* chunk = current;
    int32_t blocks = n > 0 ? n : chunk->count;
    if (blocks * align > bytes || (n > 0 && n - chunk->count > INT32_MAX - length)) {
        Log("Doc:PutChunkMemory(%d, %d) SHORT MEMORY %u", pos, n, bytes);
        return false;
    }
    ReleaseCursor();
    int32_t before = length;
    chunk->memory = std::move(data);
    chunk->memoryBytes = bytes;
    if (n > 0) {
        length += n - chunk->count;
        chunk->count = n;
    }
    LengthChanged(before);
    return true;
}

bool CKV_Document::DetachMemory(CKV_BUFFER* chunk, std::unique_ptr<uint8_t[]>& data, uint32_t& bytes)
{
    if (!chunk)
        return false;
    if (chunk == current)
        ReleaseCursor();
    if (chunk->lockCount > 0)
        return false;
    bytes = chunk->memory ? chunk->memoryBytes : 0;
    data = std::move(chunk->memory);
    chunk->memoryBytes = 0;
    return true;
}

bool CKV_Document::AttachMemory(CKV_BUFFER* chunk, std::unique_ptr<uint8_t[]>& data, uint32_t bytes)
{
    if (!chunk)
        return false;
    if (data && static_cast<uint64_t>(chunk->count) * AlignOf(format) > bytes) {
        Log("Doc:AttachMemory(%d) SHORT MEMORY %u", chunk->count, bytes);
        return false;
    }
    if (chunk == current)
        ReleaseCursor();
    if (chunk->lockCount > 0)
        return false;
    chunk->memoryBytes = data ? bytes : 0;
    chunk->memory = std::move(data);
    return true;
}

void CKV_Document::FreeAll()
{
    int32_t before = length;
    ReleaseCursor();
    current = nullptr;
    currentStart = -1;
    chunks.DeleteAll();
    length = 0;
    LengthChanged(before);
}
