// The frame's children: the table they are made from, their creation, and
// placing them by the layout arithmetic (app/frame_layout.h) with the
// measured font. Also the frame's part of the display toggles.
#pragma once

#include <windows.h>

#include "app/frame_layout.h"

class CKV_FrameWnd;

// The font measures of App, as the layout takes them.
FrameMetrics MeasuredFrameMetrics();

// Creates every child of the table in order; false as soon as one window or
// object cannot be made (the frame's creation then fails).
bool CreateFrameChildren(CKV_FrameWnd& frame);

// Places the children for a client area of width x height, all in one
// deferred batch.
void LayoutFrameChildren(HWND frame, int width, int height);

// Shows or hides the waveform (and the strip above it) or the locations row
// after its display flag changed, and resizes the frame to match. False
// refuses the change: a maximized frame keeps its waveform.
bool ApplyDisplayLayout(int toggle, bool shown);
