#include "lib/button_image_wnd.h"

#include <algorithm>

#include "lib/frame_draw_win.h"

namespace {

// A pen for the life of the object.
class Pen {
public:
    explicit Pen(int systemColour) : pen(CreatePen(PS_SOLID, 0, GetSysColor(systemColour))) {}
    ~Pen() { DeleteObject(pen); }
    HPEN pen;
};

}

bool CButtonImage::SetFaces(HINSTANCE instance, int normalId, int disabledId)
{
    bool normal = face.Load(instance, normalId);
    bool disabled = disabledFace.Load(instance, disabledId);
    if (hwnd)
        InvalidateRect(hwnd, nullptr, FALSE);
    return normal && disabled;
}

bool CButtonImage::SetFaces(HBITMAP normal, HBITMAP disabled)
{
    bool ok = face.Attach(normal);
    ok = disabledFace.Attach(disabled) && ok;
    if (hwnd)
        InvalidateRect(hwnd, nullptr, FALSE);
    return ok;
}

bool CButtonImage::IsLatching() const
{
    return (GetWindowLongA(hwnd, GWL_STYLE) & BUTTON_IMAGE_LATCHING) != 0;
}

void CButtonImage::SetState(uint16_t next)
{
    if (next == state)
        return;
    state = next;
    if (hwnd)
        InvalidateRect(hwnd, nullptr, FALSE);
}

void CButtonImage::TellParent(int id) const
{
    SendMessageA(GetParent(hwnd), WM_KV_BUTTON_FOCUS, WPARAM(id), 0);
}

void CButtonImage::OnKillFocus(HWND next)
{
    SetState(0);
    if (next)
        TellParent(GetDlgCtrlID(next));
}

void CButtonImage::OnButtonDown()
{
    SetFocus(hwnd);
    SetCapture(hwnd);
    SetState(STATE_FOCUS | STATE_HIGHLIGHTED | STATE_DOWN);
    int id = GetDlgCtrlID(hwnd);
    PostMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(id, 0), LPARAM(hwnd));
}

void CButtonImage::OnRelease()
{
    if (GetCapture() != hwnd)
        return;
    ReleaseCapture();
    if (!IsLatching())
        SetState(state & ~STATE_DOWN);
}

LRESULT CButtonImage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS:
        SetState(STATE_FOCUS | STATE_HIGHLIGHTED);
        TellParent(GetDlgCtrlID(hwnd));
        return 0;
    case WM_KILLFOCUS:
        OnKillFocus(reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_ENABLE:
        SetState(wParam ? 0 : STATE_DISABLED | STATE_DISABLED_FACE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        Paint(dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;       // the paint covers every pixel
    case WM_CANCELMODE:
    case WM_LBUTTONUP:
        OnRelease();
        return 0;
    case WM_GETDLGCODE:
        return DLGC_BUTTON;
    case BM_SETCHECK:
        SetState(wParam ? state | STATE_HIGHLIGHTED : state & ~STATE_HIGHLIGHTED);
        return 0;
    case BM_SETSTATE:
        SetState(wParam ? state | STATE_DOWN : state & ~STATE_DOWN);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:     // a quick second press is a press too
        OnButtonDown();
        return 0;
    case WM_DESTROY:
        // The window outlives nothing of this object from here on.
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        hwnd = nullptr;
        return 0;
    default:
        return CWindowBase::WindowProc(message, wParam, lParam);
    }
}

void CButtonImage::Paint(HDC dc) const
{
    RECT client;
    if (!hwnd || !GetClientRect(hwnd, &client))
        return;
    int width = client.right, height = client.bottom;
    int b = std::max(1, std::max(GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER)));
    bool down = (state & STATE_DOWN) != 0;
    bool disabled = (state & STATE_DISABLED) != 0;

    const CImageBitmap& image = (state & STATE_DISABLED_FACE) ? disabledFace : face;
    int shift = down ? 2 * b : 0;
    RECT picture = {(width - image.width) / 2 + shift, (height - image.height) / 2 + shift, 0, 0};
    picture.right = picture.left + image.width;
    picture.bottom = picture.top + image.height;
    // The pictures are drawn on the face colour: their corner shows it.
    COLORREF faceColour = image.PixelAt(0, 0);
    if (faceColour == CLR_INVALID)
        faceColour = GetSysColor(COLOR_BTNFACE);

    // The outline, its corner pixels left out so the button looks rounded.
    Pen frame(COLOR_WINDOWFRAME);
    HGDIOBJ oldPen = SelectObject(dc, frame.pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    MoveToEx(dc, 1, 0, nullptr);
    LineTo(dc, width - 1, 0);
    MoveToEx(dc, 1, height - 1, nullptr);
    LineTo(dc, width - 1, height - 1);
    MoveToEx(dc, 0, 1, nullptr);
    LineTo(dc, 0, height - 1);
    MoveToEx(dc, width - 1, 1, nullptr);
    LineTo(dc, width - 1, height - 1);
    RECT rest = {1, 1, width - 1, height - 1};
    int rings = b - 1 + (state & STATE_HIGHLIGHTED && !disabled ? b : 0);
    for (int i = 0; i < rings; i++) {
        Rectangle(dc, rest.left, rest.top, rest.right, rest.bottom);
        InflateRect(&rest, -1, -1);
    }

    // The 3D edge: raised and 2b wide when up; when down a b-wide shadow on
    // the left and top only, the face moved right and down under it.
    Pen light(COLOR_BTNHIGHLIGHT), shadow(COLOR_BTNSHADOW);
    for (int i = 0; i < (down ? b : 2 * b); i++) {
        if (!down) {
            Draw3DEdge(dc, rest, light.pen, shadow.pen);
            continue;
        }
        SelectObject(dc, shadow.pen);
        MoveToEx(dc, rest.left, rest.bottom - 1, nullptr);
        LineTo(dc, rest.left, rest.top);
        LineTo(dc, rest.right, rest.top);
        rest.left++;
        rest.top++;
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    if (rest.right <= rest.left || rest.bottom <= rest.top)
        return;

    // The face: the colour around the picture, then the picture, neither
    // reaching over the edge.
    int saved = SaveDC(dc);
    IntersectClipRect(dc, rest.left, rest.top, rest.right, rest.bottom);
    if (!image.IsEmpty()) {
        image.Draw(dc, picture.left, picture.top);
        ExcludeClipRect(dc, picture.left, picture.top, picture.right, picture.bottom);
    }
    HBRUSH brush = CreateSolidBrush(faceColour);
    FillRect(dc, &rest, brush);
    DeleteObject(brush);
    RestoreDC(dc, saved);
    if (state & STATE_FOCUS) {
        RECT focus = picture;
        InflateRect(&focus, 1, 1);
        IntersectRect(&focus, &focus, &rest);
        DrawFocusRect(dc, &focus);
    }
}
