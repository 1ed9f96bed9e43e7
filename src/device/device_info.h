// What the device information dialogs say about a device's capabilities.
#pragma once

#include <cstdint>

enum DeviceRate { RATE_11025 = 0, RATE_22050 = 1, RATE_44100 = 2 };

// The best format the device takes at the rate, from the four format bits
// of that rate in a capability record's format field: "Stereo, 16-bit",
// "Mono, 16-bit", "Stereo, 8-bit", "Mono, 8-bit" or "Not Supported".
const char* FormatSupportText(uint32_t formats, int rate);

// "Supported" or "Not Supported" for one capability bit of a play device.
const char* ControlSupportText(uint32_t support, uint32_t bit);

// Volume control: "Stereo" (left and right apart), "Mono" or "Not Supported".
const char* VolumeSupportText(uint32_t support);

// The name shown for a device whose capabilities cannot be read.
extern const char NO_DEVICE_TEXT[];     // "No Device"
