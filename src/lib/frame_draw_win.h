// Drawing primitives for the program's 3D frames and panels.
#pragma once

#include <windows.h>

// DrawFrameBox flags.
enum {
    FRAMEBOX_SWAP = 1,          // pen B on the left and top, A on the right and bottom
    FRAMEBOX_OUTLINE = 2,       // a 1-pixel outline in the window-frame colour first
    FRAMEBOX_EDGE = 4,          // then a 1-pixel 3D edge
};

// One pass of a 3D edge along the rectangle's inside: pen A on the left and
// top, pen B on the right and bottom (which own the two shared corners).
// The rectangle moves 1 pixel inward.
void Draw3DEdge(HDC dc, RECT& rect, HPEN a, HPEN b);

// A framed box: the outline and edge the flags ask for, moving inward with
// each; the brush, when given, fills what is left. The whole rectangle passed
// in is then excluded from the surface's clipping region, so that later
// painting leaves the box alone.
void DrawFrameBox(HDC dc, const RECT& rect, int flags, HPEN a, HPEN b, HBRUSH brush);

// A 3D edge in the system's button highlight and shadow colours: raised, or
// sunken with FRAMEBOX_SWAP. The rectangle moves 1 pixel inward.
void DrawSystem3DEdge(HDC dc, RECT& rect, int flags);
