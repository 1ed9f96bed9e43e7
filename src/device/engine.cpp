// The engine's common part and playing: range set-up, opening and closing,
// buffer bookkeeping, the play position, halting and the play handlers.
#include "device/engine.h"

#include <algorithm>
#include <climits>
#include <new>

#include "base/app.h"
#include "base/app_options.h"
#include "base/error_message.h"
#include "base/host.h"
#include "base/update_views.h"
#include "device/dev_options.h"
#include "device/engine_stream.h"
#include "device/volume.h"
#include "edit/actions.h"
#include "edit/links.h"
#include "lib/log.h"
#include "sound/document.h"

namespace {

Dev theDev;
DevStream theStream;

int32_t ClampToInt32(int64_t value)
{
    return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(value, INT32_MIN), INT32_MAX));
}

int BlockAlign()
{
    return TheDocument().format.BlockAlign();
}

void StopTimer()
{
    if (theStream.timerId != 0)
        TheHost().StopTimer(theStream.timerId);
    theStream.timerId = 0;
}

void StartTimer()
{
    if (theStream.timerId == 0)
        theStream.timerId = TheHost().StartTimer(DEV_TIMER_ID, DEV_TIMER_MS);
}

// Every change of mode re-enables the transport buttons.
void SetMode(DevMode mode)
{
    if (theDev.mode == mode)
        return;
    theDev.mode = mode;
    if (mode == DevMode::Closed)
        StopTimer();
    else
        StartTimer();
    UpdateViews(UpdTransport);
}

int OpenDevice(DevMode mode)
{
    DevStream& s = theStream;
    int32_t id = DeviceIdFor(mode);
    int direction = mode == DevMode::Playing ? WAVE_OUTPUT : WAVE_INPUT;
    if (mode == DevMode::Playing && s.remaining < 1)
        return -1;
    uint32_t flags = DEV_CALLBACK_WINDOW | (id != WAVE_MAPPER_ID ? DEV_MAPPED : 0u);
    if (mode == DevMode::Recording)
        flags |= DEV_ALLOWSYNC;
    const KvWaveFormat* format = TheDocument().format.Record();
    WaveHandle handle = nullptr;
    int rc = format ? TheWaveDevices().Open(direction, &handle, id, format, flags) : DEVERR_INVALPARAM;
    if (rc != DEVERR_NONE) {
        Log("Dev:Open %d", rc);
        UpdateViews(UpdTransport);
        return MapDeviceResult(rc);
    }
    theDev.handle = handle;
    s.inputStarted = false;
    // Where the system keeps the volume per open output (Wine), a new
    // output starts at full volume: it gets the user's before any sound.
    if (mode == DevMode::Playing)
        ApplyChosenVolume(handle);
    SetMode(mode);
    return 0;
}

// Queues at least bufferSamples blocks (or the rest of the range), one
// buffer per chunk.
int QueuePlayBatch()
{
    DevStream& s = theStream;
    CKV_Document& doc = TheDocument();
    int32_t n = std::min(s.remaining, doc.bufferSamples);
    if (n < 1)
        return 0;
    doc.SetChannel(255);
    for (;;) {
        uint8_t* data;
        int32_t k = doc.GetRun(&data, s.nextPos, s.remaining);
        if (k < 1)
            return 0;
        int rc = QueueBuffer(doc.current, doc.currentStart, k);
        if (rc != 0)
            return rc;
        n -= k;
        if (n < 1)
            return 0;
    }
}

// The two batches a pass starts with. A pass of which nothing could be
// queued would leave the device open with nothing to return: out of memory.
int StartPass()
{
    int rc = QueuePlayBatch();
    if (rc == 0)
        rc = QueuePlayBatch();
    if (rc == 0 && theStream.pending == 0)
        rc = ERR_NO_MEMORY;
    return rc;
}

// Halts in progress, counted for StartRefused.
class StopScope {
public:
    StopScope() { theStream.stopDepth++; }
    ~StopScope() { theStream.stopDepth--; }
    StopScope(const StopScope&) = delete;
    StopScope& operator=(const StopScope&) = delete;
};

// The mapper may have chosen a device with other controls.
void ReadBackMapperControls()
{
    if (TheDevOptions().playDevice == WAVE_MAPPER_ID) {
        ReadVolume();
        ReadPlaybackRate();
    }
}

