#include "device/dev_options.h"

#include <algorithm>
#include <cstring>

#include "base/int_list.h"
#include "device/device_catalogue.h"

DevOptions::DevOptions()
{
    std::memset(&playCaps, 0, sizeof playCaps);
    std::memset(&recordCaps, 0, sizeof recordCaps);
    playCaps.wPid = MAPPER_PRODUCT_ID;
    recordCaps.wPid = MAPPER_PRODUCT_ID;
}

bool DevOptions::operator==(const DevOptions& other) const
{
    return playDevice == other.playDevice && recordDevice == other.recordDevice
        && repeatCount == other.repeatCount && playAfterChange == other.playAfterChange
        && playAfterSelection == other.playAfterSelection && recordLowPriority == other.recordLowPriority
        && std::memcmp(&playCaps, &other.playCaps, sizeof playCaps) == 0
        && std::memcmp(&recordCaps, &other.recordCaps, sizeof recordCaps) == 0
        && playProduct == other.playProduct && recordProduct == other.recordProduct;
}

DevOptions& TheDevOptions()
{
    static DevOptions options;
    return options;
}

void ResetDevOptions()
{
    TheDevOptions() = DevOptions();
}

void LoadDeviceOptions(const char* text)
{
    DevOptions& options = TheDevOptions();
    int32_t v[5];
    int n = ParseIntList(v, text, 5);
    // Numbers the text lacks keep the current values.
    if (n >= 1)
        options.playProduct = static_cast<uint16_t>(v[0]);
    if (n >= 2)
        options.recordProduct = static_cast<uint16_t>(v[1]);
    // A hand-edited count past the limit (or past 2^31, read as negative)
    // plays the most passes there are.
    if (n >= 3)
        options.repeatCount = std::min(static_cast<uint32_t>(v[2]), uint32_t{MAX_REPEAT_COUNT});
    if (n >= 4)
        options.playAfterChange = v[3] != 0 ? 1 : 0;
    if (n >= 5)
        options.playAfterSelection = v[4] != 0 ? 1 : 0;
    LookUpDevices();
}

void LookUpDevices()
{
    DevOptions& options = TheDevOptions();
    ChooseDevice(WAVE_OUTPUT, options, FindDeviceByProduct(WAVE_OUTPUT, options.playProduct));
    ChooseDevice(WAVE_INPUT, options, FindDeviceByProduct(WAVE_INPUT, options.recordProduct));
}

int SaveDeviceOptions(char* out, int size)
{
    const DevOptions& options = TheDevOptions();
    const int32_t values[5] = {
        options.playProduct,
        options.recordProduct,
        static_cast<int32_t>(options.repeatCount),
        options.playAfterChange ? 1 : 0,
        options.playAfterSelection ? 1 : 0,
    };
    return FormatIntArray(out, size, values, 5);
}
