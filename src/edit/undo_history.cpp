#include "edit/undo_history.h"

#include <cstring>
#include <new>

#include "base/app.h"
#include "base/app_options.h"
#include "base/error_message.h"
#include "base/string_ids.h"
#include "base/string_table.h"
#include "edit/actions.h"
#include "edit/convert_format.h"
#include "edit/effect_settings.h"
#include "edit/links.h"
#include "edit/mixing_options.h"
#include "edit/object_options_action.h"
#include "lib/log.h"
#include "sound/converter.h"
#include "sound/document.h"

namespace {

// Plain values, so records destroyed during static destruction still find them.
uint32_t memoryInUse = 0;

// The document's chunk that holds exactly the frames of the record's chunk
// i, placed at start, when nobody holds it locked; else null.
CKV_BUFFER* ReturnTarget(const CKV_ACTSTORE& rec, int32_t i, int32_t start)
{
    CKV_Document& doc = TheDocument();
    const SavedChunk& saved = rec.chunks[i];
    int32_t pos = start + saved.first;
    doc.ReleaseCursor();
    if (!doc.Locate(pos) || doc.currentStart != pos || doc.current->count != saved.count
        || doc.current->lockCount > 0)
        return nullptr;
    return doc.current;
}

bool WriteChunk(const SavedChunk& saved, int32_t start)
{
    CKV_Document& doc = TheDocument();
    int32_t pos = start + saved.first;
    int32_t end = saved.memory ? doc.WriteBlocks(pos, saved.memory.get(), saved.count)
                               : doc.SilenceBlocks(pos, saved.count);
    return end == pos + saved.count;
}

// Writes a sample record's n frames over the blocks from start (the length
// is right already). Adopted memory goes back to its chunks last, and only
// when everything else was written: a record that failed keeps all its
// frames. False when not every frame could be written.
bool WriteSaved(CKV_ACTSTORE& rec, int32_t start, int32_t n)
{
    CKV_Document& doc = TheDocument();
    size_t align = static_cast<size_t>(doc.format.BlockAlign());
    const uint8_t* copied = rec.data.get() + 4;
    bool written = true;
    int32_t frame = 0;
    for (int32_t i = 0; i <= rec.chunkCount; i++) {
        int32_t end = i < rec.chunkCount ? rec.chunks[i].first : n;
        int32_t run = end - frame;
        if (run > 0 && doc.WriteBlocks(start + frame, copied, run) != start + end)
            written = false;
        copied += static_cast<size_t>(run) * align;
        if (i < rec.chunkCount)
            frame = end + rec.chunks[i].count;
    }
    for (int32_t i = 0; i < rec.chunkCount; i++) {
        if (!ReturnTarget(rec, i, start) && !WriteChunk(rec.chunks[i], start))
            written = false;
    }
    bool keep = !written;
    for (int32_t i = 0; i < rec.chunkCount; i++) {
        CKV_BUFFER* target = ReturnTarget(rec, i, start);
        if (target && (keep || !rec.ReturnChunk(i, target)) && !WriteChunk(rec.chunks[i], start))
            written = false;
    }
    doc.ReleaseCursor();
    return written;
}

// Replaces the m selected blocks by n frames that write(start) puts in, as
// ReplaceSelectedFrames.
template <class Write>
int ReplaceSelection(int32_t m, int32_t n, Write write)
{
    CKV_Document& doc = TheDocument();
    int32_t start = TheSelection().selStart;
    doc.SetChannel(255);
    // Both leave the store as it was when they fail.
    if (n > m && !doc.InsertSpace(start + m, n - m))
        return -1;
    if (n < m && !doc.DeleteRange(start + n, m - n))
        return -1;
    bool written = n == 0 || write(start);
    TheSelectionLink().SetSelection(start, n, ORIGIN_PROGRAM);
    return written ? 0 : ERR_NO_MEMORY;
}

// ActRestoreWave with the n frames that replace(m) puts in place of the m
// selected blocks.
template <class Replace>
int RestoreWave(int kind, int action, int32_t n, Replace replace)
{
    Selection& sel = TheSelection();
    // A paste step puts back exactly the saved frames, whatever sound now
    // waits on the clipboard.
    int32_t pending = sel.pendingLength;
    bool pasteLength = (ActionTable[kind].flags & ACT_PASTE_LENGTH) != 0;
    if (pasteLength)
        sel.pendingLength = n;
    int32_t m;
    bool prepared = ActTryPrepareWave(kind, action, &m);
    if (pasteLength)
        sel.pendingLength = pending;
    if (!prepared)
        return -1;
    int rc = replace(m);
    if (rc < 0) {
        ActComplete(kind, ACT_PREPARED | ACT_NO_RECORD);
        return ERR_NO_MEMORY;
    }
    // Even when not every frame could be written, the new record holds what
    // the selection held before, so the step is filed.
    ActComplete(kind, ACT_PREPARED | (m != n ? uint32_t{ACT_LENGTH_CHANGED} : 0u));
    return rc;
}

// The steps of Undo and Redo: the newest record of `from` is applied in
// `state`, so that its inverse goes to the other history.
int ApplyNewest(CKV_ACTLIST& from, int state)
{
    if (from.IsEmpty() || ActIsBusy())
        return -1;
    // Taken out of its history while it is applied, so that nothing filed
    // meanwhile can destroy it under our feet; it still counts as memory in use.
    // A gesture in progress is dropped: records apply to the committed
    // selection, never to one a drag is still changing.
    TheSelectionLink().DropGesture();
    std::unique_ptr<CKV_ACTSTORE> rec(from.Newest());
    from.RemoveRecord(rec.get());
    CKV_ACTLIST& to = &from == &TheUndoHistory() ? TheRedoHistory() : TheUndoHistory();
    const CKV_ACTSTORE* inverseBefore = to.Newest();
    ResetUndoHistory(state);
    int rc = ActApply(*rec);
    ResetUndoHistory(ACTSTATE_READY);
    // A step that failed before changing anything can be tried again. One
    // that failed part-way has filed its inverse, which now stands for the
    // sound as it is: the record goes, so that exactly one of the two stays.
    if (rc > 0 && to.Newest() == inverseBefore)
        from.InsertAfter(rec.release(), nullptr);
    return rc;
}

}

