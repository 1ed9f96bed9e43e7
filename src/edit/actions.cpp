#include "edit/actions.h"

#include <cstring>
#include <memory>
#include <new>

#include "base/app.h"
#include "base/app_options.h"
#include "base/error_message.h"
#include "base/host.h"
#include "base/string_table.h"
#include "edit/effect_settings.h"
#include "edit/links.h"
#include "edit/undo_history.h"
#include "lib/log.h"
#include "sound/document.h"

const ActionRow ActionTable[ACTION_COUNT] = {
    {0, 4, 0x1000},
    {0, 180, 0x204},
    {0, 181, 0x0},
    {0, 182, 0x0},
    {0, 183, 0x10},
    {0, 184, 0x10},
    {0, 185, 0x10},
    {0, 186, 0x10},
    {0, 187, 0x18},
    {0, 188, 0x10},
    {0, 189, 0x10},
    {0, 190, 0x10},
    {0, 191, 0x10},
    {3103, 192, 0x84},
    {3107, 193, 0x84},
    {3105, 194, 0x6C6},
    {3106, 194, 0x6C6},
    {0, 195, 0x204},
    {0, 196, 0x206},
    {2016, 197, 0x6},
    {2018, 198, 0x6},
    {2017, 199, 0x6},
    {2019, 200, 0x6},
    {-3411, 204, 0x704},
    {-3412, 205, 0x6},
    {-2021, 201, 0x6},
    {-2022, 203, 0x606},
    {-3415, 206, 0x6},
    {-2023, 202, 0x606},
    {-2024, 207, 0x606},
    {-3416, 208, 0x1004},
    {-3417, 209, 0x6},
};

