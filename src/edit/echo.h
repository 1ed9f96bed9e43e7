// Echo and chorus: a delayed, attenuated copy of the selection added to
// itself, in place, on every channel on show. The selection keeps its length,
// so its first `delay` samples get no echo. Runs as an undoable action on PCM
// sounds; running it again over the same selection is how its undo record is
// redone.
#pragma once

#include "edit/effect_settings.h"

// Adds echoStrength percent of the sample echoDelay milliseconds earlier to
// each sample of the selection. In echo mode that earlier sample already
// holds its own echo, so the echo repeats every delay, each echoStrength
// percent of the one before; in chorus mode (the low byte of echoChorus set)
// only the unprocessed sound is added: one echo. Sums saturate at the sample
// width's limits (-128..127, -32768..32767). A strength of 0, or a selection
// not longer than the delay, does nothing and records nothing.
void Echo(const EffectSettings& settings);
