// The waveform-view update (UpdWaveView) serves the waveform window and the
// zoom bar and overview strip together (they show the same range and move
// as one), and tells the spectrogram that the sound it shows may have
// changed. Each of the three windows installs it when it is made, so the
// update reaches whichever of them exist.
#pragma once

void UpdateWaveViews();
void InstallWaveViewsUpdate();