CKV_ACTSTORE::CKV_ACTSTORE(uint32_t action, uint32_t kind, uint32_t size)
    : action(action), kind(kind), size(size)
{
    memoryInUse += ACTSTORE_OVERHEAD + size;
    if (size)
        data.reset(new (std::nothrow) uint8_t[size]);
}

CKV_ACTSTORE::~CKV_ACTSTORE()
{
    memoryInUse -= ACTSTORE_OVERHEAD + size + chunkBytes;
    // The base destructor unlinks the record from its history.
}

bool CKV_ACTSTORE::ReserveChunks(int32_t n)
{
    if (n < 1 || chunks)
        return false;
    chunks.reset(new (std::nothrow) SavedChunk[static_cast<size_t>(n)]);
    chunkRoom = chunks ? n : 0;
    return chunks != nullptr;
}

bool CKV_ACTSTORE::AdoptChunk(int32_t first, int32_t count, std::unique_ptr<uint8_t[]>& memory, uint32_t bytes)
{
    if (chunkCount >= chunkRoom)
        return false;
    uint32_t held = memory ? bytes : 0;
    if (held > UINT32_MAX - ACTSTORE_OVERHEAD - size - chunkBytes)
        return false;
    SavedChunk& saved = chunks[chunkCount++];
    saved.first = first;
    saved.count = count;
    saved.memory = std::move(memory);
    saved.bytes = held;
    chunkBytes += held;
    memoryInUse += held;
    return true;
}

bool CKV_ACTSTORE::ReturnChunk(int32_t i, CKV_BUFFER* chunk)
{
    if (i < 0 || i >= chunkCount || chunks[i].returned)
        return false;
    SavedChunk& saved = chunks[i];
    uint32_t held = saved.bytes;
    if (!TheDocument().AttachMemory(chunk, saved.memory, held))
        return false;
    saved.returned = true;
    saved.bytes = 0;
    chunkBytes -= held;
    memoryInUse -= held;
    return true;
}

bool CKV_ACTSTORE::TakeChunkMemory(int32_t i, std::unique_ptr<uint8_t[]>& memory, uint32_t& bytes)
{
    if (i < 0 || i >= chunkCount || chunks[i].returned)
        return false;
    SavedChunk& saved = chunks[i];
    bytes = saved.bytes;
    memory = std::move(saved.memory);
    saved.returned = true;
    saved.bytes = 0;
    chunkBytes -= bytes;
    memoryInUse -= bytes;
    return true;
}

void CKV_ACTSTORE::PutChunkBack(int32_t i, std::unique_ptr<uint8_t[]>& memory, uint32_t bytes)
{
    if (i < 0 || i >= chunkCount || !chunks[i].returned)
        return;
    SavedChunk& saved = chunks[i];
    uint32_t held = memory ? bytes : 0;
    saved.memory = std::move(memory);
    saved.bytes = held;
    saved.returned = false;
    chunkBytes += held;
    memoryInUse += held;
}

CKV_ACTLIST::~CKV_ACTLIST()
{
    DeleteAll();
}

CKV_ACTLIST& TheUndoHistory()
{
    static CKV_ACTLIST history;
    return history;
}

CKV_ACTLIST& TheRedoHistory()
{
    static CKV_ACTLIST history;
    return history;
}

uint32_t UndoMemoryInUse()
{
    return memoryInUse;
}

void ActFile(CKV_ACTSTORE* record, CKV_ACTLIST& history)
{
    if (!record)
        return;
    if (record->kind == ACTION_NONE || record->Lost()) {
        delete record;
        return;
    }
    uint32_t limit = TheAppOptions().undoMemory;
    if (limit != 0 && memoryInUse >= limit) {
        while (!history.IsEmpty() && memoryInUse > limit)
            history.DestroyOldest();
    }
    // The depth is a 16-bit count; 0 keeps one record, as 1 does.
    int depth = TheAppOptions().undoCount;
    if (history.Count() >= depth && !history.IsEmpty())
        history.DestroyOldest();
    history.InsertAfter(record, nullptr);
}

