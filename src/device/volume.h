// The play device's volume and playback rate, as last read into the engine
// (TheDev().volume, TheDev().playbackRate). Each operation uses the engine's
// output while it plays; otherwise it opens the play device briefly with the
// document's format, so it works whether or not the engine is open.
#pragma once

#include <cstdint>

// False at once unless the play device reports a playback rate; else true
// when the rate was read.
bool ReadPlaybackRate();

// False at once unless the play device reports volume control; else true
// when the volume was read.
bool ReadVolume();

// Sets the volume (0..65535 per channel); the right value counts only for a
// device with separate left and right volume, else both take the left one.
// Nothing happens without volume control.
void SetVolume(uint32_t left, uint32_t right);

// What the devices can do now: volume, rate and format support read again
// (the UpdDevCaps update and the application becoming active).
void UpdateDeviceCaps();
