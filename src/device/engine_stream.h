// The engine's stream state and buffer bookkeeping, shared by the play side
// (engine.cpp) and the record side (engine_record.cpp). Not for other parts.
#pragma once

#include <cstdint>
#include <memory>

#include "device/engine.h"
#include "lib/ob_list.h"

class CKV_BUFFER;

// One buffer handed to the device. It points into one document chunk (a
// buffer never spans two) and holds one lock on it until it comes back.
class CWaveHdr : public CGObListRec {
public:
    CKV_BUFFER* run = nullptr;
    bool locked = false;
    // Mix-mode recording: the device records into a fresh block exchanged
    // for the chunk's storage, which waits here until the buffer is back.
    bool exchanged = false;
    std::unique_ptr<uint8_t[]> savedStorage;
    uint32_t savedBytes = 0;
    KvWaveHdr header = {};
};

// A chunk's storage exchanged for a fresh block, handed to QueueBuffer.
struct StorageExchange {
    std::unique_ptr<uint8_t[]> saved;
    uint32_t savedBytes = 0;
};

// All positions are document blocks.
struct DevStream {
    int32_t donePos = 0;        // just behind the last buffer that came back
    int32_t nextPos = 0;        // where the next buffer starts
    int32_t remaining = 0;      // blocks of the range not yet handed to the device
    int32_t basePos = 0;        // where the device started: its byte counts are relative to it
    int pending = 0;            // buffers out
    int halting = 0;            // Halt routes messages until the device closes
    // Halts in progress. Meanwhile nothing may start: whoever stops expects
    // the device closed when the stop returns (an edit then changes the
    // samples), so Play and Record are refused and a change completed inside
    // the stop (the recording it ends) is not played.
    int stopDepth = 0;
    uint8_t stopping = 0;       // a stop was asked while buffers were out
    uint32_t timerId = 0;       // 0: no position timer runs
    bool inputStarted = false;  // the input device was started (a stop needs a start)
    bool recordOpen = false;    // the "Record" action is prepared and not yet completed
    CGObList buffers;           // the CWaveHdr objects out, oldest first
};

DevStream& TheDevStream();

// The direction of the engine's open device.
int OpenDirection();

// Halts until no device is open; false when one stays open.
bool HaltUntilClosed();

// Play and Record must not start now: a stop waits for the device, or an
// action other than the engine's own recording runs (its samples may change
// or go under buffers queued now).
bool StartRefused();

// Range set-up, and opening the device for `mode` when none is open. 0, -1
// (nothing to play) or an error id.
int SetUpRange(DevMode mode);

// Queues `count` blocks at nextPos, which lies in `run` (starting at
// runStart). With an exchange the chunk's storage was swapped for a fresh
// block; on failure the swap is undone. 0 or an error id.
int QueueBuffer(CKV_BUFFER* run, int32_t runStart, int32_t count, StorageExchange* exchange = nullptr);

// Releases a returned (or refused) buffer.
void CleanUpBuffer(CWaveHdr* buffer);

// The engine's buffer carrying this header, or null.
CWaveHdr* FindBuffer(const KvWaveHdr* header);

// The play position follows the device (not while stopping).
void ReadPosition();

// The play position moved from oldPos to newPos while recording.
void RecordProgress(int32_t oldPos, int32_t newPos);

// Closes the device: mode Closed, the close request when asked for, and a
// recording's action completed.
void CloseDevice();

// Record side.
int QueueRecordChunk();
void CompleteRecordAction(uint32_t flags);
