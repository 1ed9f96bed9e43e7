// Recording: the "Record" action, the record chunks of each edit mode and
// the handler of the buffers that come back filled.
#include <algorithm>
#include <climits>
#include <memory>
#include <new>

#include "base/app.h"
#include "base/app_options.h"
#include "base/error_message.h"
#include "base/host.h"
#include "device/dev_options.h"
#include "device/engine.h"
#include "device/engine_stream.h"
#include "edit/actions.h"
#include "edit/links.h"
#include "lib/log.h"
#include "sound/document.h"

namespace {

// Record length for an empty range: recordLimit hundredths of a MiB of
// samples. Worked in 64 bits: a hand-edited limit past 4095 would wrap in 32.
int32_t RecordLimitBlocks()
{
    int align = TheDocument().format.BlockAlign();
    if (align <= 0)
        return 0;
    uint64_t limit = TheAppOptions().buffers.recordLimit;
    uint64_t blocks = limit * 1048576u / (static_cast<uint64_t>(align) * 100u);
    return static_cast<int32_t>(std::min<uint64_t>(blocks, INT32_MAX));
}

// Insert mode: new room at nextPos, recorded into as one buffer.
int QueueInsertChunk(int32_t n)
{
    CKV_Document& doc = TheDocument();
    int32_t at = TheDevStream().nextPos;
    if (!doc.InsertSpace(at, n))
        return ERR_NO_MEMORY;
    doc.SetChannel(255);
    uint8_t* data;
    // The room is one new chunk: InsertSpace makes chunks of bufferSamples.
    if (doc.GetRun(&data, at, n) == n && QueueBuffer(doc.current, doc.currentStart, n) == 0)
        return 0;
    doc.ReleaseCursor();
    doc.DeleteRange(at, n);
    return ERR_NO_MEMORY;
}

// Mix and Replace mode: one buffer per chunk from nextPos. Mix mode starts
// a chunk there and records into a fresh block exchanged for each chunk's
// storage; Replace mode records straight over the document's samples.
int QueueOverChunks(int32_t n, bool mix)
{
    DevStream& s = TheDevStream();
    CKV_Document& doc = TheDocument();
    if (mix && !doc.SplitAt(s.nextPos))
        return ERR_NO_MEMORY;
    uint64_t align = static_cast<uint64_t>(doc.format.BlockAlign());
    doc.SetChannel(255);
    for (;;) {
        uint8_t* data;
        int32_t k = doc.GetRun(&data, s.nextPos, s.remaining);
        if (k < 1)
            return 0;
        CKV_BUFFER* run = doc.current;
        int32_t runStart = doc.currentStart;
        int rc;
        if (mix) {
            uint64_t bytes = align * static_cast<uint64_t>(run->count);
            std::unique_ptr<uint8_t[]> fresh(bytes <= UINT32_MAX ? new (std::nothrow) uint8_t[bytes]() : nullptr);
            if (!fresh)
                return ERR_NO_MEMORY;
            doc.ReleaseCursor();
            StorageExchange exchange;
            exchange.saved = std::move(run->memory);
            exchange.savedBytes = run->memoryBytes;
            run->memory = std::move(fresh);
            run->memoryBytes = static_cast<uint32_t>(bytes);
            rc = QueueBuffer(run, runStart, k, &exchange);
        } else {
            rc = QueueBuffer(run, runStart, k);
        }
        if (rc != 0)
            return ERR_NO_MEMORY;
        n -= k;
        if (n < 1)
            return 0;
    }
}

// Mix mode: the chunk gets its own storage back and the recorded blocks,
// still in the fresh block, are mixed into every channel on show.
void MixRecorded(CWaveHdr& buffer, int32_t n)
{
    CKV_Document& doc = TheDocument();
    doc.ReleaseCursor();
    CKV_BUFFER* run = buffer.run;
    std::unique_ptr<uint8_t[]> fresh = std::move(run->memory);
    run->memory = std::move(buffer.savedStorage);
    run->memoryBytes = buffer.savedBytes;
    buffer.exchanged = false;
    if (n < 1)
        return;
    const KvWaveFormat* w = doc.format.Record();
    int width = w && w->wBitsPerSample == 16 ? 2 : 1;
    int32_t at = TheDevStream().donePos;
    for (int k = 1; doc.SetChannel(k); k++)
        doc.MixBlocks(at, buffer.header.lpData + (doc.channel - 1) * width, n);
    doc.SetChannel(255);
}

}

int QueueRecordChunk()
{
    DevStream& s = TheDevStream();
    int32_t n = std::min(s.remaining, TheDocument().bufferSamples);
    if (n < 1)
        return 0;
    switch (TheSelection().editMode) {
    case EDIT_INSERT:
        return QueueInsertChunk(n);
    case EDIT_MIX:
        return QueueOverChunks(n, true);
    default:
        return QueueOverChunks(n, false);
    }
}

