#include "device/volume.h"

#include "base/app_options.h"
#include "device/dev_options.h"
#include "device/device_catalogue.h"
#include "device/engine.h"
#include "sound/document.h"

namespace {

// The output the controls act on: the engine's while it plays, else the
// play device opened for the document's format, without callback, for as
// long as this object lives.
class PlayHandle {
public:
    PlayHandle()
    {
        const Dev& dev = TheDev();
        if (dev.handle && dev.mode == DevMode::Playing) {
            handle = dev.handle;
            return;
        }
        const KvWaveFormat* format = TheDocument().format.Record();
        if (format
            && TheWaveDevices().Open(WAVE_OUTPUT, &opened, DeviceIdFor(DevMode::Playing), format, DEV_ALLOWSYNC)
                == DEVERR_NONE)
            handle = opened;
    }
    ~PlayHandle()
    {
        if (opened)
            TheWaveDevices().Close(WAVE_OUTPUT, opened);
    }
    PlayHandle(const PlayHandle&) = delete;
    PlayHandle& operator=(const PlayHandle&) = delete;

    WaveHandle handle = nullptr;

private:
    WaveHandle opened = nullptr;
};

bool Supports(uint32_t bits)
{
    return (TheDevOptions().playCaps.dwSupport & bits) != 0;
}

}

bool ReadPlaybackRate()
{
    if (!Supports(DEVCAPS_PLAYBACKRATE))
        return false;
    PlayHandle output;
    uint32_t rate;
    if (!output.handle || TheWaveDevices().GetPlaybackRate(output.handle, &rate) != DEVERR_NONE)
        return false;
    TheDev().playbackRate = rate;
    return true;
}

bool ReadVolume()
{
    if (!Supports(DEVCAPS_VOLUME))
        return false;
    PlayHandle output;
    uint32_t volume;
    if (!output.handle || TheWaveDevices().GetVolume(output.handle, &volume) != DEVERR_NONE)
        return false;
    TheDev().volume = volume;
    return true;
}

void SetVolume(uint32_t left, uint32_t right)
{
    if (!Supports(DEVCAPS_VOLUME))
        return;
    if (!Supports(DEVCAPS_LRVOLUME))
        right = left;
    Dev& dev = TheDev();
    dev.volume = (right << 16) | (left & 0xFFFF);
    PlayHandle output;
    if (output.handle)
        TheWaveDevices().SetVolume(output.handle, dev.volume);
}

void UpdateDeviceCaps()
{
    ReadVolume();
    ReadPlaybackRate();
    QueryFormatSupport();
}