int StartPlay()
{
    if (!HaltUntilClosed())
        return ERR_DEVICE_BUSY;
    Dev& dev = theDev;
    const DevOptions& options = TheDevOptions();
    // A synchronous device returns only when done: no repeat, as while hidden.
    bool repeats = TheHost().FrameVisible() && !(options.playCaps.dwSupport & DEVCAPS_SYNC);
    dev.repeatLeft = repeats ? options.repeatCount : 1;
    int rc = SetUpRange(DevMode::Playing);
    if (rc != 0)
        return rc;
    // A repeat count of 0 wraps: play until stopped.
    dev.repeatLeft--;
    rc = StartPass();
    if (rc != 0) {
        Halt(false);
        return rc;
    }
    ReadBackMapperControls();
    return 0;
}

}

Dev& TheDev()
{
    return theDev;
}

DevStream& TheDevStream()
{
    return theStream;
}

void ResetDev()
{
    theStream.buffers.DeleteAll();
    DevStream& s = theStream;
    s.donePos = s.nextPos = s.remaining = s.basePos = 0;
    s.pending = 0;
    s.halting = 0;
    s.stopDepth = 0;
    s.stopping = 0;
    s.timerId = 0;
    s.inputStarted = false;
    s.recordOpen = false;
    theDev = Dev();
}

// Nothing opens the device inside a halt (StartRefused): one is enough,
// unless its wait ended without the buffers.
bool HaltUntilClosed()
{
    Halt(false);
    return theDev.handle == nullptr;
}

bool StartRefused()
{
    return theStream.stopDepth > 0 || (ActIsBusy() && !theStream.recordOpen);
}

int OpenDirection()
{
    return theDev.mode == DevMode::Recording ? WAVE_INPUT : WAVE_OUTPUT;
}

int32_t DeviceIdFor(DevMode mode)
{
    const DevOptions& options = TheDevOptions();
    int32_t id = mode == DevMode::Playing ? options.playDevice : options.recordDevice;
    if (id == WAVE_MAPPER_ID && theDev.handle && theDev.mode == mode) {
        int32_t real;
        int direction = mode == DevMode::Playing ? WAVE_OUTPUT : WAVE_INPUT;
        if (TheWaveDevices().GetId(direction, theDev.handle, &real) == DEVERR_NONE)
            id = real;
    }
    return id;
}

int SetUpRange(DevMode mode)
{
    DevStream& s = theStream;
    const CKV_Document& doc = TheDocument();
    const Selection& sel = TheSelection();
    s.stopping = 0;
    theDev.recordedLength = doc.length;
    int64_t remaining = sel.selLength;
    if (remaining == 0)
        remaining = static_cast<int64_t>(doc.length) - sel.selStart;
    // A play position before the selection lengthens the range back to it,
    // one inside starts there, one at or behind its last block restarts at
    // its start.
    int64_t offset = static_cast<int64_t>(sel.playPos) - sel.selStart;
    if (offset < remaining - 1) {
        s.basePos = sel.playPos;
        remaining -= offset;
    } else {
        s.basePos = sel.selStart;
    }
    s.remaining = ClampToInt32(remaining);
    s.donePos = s.nextPos = s.basePos;
    if (theDev.handle)
        return 0;
    return OpenDevice(mode);
}

int QueueBuffer(CKV_BUFFER* run, int32_t runStart, int32_t count, StorageExchange* exchange)
{
    DevStream& s = theStream;
    CKV_Document& doc = TheDocument();
    auto* buffer = new (std::nothrow) CWaveHdr;
    if (!buffer) {
        Log("CWaveHdr GlobalAlloc");
        if (exchange) {
            doc.ReleaseCursor();
            run->memory = std::move(exchange->saved);
            run->memoryBytes = exchange->savedBytes;
        }
        return ERR_NO_MEMORY;
    }
    buffer->run = run;
    if (exchange) {
        buffer->exchanged = true;
        buffer->savedStorage = std::move(exchange->saved);
        buffer->savedBytes = exchange->savedBytes;
    }
    s.buffers.Append(buffer);
    s.pending++;

    uint64_t align = static_cast<uint64_t>(BlockAlign());
    uint64_t bytes = align * static_cast<uint64_t>(std::max(count, 0));
    uint8_t* storage = bytes > 0 && bytes <= UINT32_MAX ? doc.Lock(run) : nullptr;
    if (!storage) {
        CleanUpBuffer(buffer);
        return ERR_NO_MEMORY;
    }
    buffer->locked = true;
    KvWaveHdr& h = buffer->header;
    h.lpData = storage + static_cast<size_t>(s.nextPos - runStart) * align;
    h.dwBufferLength = static_cast<uint32_t>(bytes);
    h.dwUser = reinterpret_cast<uintptr_t>(buffer);
    s.nextPos += count;
    s.remaining -= count;

    WaveDevices& devices = TheWaveDevices();
    int direction = OpenDirection();
    int rc = devices.Prepare(direction, theDev.handle, &h);
    if (rc != DEVERR_NONE) {
        Log(direction == WAVE_OUTPUT ? "Dev:waveOutPrepareBuffer %d" : "Dev:waveInPrepareHeader %d", rc);
    } else {
        rc = devices.Queue(direction, theDev.handle, &h);
        if (rc != DEVERR_NONE)
            Log("Dev:Prepare Add %d", rc);
    }
    if (rc != DEVERR_NONE) {
        // The device never had it: the positions are as before, so that the
        // buffers still out keep their places.
        CleanUpBuffer(buffer);
        s.donePos -= count;
        s.nextPos -= count;
        s.remaining += count;
        return MapDeviceResult(rc);
    }
    return 0;
}

