#include "lib/frame_draw_win.h"

#include <utility>

void Draw3DEdge(HDC dc, RECT& rect, HPEN a, HPEN b)
{
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    // A line leaves out its end point: each LineTo stops one short.
    HGDIOBJ old = SelectObject(dc, a);
    MoveToEx(dc, rect.left, rect.bottom - 1, nullptr);
    LineTo(dc, rect.left, rect.top);
    LineTo(dc, rect.right - 1, rect.top);
    SelectObject(dc, b);
    MoveToEx(dc, rect.left, rect.bottom - 1, nullptr);
    LineTo(dc, rect.right - 1, rect.bottom - 1);
    LineTo(dc, rect.right - 1, rect.top - 1);
    SelectObject(dc, old);
    InflateRect(&rect, -1, -1);
}

void DrawFrameBox(HDC dc, const RECT& rect, int flags, HPEN a, HPEN b, HBRUSH brush)
{
    if (flags & FRAMEBOX_SWAP)
        std::swap(a, b);
    RECT inner = rect;
    if (flags & FRAMEBOX_OUTLINE) {
        HPEN frame = CreatePen(PS_SOLID, 0, GetSysColor(COLOR_WINDOWFRAME));
        HGDIOBJ oldPen = SelectObject(dc, frame);
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, inner.left, inner.top, inner.right, inner.bottom);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(frame);
        InflateRect(&inner, -1, -1);
    }
    if (flags & FRAMEBOX_EDGE)
        Draw3DEdge(dc, inner, a, b);
    if (brush && inner.right > inner.left && inner.bottom > inner.top)
        FillRect(dc, &inner, brush);
    ExcludeClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
}

void DrawSystem3DEdge(HDC dc, RECT& rect, int flags)
{
    HPEN light = CreatePen(PS_SOLID, 0, GetSysColor(COLOR_BTNHIGHLIGHT));
    HPEN shadow = CreatePen(PS_SOLID, 0, GetSysColor(COLOR_BTNSHADOW));
    if (flags & FRAMEBOX_SWAP)
        Draw3DEdge(dc, rect, shadow, light);
    else
        Draw3DEdge(dc, rect, light, shadow);
    DeleteObject(light);
    DeleteObject(shadow);
}
