// The wave devices as the core sees them: per direction an index-addressed
// list of devices with their capability records, and the handle operations
// the play/record engine needs. The program installs the system's devices
// (wave_device_win.cpp); tests install their own. Without an installation
// the system has no devices at all.
//
// Buffers are platform wave headers that the engine allocates, owns and
// keeps alive until they come back. A device opened with DEV_CALLBACK_WINDOW
// returns each finished buffer as a message to the frame window, in the
// order the buffers were queued, and the frame hands the header to the
// engine (OnPlayDone, OnRecordData): everything happens on the one
// user-interface thread, never inside these calls.
//
// Results are the platform's (0 success, DEVERR_* otherwise); the engine
// maps them to error ids (MapDeviceResult).
#pragma once

#include <cstdint>

#include "sound/wave_format.h"

enum WaveDirection { WAVE_OUTPUT = 0, WAVE_INPUT = 1 };

// Device ids: 0 .. n-1 address the devices of a direction.
enum : int32_t {
    WAVE_MAPPER_ID = -1,        // the platform picks a device that takes the format
    NO_DEVICE_ID = -2,          // the system has no device of this direction
};

// Platform results, numbered as the platform numbers them.
enum : int {
    DEVERR_NONE = 0,
    DEVERR_ERROR = 1,
    DEVERR_BADDEVICEID = 2,
    DEVERR_ALLOCATED = 4,       // in use by another program
    DEVERR_INVALHANDLE = 5,
    DEVERR_NODRIVER = 6,
    DEVERR_NOMEM = 7,
    DEVERR_NOTSUPPORTED = 8,
    DEVERR_INVALFLAG = 10,
    DEVERR_INVALPARAM = 11,
    DEVERR_BADFORMAT = 32,
    DEVERR_STILLPLAYING = 33,
};

// Open flags, numbered as the platform numbers them.
enum : uint32_t {
    DEV_FORMAT_QUERY = 0x1,     // only ask whether the format could be opened
    DEV_ALLOWSYNC = 0x2,
    DEV_MAPPED = 0x4,           // the mapper may convert for this device id
    DEV_CALLBACK_WINDOW = 0x10000,
};

// Header flags (dwFlags).
enum : uint32_t {
    DEVHDR_DONE = 0x1,
    DEVHDR_PREPARED = 0x2,
    DEVHDR_INQUEUE = 0x10,
};

// Support bits of an output device (KvWaveOutCaps::dwSupport).
enum : uint32_t {
    DEVCAPS_PITCH = 0x1,
    DEVCAPS_PLAYBACKRATE = 0x2,
    DEVCAPS_VOLUME = 0x4,
    DEVCAPS_LRVOLUME = 0x8,     // left and right volume may differ
    DEVCAPS_SYNC = 0x10,        // a synchronous device: play blocks, no repeat
};

// The platform's capability records, byte for byte: they are compared and
// saved whole with the device options.
struct KvWaveOutCaps {
    uint16_t wMid;
    uint16_t wPid;              // product id
    uint32_t vDriverVersion;
    char szPname[32];
    uint32_t dwFormats;
    uint16_t wChannels;
    uint16_t wReserved1;
    uint32_t dwSupport;
};
static_assert(sizeof(KvWaveOutCaps) == 52, "WAVEOUTCAPS layout");

struct KvWaveInCaps {
    uint16_t wMid;
    uint16_t wPid;
    uint32_t vDriverVersion;
    char szPname[32];
    uint32_t dwFormats;
    uint16_t wChannels;
    uint16_t wReserved1;
};
static_assert(sizeof(KvWaveInCaps) == 48, "WAVEINCAPS layout");

// The platform wave header (WAVEHDR): 32 bytes on 32-bit Windows, 48 on
// 64-bit. The device reads or fills lpData and sets dwFlags and
// dwBytesRecorded; dwUser is the owner's.
struct KvWaveHdr {
    uint8_t* lpData;
    uint32_t dwBufferLength;
    uint32_t dwBytesRecorded;
    uintptr_t dwUser;
    uint32_t dwFlags;
    uint32_t dwLoops;
    KvWaveHdr* lpNext;
    uintptr_t reserved;
};

// An open device; null is none.
using WaveHandle = void*;

class WaveDevices {
public:
    virtual ~WaveDevices() = default;

    // Devices of a direction (ids 0 .. count-1).
    virtual uint32_t Count(int direction) = 0;
    // Capabilities of a device id; the mapper (-1) answers with its own.
    virtual int GetOutCaps(int32_t id, KvWaveOutCaps& caps) = 0;
    virtual int GetInCaps(int32_t id, KvWaveInCaps& caps) = 0;

    // Opens device `id` for `format` with DEV_* flags. With
    // DEV_FORMAT_QUERY nothing is opened and handle may be null.
    virtual int Open(int direction, WaveHandle* handle, int32_t id, const KvWaveFormat* format,
                     uint32_t flags) = 0;
    virtual int Close(int direction, WaveHandle handle) = 0;
    virtual int Prepare(int direction, WaveHandle handle, KvWaveHdr* header) = 0;
    virtual int Unprepare(int direction, WaveHandle handle, KvWaveHdr* header) = 0;
    // Output: plays the buffer after those queued. Input: adds it to the
    // buffers to record into.
    virtual int Queue(int direction, WaveHandle handle, KvWaveHdr* header) = 0;
    // Returns every queued buffer at once (as messages) and sets the
    // position back to 0.
    virtual int Reset(int direction, WaveHandle handle) = 0;
    virtual int Pause(WaveHandle output) = 0;
    virtual int Start(WaveHandle input) = 0;
    // Returns the buffer being recorded, partly filled; the others stay queued.
    virtual int Stop(WaveHandle input) = 0;
    // Bytes played or recorded since the open or the last reset, in 64 bits
    // (the platform's 32-bit count extended by WrappingByteCount).
    virtual int GetPosition(int direction, WaveHandle handle, uint64_t* bytes) = 0;
    // The real device id of an open handle (the mapper's choice).
    virtual int GetId(int direction, WaveHandle handle, int32_t* id) = 0;
    // Volume: left channel in the low word, right in the high word.
    virtual int GetVolume(WaveHandle output, uint32_t* volume) = 0;
    virtual int SetVolume(WaveHandle output, uint32_t volume) = 0;
    // 16.16 fixed point, 0x10000 = normal speed.
    virtual int GetPlaybackRate(WaveHandle output, uint32_t* rate) = 0;
    // A driver-defined message to an open device.
    virtual int Message(int direction, WaveHandle handle, uint32_t message, uintptr_t param1,
                        uintptr_t param2) = 0;
};

// A device's byte count as the platform reports it, 32 bits that wrap after
// 4 GiB (6.7 hours of CD stereo), extended to 64 bits: a reading below the
// previous one has wrapped once more. Exact while the count is read at least
// once per 4 GiB; the engine's position timer reads it ten times a second.
class WrappingByteCount {
public:
    uint64_t Extend(uint32_t reading);
    // The device set its count back to 0 (opened or reset).
    void Restart() { last = 0; }

private:
    uint64_t last = 0;
};

// The installed devices, never null.
WaveDevices& TheWaveDevices();
// Installs the devices (borrowed; null: a system without devices).
void SetWaveDevices(WaveDevices* devices);

// The error id for a failed platform call: 256 for a refused format or
// flags, 254 for a device in use, 247 for memory and handles, else 255.
int MapDeviceResult(int result);