void CleanUpBuffer(CWaveHdr* buffer)
{
    DevStream& s = theStream;
    CKV_Document& doc = TheDocument();
    KvWaveHdr& h = buffer->header;
    if (h.dwFlags & DEVHDR_PREPARED)
        TheWaveDevices().Unprepare(OpenDirection(), theDev.handle, &h);
    if (buffer->exchanged && buffer->run) {
        // The fresh block goes; the chunk's own storage comes back.
        doc.ReleaseCursor();
        buffer->run->memory = std::move(buffer->savedStorage);
        buffer->run->memoryBytes = buffer->savedBytes;
    }
    if (buffer->locked && buffer->run)
        doc.Unlock(buffer->run);
    int align = BlockAlign();
    if (align > 0)
        s.donePos = ClampToInt32(static_cast<int64_t>(s.donePos) + h.dwBufferLength / static_cast<uint32_t>(align));
    s.pending--;
    delete buffer;
}

CWaveHdr* FindBuffer(const KvWaveHdr* header)
{
    for (CGObListRec* rec = theStream.buffers.Head(); rec && header; rec = rec->Next()) {
        auto* buffer = static_cast<CWaveHdr*>(rec);
        if (&buffer->header == header)
            return buffer;
    }
    return nullptr;
}

void ReadPosition()
{
    DevStream& s = theStream;
    int align = BlockAlign();
    if (!theDev.handle || s.stopping || align <= 0)
        return;
    // 64 bits: a 32-bit byte count wraps after 4 GiB, 6.7 hours of CD stereo.
    uint64_t bytes;
    if (TheWaveDevices().GetPosition(OpenDirection(), theDev.handle, &bytes) != DEVERR_NONE)
        return;
    uint64_t blocks = std::min<uint64_t>(bytes / static_cast<uint64_t>(align), INT32_MAX);
    int32_t position = ClampToInt32(static_cast<int64_t>(blocks) + s.basePos);
    int32_t old = TheSelection().playPos;
    TheSelectionLink().SetPlayPosition(position, ORIGIN_ENGINE);
    if (theDev.mode == DevMode::Recording)
        RecordProgress(old, position);
}

void RecordProgress(int32_t oldPos, int32_t newPos)
{
    if (TheSelection().editMode == EDIT_INSERT) {
        theDev.recordedLength = ClampToInt32(static_cast<int64_t>(theDev.recordedLength) + newPos - oldPos);
        UpdateViews(UpdTotal);
    }
    TheSelectionLink().RepaintRange(oldPos, newPos);
}

void CloseDevice()
{
    DevMode was = theDev.mode;
    TheWaveDevices().Close(OpenDirection(), theDev.handle);
    theDev.handle = nullptr;
    theStream.halting = 0;
    TheDocument().ReleaseCursor();
    SetMode(DevMode::Closed);
    if (TheApp().closeWhenDone)
        TheHost().PostCloseRequest();
    if (was == DevMode::Recording && theStream.recordOpen) {
        const Selection& sel = TheSelection();
        bool insert = sel.editMode == EDIT_INSERT;
        if (insert)
            TheSelectionLink().SelectBetween(theStream.basePos, sel.playPos, ORIGIN_PROGRAM);
        CompleteRecordAction(insert ? ACT_PREPARED | ACT_LENGTH_CHANGED : ACT_PREPARED);
    }
}

int Play()
{
    if (StartRefused())
        return -1;
    TheApp().closeWhenDone = 0;
    return StartPlay();
}

int PlayAtStartUp()
{
    if (StartRefused())
        return -1;
    return StartPlay();
}

