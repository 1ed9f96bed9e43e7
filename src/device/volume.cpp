#include "device/volume.h"

#include "base/app_options.h"
#include "device/dev_options.h"
#include "device/device_catalogue.h"
#include "device/engine.h"
#include "lib/log.h"
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
    bool IsTemporary() const { return opened != nullptr; }

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
    Dev& dev = TheDev();
    // An output opened only for this read starts, where the system keeps the
    // volume per open output, at that system's default, not at the volume the
    // user chose, which exists for as long as the engine gives it to every
    // output it opens for playing. Such a reading still tells that the volume
    // can be read, but it must not replace the choice; the engine's own
    // output while it plays tells the volume really heard.
    if (output.IsTemporary() && dev.volumeChosen)
        dev.volume = dev.chosenVolume;
    else
        dev.volume = volume;
    return true;
}

bool SetVolume(uint32_t left, uint32_t right)
{
    if (!Supports(DEVCAPS_VOLUME))
        return false;
    if (!Supports(DEVCAPS_LRVOLUME))
        right = left;
    uint32_t volume = (right << 16) | (left & 0xFFFF);
    PlayHandle output;
    if (!output.handle || TheWaveDevices().SetVolume(output.handle, volume) != DEVERR_NONE)
        return false;
    Dev& dev = TheDev();
    dev.volume = volume;
    dev.chosenVolume = volume;
    dev.volumeChosen = true;
    return true;
}

uint32_t VolumeFromStep(int32_t step)
{
    step = step < 0 ? 0 : step > VOLUME_STEP_MAX ? VOLUME_STEP_MAX : step;
    return static_cast<uint32_t>(step) * VOLUME_STEP_UNITS;
}

int32_t StepFromVolume(uint32_t channelVolume)
{
    return static_cast<int32_t>((channelVolume & 0xFFFF) / VOLUME_STEP_UNITS);
}

void ApplyChosenVolume(WaveHandle output)
{
    const Dev& dev = TheDev();
    if (!output || !dev.volumeChosen || !Supports(DEVCAPS_VOLUME))
        return;
    // Best effort: a device that refuses plays at its own volume.
    int rc = TheWaveDevices().SetVolume(output, dev.chosenVolume);
    if (rc != DEVERR_NONE)
        Log("Dev:waveOutSetVolume %d", rc);
}

void UpdateDeviceCaps()
{
    ReadVolume();
    ReadPlaybackRate();
    QueryFormatSupport();
}
