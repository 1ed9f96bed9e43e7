#include "device/wave_device_win.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstddef>
#include <cstring>

#include "base/host.h"

// The core's records are the platform's, byte for byte: headers and
// capability records are handed over as they are.
static_assert(sizeof(KvWaveHdr) == sizeof(WAVEHDR), "WAVEHDR layout");
static_assert(offsetof(KvWaveHdr, dwBufferLength) == offsetof(WAVEHDR, dwBufferLength), "WAVEHDR layout");
static_assert(offsetof(KvWaveHdr, dwBytesRecorded) == offsetof(WAVEHDR, dwBytesRecorded), "WAVEHDR layout");
static_assert(offsetof(KvWaveHdr, dwUser) == offsetof(WAVEHDR, dwUser), "WAVEHDR layout");
static_assert(offsetof(KvWaveHdr, dwFlags) == offsetof(WAVEHDR, dwFlags), "WAVEHDR layout");
static_assert(offsetof(KvWaveHdr, reserved) == offsetof(WAVEHDR, reserved), "WAVEHDR layout");
static_assert(sizeof(KvWaveOutCaps) == sizeof(WAVEOUTCAPSA), "WAVEOUTCAPS layout");
static_assert(sizeof(KvWaveInCaps) == sizeof(WAVEINCAPSA), "WAVEINCAPS layout");
static_assert(DEV_CALLBACK_WINDOW == CALLBACK_WINDOW && DEV_FORMAT_QUERY == WAVE_FORMAT_QUERY
                  && DEV_ALLOWSYNC == WAVE_ALLOWSYNC && DEV_MAPPED == WAVE_MAPPED,
              "open flags");
static_assert(DEVHDR_PREPARED == WHDR_PREPARED && DEVCAPS_SYNC == WAVECAPS_SYNC, "flags");

namespace {

WAVEHDR* Header(KvWaveHdr* header)
{
    return reinterpret_cast<WAVEHDR*>(header);
}

HWAVEOUT Out(WaveHandle handle)
{
    return static_cast<HWAVEOUT>(handle);
}

HWAVEIN In(WaveHandle handle)
{
    return static_cast<HWAVEIN>(handle);
}

// The platform numbers the mapper as the largest unsigned id.
UINT DeviceNumber(int32_t id)
{
    return static_cast<UINT>(id);
}

class SystemWaveDevices : public WaveDevices {
public:
    uint32_t Count(int direction) override
    {
        return direction == WAVE_OUTPUT ? waveOutGetNumDevs() : waveInGetNumDevs();
    }

    int GetOutCaps(int32_t id, KvWaveOutCaps& caps) override
    {
        return static_cast<int>(waveOutGetDevCapsA(static_cast<UINT_PTR>(DeviceNumber(id)),
            reinterpret_cast<WAVEOUTCAPSA*>(&caps), sizeof(WAVEOUTCAPSA)));
    }

    int GetInCaps(int32_t id, KvWaveInCaps& caps) override
    {
        return static_cast<int>(waveInGetDevCapsA(static_cast<UINT_PTR>(DeviceNumber(id)),
            reinterpret_cast<WAVEINCAPSA*>(&caps), sizeof(WAVEINCAPSA)));
    }

    int Open(int direction, WaveHandle* handle, int32_t id, const KvWaveFormat* format, uint32_t flags) override
    {
        if (handle)
            *handle = nullptr;
        if (!format)
            return MMSYSERR_INVALPARAM;
        // A PCM record is 16 bytes: its cbSize is not there to be read.
        WAVEFORMATEX pcm;
        const WAVEFORMATEX* wfx = reinterpret_cast<const WAVEFORMATEX*>(format);
        if (format->wFormatTag == WAVE_FORMAT_PCM) {
            std::memcpy(&pcm, format, 16);
            pcm.cbSize = 0;
            wfx = &pcm;
        }
        DWORD_PTR callback = 0;
        if (flags & DEV_CALLBACK_WINDOW) {
            void* frame = TheHost().FrameWindow();
            if (!frame)
                return MMSYSERR_INVALPARAM;
            callback = reinterpret_cast<DWORD_PTR>(frame);
        }
        bool query = (flags & DEV_FORMAT_QUERY) != 0;
        MMRESULT rc;
        if (direction == WAVE_OUTPUT) {
            HWAVEOUT out = nullptr;
            rc = waveOutOpen(query ? nullptr : &out, DeviceNumber(id), wfx, callback, 0, flags);
            if (rc == MMSYSERR_NOERROR && handle)
                *handle = out;
        } else {
            HWAVEIN in = nullptr;
            rc = waveInOpen(query ? nullptr : &in, DeviceNumber(id), wfx, callback, 0, flags);
            if (rc == MMSYSERR_NOERROR && handle)
                *handle = in;
        }
        return static_cast<int>(rc);
    }

