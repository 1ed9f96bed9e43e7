// The sound document: the one sound being edited. It is itself the RIFF file
// object through which the sound is saved, holds the chunked sample store and
// the document's format, and knows whether it has unsaved changes. It lives for
// the whole run and is emptied and refilled, never replaced. It is passive
// data: changing it stops no device, records nothing and moves no selection;
// the editing operations that change it do that (edit/open_document.h).
//
// The sample store is an ordered list of chunks (CKV_BUFFER), each owning one
// byte block of count × nBlockAlign bytes, allocated on first use and filled
// with the format's silence then. A cursor (current chunk and its start)
// makes sequential access cheap. Positions are block positions.
//
// Positioned operations fail on positions outside 0..length-1 (null pointer,
// zero run, 0 read, nothing written). Per-sample operations address the
// channel chosen by SetChannel; whole-block operations (WriteBlocks, CopyOut)
// ignore it. Sample values travel signed in their native width: -128..127 for
// 8-bit (stored as byte + 128), -32768..32767 for 16-bit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "lib/ob_list.h"
#include "sound/file.h"
#include "sound/form.h"

class CKV_BUFFER : public CGObListRec {
public:
    CKV_BUFFER(int32_t count, std::unique_ptr<uint8_t[]> memory, uint32_t bytes);
    ~CKV_BUFFER() override;

    int32_t count;                          // blocks held; never 0 while linked
    std::unique_ptr<uint8_t[]> memory;      // null until first locked or adopted
    uint32_t memoryBytes = 0;               // size of memory, at least count × nBlockAlign
    int lockCount = 0;                      // the cursor and the device engine lock
};

// How new sound meets old sound.
enum EditMode : int32_t {
    EDIT_APPEND = 0,    // format conversion: new data goes behind the end
    EDIT_INSERT = 1,
    EDIT_MIX = 2,
    EDIT_REPLACE = 3,
};

// The selection state every editing, device and view part reads.
struct Selection {
    int32_t editMode = EDIT_APPEND;
    int32_t viewStart = 0;
    int32_t viewLength = 0;
    int32_t selStart = 0;
    int32_t selLength = 0;
    int32_t playPos = 0;
    int32_t mousePos = -1;      // -1: the mouse is outside the views
    int32_t anchorPos = 0;
    int32_t lastButton = 4005;  // the Play button
    int32_t pendingLength = 0;  // blocks a reader or the clipboard is about to bring in
};

Selection& TheSelection();
void ResetSelection();

class CKV_Document : public CMMFile {
public:
    CKV_Document();
    ~CKV_Document() override;

    // Identity.
    void SetFileName(const char* name);     // invalid names leave it empty
    const char* GetTitleName() const;       // the name or "(Untitled)"
    // Null: the default format. Addresses the first channel again; the
    // samples are not touched. 0, 247, 256 or 261 (the format is kept).
    int SetFormat(const KvWaveFormat* format);
    uint32_t GetSaveSize(int flags) const;
    bool IsModified() const { return changeCount != 0 && length != 0; }

    // Memory of one chunk (nested locks). Lock allocates count × nBlockAlign
    // bytes of silence on first use; null when out of memory (report 247).
    // A locked chunk's memory never moves: shrinking keeps the larger block
    // while someone else holds a lock.
    uint8_t* Lock(CKV_BUFFER* chunk);
    void Unlock(CKV_BUFFER* chunk);
    void ReleaseCursor();                   // before the cursor moves or a chunk changes

    // Cursor.
    void SetCurrent(CKV_BUFFER* chunk, int32_t start);
    bool Next();
    bool SeekChunk(CKV_BUFFER* chunk);
    bool Locate(int32_t pos);

    // Channel addressed by the per-sample operations (255: the first, for
    // whole blocks). Skips a stereo channel the view hides; false when k
    // names no channel on show.
    bool SetChannel(int k);

    // Positioned access. GetPointer and GetRun point at the current channel's
    // sample of the block; GetRun gives the blocks left in that chunk (at most
    // max). The pointer stays valid until the cursor is released.
    uint8_t* GetPointer(int32_t pos);
    int32_t GetRun(uint8_t** out, int32_t pos, int32_t max);
    // Whole blocks from pos (channel offset none), for a caller that writes
    // every byte of the run before anyone reads it: a chunk without memory
    // that the run covers wholly gets a block that is not made silent first.
    // Bytes the caller could not write it fills with SilenceByte().
    int32_t GetRunToOverwrite(uint8_t** out, int32_t pos, int32_t max);
    uint8_t SilenceByte() const;            // the byte that sounds like nothing in this format
    inline int ReadSample(int32_t pos);
    inline void WriteSample(int32_t pos, int value);    // truncated to the sample width
    // In Mix mode stores new × mixNew % + old × mixOld %, saturated at the
    // sample width's limits; otherwise as WriteSample.
    void WriteSampleMixed(int32_t pos, int value);
    // Whole blocks; each returns the position after the last block handled
    // (it stops early at the end of the store).
    int32_t WriteBlocks(int32_t pos, const uint8_t* data, int32_t n);
    // One sample per block: data's first sample of each block with the store's
    // channel sample, as WriteSampleMixed combines them.
    int32_t MixBlocks(int32_t pos, const uint8_t* data, int32_t n);
    void FillSilence(int32_t pos, int32_t n);
    int32_t CopyOut(int32_t pos, uint8_t* data, int32_t n);
    // The format's silence over whole blocks. A chunk without memory is
    // silence already and is left without (nothing is allocated for it).
    int32_t SilenceBlocks(int32_t pos, int32_t n);