namespace {

// A progress window is worth showing only for this much sample data.
constexpr int64_t PROGRESS_MIN_BYTES = 20000;

// The running sound change: the wait cursor is on, and the progress window
// when the change is long.
struct ActStat {
    bool active = false;
    int action = -1;
    bool progressShown = false;
    bool cancelled = false;
    // The document's failed locks when the change began: one more, and part
    // of the samples could not be reached, so the change is taken back.
    uint32_t lockFailures = 0;
};

CKV_ACTSTORE* openRecord = nullptr;
ActStat actStat;
// Non-ready states in force; the state returns to ready when it drops to 0.
int nestingCount = 0;

uint32_t FlagsOf(int action)
{
    return action >= 0 && action < ACTION_COUNT ? ActionTable[action].flags : 0;
}

bool IsSampleKind(int kind)
{
    return kind == ACTION_RECORD || kind == ACTION_PASTE || kind == ACTION_PASTE_FILE
        || kind == ACTION_CHANGE;
}

// The action that runs, or -1.
int RunningAction()
{
    if (openRecord)
        return static_cast<int>(openRecord->action);
    return actStat.active ? actStat.action : -1;
}

void DiscardOpenRecord()
{
    delete openRecord;
    openRecord = nullptr;
}

// Can the record take over this chunk's memory? Not while anyone holds it
// locked: the device engine plays from its locks.
bool CanTakeChunk(const CKV_BUFFER* chunk, uint64_t align)
{
    return chunk->lockCount == 0
        && (!chunk->memory || chunk->memoryBytes >= static_cast<uint64_t>(chunk->count) * align);
}

// The chunks wholly inside the n blocks from start that a record can take
// over: how many, the frames they hold and the bytes of their memory.
struct TakenChunks {
    int32_t count = 0;
    int64_t frames = 0;
    uint64_t bytes = 0;
};

TakenChunks FindChunksToTake(int32_t start, int32_t n)
{
    CKV_Document& doc = TheDocument();
    uint64_t align = static_cast<uint64_t>(doc.format.BlockAlign());
    TakenChunks taken;
    // The cursor's own lock is not someone else's.
    doc.ReleaseCursor();
    if (n < 1 || !doc.Locate(start))
        return taken;
    int64_t end = int64_t{start} + n;
    int64_t chunkStart = doc.currentStart;
    for (CGObListRec* rec = doc.current; rec && chunkStart < end; rec = rec->Next()) {
        const CKV_BUFFER* chunk = static_cast<CKV_BUFFER*>(rec);
        if (chunkStart >= start && chunkStart + chunk->count <= end && CanTakeChunk(chunk, align)) {
            taken.count++;
            taken.frames += chunk->count;
            taken.bytes += chunk->memory ? chunk->memoryBytes : 0;
        }
        chunkStart += chunk->count;
    }
    return taken;
}

// Gives the chunks a record adopted back to the document, whose chunk list
// has not changed since: the record is then left without them.
void ReturnTakenChunks(CKV_ACTSTORE* rec, int32_t start)
{
    CKV_Document& doc = TheDocument();
    for (int32_t i = 0; i < rec->chunkCount; i++) {
        doc.ReleaseCursor();
        if (!doc.Locate(start + rec->chunks[i].first) || !rec->ReturnChunk(i, doc.current))
            Log("App:ActPrepare return chunk FAIL");
    }
    doc.ReleaseCursor();
}

// Saves the n blocks from start into a sample record that has room for the
// chunks FindChunksToTake chose and whose data block holds the count and
// every other frame: the record adopts those chunks' memory and copies the
// rest (frames past the end of the store are saved as 0). False, and the
// document as it was, when a chosen chunk could not be taken.
bool SaveTakingChunks(CKV_ACTSTORE* rec, int32_t start, int32_t n)
{
    CKV_Document& doc = TheDocument();
    uint64_t align = static_cast<uint64_t>(doc.format.BlockAlign());
    uint8_t* out = rec->data.get() + 4;
    int64_t end = int64_t{start} + n;
    int32_t copyFrom = start;
    doc.ReleaseCursor();
    CKV_BUFFER* chunk = doc.Locate(start) ? doc.current : nullptr;
    int64_t chunkStart = chunk ? doc.currentStart : end;
    // Copying moves the cursor but never changes the list: the walk follows
    // the chunk pointers.
    for (; chunk && chunkStart < end; chunk = static_cast<CKV_BUFFER*>(chunk->Next())) {
        int32_t at = static_cast<int32_t>(chunkStart);
        chunkStart += chunk->count;
        if (at < start || chunkStart > end || !CanTakeChunk(chunk, align))
            continue;
        std::unique_ptr<uint8_t[]> memory;
        uint32_t bytes = 0;
        if (!doc.DetachMemory(chunk, memory, bytes))
            break;
        if (!rec->AdoptChunk(at - start, chunk->count, memory, bytes)) {
            doc.AttachMemory(chunk, memory, bytes);
            break;
        }
        int32_t run = at - copyFrom;
        if (run > 0) {
            int32_t copied = doc.CopyOut(copyFrom, out, run) - copyFrom;
            if (copied < run)
                std::memset(out + copied * align, 0, static_cast<size_t>((run - copied) * align));
            out += run * align;
        }
        copyFrom = static_cast<int32_t>(chunkStart);
    }
    doc.ReleaseCursor();
    if (out + (end - copyFrom) * align != rec->data.get() + rec->size) {
        Log("App:ActPrepare take chunk FAIL");
        ReturnTakenChunks(rec, start);
        return false;
    }
    int32_t run = static_cast<int32_t>(end - copyFrom);
    int32_t copied = run > 0 ? doc.CopyOut(copyFrom, out, run) - copyFrom : 0;
    if (copied < run)
        std::memset(out + copied * align, 0, static_cast<size_t>((run - copied) * align));
    doc.ReleaseCursor();
    return true;
}

// A new record with its data, or null (logged) when the record itself cannot
// be made. A record whose block could not be allocated comes back Lost. With
// takeChunks a sample record takes over the memory of the chunks wholly
// inside the selection instead of copying them, which are left silent.
CKV_ACTSTORE* NewRecord(int action, int kind, const void* data, uint32_t size, bool takeChunks = false)
{
    CKV_Document& doc = TheDocument();
    bool samples = IsSampleKind(kind);
    int32_t start = TheSelection().selStart;
    TakenChunks taken;
    if (samples && takeChunks && size <= INT32_MAX)
        taken = FindChunksToTake(start, static_cast<int32_t>(size));
    uint64_t bytes;
    if (samples) {
        bytes = static_cast<uint64_t>(doc.format.BlockAlign()) * (size - taken.frames) + 4;
        // The adopted memory is counted too.
        if (taken.count > 0 && bytes + taken.bytes > UINT32_MAX - ACTSTORE_OVERHEAD) {
            taken = TakenChunks();
            bytes = static_cast<uint64_t>(doc.format.BlockAlign()) * size + 4;
        }
    } else if (kind == ACTION_CUT || kind == ACTION_DELETE) {
        bytes = 4;
    } else {
        bytes = data ? size : 0;
    }
    // A size the memory accounting cannot hold cannot be allocated either.
    CKV_ACTSTORE* rec = nullptr;
    if (bytes <= UINT32_MAX - ACTSTORE_OVERHEAD && (!samples || size <= INT32_MAX))
        rec = new (std::nothrow) CKV_ACTSTORE(static_cast<uint32_t>(action),
                                              static_cast<uint32_t>(kind),
                                              static_cast<uint32_t>(bytes));
    if (!rec) {
        Log("CKV_ACTSTORE new FAIL");
        return nullptr;
    }
    if (!rec->data)
        return rec;
    uint8_t* block = rec->data.get();
    if (samples) {
        std::memcpy(block, &size, 4);
        int32_t n = static_cast<int32_t>(size);
        if (taken.count > 0) {
            if (rec->ReserveChunks(taken.count) && SaveTakingChunks(rec, start, n))
                return rec;
            // The data block has no room for every frame: the record is
            // Lost, as when its block could not be allocated.
            Log("CKV_ACTSTORE chunks FAIL");
            rec->data.reset();
            return rec;
        }
        doc.SetChannel(255);
        int32_t copied = doc.CopyOut(start, block + 4, n) - start;
        if (copied < n) {
            size_t align = static_cast<size_t>(doc.format.BlockAlign());
            std::memset(block + 4 + static_cast<size_t>(copied) * align, 0,
                        static_cast<size_t>(n - copied) * align);
        }
    } else if (kind == ACTION_CUT || kind == ACTION_DELETE) {
        std::memcpy(block, &size, 4);
    } else if (bytes) {
        std::memcpy(block, data, static_cast<size_t>(bytes));
    }
    return rec;
}

void BeginActStat(int action)
{
    actStat = ActStat();
    actStat.active = true;
    actStat.action = action;
    actStat.lockFailures = TheDocument().lockFailures;
    const CKV_Document& doc = TheDocument();
    const Selection& sel = TheSelection();
    int64_t bytes = static_cast<int64_t>(doc.format.BlockAlign()) * sel.selLength;
    Host& host = TheHost();
    if ((FlagsOf(action) & ACT_PROGRESS) && bytes >= PROGRESS_MIN_BYTES
        && TheApp().actionState >= ACTSTATE_LOADING) {
        // Named after the open record: nothing is recorded while loading.
        host.BeginProgress(ActionName(openRecord ? static_cast<int>(openRecord->action) : 0));
        actStat.progressShown = true;
    }
    host.BeginWaitCursor();
}

bool SamplesUnreachable()
{
    return actStat.active && TheDocument().lockFailures != actStat.lockFailures;
}

void EndActStat()
{
    if (!actStat.active)
        return;
    Host& host = TheHost();
    host.EndWaitCursor();
    if (actStat.progressShown)
        host.EndProgress();
    actStat = ActStat();
}

// The refusal check and the record, shared by the two prepares.
bool Prepare(int action, int kind, const void* data, uint32_t size, bool takeChunks = false)
{
    if (ActIsBusy()) {
        Log("App:ActPrepare(%d) REENTRANT", action);
        return false;
    }
    if (TheApp().actionState > 3) {
        openRecord = NewRecord(action, kind, data, size, takeChunks);
        if (!openRecord)
            return false;
    }
    if (FlagsOf(action) & ACT_CHANGES_WAVE)
        BeginActStat(action);
    return true;
}

// A cancelled action puts back the samples its record saved, without a
// record of its own. Records without samples keep what was done so far.
void UndoCancelledWork(CKV_ACTSTORE& rec)
{
    if (!IsSampleKind(static_cast<int>(rec.kind)) || !rec.data || rec.size < 4)
        return;
    int32_t n = SavedFrameCount(rec);
    if (n < 0) {
        Log("App:ActComplete(%u) BAD RECORD", rec.action);
        return;
    }
    const Selection& sel = TheSelection();
    int32_t m = sel.selLength;
    if (ReplaceSelectedSaved(m, rec) != 0)
        Log("App:ActComplete(%u) restore FAIL", rec.action);
    TheSelectionLink().RepaintRange(sel.selStart, m != n ? 0 : sel.selStart + sel.selLength);
}

}

