// Measure: the length, the extreme sample values and a running average of
// the selection, reported in a message box titled with the action's name.
// It only reads: no undo record, no progress window, and the sound, the
// selection and the play/record engine stay as they are.
#pragma once

#include <cstdint>

#include "lib/gstring.h"

struct MeasureResult {
    int32_t length = 0;     // the selection length in blocks
    int32_t maximum = 0;
    int32_t minimum = 0;
    // Samples in the average: all of them up to 256; from 256 on the average
    // is an exponentially weighted mean in which each new sample weighs 1/256.
    int32_t count = 0;
    int32_t average = 0;
};

// Measures the selected samples of every channel on show, channels one after
// the other (the average runs on across them). Values are signed in the
// sample width (8-bit: -128..127). False when there is nothing to measure:
// an empty selection, a sound that is not PCM, or no channel on show.
bool MeasureSelection(MeasureResult& result);

// The report, one line each for the length, the maximum, the minimum and the
// average with its count.
CGString FormatMeasureReport(const MeasureResult& result);

// The command: measures and shows the report through the host; shows
// nothing when there is nothing to measure.
void Measure();
