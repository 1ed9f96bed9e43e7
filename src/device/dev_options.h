// The device options: which play and record devices the user chose, with
// the capabilities each reported, and how play behaves. One single object
// (TheDevOptions()), compared, copied and saved for undo as a whole.
//
// The choice is kept in the settings ("DEVICE") by the devices' product ids,
// not by their place in the system's list, so that it survives devices
// being added. Product id 2 stands for the wave mapper ("Best Available
// Device").
#pragma once

#include <cstdint>

#include "device/wave_device.h"

enum : uint16_t { MAPPER_PRODUCT_ID = 2 };

struct DevOptions {
    DevOptions();

    int32_t playDevice = WAVE_MAPPER_ID;     // -1 mapper, -2 no device, else a device id
    int32_t recordDevice = WAVE_MAPPER_ID;
    uint32_t repeatCount = 1;               // passes per Play, 1..100; 0 = until stopped
    uint8_t playAfterChange = 0;            // play the result of each sound change
    uint8_t playAfterSelection = 0;         // play each new selection the user makes
    uint8_t recordLowPriority = 0;          // not stored: off at every start
    KvWaveOutCaps playCaps;                 // zero when the query failed
    KvWaveInCaps recordCaps;

    bool operator==(const DevOptions& other) const;
    bool operator!=(const DevOptions& other) const { return !(*this == other); }
};

DevOptions& TheDevOptions();
// Back to the defaults: the mapper for both, one pass (start-up and tests).
void ResetDevOptions();

// The "DEVICE" text: up to five numbers, play product id, record product id,
// repeatCount, playAfterChange, playAfterSelection. The first k numbers read
// set the first k of these; then both devices are looked up again by their
// product ids (a product id no present device has gives the mapper, or -2
// without devices) and their capabilities queried.
void LoadDeviceOptions(const char* text);

// Writes the five numbers (product ids from the capability records) into
// out, cut to size - 1 characters; returns the length.
int SaveDeviceOptions(char* out, int size);
