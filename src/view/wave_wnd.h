// The waveform window: draws the document's sound over the shown range, the
// selection as an inverted band and the play position as an inverted column,
// selects with the mouse, scrolls horizontally and refits itself when its
// size changes. The range, the scale and what is left to repaint live in the
// core's view model (view_model.h); this window turns them into pixels.
#pragma once

#include <windows.h>

#include <cstdint>

#include "lib/window_base_win.h"

class CKV_WaveWnd : public CWindowBase {
public:
    CKV_WaveWnd();
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    ~CKV_WaveWnd() override;

    // Draws the part `clip` of the client area into dc as it is to be seen:
    // background, waveform, selection band and play column. The window's own
    // paint uses it, and so can anyone painting into a bitmap.
    void Paint(HDC dc, const RECT& clip);

    // Takes the view model's repaint requests (content scrolled, columns to
    // repaint) and brings the band and the column on screen up to the
    // current selection and play position by inverting what differs.
    void Update();
};

// The one waveform window (null while none exists).
CKV_WaveWnd* TheWaveWnd();

// The waveform is drawn in the complement of the highlight colour on the
// complement of the highlight-text colour, so that inverted pixels show the
// highlight colours.
COLORREF WaveForeground();
COLORREF WaveBackground();

// The horizontal scroll bar for a view of a sound, in pixel units over 0..width.
struct WaveScrollBar {
    bool shown = false;         // the view leaves part of the sound out
    int32_t page = 0;
    int32_t position = 0;
};
WaveScrollBar ComputeWaveScrollBar(int32_t width, int32_t viewStart, int32_t viewLength, int32_t total);
// The view start a thumb at `thumb` of 0..width stands for.
int32_t WaveThumbToStart(int32_t thumb, int32_t width, int32_t total);

// The waveform update: the window takes the view model's repaint requests
// and refits its scroll bar. Nothing without the window.
void UpdateWaveWindow();