void CompleteRecordAction(uint32_t flags)
{
    DevStream& s = TheDevStream();
    if (!s.recordOpen)
        return;
    s.recordOpen = false;
    ActComplete(ACTION_RECORD, flags);
}

int Record()
{
    if (StartRefused())
        return -1;
    TheApp().closeWhenDone = 0;
    if (!HaltUntilClosed())
        return ERR_DEVICE_BUSY;
    DevStream& s = TheDevStream();
    Dev& dev = TheDev();
    CKV_Document& doc = TheDocument();
    const Selection& sel = TheSelection();
    int rc = SetUpRange(DevMode::Recording);
    if (rc != 0)
        return rc;
    WaveDevices& devices = TheWaveDevices();
    if (TheDevOptions().recordLowPriority) {
        int result = devices.Message(WAVE_INPUT, dev.handle, DEV_LOW_PRIORITY_MESSAGE, 0, 0);
        if (result != DEVERR_NONE)
            Log("Dev:waveInMessage LOWPRI %d", result);
    }
    doc.format.Normalize();
    TheSelectionLink().SetViewRange(sel.viewStart, sel.viewLength, ORIGIN_PROGRAM);
    int32_t prepared;
    if (!ActTryPrepareWave(ACTION_RECORD, RESTORE_SAMPLES, &prepared)) {
        Halt(false);
        return -1;
    }
    s.recordOpen = true;
    SetUpRange(DevMode::Recording);
    // Over old sound the undo record holds the selection: recording must
    // not reach before it (a play position left there by a drag).
    if (sel.editMode != EDIT_INSERT && s.basePos < sel.selStart) {
        s.basePos = s.donePos = s.nextPos = sel.selStart;
        s.remaining = sel.selLength;
    }
    if (s.remaining < 1)
        s.remaining = RecordLimitBlocks();

    rc = QueueRecordChunk();
    if (rc == 0)
        rc = QueueRecordChunk();
    if (rc == 0) {
        int result = devices.Start(dev.handle);
        if (result != DEVERR_NONE) {
            Log("Dev:waveInStart %d", result);
            rc = MapDeviceResult(result);
        } else {
            s.inputStarted = true;
        }
    }
    if (rc != 0) {
        CompleteRecordAction(ACT_PREPARED | ACT_NO_RECORD);
        Halt(false);
        return rc;
    }
    return 0;
}

void OnRecordData(KvWaveHdr* header)
{
    DevStream& s = TheDevStream();
    Dev& dev = TheDev();
    CKV_Document& doc = TheDocument();
    const Selection& sel = TheSelection();
    CWaveHdr* buffer = FindBuffer(header);
    if (!buffer || dev.mode != DevMode::Recording) {
        Log("Dev:OnRecordData unknown buffer");
        return;
    }
    int align = doc.format.BlockAlign();
    uint32_t bytes = std::min(header->dwBytesRecorded, header->dwBufferLength);
    int32_t n = align > 0 ? static_cast<int32_t>(bytes / static_cast<uint32_t>(align)) : 0;
    if (n > 0 && static_cast<int64_t>(s.donePos) + n > sel.playPos) {
        int32_t old = sel.playPos;
        int32_t position = s.donePos + n;
        TheSelectionLink().SetPlayPosition(position, ORIGIN_ENGINE);
        RecordProgress(old, position);
    }

    int error = 0;
    if (!doc.SeekChunk(buffer->run)) {
        Log("Dev:RecHeaderClean FAILED to find buffer");
        // The chunk is gone: nothing of it may be touched any more.
        buffer->run = nullptr;
        error = ERR_NO_MEMORY;
    } else if (sel.editMode == EDIT_MIX) {
        MixRecorded(*buffer, n);
    } else {
        doc.Unlock(buffer->run);
        buffer->locked = false;
        if (sel.editMode == EDIT_INSERT) {
            // The room that was not recorded into goes (all of it for a
            // buffer returned empty, which deletes the chunk).
            if (!doc.Truncate(n))
                error = ERR_NO_MEMORY;
            buffer->run = nullptr;
        }
    }
    CleanUpBuffer(buffer);
    if (error != 0) {
        Halt(true);
        TheHost().ShowError(error);
        return;
    }

    if (s.pending > 0) {
        if (s.stopping) {
            // The rest come back at once.
            TheWaveDevices().Reset(WAVE_INPUT, dev.handle);
            return;
        }
        if (s.pending > 1 && static_cast<int64_t>(s.nextPos) - s.donePos > doc.bufferSamples)
            return;
        int rc = QueueRecordChunk();
        if (rc != 0) {
            Halt(true);
            TheHost().ShowError(rc);
        }
        return;
    }
    ReadPosition();
    CloseDevice();
}
