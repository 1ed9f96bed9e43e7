// The one block of effect parameters shared by every effect and its dialog.
// Dialogs work on a copy; the "Effect Setup" action records and restores the
// whole block as 72 bytes, so it stays a plain block of 18 signed 32-bit values
// in this order. The settings file keeps all but noiseAmplitude.
#pragma once

#include <cstdint>

struct EffectSettings {
    int32_t insertLength = 2000;    // ms inserted by an Insert-mode action without selection
    int32_t amplification = 100;    // percent of the current level
    int32_t fadeStart = 100;        // percent at the start of the selection
    int32_t fadeEnd = 0;            // percent at the end of the selection
    int32_t echoStrength = 35;      // percent
    int32_t echoDelay = 100;        // ms
    int32_t echoChorus = 0;         // flag
    int32_t pitchFactor = 65536;    // 16.16 fixed point; 65536 leaves the pitch unchanged
    int32_t noiseThreshold = 2;     // percent
    int32_t noiseDuration = 10;
    int32_t noiseDelete = 0;        // flag
    int32_t fillValue = 0;          // sample value
    int32_t tone1Frequency = 1000;
    int32_t tone1Amplitude = 100;   // percent
    int32_t tone2Frequency = 1000;
    int32_t tone2Amplitude = 0;     // percent
    int32_t toneShape = 0;
    int32_t noiseAmplitude = 50;    // percent of full scale; not kept in the settings file

    void SetToDefault() { *this = EffectSettings(); }
};

static_assert(sizeof(EffectSettings) == 72, "EffectSettings is saved for undo as 72 bytes");

// The stored settings: what the effects use unless a dialog passes its copy.
EffectSettings& TheEffectSettings();

// Stores new settings as one undoable "Effect Setup" step: when any of the 18
// values differs, the old block is recorded first, so undo puts all of them
// back at once. Equal settings record nothing. Applying such an undo record
// is this same call with the saved block, which records its own inverse.
// While another action is open the change is refused and nothing is stored.
void SetEffectSettings(const EffectSettings& settings);