    int Close(int direction, WaveHandle handle) override
    {
        MMRESULT rc = direction == WAVE_OUTPUT ? waveOutClose(Out(handle)) : waveInClose(In(handle));
        if (rc == MMSYSERR_NOERROR && handle == countedHandle)
            countedHandle = nullptr;
        return static_cast<int>(rc);
    }

    int Prepare(int direction, WaveHandle handle, KvWaveHdr* header) override
    {
        return static_cast<int>(direction == WAVE_OUTPUT
                ? waveOutPrepareHeader(Out(handle), Header(header), sizeof(WAVEHDR))
                : waveInPrepareHeader(In(handle), Header(header), sizeof(WAVEHDR)));
    }

    int Unprepare(int direction, WaveHandle handle, KvWaveHdr* header) override
    {
        return static_cast<int>(direction == WAVE_OUTPUT
                ? waveOutUnprepareHeader(Out(handle), Header(header), sizeof(WAVEHDR))
                : waveInUnprepareHeader(In(handle), Header(header), sizeof(WAVEHDR)));
    }

    int Queue(int direction, WaveHandle handle, KvWaveHdr* header) override
    {
        return static_cast<int>(direction == WAVE_OUTPUT
                ? waveOutWrite(Out(handle), Header(header), sizeof(WAVEHDR))
                : waveInAddBuffer(In(handle), Header(header), sizeof(WAVEHDR)));
    }

    int Reset(int direction, WaveHandle handle) override
    {
        if (handle == countedHandle)
            count.Restart();
        return static_cast<int>(direction == WAVE_OUTPUT ? waveOutReset(Out(handle)) : waveInReset(In(handle)));
    }

    int Pause(WaveHandle output) override { return static_cast<int>(waveOutPause(Out(output))); }
    int Start(WaveHandle input) override { return static_cast<int>(waveInStart(In(input))); }
    int Stop(WaveHandle input) override { return static_cast<int>(waveInStop(In(input))); }

    int GetPosition(int direction, WaveHandle handle, uint64_t* bytes) override
    {
        MMTIME time = {};
        time.wType = TIME_BYTES;
        MMRESULT rc = direction == WAVE_OUTPUT ? waveOutGetPosition(Out(handle), &time, sizeof time)
                                               : waveInGetPosition(In(handle), &time, sizeof time);
        if (rc != MMSYSERR_NOERROR)
            return static_cast<int>(rc);
        // A driver may answer in another unit than asked for.
        if (time.wType != TIME_BYTES)
            return MMSYSERR_NOTSUPPORTED;
        // The engine reads one open device's position; another handle
        // starts its own count.
        if (handle != countedHandle) {
            countedHandle = handle;
            count.Restart();
        }
        *bytes = count.Extend(time.u.cb);
        return MMSYSERR_NOERROR;
    }

    int GetId(int direction, WaveHandle handle, int32_t* id) override
    {
        UINT number = 0;
        MMRESULT rc = direction == WAVE_OUTPUT ? waveOutGetID(Out(handle), &number) : waveInGetID(In(handle), &number);
        if (rc == MMSYSERR_NOERROR)
            *id = static_cast<int32_t>(number);
        return static_cast<int>(rc);
    }

    int GetVolume(WaveHandle output, uint32_t* volume) override
    {
        DWORD value = 0;
        MMRESULT rc = waveOutGetVolume(Out(output), &value);
        if (rc == MMSYSERR_NOERROR)
            *volume = value;
        return static_cast<int>(rc);
    }

    int SetVolume(WaveHandle output, uint32_t volume) override
    {
        return static_cast<int>(waveOutSetVolume(Out(output), volume));
    }

    int GetPlaybackRate(WaveHandle output, uint32_t* rate) override
    {
        DWORD value = 0;
        MMRESULT rc = waveOutGetPlaybackRate(Out(output), &value);
        if (rc == MMSYSERR_NOERROR)
            *rate = value;
        return static_cast<int>(rc);
    }

    int Message(int direction, WaveHandle handle, uint32_t message, uintptr_t param1, uintptr_t param2) override
    {
        DWORD rc = direction == WAVE_OUTPUT ? waveOutMessage(Out(handle), message, param1, param2)
                                            : waveInMessage(In(handle), message, param1, param2);
        return static_cast<int>(rc);
    }

private:
    // The device whose byte count is being extended past its 32 bits.
    WaveHandle countedHandle = nullptr;
    WrappingByteCount count;
};

SystemWaveDevices systemDevices;

}

WaveDevices& TheSystemWaveDevices()
{
    return systemDevices;
}