// Only a stop that ends a running playback or recording takes back the
// close request of start-up: the document loaded at start-up stops an engine
// that has not started yet.
void Stop()
{
    if (!theDev.handle)
        return;
    TheApp().closeWhenDone = 0;
    Halt(false);
}

void Halt(bool immediate)
{
    DevStream& s = theStream;
    Dev& dev = theDev;
    if (!dev.handle)
        return;
    StopScope scope;
    if (s.pending == 0) {
        ReadPosition();
        CloseDevice();
        return;
    }
    StopTimer();
    WaveDevices& devices = TheWaveDevices();
    if (dev.mode == DevMode::Playing) {
        devices.Pause(dev.handle);
        ReadPosition();
        s.stopping = 1;
        // Every outstanding buffer comes back through OnPlayDone.
        devices.Reset(WAVE_OUTPUT, dev.handle);
        dev.repeatLeft = 0;
    } else {
        s.stopping = 1;
        // A stop returns the partly filled buffer with what it holds. A
        // buffer still empty does not come back from a stop (nothing would
        // ever close the device): the reset returns every other buffer.
        if (!immediate && s.inputStarted)
            devices.Stop(dev.handle);
        devices.Reset(WAVE_INPUT, dev.handle);
    }
    // The buffer handlers run inside this wait, and the last one closes the
    // device. Waiting for the close rather than for the buffers: what the
    // close runs (a recording's completion) may start another playback.
    if (!immediate) {
        s.halting = 1;
        TheHost().PumpMessages(&s.halting);
        s.halting = 0;
    }
}

void CloseDevices()
{
    Stop();
    Dev& dev = theDev;
    if (!dev.handle)
        return;
    StopScope scope;
    DevStream& s = theStream;
    StopTimer();
    s.stopping = 1;
    dev.repeatLeft = 0;
    // A reset marks every buffer done before it returns, so each is handled
    // here, in order, rather than by a message to a frame about to go; the
    // last one closes the device. Their messages, should any still arrive,
    // find no buffer of the engine.
    int direction = OpenDirection();
    TheWaveDevices().Reset(direction, dev.handle);
    for (int left = s.buffers.Count(); left > 0 && dev.handle && s.buffers.Head(); left--) {
        KvWaveHdr* header = &static_cast<CWaveHdr*>(s.buffers.Head())->header;
        if (direction == WAVE_OUTPUT)
            OnPlayDone(header);
        else
            OnRecordData(header);
    }
    if (dev.handle)
        CloseDevice();
}

void OnPlayDone(KvWaveHdr* header)
{
    DevStream& s = theStream;
    Dev& dev = theDev;
    if (header) {
        CWaveHdr* buffer = FindBuffer(header);
        if (!buffer || dev.mode != DevMode::Playing) {
            Log("Dev:OnPlayDone unknown buffer");
            return;
        }
        CleanUpBuffer(buffer);
    }
    if (!dev.handle || dev.mode != DevMode::Playing)
        return;
    if (s.pending == 0) {
        ReadPosition();
        if (dev.repeatLeft == 0) {
            CloseDevice();
            return;
        }
        TheWaveDevices().Reset(WAVE_OUTPUT, dev.handle);
        SetUpRange(DevMode::Playing);
        dev.repeatLeft--;
        if (StartPass() != 0) {
            Halt(false);
            return;
        }
        ReadBackMapperControls();
        return;
    }
    if (s.stopping)
        return;
    // Enough is queued while two buffers are out holding more than one batch.
    if (s.pending > 1 && static_cast<int64_t>(s.nextPos) - s.donePos > TheDocument().bufferSamples)
        return;
    int rc = QueuePlayBatch();
    if (rc != 0) {
        Halt(true);
        TheHost().ShowError(rc);
    }
}

void OnPositionTimer()
{
    ReadPosition();
}

void ShowPositionTimer(bool shown)
{
    if (theDev.handle && shown)
        StartTimer();
    else
        StopTimer();
}

namespace {

class DeviceEngine : public EngineLink {
public:
    void Stop() override { ::Stop(); }
    // Called by the completion of the change, whose record is still open:
    // its samples are final, so that action does not refuse the play. A
    // change completed inside a stop (the recording an edit's stop ends)
    // plays nothing: the edit is about to change the samples.
    void PlayAfterChange() override
    {
        if (!TheDevOptions().playAfterChange || theStream.stopDepth > 0)
            return;
        TheApp().closeWhenDone = 0;
        int rc = StartPlay();
        if (rc > 0)
            Log("App:Play %d", rc);
    }
};

}

EngineLink& DeviceEngineLink()
{
    static DeviceEngine link;
    return link;
}
