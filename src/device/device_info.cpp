#include "device/device_info.h"

#include "device/wave_device.h"

const char NO_DEVICE_TEXT[] = "No Device";

namespace {

const char NOT_SUPPORTED[] = "Not Supported";

// Each rate has four bits: mono 8-bit, stereo 8-bit, mono 16-bit, stereo
// 16-bit, lowest first; the highest bit set names the best format.
const char* const FORMAT_TEXTS[4] = {"Mono, 8-bit", "Stereo, 8-bit", "Mono, 16-bit", "Stereo, 16-bit"};

}

const char* FormatSupportText(uint32_t formats, int rate)
{
    if (rate < RATE_11025 || rate > RATE_44100)
        return NOT_SUPPORTED;
    const uint32_t bits = (formats >> (4 * rate)) & 0xF;
    for (int b = 3; b >= 0; b--)
        if (bits & (1u << b))
            return FORMAT_TEXTS[b];
    return NOT_SUPPORTED;
}

const char* ControlSupportText(uint32_t support, uint32_t bit)
{
    return (support & bit) ? "Supported" : NOT_SUPPORTED;
}

const char* VolumeSupportText(uint32_t support)
{
    if (!(support & DEVCAPS_VOLUME))
        return NOT_SUPPORTED;
    return (support & DEVCAPS_LRVOLUME) ? "Stereo" : "Mono";
}