int ActUndo()
{
    return ApplyNewest(TheUndoHistory(), ACTSTATE_UNDOING);
}

int ActRedo()
{
    return ApplyNewest(TheRedoHistory(), ACTSTATE_REDOING);
}

int ReplaceSelectedFrames(int32_t m, const uint8_t* frames, int32_t n)
{
    return ReplaceSelection(m, n, [&](int32_t start) {
        return TheDocument().WriteBlocks(start, frames, n) == start + n;
    });
}

int32_t SavedFrameCount(const CKV_ACTSTORE& rec)
{
    if (!rec.data || rec.size < 4)
        return -1;
    uint32_t count;
    std::memcpy(&count, rec.data.get(), 4);
    if (count > INT32_MAX)
        return -1;
    uint64_t align = static_cast<uint64_t>(TheDocument().format.BlockAlign());
    int64_t n = count;
    int64_t copied = n;
    int64_t end = 0;
    for (int32_t i = 0; i < rec.chunkCount; i++) {
        const SavedChunk& saved = rec.chunks[i];
        if (saved.returned || saved.first < end || saved.count < 1 || saved.first + int64_t{saved.count} > n
            || (saved.memory && align * saved.count > saved.bytes))
            return -1;
        end = saved.first + int64_t{saved.count};
        copied -= saved.count;
    }
    if (4 + align * static_cast<uint64_t>(copied) > rec.size)
        return -1;
    return static_cast<int32_t>(n);
}

int ReplaceSelectedSaved(int32_t m, CKV_ACTSTORE& record)
{
    int32_t n = SavedFrameCount(record);
    if (n < 0)
        return -1;
    return ReplaceSelection(m, n, [&](int32_t start) { return WriteSaved(record, start, n); });
}

int ActRestoreWave(int kind, int action, const uint8_t* frames, int32_t n)
{
    if (kind < 0 || kind >= ACTION_COUNT || n < 0 || (n > 0 && !frames))
        return -1;
    return RestoreWave(kind, action, n, [&](int32_t m) { return ReplaceSelectedFrames(m, frames, n); });
}

int ActApply(CKV_ACTSTORE& record)
{
    int kind = static_cast<int>(record.kind);
    int action = static_cast<int>(record.action);
    const uint8_t* data = record.data.get();
    uint32_t size = data ? record.size : 0;
    switch (kind) {
    case ACTION_RECORD:
    case ACTION_PASTE:
    case ACTION_PASTE_FILE:
    case ACTION_CHANGE: {
        int32_t n = SavedFrameCount(record);
        if (n < 0)
            break;
        return RestoreWave(kind, action, n, [&](int32_t m) { return ReplaceSelectedSaved(m, record); });
    }
    case ACTION_SELECT:
    case ACTION_DISPLAY: {
        SavedRange range;
        if (size != sizeof range)
            break;
        std::memcpy(&range, data, sizeof range);
        if (kind == ACTION_SELECT)
            TheSelectionLink().SetSelection(range.start, range.length, ORIGIN_COMMAND);
        else
            TheSelectionLink().SetViewRange(range.start, range.length, ORIGIN_COMMAND);
        return 0;
    }
    case ACTION_MIXING_OPTIONS:
        RestoreMixingOptions(data, size);
        return 0;
    case ACTION_OBJECT_OPTIONS:
        if (RestoreObjectOptions(data, size) == 0)
            return 0;
        break;
    case ACTION_EFFECT_SETUP: {
        EffectSettings settings;
        if (size != sizeof settings)
            break;
        std::memcpy(&settings, data, sizeof settings);
        SetEffectSettings(settings);
        return 0;
    }
    case ACTION_CUT:
    case ACTION_DELETE:
        return ActRestoreWave(kind, action, nullptr, 0);
    case ACTION_CONVERT:
        return RestoreConvertedFormat(record);
    default: {
        // Effects run again over the current selection with the current
        // settings (Reverse undoes itself this way); the toggles turn over
        // again; the owners of the other option blocks put theirs back.
        int rc = TheActionRunner()(kind, data, size);
        if (rc >= 0)
            return rc;
        break;
    }
    }
    Log("Act:Apply kind %d", kind);
    return -1;
}

bool GetUndoLabel(CGString& text)
{
    const CKV_ACTSTORE* rec = TheUndoHistory().Newest();
    text.Format(LoadAppString(STR_MENU_UNDO), ActionName(rec ? static_cast<int>(rec->action) : 0));
    return rec != nullptr;
}

bool GetRedoLabel(CGString& text)
{
    const CKV_ACTSTORE* rec = TheRedoHistory().Newest();
    text.Format(LoadAppString(STR_MENU_REDO), ActionName(rec ? static_cast<int>(rec->kind) : 0));
    return rec != nullptr;
}
