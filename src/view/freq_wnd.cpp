#include "view/freq_wnd.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>

#include "base/app.h"
#include "base/host.h"
#include "sound/document.h"

namespace {

const char* const FREQ_CLASS = "KelvoraSpectrogram";
const char* const FREQ_TITLE = "Kelvora Spectrogram";

// Where the window was last, for the whole run; width 0 until first opened.
RECT remembered = {};
bool classRegistered = false;

// The window's object. Its own procedure never deletes it (the dispatcher
// still touches the object after the last message): a window closed from
// its system menu leaves the object without a handle until the next toggle.
std::unique_ptr<CKV_FreqWnd> instance;

// The first size, in average characters of the program's font.
const int FIRST_WIDTH_CHARS = 40;
const int FIRST_HEIGHT_CHARS = 12;

int LabelRowHeight()
{
    return TheApp().charHeight * 3 / 2;
}

bool RegisterFreqClass()
{
    if (classRegistered)
        return true;
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.hInstance = static_cast<HINSTANCE>(TheApp().instance);
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.lpszClassName = FREQ_CLASS;
    classRegistered = RegisterWindowClass(wc) != 0;
    return classRegistered;
}

// Selects a GDI object for the life of a scope.
class Selected {
public:
    Selected(HDC hdc, HGDIOBJ object) : hdc(hdc), old(SelectObject(hdc, object)) {}
    ~Selected() { SelectObject(hdc, old); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC hdc;
    HGDIOBJ old;
};

}

LRESULT CKV_FreqWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        TheApp().spectrogram = hwnd;
        return 0;
    case WM_DESTROY:
        if (TheApp().spectrogram == hwnd)
            TheApp().spectrogram = nullptr;
        return 0;
    case WM_MOVE:
    case WM_SIZE:
        RememberRect();
        return DefWindowProcA(hwnd, message, wParam, lParam);
    case WM_ERASEBKGND:
        return 1;           // painting fills everything
    case WM_PAINT:
        OnPaint();
        return 0;
    default:
        return CWindowBase::WindowProc(message, wParam, lParam);
    }
}

void CKV_FreqWnd::RememberRect()
{
    if (IsIconic(hwnd) || IsZoomed(hwnd))
        return;
    RECT r;
    if (GetWindowRect(hwnd, &r))
        remembered = r;
}

void CKV_FreqWnd::NotePosition(int32_t playPos, bool force)
{
    if (!force && playPos == position)
        return;
    position = playPos;
    recompute = true;
    if (!hwnd)
        return;
    RECT r;
    GetClientRect(hwnd, &r);
    if (!force)
        r.bottom = std::max<LONG>(r.top, r.bottom - LabelRowHeight());
    InvalidateRect(hwnd, &r, FALSE);
}

void CKV_FreqWnd::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    if (hdc)
        PaintArea(hdc, ps.rcPaint);
    EndPaint(hwnd, &ps);
}

void CKV_FreqWnd::Paint(HDC hdc)
{
    RECT client;
    GetClientRect(hwnd, &client);
    PaintArea(hdc, client);
}

void CKV_FreqWnd::PaintArea(HDC hdc, const RECT& invalid)
{
    const App& app = TheApp();
    RECT client;
    GetClientRect(hwnd, &client);
    HBRUSH background = CreateSolidBrush(app.invHighlightText);
    FillRect(hdc, &client, background ? background : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (background)
        DeleteObject(background);

    int rowTop = std::max<int>(client.top, client.bottom - LabelRowHeight());
    if (invalid.bottom > rowTop)
        PaintLabels(hdc, client, rowTop);

    if (recompute) {
        hasBars = ComputeDocumentSpectrum(position, bands);
        recompute = false;
    }
    if (!hasBars)
        return;
    HBRUSH wave = CreateSolidBrush(app.invHighlight);
    if (!wave)
        return;
    SpectrumBar bars[SPECTRUM_BANDS];
    int n = SpectrumBarLayout(bands, client.left, client.right - client.left, rowTop - client.top, bars);
    for (int i = 0; i < n; i++) {
        if (bars[i].height <= 0)
            continue;
        RECT r = {bars[i].left, rowTop - bars[i].height, bars[i].right, rowTop};
        FillRect(hdc, &r, wave);
    }
    DeleteObject(wave);
}

// "kHz" at the left, then one number per kilohertz; a number that would
// run into the one before it is left out.
void CKV_FreqWnd::PaintLabels(HDC hdc, const RECT& client, int rowTop)
{
    const App& app = TheApp();
    Selected font(hdc, GetStockObject(SYSTEM_FONT));
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, app.invHighlight);
    int y = rowTop + (LabelRowHeight() - app.charHeight) / 2;
    SIZE size;
    TextOutA(hdc, client.left, y, "kHz", 3);
    // A character's width apart, so that neighbouring numbers never read
    // as one.
    int gap = std::max(1, app.charWidth);
    int32_t free = client.left + gap;
    if (GetTextExtentPoint32A(hdc, "kHz", 3, &size))
        free += size.cx;

    const KvWaveFormat* w = TheDocument().format.Record();
    if (!w)
        return;
    int32_t width = client.right - client.left;
    int32_t count = SpectrumLabelCount(w->nSamplesPerSec);
    for (int32_t i = 1; i <= count; i++) {
        int32_t x = SpectrumLabelX(client.left, width, w->nSamplesPerSec, i);
        if (x >= client.right)
            break;
        if (x < free)
            continue;
        char text[16];
        int length = std::snprintf(text, sizeof text, "%ld", static_cast<long>(i));
        if (!GetTextExtentPoint32A(hdc, text, length, &size))
            size.cx = app.charWidth * length;
        // A label cut by the right edge would read as another number.
        if (x + size.cx > client.right)
            break;
        TextOutA(hdc, x, y, text, length);
        free = x + size.cx + gap;
    }
}

CKV_FreqWnd* TheSpectrogram()
{
    return instance && instance->hwnd ? instance.get() : nullptr;
}

void ToggleSpectrogram()
{
    if (CKV_FreqWnd* open = TheSpectrogram()) {
        DestroyWindow(open->hwnd);
        instance.reset();
        return;
    }
    instance.reset();
    if (!RegisterFreqClass())
        return;
    const App& app = TheApp();
    // First opened wide enough for its title and a readable kHz scale.
    if (remembered.right <= remembered.left)
        remembered = {1, 1, 1 + FIRST_WIDTH_CHARS * app.charWidth, 1 + FIRST_HEIGHT_CHARS * app.charHeight};
    instance.reset(new (std::nothrow) CKV_FreqWnd);
    if (!instance)
        return;
    instance->NotePosition(TheSelection().playPos, true);
    HWND owner = static_cast<HWND>(TheHost().FrameWindow());
    RECT r = remembered;
    if (!instance->Create(0, FREQ_CLASS, FREQ_TITLE, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE,
            r.left, r.top, r.right - r.left, r.bottom - r.top, owner, nullptr,
            static_cast<HINSTANCE>(app.instance)))
        instance.reset();
}

void NotePlayPosition(bool force)
{
    if (CKV_FreqWnd* w = TheSpectrogram())
        w->NotePosition(TheSelection().playPos, force);
}