    // Structure changes. Each keeps length equal to the sum of the counts and
    // requests the view updates of a length change.
    // A new chunk after current (at the head without one) becomes current;
    // memory, when given, must hold n × nBlockAlign bytes and is adopted.
    bool InsertChunk(int32_t n, std::unique_ptr<uint8_t[]> memory, uint32_t bytes);
    bool Split(int32_t offset);             // false without a current chunk or out of memory
    bool SplitAt(int32_t pos);              // pos 0 and length are always chunk starts
    bool Truncate(int32_t n);               // n <= 0 deletes the chunk
    bool DeleteCurrent();                   // the cursor moves to the next chunk
    // Space without memory (silence once touched) in chunks of at most
    // bufferSamples blocks; on failure the store is left as it was.
    bool InsertSpace(int32_t pos, int32_t n);
    // Deletes n blocks from pos; only what lies inside the store goes (false
    // when the range passes the end). Out of memory changes nothing.
    bool DeleteRange(int32_t pos, int32_t n);
    // Gives the chunk at pos new memory of `bytes` (at least its blocks ×
    // nBlockAlign), adopted without copying. n > 0: the chunk holds n blocks
    // from now on; n < 0: it keeps its count (the recorder exchanges blocks:
    // it moves the old one out of `memory` first, else the old one is freed);
    // n == 0 deletes the chunk. At or past the end a new last chunk of n
    // blocks is added.
    bool PutChunkMemory(int32_t pos, std::unique_ptr<uint8_t[]> memory, uint32_t bytes, int32_t n);
    // Hands a chunk's memory (its `bytes`) to whoever keeps those samples
    // elsewhere, such as the undo record of an action that leaves the chunk
    // silent: the chunk is left without memory and reads as silence. `memory`
    // comes back null when the chunk never had any. False, nothing changed,
    // while anyone but the cursor holds the chunk locked (the device engine
    // plays from its locks).
    bool DetachMemory(CKV_BUFFER* chunk, std::unique_ptr<uint8_t[]>& memory, uint32_t& bytes);
    // Gives a chunk `memory` of `bytes` (at least its blocks × nBlockAlign)
    // in place of what it holds, adopted without copying; null leaves it
    // without memory, silent. False, and `memory` stays with the caller,
    // while anyone but the cursor holds the chunk locked or when the block is
    // too short.
    bool AttachMemory(CKV_BUFFER* chunk, std::unique_ptr<uint8_t[]>& memory, uint32_t bytes);
    void FreeAll();

    // Fields (read directly by the other parts).
    int32_t length = 0;
    CGObList chunks;
    int32_t channel = 1;
    uint8_t* lockedData = nullptr;
    CKV_BUFFER* current = nullptr;
    int32_t currentStart = -1;
    uint8_t readOnly = 0;
    Form format;
    int32_t changeCount = 0;
    int32_t bufferSamples = 0;              // blocks per new chunk (2 s by default)
    // Locks refused for want of memory, counted so that an action can tell
    // that a run of its samples was cut short.
    uint32_t lockFailures = 0;

private:
    // The cursor's locked chunk as the per-sample fast path sees it: the
    // channel's first sample, the chunk's first block and the blocks it
    // holds. runCount 0: take the slow path, which locates and locks.
    uint8_t* runData = nullptr;
    uint32_t runStart = 0;
    uint32_t runCount = 0;
    uint32_t runAlign = 0;
    bool runWide = false;                   // 16-bit samples

    uint8_t* ChannelSample(int32_t pos);    // slow path: locate, lock, refresh the run
    int ReadSampleSlow(int32_t pos);
    void WriteSampleSlow(int32_t pos, int value);
    int32_t BlockRun(uint8_t** out, int32_t pos, int32_t max);  // whole blocks, no channel offset
    // Before whole blocks from pos are all written: the chunk there, when it
    // has no memory and the n blocks cover it, gets memory without silence.
    void PrepareOverwrite(int32_t pos, int32_t n);
    // Whole blocks between the store and a caller's buffer, run by run.
    int32_t CopyBlocks(int32_t pos, uint8_t* data, int32_t n, bool intoStore);
    bool LinkChunk(int32_t n, std::unique_ptr<uint8_t[]> memory, uint32_t bytes);
    void ResizeMemory(CKV_BUFFER* chunk, uint32_t bytes);
    void ShrinkMemory(CKV_BUFFER* chunk);
    void UnlinkCurrent();
    void LengthChanged(int32_t before);
};

// The per-sample fast path: a position inside the cursor's locked chunk costs
// one compare and one access. 16-bit samples are little-endian, as the machine.
inline int CKV_Document::ReadSample(int32_t pos)
{
    uint32_t i = static_cast<uint32_t>(pos) - runStart;
    if (i < runCount) {
        const uint8_t* p = runData + static_cast<size_t>(i) * runAlign;
        if (runWide) {
            int16_t v;
            std::memcpy(&v, p, 2);
            return v;
        }
        return p[0] - 128;
    }
    return ReadSampleSlow(pos);
}

inline void CKV_Document::WriteSample(int32_t pos, int value)
{
    uint32_t i = static_cast<uint32_t>(pos) - runStart;
    if (i < runCount) {
        uint8_t* p = runData + static_cast<size_t>(i) * runAlign;
        if (runWide) {
            int16_t v = static_cast<int16_t>(value);
            std::memcpy(p, &v, 2);
        } else {
            p[0] = static_cast<uint8_t>(static_cast<unsigned>(value) + 128u);
        }
        return;
    }
    WriteSampleSlow(pos, value);
}

CKV_Document& TheDocument();
