// The spectrogram: a small window of its own, owned by the frame, that shows
// the spectrum of the sound around the play position as 128 bars over a
// kilohertz scale (view/freq_bands.h computes both). At most one exists; while
// it does, TheApp().spectrogram holds its window handle. Its place and size
// are remembered while the program runs, so that reopening restores them.
#pragma once

#include "lib/window_base_win.h"
#include "view/freq_bands.h"

class CKV_FreqWnd : public CWindowBase {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Draws the whole client area into hdc: background, the label row and,
    // for a PCM sound, the bars (the spectrum is computed first when the
    // play position has moved since).
    void Paint(HDC hdc);

    // The play position moved, or (force) the sound around it may have
    // changed: the bars are computed again at the next paint.
    void NotePosition(int32_t playPos, bool force);

private:
    void OnPaint();
    void PaintArea(HDC hdc, const RECT& invalid);
    void PaintLabels(HDC hdc, const RECT& client, int rowTop);
    void RememberRect();

    bool recompute = true;
    bool hasBars = false;       // the sound is PCM: the bars are drawn
    int32_t position = 0;       // the play position the bands belong to
    SpectrumBands bands;
};

// Opens the window at its remembered place, or closes it when it is open
// (the View menu's Display Spectrogram command).
void ToggleSpectrogram();

// The open window, or null.
CKV_FreqWnd* TheSpectrogram();

// Follows the play position: called for every play-position update (force
// false; nothing happens while the position stands still) and for every
// repaint of the waveform (force true: the samples may have changed). The
// bars are invalidated, and with force the label row too. Nothing happens
// while the window is closed.
void NotePlayPosition(bool force);
