// Undo records and the two histories.
//
// A record keeps what is needed to return to the state before its action: the
// samples it overwrote, a count, the previous value of an option, or nothing
// when running the operation again undoes it. Applying a record is itself an
// action whose own record, its exact inverse, lands in the other history. No
// record stores a position: selection changes are recorded too, so when a
// record is applied the selection covers its range again.
#pragma once

#include <cstdint>
#include <memory>

#include "lib/gstring.h"
#include "lib/ob_list.h"

class CKV_BUFFER;

// Bookkeeping bytes counted per record in the undo memory in use.
enum : uint32_t { ACTSTORE_OVERHEAD = 32 };

// Frames of a sample record held as the memory of the chunk they were in,
// taken over instead of copied: `count` frames from saved frame `first`.
// Without memory the chunk had none yet, so the frames were the format's
// silence.
struct SavedChunk {
    int32_t first = 0;
    int32_t count = 0;
    std::unique_ptr<uint8_t[]> memory;
    uint32_t bytes = 0;                 // size of memory, at least count × nBlockAlign
    bool returned = false;              // went back to the document: the record lacks these frames
};

class CKV_ACTSTORE : public CGObListRec {
public:
    // A record of `size` data bytes (indeterminate until filled). The size
    // and the overhead enter the undo memory in use at once, also when the
    // block cannot be allocated: such a record is Lost and never filed.
    CKV_ACTSTORE(uint32_t action, uint32_t kind, uint32_t size);
    ~CKV_ACTSTORE() override;

    bool Lost() const { return size != 0 && !data; }

    // Sample records only: gives the record room for `n` chunks (false when
    // out of memory), which AdoptChunk then fills in the order of their
    // frames; it takes `memory` only when it returns true. The bytes of each
    // adopted block join the undo memory in use and leave it when the block
    // goes back to the document or is freed.
    bool ReserveChunks(int32_t n);
    bool AdoptChunk(int32_t first, int32_t count, std::unique_ptr<uint8_t[]>& memory, uint32_t bytes);
    // Hands chunk i's memory back to the document's `chunk`, which holds
    // exactly its frames (AttachMemory); false while the chunk is locked.
    bool ReturnChunk(int32_t i, CKV_BUFFER* chunk);
    // Hands chunk i's memory to a chunk outside the document (the record no
    // longer holds those frames and its bytes leave the memory in use);
    // PutChunkBack undoes it with what TakeChunkMemory gave. False when the
    // chunk went back already.
    bool TakeChunkMemory(int32_t i, std::unique_ptr<uint8_t[]>& memory, uint32_t& bytes);
    void PutChunkBack(int32_t i, std::unique_ptr<uint8_t[]>& memory, uint32_t bytes);

    uint32_t action;                    // the action this record undoes (its name labels Undo)
    uint32_t kind;                      // the restore step; Redo is labelled with its action name
    uint32_t size;                      // bytes of data
    std::unique_ptr<uint8_t[]> data;    // null when size is 0 or allocation failed
    // A sample record's data holds the count and then the frames outside
    // these chunks, in order; chunkBytes is what their memory adds.
    std::unique_ptr<SavedChunk[]> chunks;
    int32_t chunkCount = 0;
    int32_t chunkRoom = 0;
    uint32_t chunkBytes = 0;
};

// The data of a "Select" or "Display" record: the range before the change,
// put back through the same operation with ORIGIN_COMMAND.
struct SavedRange {
    int32_t start;
    int32_t length;
};
static_assert(sizeof(SavedRange) == 8, "undo records hold two 32-bit values");

// A history: the head is the newest record, the tail the oldest. Owns its
// records.
class CKV_ACTLIST : public CGObList {
public:
    ~CKV_ACTLIST() override;

    CKV_ACTSTORE* Newest() const { return static_cast<CKV_ACTSTORE*>(Head()); }
    CKV_ACTSTORE* Oldest() const { return static_cast<CKV_ACTSTORE*>(Tail()); }
    bool IsEmpty() const { return Count() == 0; }
    void DestroyOldest() { delete Oldest(); }
};

CKV_ACTLIST& TheUndoHistory();
CKV_ACTLIST& TheRedoHistory();

// Bytes of every record that exists, the open one included, each counted
// with ACTSTORE_OVERHEAD and the chunk memory it adopted.
uint32_t UndoMemoryInUse();

// Files a completed record as the newest of `history`, which takes it. A
// record of kind ACTION_NONE or a Lost one is destroyed instead. With a memory limit,
// the history's oldest records go first while the memory in use is above
// it; then the oldest one goes when the history is at its depth (a depth of
// 0 acts as 1). A record larger than the limit is still filed.
void ActFile(CKV_ACTSTORE* record, CKV_ACTLIST& history);

// Apply the newest record of the undo (redo) history. 0 done; -1 nothing to
// do (empty history, an action runs, or no code for its kind); an error id
// when the sound could not be changed (the record stays for another try).
int ActUndo();
int ActRedo();

// Performs the record's restore step (its kind). Results as ActUndo. A
// sample record may give chunk memory it adopted back to the document; it
// does so only when the step succeeds (0), so a record that failed can be
// tried again.
int ActApply(CKV_ACTSTORE& record);

// Replaces the selected samples by n saved frames (none and 0: removes the
// selection) as action `kind`, whose own record (action `kind`, kind
// `action`) saves what the selection holds now. The selection becomes the n
// frames. 0 done, -1 refused, 247 out of memory (nothing changed).
int ActRestoreWave(int kind, int action, const uint8_t* frames, int32_t n);

// Replaces the m blocks at the selection start by n frames and selects them,
// recording nothing. 0 done; -1 the length could not be changed (nothing
// changed); 247 not every frame could be written (length and selection are
// right).
int ReplaceSelectedFrames(int32_t m, const uint8_t* frames, int32_t n);

// The number of frames a sample record (see ActPrepare) holds, or -1
// when it does not hold them all.
int32_t SavedFrameCount(const CKV_ACTSTORE& record);

// ReplaceSelectedFrames with the frames of a sample record. Adopted chunk
// memory goes back to the chunk at its place when that chunk holds exactly
// its frames and nobody holds it locked; else it is copied. Memory goes back
// only when every frame was written. -1 also for a record that does not
// hold its frames.
int ReplaceSelectedSaved(int32_t m, CKV_ACTSTORE& record);

// The Undo and Redo item texts ("&Undo Delete\tCtrl+Z", "&Redo Delete\tShift+Bksp");
// true when the item is to be enabled (its history is not empty).
bool GetUndoLabel(CGString& text);
bool GetRedoLabel(CGString& text);
