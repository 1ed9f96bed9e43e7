// Every persisted option of the program, in one static object. The values are
// read from the settings file at start-up (settings.h) and written back at exit
// when settingsChanged is not 0. The effect parameters and the device choice
// are not repeated here: they live in the EffectSettings block
// (edit/effect_settings.h) and in DevOptions (device/dev_options.h), which the
// settings file reads and writes together with these.
#pragma once

#include <cstdint>

#include "base/intl_settings.h"
#include "lib/gstring.h"

// The platform's "use the default position" value for a window's x and y.
enum : int32_t { KV_CW_USEDEFAULT = INT32_MIN };

// Device buffer sizes; read from the settings file, never written back.
struct BufferSettings {
    uint16_t recordLimit = 80;      // record length for an empty range, 1/100 MiB of samples
    uint16_t bufferSeconds = 2;     // seconds of sound per device buffer; 0 is taken as 2
};

struct AppOptions {
    // Frame placement; width and height 1 open the frame at its minimum size.
    int32_t frameX = KV_CW_USEDEFAULT;
    int32_t frameY = KV_CW_USEDEFAULT;
    int32_t frameWidth = 1;
    int32_t frameHeight = 1;

    uint8_t showWaveform = 0;
    uint8_t showLocations = 0;
    uint8_t leftChannel = 1;
    uint8_t rightChannel = 1;

    uint8_t extra = 0;              // option dialogs open expanded ("More >>")

    int32_t defaultLengthUnit = 1;  // 1 seconds, 2 bytes, 3 samples
    uint8_t showEnd = 0;            // a selection is shown by its end instead of its length

    int32_t mixNew = 100;           // percent of the new sound when mixing
    int32_t mixOld = 0;             // percent of the old sound; 0 = new replaces old


    // The format for new sounds ("FORMAT") is TheDefaultFormat() of
    // sound/form.h; it is empty until the setting is read.

    uint16_t undoCount = 15;        // undo depth; read, never written
    uint32_t undoMemory = 0;        // undo memory limit in bytes, 0 = none; read, never written

    BufferSettings buffers;

    uint8_t useAcm = 0;             // Convert Format uses the compression manager's chooser
    int32_t playRate = 0;

    IntlSettings intl;

    // Raised by every change of a persisted option; 0 = the file need not be written.
    int32_t settingsChanged = 0;
};

AppOptions& TheAppOptions();

// Restores these options to their defaults (start-up and tests); the other
// persisted records (device options, effect settings, object options, the
// default format) have resets of their own.
void ResetAppOptions();
