// Low Pass Filter: smooths the selection with a three-sample moving average,
// on every channel on show. It runs as an undoable action on PCM sounds;
// running it again over the same selection is how its undo record is redone.
#pragma once

// Each sample becomes the mean of itself and the two samples before it as
// they were before the filter ran (truncated toward zero); the first sample
// of the selection stands in for the two before it, so a constant selection
// stays as it is. An empty selection does nothing.
void LowPass();
