#include "device/dev_options.h"

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
        && std::memcmp(&recordCaps, &other.recordCaps, sizeof recordCaps) == 0;
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
    uint16_t playProduct = options.playCaps.wPid;
    uint16_t recordProduct = options.recordCaps.wPid;
    if (n >= 1)
        playProduct = static_cast<uint16_t>(v[0]);
    if (n >= 2)
        recordProduct = static_cast<uint16_t>(v[1]);
    if (n >= 3)
        options.repeatCount = static_cast<uint32_t>(v[2]);
    if (n >= 4)
        options.playAfterChange = v[3] != 0 ? 1 : 0;
    if (n >= 5)
        options.playAfterSelection = v[4] != 0 ? 1 : 0;
    SelectPlayDevice(options, FindDeviceByProduct(WAVE_OUTPUT, playProduct));
    SelectRecordDevice(options, FindDeviceByProduct(WAVE_INPUT, recordProduct));
}

int SaveDeviceOptions(char* out, int size)
{
    const DevOptions& options = TheDevOptions();
    const int32_t values[5] = {
        options.playCaps.wPid,
        options.recordCaps.wPid,
        static_cast<int32_t>(options.repeatCount),
        options.playAfterChange ? 1 : 0,
        options.playAfterSelection ? 1 : 0,
    };
    return FormatIntArray(out, size, values, 5);
}
