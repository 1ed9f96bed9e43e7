// The play and record engine: plays a range of the document through the
// chosen output device and records from the chosen input device into the
// document, in buffers that point straight into the document's chunks (the
// chunks stay locked while their buffers are out). It keeps the play
// position moving while a device is open, repeats play when asked, and
// tells the views what changed through UpdateViews.
//
// Everything runs on the user-interface thread: the devices return their
// buffers as messages to the frame window, which hands them to OnPlayDone
// and OnRecordData. Results are 0, -1 (nothing to do, nothing to show) or
// an error id for the caller to show; in the middle of play or record (the
// buffer handlers) the engine halts and shows the error itself.
#pragma once

#include <cstdint>

#include "device/wave_device.h"
#include "edit/links.h"

enum class DevMode : uint32_t {
    Closed = 0,
    Playing = 1,
    Recording = 2,
};

// The id of the position timer the engine runs on the frame window while a
// device is open (100 ms).
enum : uint32_t { DEV_TIMER_ID = 1, DEV_TIMER_MS = 100 };

// Driver message sent when "Record in low priority voice mode" is on.
enum : uint32_t { DEV_LOW_PRIORITY_MESSAGE = 0x4093 };

struct Dev {
    WaveHandle handle = nullptr;        // the open output or input device
    DevMode mode = DevMode::Closed;
    uint32_t repeatLeft = 0;            // passes still to play after this one
    // Samples; the document length when a range is set up. While recording
    // in Insert mode it grows with the play position: the total to show.
    int32_t recordedLength = 0;
    uint32_t volume = 0xFFFFFFFF;       // left in the low word, right in the high word
    // The last volume the user set that the device accepted. Some systems
    // (Wine) keep the volume per open output rather than per device, so the
    // engine gives it to every output it opens for playing.
    uint32_t chosenVolume = 0xFFFFFFFF;
    bool volumeChosen = false;
    uint32_t playbackRate = 0x10000;    // 16.16 fixed point
    bool playFormatOk = false;          // the play device takes the document's format
    bool recordFormatOk = false;
    // The engine was playing when a move of the play position last stopped
    // it: the end of that move plays on from the new position.
    bool playingWhenMoved = false;
};

Dev& TheDev();

// Forgets every buffer and the open device without touching either, and
// restores the initial state (start-up and tests).
void ResetDev();

// Plays the selection, or from the play position to the end when nothing
// is selected (a play position inside the range starts there). Stops
// whatever runs first and clears closeWhenDone. Repeats by the options'
// repeat count while the frame is visible. 0, -1 (nothing to play, or
// refused: nothing changes) or an error id. Refused while an action other
// than a recording runs, and while a stop waits for the device: the buffers
// would point into samples about to change or go.
int Play();

// Play as start-up starts it: closeWhenDone is kept, so the program closes
// when this playback ends.
int PlayAtStartUp();

// Records over the range Play would play as one undoable "Record" action:
// Insert mode inserts what is recorded (up to the BUFFERS record limit when
// nothing lies ahead), Mix mode mixes it into the selection, Replace mode
// overwrites it. 0, -1 (refused as Play is, or the action could not be
// prepared) or an error id.
int Record();

// Stops playing or recording and waits until every buffer is back and the
// device closed. Stopping a running device also clears closeWhenDone: the
// program stays open once its start-up playback was interrupted. Nothing
// starts inside a stop: the recording it ends is completed but not played.
void Stop();

// Stops without touching closeWhenDone. An immediate halt does not wait for
// the buffers: the last one to come back closes the device.
void Halt(bool immediate);

// Before the frame and the document go: stops as Stop does, and when the
// wait ends with buffers still out (the message loop is quitting), takes
// them back from the device at once. The device is closed on return.
void CloseDevices();

// The device messages, with the header they carry.
void OnPlayDone(KvWaveHdr* header);
void OnRecordData(KvWaveHdr* header);

// The position timer: the play position follows the device.
void OnPositionTimer();
// The frame is shown or hidden: the timer runs only while a device is open
// and the frame is shown.
void ShowPositionTimer(bool shown);

// The options' play device for Playing, else the record device; for the
// mapper the real device while the engine is open in that mode.
int32_t DeviceIdFor(DevMode mode);

// The engine as the editing actions reach it (edit/links.h).
EngineLink& DeviceEngineLink();
