// Pitch change: the selection resampled in place by a factor, without
// interpolation. Samples are dropped (higher pitch, shorter sound) or repeated
// (lower pitch, longer sound), always taking the nearest earlier source
// sample; the play rate is not touched. Runs as an undoable action on PCM
// sounds; running it again over the selection is how its undo record is
// redone.
#pragma once

#include "edit/effect_settings.h"

// Multiplies the pitch of the selection by pitchFactor (unsigned 16.16 fixed
// point, 65536 = 1.0). The n selected samples become m = n × 65536 /
// pitchFactor samples (truncated), and the selection covers exactly them:
//   higher pitch: new sample k is old sample ⌊k × factor⌋; the old samples
//     from there to the last one read are removed. When n × 65536 is not a
//     multiple of the factor, the last old sample or two are never reached:
//     they stay behind the new selection, and the action's undo record holds
//     only the samples it consumed, so undo puts back exactly the old sound.
//   lower pitch: new samples are inserted behind the selection, and new
//     sample j (counted from the end) is the old sample ⌊j × factor⌋ from
//     the end.
// A factor of 1.0 or 0, or a selection that would shrink to nothing, does
// nothing and records nothing. A cancel leaves the sound and the selection as
// they were.
void PitchChange(const EffectSettings& settings);
