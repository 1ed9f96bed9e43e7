// Remove Background: silences or deletes every quiet stretch of the selection
// that lasts longer than a minimum. It runs as an undoable action on PCM
// sounds; running it again over the same selection is how its undo record is
// redone.
#pragma once

#include "edit/effect_settings.h"

// A sample is quiet when its magnitude is at most noiseThreshold percent of
// full scale (a threshold below 1 does nothing); a stretch of quiet samples
// goes when it is longer than noiseDuration × 10 ms, so one exactly that long
// stays, and one that reaches the end of the selection goes as well.
//
// Silencing works on every channel on show, each on its own. With
// noiseDelete whole frames are deleted, judged by the first channel whatever
// the view shows; the sound and the selection become shorter, and the
// selection ends where the processed range now ends. A cancel puts back
// exactly what was there before.
void RemoveBackground(const EffectSettings& settings);
