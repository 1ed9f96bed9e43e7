#include "device/wave_device.h"

#include "base/error_message.h"

namespace {

// A system without wave devices: every id is unknown.
class NoWaveDevices : public WaveDevices {
public:
    uint32_t Count(int) override { return 0; }
    int GetOutCaps(int32_t, KvWaveOutCaps&) override { return DEVERR_BADDEVICEID; }
    int GetInCaps(int32_t, KvWaveInCaps&) override { return DEVERR_BADDEVICEID; }
    int Open(int, WaveHandle* handle, int32_t, const KvWaveFormat*, uint32_t) override
    {
        if (handle)
            *handle = nullptr;
        return DEVERR_BADDEVICEID;
    }
    int Close(int, WaveHandle) override { return DEVERR_INVALHANDLE; }
    int Prepare(int, WaveHandle, KvWaveHdr*) override { return DEVERR_INVALHANDLE; }
    int Unprepare(int, WaveHandle, KvWaveHdr*) override { return DEVERR_INVALHANDLE; }
    int Queue(int, WaveHandle, KvWaveHdr*) override { return DEVERR_INVALHANDLE; }
    int Reset(int, WaveHandle) override { return DEVERR_INVALHANDLE; }
    int Pause(WaveHandle) override { return DEVERR_INVALHANDLE; }
    int Start(WaveHandle) override { return DEVERR_INVALHANDLE; }
    int Stop(WaveHandle) override { return DEVERR_INVALHANDLE; }
    int GetPosition(int, WaveHandle, uint64_t*) override { return DEVERR_INVALHANDLE; }
    int GetId(int, WaveHandle, int32_t*) override { return DEVERR_INVALHANDLE; }
    int GetVolume(WaveHandle, uint32_t*) override { return DEVERR_INVALHANDLE; }
    int SetVolume(WaveHandle, uint32_t) override { return DEVERR_INVALHANDLE; }
    int GetPlaybackRate(WaveHandle, uint32_t*) override { return DEVERR_INVALHANDLE; }
    int Message(int, WaveHandle, uint32_t, uintptr_t, uintptr_t) override { return DEVERR_INVALHANDLE; }
};

NoWaveDevices noDevices;
WaveDevices* current = &noDevices;

}

uint64_t WrappingByteCount::Extend(uint32_t reading)
{
    constexpr uint64_t WRAP = uint64_t{1} << 32;
    uint64_t value = (last & ~(WRAP - 1)) | reading;
    if (value < last)
        value += WRAP;
    last = value;
    return value;
}

WaveDevices& TheWaveDevices()
{
    return *current;
}

void SetWaveDevices(WaveDevices* devices)
{
    current = devices ? devices : &noDevices;
}

int MapDeviceResult(int result)
{
    switch (result) {
    case DEVERR_INVALFLAG:
    case DEVERR_INVALPARAM:
    case DEVERR_BADFORMAT:
        return ERR_UNSUPPORTED_FORMAT;
    case DEVERR_ALLOCATED:
    case DEVERR_STILLPLAYING:
        return ERR_DEVICE_BUSY;
    case DEVERR_INVALHANDLE:
    case DEVERR_NOMEM:
        return ERR_NO_MEMORY;
    default:
        return ERR_DEVICE_FAILED;
    }
}
