// The play device's volume and playback rate, as last read into the engine
// (TheDev().volume, TheDev().playbackRate). Each operation uses the engine's
// output while it plays; otherwise it opens the play device briefly with the
// document's format, so it works whether or not the engine is open.
#pragma once

#include <cstdint>

#include "device/wave_device.h"

// False at once unless the play device reports a playback rate; else true
// when the rate was read.
bool ReadPlaybackRate();

// False at once unless the play device reports volume control; else true
// when the volume was read.
bool ReadVolume();

// Sets the volume (0..65535 per channel); the right value counts only for a
// device with separate left and right volume, else both take the left one.
// True when the device took it; only then does it become the engine's
// volume and the one every later playback starts with. False, with nothing
// changed, without volume control or when the device refuses.
bool SetVolume(uint32_t left, uint32_t right);

// The outputs' volume as the volume slider steps it: 0..VOLUME_STEP_MAX.
// A step is 257 device units, so that the top step is the device's full
// 0xFFFF and the middle one (128) about 6 dB below it.
enum { VOLUME_STEP_MAX = 255, VOLUME_STEP_UNITS = 257 };
uint32_t VolumeFromStep(int32_t step);          // clamped to 0..VOLUME_STEP_MAX
int32_t StepFromVolume(uint32_t channelVolume); // of the low word

// The engine has just opened `output` for playing: it gets the volume the
// user chose, if any.
void ApplyChosenVolume(WaveHandle output);

// What the devices can do now: volume, rate and format support read again
// (the UpdDevCaps update and the application becoming active).
void UpdateDeviceCaps();