const char* ActionName(int action)
{
    return LoadAppString(action >= 0 && action < ACTION_COUNT ? ActionTable[action].nameId : 0);
}

bool ActIsOpen()
{
    return openRecord != nullptr;
}

bool ActIsBusy()
{
    return RunningAction() >= 0;
}

const CKV_ACTSTORE* ActOpenRecord()
{
    return openRecord;
}

CKV_ACTSTORE* ActOpenRecordToFill()
{
    return openRecord;
}

int ComputeEditMode()
{
    const CKV_Document& doc = TheDocument();
    if (TheApp().actionState <= ACTSTATE_LOADING || TheSelection().selLength == 0)
        return EDIT_INSERT;
    if (TheAppOptions().mixOld == 0 || !doc.format.IsPcm())
        return EDIT_REPLACE;
    return EDIT_MIX;
}

void ResetUndoHistory(int level)
{
    App& app = TheApp();
    if (level <= ACTSTATE_LOADING) {
        DiscardOpenRecord();
        TheUndoHistory().DeleteAll();
        TheRedoHistory().DeleteAll();
        TheHost().HistoryDiscarded();
    } else if (ActIsOpen()) {
        return;
    }
    if (level == ACTSTATE_READY) {
        if (--nestingCount <= 0) {
            nestingCount = 0;
            app.actionState = ACTSTATE_READY;
        }
    } else {
        nestingCount++;
        app.actionState = level;
    }
}

