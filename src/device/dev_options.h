// The device options: which play and record devices the user chose, with
// the capabilities each reported, and how play behaves. One single object
// (TheDevOptions()), compared, copied and saved for undo as a whole.
//
// The choice is kept in the settings ("DEVICE") by the devices' product ids,
// not by their place in the system's list, so that it survives devices
// being added. Product id 2 stands for the wave mapper ("Best Available
// Device"). A device missing for a run is played and recorded through the
// mapper meanwhile, but its product id is kept and saved again: the choice
// changes only when the user chooses another device.
#pragma once

#include <cstdint>

#include "device/wave_device.h"

enum : uint16_t { MAPPER_PRODUCT_ID = 2 };

// Passes per Play at most ("Play repeatedly until stopped" is 0).
enum : uint32_t { MAX_REPEAT_COUNT = 100 };

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
    // The product ids of the devices chosen, as saved: those the settings
    // named while their devices are missing.
    uint16_t playProduct = MAPPER_PRODUCT_ID;
    uint16_t recordProduct = MAPPER_PRODUCT_ID;

    bool operator==(const DevOptions& other) const;
    bool operator!=(const DevOptions& other) const { return !(*this == other); }
};

DevOptions& TheDevOptions();
// Back to the defaults: the mapper for both, one pass (start-up and tests).
void ResetDevOptions();

// The "DEVICE" text: up to five numbers, play product id, record product id,
// repeatCount (kept within 0..100), playAfterChange, playAfterSelection. The
// first k numbers read set the first k of these; then LookUpDevices.
void LoadDeviceOptions(const char* text);

// Looks both devices up again by their product ids (a product id no present
// device has gives the mapper, or -2 without devices) and queries their
// capabilities; the product ids stay. Start-up needs this also when the
// settings have no "DEVICE" value: volume and rate depend on the
// capabilities.
void LookUpDevices();

// Writes the five numbers (the product ids chosen) into out, cut to
// size - 1 characters; returns the length.
int SaveDeviceOptions(char* out, int size);
