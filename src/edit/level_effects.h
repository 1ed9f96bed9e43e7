// The effects that change the level of each sample on its own. Each runs as
// an undoable action over the selection (or, for Silence with no selection,
// over the "INSERT" length of new samples at the cursor), on every channel
// the view shows, and works on PCM sounds only. None reports an error: an
// action the lifecycle refuses simply does nothing. Running Amplify, Fade,
// Silence or RemoveOffset again over the same selection is how their undo
// records are redone; Reverse is its own inverse.
#pragma once

#include "edit/effect_settings.h"

// Scales by amplification percent; results are clamped to the symmetric
// full scale (-127..127, -32767..32767). 100 % does nothing.
void Amplify(const EffectSettings& settings);
// Scales from fadeStart percent to fadeEnd percent across the selection: the
// first sample gets fadeStart + (fadeEnd - fadeStart) / n, the last exactly
// fadeEnd. Clamped as Amplify; 100 % to 100 % does nothing.
void Fade(const EffectSettings& settings);
void Silence();
// A cancelled Reverse puts back what it had swapped: its undo record holds
// no samples to restore.
void Reverse();
// The "Normalize" command: removes a constant offset. A selection shorter
// than 256 samples loses its mean; a longer one a running mean that starts
// as the mean of its first 256 samples and follows the signal with a weight
// of 1/256 per sample. Results saturate at the sample width's limits.
void RemoveOffset();