void ResetActionLifecycle()
{
    DiscardOpenRecord();
    EndActStat();
    TheUndoHistory().DeleteAll();
    TheRedoHistory().DeleteAll();
    nestingCount = 0;
    TheApp().actionState = ACTSTATE_READY;
}

uint32_t ActPrepare(int action, int kind, const void* data, uint32_t size)
{
    return Prepare(action, kind, data, size) ? size : 0;
}

namespace {

// ActTryPrepareWave; takeChunks as NewRecord.
bool TryPrepareWave(int action, int kind, int32_t* count, bool takeChunks)
{
    *count = 0;
    // Stopping first lets a recording close its own action before this one
    // is checked against it.
    if (action != ACTION_RECORD)
        TheEngineLink().Stop();
    // Refused before anything is inserted or selected.
    if (ActIsBusy()) {
        Log("App:ActPrepare(%d) REENTRANT", action);
        return false;
    }
    Selection& sel = TheSelection();
    sel.editMode = ComputeEditMode();
    uint32_t flags = FlagsOf(action);
    int32_t n = 0;
    bool inserted = false;
    if (sel.editMode != EDIT_INSERT) {
        n = sel.selLength;
        if (n <= 0)
            return false;
        if (flags & ACT_PASTE_LENGTH) {
            // Nothing to paste: the selection is left alone.
            if (sel.pendingLength <= 0)
                return false;
            if (n > sel.pendingLength) {
                n = sel.pendingLength;
                TheSelectionLink().SetSelection(sel.selStart, n, ORIGIN_COMMAND);
            }
        }
    } else {
        if (!(flags & ACT_NO_SELECTION_OK)) {
            Log("ActPrepareWave can't NO SELECT insert !");
            return false;
        }
        if (flags & ACT_INSERT_SPACE) {
            CKV_Document& doc = TheDocument();
            n = (flags & ACT_PASTE_LENGTH)
                ? sel.pendingLength
                : static_cast<int32_t>(doc.format.MsToBlocks(
                    static_cast<uint32_t>(TheEffectSettings().insertLength)));
            if (n <= 0)
                return false;
            if (!doc.InsertSpace(sel.selStart, n))
                return false;
            TheSelectionLink().SetSelection(sel.selStart, n, ORIGIN_PROGRAM);
            inserted = true;
        }
        // The record keeps a count of the inserted samples. A Cut step keeps
        // its own kind, which restores the same way, so that its Redo item
        // names Cut and not Delete.
        if (kind != ACTION_CUT)
            kind = RESTORE_INSERTED;
    }
    if (!Prepare(action, kind, nullptr, static_cast<uint32_t>(n), takeChunks)) {
        if (inserted) {
            TheDocument().DeleteRange(sel.selStart, n);
            TheSelectionLink().SetSelection(sel.selStart, 0, ORIGIN_PROGRAM);
        }
        return false;
    }
    *count = n;
    return true;
}

}

bool ActTryPrepareWave(int action, int kind, int32_t* count)
{
    return TryPrepareWave(action, kind, count, false);
}

int32_t ActPrepareWave(int action, int kind)
{
    int32_t n;
    return ActTryPrepareWave(action, kind, &n) ? n : 0;
}

int32_t ActPrepareWaveTakingChunks(int action, int kind)
{
    int32_t n;
    return TryPrepareWave(action, kind, &n, true) ? n : 0;
}

bool ActProgress(int32_t position)
{
    if (!actStat.active)
        return false;
    volatile int once = 0;
    TheHost().PumpMessages(&once);
    if (!actStat.active)
        return false;
    if (SamplesUnreachable())
        actStat.cancelled = true;
    const Selection& sel = TheSelection();
    if (actStat.progressShown && sel.selLength > 0
        && TheHost().UpdateProgress(position - sel.selStart, sel.selLength))
        actStat.cancelled = true;
    return actStat.cancelled;
}

void ActComplete(int action, uint32_t flags)
{
    int running = RunningAction();
    if (running >= 0 && running != action)
        return;
    flags |= FlagsOf(action);
    CKV_Document& doc = TheDocument();
    Selection& sel = TheSelection();

    if (!(flags & ACT_PREPARED)) {
        // Nothing was prepared and nothing is to be kept.
        if (flags & ACT_NO_RECORD)
            return;
        DiscardOpenRecord();
        openRecord = NewRecord(action, action, nullptr, 0);
    } else {
        // Samples that could not be reached leave the change half done: it is
        // taken back as a cancel would be, and the user told.
        bool unreachable = SamplesUnreachable();
        bool cancelled = actStat.active && (actStat.cancelled || unreachable);
        bool takeBack = (cancelled || (flags & ACT_FAILED)) && !(flags & ACT_NO_RECORD) && openRecord;
        if (takeBack) {
            UndoCancelledWork(*openRecord);
            flags |= ACT_NO_RECORD;
        }
        EndActStat();
        if (takeBack && unreachable)
            TheHost().ShowError(ERR_NO_MEMORY);
        if (flags & ACT_NO_RECORD) {
            doc.ReleaseCursor();
            // The samples an Insert-mode action inserted go again.
            if ((flags & ACT_NO_SELECTION_OK) && sel.editMode == EDIT_INSERT) {
                doc.DeleteRange(sel.selStart, sel.selLength);
                TheSelectionLink().SetSelection(sel.selStart, 0, ORIGIN_PROGRAM);
            }
            DiscardOpenRecord();
            return;
        }
    }

    int state = TheApp().actionState;
    if (flags & ACT_CHANGES_WAVE) {
        if ((flags & ACT_NO_SELECTION_OK) && sel.editMode == EDIT_INSERT)
            flags |= ACT_LENGTH_CHANGED;
        doc.ReleaseCursor();
        if (sel.viewLength == 0)
            TheSelectionLink().SetViewRange(sel.selStart, doc.length, ORIGIN_PROGRAM);
        TheSelectionLink().RepaintRange(sel.selStart, (flags & ACT_LENGTH_CHANGED) ? 0 : sel.selStart + sel.selLength);
        if (state > 3)
            TheEngineLink().PlayAfterChange();
    }

    std::unique_ptr<CKV_ACTSTORE> record(openRecord);
    openRecord = nullptr;
    if (state == ACTSTATE_READY) {
        // A new change ends what could be redone, as far as the memory limit
        // asks (with no limit, all of it: the new record alone is above 0).
        CKV_ACTLIST& redo = TheRedoHistory();
        while (!redo.IsEmpty() && UndoMemoryInUse() > TheAppOptions().undoMemory)
            redo.DestroyOldest();
        if (record)
            ActFile(record.release(), TheUndoHistory());
    } else if (state == ACTSTATE_UNDOING) {
        if (record)
            ActFile(record.release(), TheRedoHistory());
    } else if (state == ACTSTATE_REDOING) {
        if (record)
            ActFile(record.release(), TheUndoHistory());
    } else {
        return;
    }

    int step = state == ACTSTATE_UNDOING ? -1 : 1;
    if (flags & (ACT_CHANGES_WAVE | ACT_CHANGES_DOC))
        doc.changeCount += step;
    if (flags & ACT_CHANGES_SETTINGS)
        TheAppOptions().settingsChanged += step;
}
