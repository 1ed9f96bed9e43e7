#include "view/wave_wnd.h"

#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "base/app_options.h"
#include "base/update_views.h"
#include "device/engine.h"
#include "sound/document.h"
#include "view/mouse_capture_win.h"
#include "view/selection_ops.h"
#include "view/wave_views_win.h"
#include "view/view_model.h"

namespace {

CKV_WaveWnd* theWaveWnd = nullptr;

// What the screen shows of the selection band and the play column outside
// painting, so that a change inverts only what differs.
bool bandDrawn = false;
RECT drawnBand = {0, 0, 0, 0};
bool columnDrawn = false;
int32_t drawnColumn = 0;
WaveScrollBar shownBar;
bool barApplied = false;
bool settingBar = false;        // showing the bar resizes the client area
bool dragging = false;

const COLORREF RGB_MASK = 0x00FFFFFF;

// Samples a pixel column of the many-samples scale looks at: a tenth of them
// keeps a paint's cost independent of the zoom.
const uint32_t MANY_SAMPLES_PROBES = 10;

// A column's lowest and highest y start beyond any level a sample can have.
const int LEVEL_START = 32767;

// The popup of the waveform: commands of the main menu, 0 for a separator.
const int popupCommands[] = {
    2010, 2015, 0, 3101, 3103, 3104, 3105, 3106, 3107, 0, 3108, 3201, 3204, 0, 3205, 3207, 3208, 0,
    2016, 2018, 2017, 2019,
};

int32_t Clamp32(int64_t v)
{
    return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(v, INT32_MIN), INT32_MAX));
}

bool HasFormat()
{
    const KvWaveFormat* w = TheDocument().format.Record();
    return w && w->nBlockAlign != 0;
}

int32_t SelectionEnd()
{
    const Selection& sel = TheSelection();
    return Clamp32(static_cast<int64_t>(sel.selStart) + sel.selLength);
}

// The band one pixel inside the top and bottom, at least one column wide.
RECT SelectionBand()
{
    const WaveViewModel& view = TheWaveView();
    int32_t x1 = SampleToX(TheSelection().selStart);
    int32_t x2 = SampleToX(SelectionEnd());
    RECT r = {std::min(x1, x2), 1, std::max(x1, x2), view.height - 1};
    if (r.right <= r.left)
        r.right = r.left + 1;
    return r;
}

// The play column, unless the play position sits on a selection edge.
bool PlayColumn(int32_t& x)
{
    const Selection& sel = TheSelection();
    if (sel.playPos == sel.selStart || sel.playPos == SelectionEnd())
        return false;
    x = SampleToX(sel.playPos);
    return true;
}

void InvertColumn(HDC dc, int32_t x, const RECT& clip)
{
    RECT r = {x, 0, x + 1, TheWaveView().height}, part;
    if (IntersectRect(&part, &r, &clip))
        InvertRect(dc, &part);
}

// Reads one channel's samples run by run from the document as the levels
// the waveform shows.
class LevelReader {
public:
    LevelReader(int32_t end, int zero, int halfHeight) : zero(zero), half(halfHeight), end(end)
    {
        CKV_Document& doc = TheDocument();
        const KvWaveFormat* w = doc.format.Record();
        align = w->nBlockAlign;
        if (doc.format.IsPcm()) {
            kind = w->wBitsPerSample == 16 ? SIGNED16 : UNSIGNED8;
            fullScale = w->wBitsPerSample == 16 ? 32767 : 127;
        } else if (doc.format.IsWidePcm()) {
            // The run addresses the block; the channel's most significant
            // byte carries its level (the low bytes would show as noise).
            kind = SIGNED_TOP;
            const uint32_t bytes = w->wBitsPerSample / 8u;
            topOffset = (doc.channel - 1) * bytes + bytes - 1;
            fullScale = 127;
            if (topOffset >= align)
                topOffset = 0;
        } else {
            kind = UNSIGNED8;
            fullScale = 127;
        }
    }

    // The y of the sample at pos; false past the end or where nothing reads.
    bool Level(int32_t pos, int& y)
    {
        if (pos >= end || pos < 0)
            return false;
        if (static_cast<uint32_t>(pos - runStart) >= static_cast<uint32_t>(runCount)) {
            runCount = TheDocument().GetRun(&run, pos, end - pos);
            runStart = pos;
            if (runCount <= 0 || !run) {
                runCount = 0;
                return false;
            }
        }
        const uint8_t* p = run + static_cast<size_t>(pos - runStart) * align;
        int value;
        if (kind == SIGNED16) {
            int16_t v;
            std::memcpy(&v, p, 2);
            value = v;
        } else if (kind == SIGNED_TOP) {
            value = static_cast<int8_t>(p[topOffset]);
        } else {
            value = p[0] - 128;
        }
        y = zero - MulDiv(value, half, fullScale);
        return true;
    }

    // Asks the memory for the sample at pos ahead of its reading: the probes
    // of a long sound's columns lie pages apart, and waiting for each in
    // turn would make a paint's cost grow with the sound's length.
    void Prefetch(int64_t pos) const
    {
        if (pos >= runStart && pos - runStart < runCount)
            __builtin_prefetch(run + static_cast<size_t>(pos - runStart) * align);
    }

private:
    enum Kind { UNSIGNED8, SIGNED16, SIGNED_TOP };
    Kind kind = UNSIGNED8;
    int fullScale = 127;
    uint32_t align = 1;
    uint32_t topOffset = 0;
    int zero;
    int half;
    int32_t end;
    uint8_t* run = nullptr;
    int32_t runStart = 0;
    int32_t runCount = 0;
};

// Many or a few samples per column: a vertical line over each column's
// levels; a few per column also join each column's last level to the next.
// With many per column the line also reaches the previous column's last
// level: a steep wave at a small factor would otherwise break into dashes.
void DrawColumns(HDC dc, LevelReader& reader, int32_t left, int32_t right, int32_t end)
{
    const WaveViewModel& view = TheWaveView();
    const uint32_t factor = view.factor;
    const bool joined = view.scaleMode == SCALE_FEW;
    const uint32_t step = joined ? 1u : std::max(1u, factor / MANY_SAMPLES_PROBES);
    const uint32_t probes = factor / step;
    // The column left of the area, even left of the window, gives the first
    // column its previous level, so that content scrolled in from there
    // equals a fresh paint.
    int32_t x = left - 1;
    bool havePrevious = false;
    int previous = 0;
    for (; x <= right; x++) {
        const int64_t first = static_cast<int64_t>(TheSelection().viewStart) + static_cast<int64_t>(x) * factor;
        if (first >= end)
            break;
        if (first < 0)
            continue;
        // Two columns ahead: the samples arrive while this one is drawn.
        if (step > 1)
            for (uint32_t i = 0; i < probes; i++)
                reader.Prefetch(first + 2 * static_cast<int64_t>(factor) + static_cast<int64_t>(i) * step);
        int low = LEVEL_START, high = -LEVEL_START, last = 0;
        bool any = false;
        for (uint32_t i = 0; i < probes; i++) {
            const int64_t pos = first + static_cast<int64_t>(i) * step;
            int y;
            if (pos >= end || !reader.Level(static_cast<int32_t>(pos), y))
                break;
            low = std::min(low, y);
            high = std::max(high, y);
            last = y;
            any = true;
        }
        if (!any)
            break;
        if (joined && havePrevious) {
            MoveToEx(dc, x - 1, previous, nullptr);
            LineTo(dc, x, last);
        } else if (havePrevious) {
            low = std::min(low, previous);
            high = std::max(high, previous);
        }
        MoveToEx(dc, x, low, nullptr);
        LineTo(dc, x, high + 1);
        previous = last;
        havePrevious = true;
    }
}

// More pixels than samples: each sample holds its level over factor
// columns, joined to the next by a vertical step.
void DrawStairs(HDC dc, LevelReader& reader, int32_t left, int32_t right, int32_t end)
{
    const Selection& sel = TheSelection();
    const int64_t factor = TheWaveView().factor;
    // One sample left of the area, so that its step into the area is drawn.
    int64_t pos = std::max<int64_t>(sel.viewStart + std::max(left, 0) / factor - 1, sel.viewStart);
    const int64_t last = std::min<int64_t>(sel.viewStart + right / factor + 2, end);
    int level = 0;
    bool started = false;
    for (; pos < last; pos++) {
        int y;
        if (!reader.Level(static_cast<int32_t>(pos), y))
            break;
        const int x = static_cast<int>((pos - sel.viewStart) * factor);
        if (!started) {
            MoveToEx(dc, x, y, nullptr);
            started = true;
        } else if (y != level) {
            LineTo(dc, x - 1, level);
            LineTo(dc, x - 1, y);
        }
        level = y;
    }
    if (started)
        LineTo(dc, static_cast<int>((pos - sel.viewStart) * factor) - 1, level);
}

void DrawWave(HDC dc, const RECT& clip)
{
    CKV_Document& doc = TheDocument();
    const Selection& sel = TheSelection();
    const WaveViewModel& view = TheWaveView();
    const KvWaveFormat* w = doc.format.Record();
    if (view.scaleMode == SCALE_NONE || view.factor == 0 || !HasFormat())
        return;
    const int32_t end = TheDev().mode == DevMode::Recording ? std::min(sel.playPos, doc.length) : doc.length;
    if (XToSample(std::max<LONG>(clip.left, 0)) >= end)
        return;

    HPEN pen = CreatePen(PS_SOLID, 1, WaveForeground());
    HGDIOBJ oldPen = SelectObject(dc, pen);
    const AppOptions& options = TheAppOptions();
    const int height = view.height;
    const int savedChannel = doc.channel;
    const bool twoChannels = w->nChannels >= 2 && options.leftChannel && options.rightChannel && doc.SetChannel(2);
    struct Lane {
        int channel, zero, half;
    } lanes[2];
    int laneCount;
    if (twoChannels) {
        lanes[0] = {1, height / 4, height / 4};
        lanes[1] = {2, 3 * height / 4, height / 4};
        laneCount = 2;
    } else {
        // Linear PCM fills the height; other formats, read a byte at a time,
        // keep to a third of it.
        const bool linear = doc.format.IsPcm() || doc.format.IsWidePcm();
        lanes[0] = {1, height / 2, linear ? height / 2 : height / 6};
        laneCount = 1;
    }
    for (int i = 0; i < laneCount; i++) {
        if (!doc.SetChannel(lanes[i].channel))
            continue;
        LevelReader reader(end, lanes[i].zero, lanes[i].half);
        if (view.scaleMode == SCALE_WIDE)
            DrawStairs(dc, reader, clip.left, clip.right, end);
        else
            DrawColumns(dc, reader, clip.left, clip.right, end);
    }
    // Back to the channel the editing code addressed.
    doc.SetChannel(255);
    doc.channel = savedChannel;
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

void ApplyScrollBar(HWND hwnd, bool force)
{
    if (settingBar)
        return;
    const Selection& sel = TheSelection();
    const WaveScrollBar bar =
        ComputeWaveScrollBar(TheWaveView().width, sel.viewStart, sel.viewLength, TheDocument().length);
    if (!force && barApplied && bar.shown == shownBar.shown && bar.page == shownBar.page
        && bar.position == shownBar.position)
        return;
    settingBar = true;
    shownBar = bar;
    barApplied = true;
    if (bar.shown) {
        SCROLLINFO si = {};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        si.nMin = 0;
        si.nMax = TheWaveView().width;
        si.nPage = static_cast<UINT>(bar.page);
        si.nPos = bar.position;
        SetScrollInfo(hwnd, SB_HORZ, &si, TRUE);
    }
    ShowScrollBar(hwnd, SB_HORZ, bar.shown);
    settingBar = false;
}

}

void UpdateWaveWindow()
{
    if (theWaveWnd)
        theWaveWnd->Update();
}

CKV_WaveWnd* TheWaveWnd()
{
    return theWaveWnd;
}

COLORREF WaveForeground()
{
    return ~GetSysColor(COLOR_HIGHLIGHT) & RGB_MASK;
}

COLORREF WaveBackground()
{
    return ~GetSysColor(COLOR_HIGHLIGHTTEXT) & RGB_MASK;
}

WaveScrollBar ComputeWaveScrollBar(int32_t width, int32_t viewStart, int32_t viewLength, int32_t total)
{
    WaveScrollBar bar;
    if (total <= 0 || width <= 0)
        return bar;
    bar.shown = viewStart > 0 || viewLength < total;
    const int64_t page = static_cast<int64_t>(viewLength) * width / total;
    bar.page = static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(page, 0), width));
    const int64_t position = static_cast<int64_t>(viewStart) * width / total;
    bar.position = static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(position, 0), width));
    return bar;
}

int32_t WaveThumbToStart(int32_t thumb, int32_t width, int32_t total)
{
    if (width <= 0)
        return 0;
    return Clamp32(static_cast<int64_t>(total) * thumb / width);
}

CKV_WaveWnd::CKV_WaveWnd()
{
    theWaveWnd = this;
    bandDrawn = false;
    columnDrawn = false;
    barApplied = false;
    dragging = false;
    InstallWaveViewsUpdate();
}

CKV_WaveWnd::~CKV_WaveWnd()
{
    if (theWaveWnd == this)
        theWaveWnd = nullptr;
}

void CKV_WaveWnd::Paint(HDC dc, const RECT& clip)
{
    HBRUSH background = CreateSolidBrush(WaveBackground());
    FillRect(dc, &clip, background);
    DeleteObject(background);
    DrawWave(dc, clip);

    RECT band = SelectionBand(), part;
    if (IntersectRect(&part, &band, &clip))
        InvertRect(dc, &part);
    int32_t x;
    if (PlayColumn(x))
        InvertColumn(dc, x, clip);
}

void CKV_WaveWnd::Update()
{
    if (!hwnd)
        return;
    WaveViewModel& view = TheWaveView();
    const WaveRepaint request = TakeWaveRepaint();
    if (request.all) {
        InvalidateRect(hwnd, nullptr, FALSE);
    } else {
        if (request.scrollPixels != 0) {
            const int dx = -request.scrollPixels;
            ScrollWindowEx(hwnd, dx, 0, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
            // The marks moved with the content.
            OffsetRect(&drawnBand, dx, 0);
            drawnColumn += dx;
        }
        if (request.range) {
            const int32_t columnsPerSample = view.scaleMode == SCALE_WIDE ? static_cast<int32_t>(view.factor) : 1;
            const int32_t left = SampleToX(request.from) - 1;
            const int32_t right = request.toEdge ? view.width : SampleToX(request.to) + columnsPerSample;
            RECT r = {left, 0, right + 1, view.height};
            InvalidateRect(hwnd, &r, FALSE);
        }
    }
    ApplyScrollBar(hwnd, view.fullRedraw);

    // Invert what differs between the marks on screen and the current ones.
    HDC dc = GetDC(hwnd);
    if (!dc)
        return;
    const RECT all = {INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2};
    const RECT band = SelectionBand();
    if (!bandDrawn || !EqualRect(&band, &drawnBand)) {
        HRGN now = CreateRectRgnIndirect(&band);
        if (bandDrawn) {
            HRGN before = CreateRectRgnIndirect(&drawnBand);
            CombineRgn(now, now, before, RGN_XOR);
            DeleteObject(before);
        }
        InvertRgn(dc, now);
        DeleteObject(now);
        drawnBand = band;
        bandDrawn = true;
    }
    int32_t x = 0;
    const bool column = PlayColumn(x);
    if (column != columnDrawn || (column && x != drawnColumn)) {
        if (columnDrawn)
            InvertColumn(dc, drawnColumn, all);
        if (column)
            InvertColumn(dc, x, all);
        columnDrawn = column;
        drawnColumn = x;
    }
    ReleaseDC(hwnd, dc);
}

LRESULT CKV_WaveWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    Selection& sel = TheSelection();
    WaveViewModel& view = TheWaveView();
    switch (message) {
    case WM_SIZE:
        SetWaveViewSize(LOWORD(lParam), HIWORD(lParam));
        Update();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        Update();
        if (view.fullRedraw) {
            ApplyScrollBar(hwnd, true);
            view.fullRedraw = false;
        }
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (dc)
            Paint(dc, ps.rcPaint);
        EndPaint(hwnd, &ps);
        // What is on screen is now the current state everywhere.
        drawnBand = SelectionBand();
        bandDrawn = true;
        columnDrawn = PlayColumn(drawnColumn);
        return 0;
    }
    case WM_HSCROLL: {
        const int32_t total = TheDocument().length;
        int64_t start = sel.viewStart;
        const int64_t length = sel.viewLength;
        int origin = ORIGIN_COMMAND;
        switch (LOWORD(wParam)) {
        case SB_LINELEFT:
            start -= length / 2;
            break;
        case SB_LINERIGHT:
            start += length / 2;
            break;
        case SB_PAGELEFT:
            start -= length;
            break;
        case SB_PAGERIGHT:
            start += length;
            break;
        case SB_LEFT:
            start = 0;
            break;
        case SB_RIGHT:
            start = total;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO si = {};
            si.cbSize = sizeof si;
            si.fMask = SIF_TRACKPOS;
            GetScrollInfo(hwnd, SB_HORZ, &si);
            start = WaveThumbToStart(si.nTrackPos, view.width, total);
            origin = LOWORD(wParam) == SB_THUMBTRACK ? ORIGIN_DRAG : ORIGIN_GESTURE_END;
            break;
        }
        default:
            return 0;
        }
        SetViewRange(Clamp32(start), sel.viewLength, origin);
        Update();
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP: {
        const int x = GET_X_LPARAM(lParam);
        const int32_t before = sel.mousePos;
        if (message == WM_MOUSEMOVE && dragging) {
            // Beyond an edge the view follows the drag (not recorded: the
            // gesture's end records the selection only).
            if (x < 0)
                SetViewRange(Clamp32(static_cast<int64_t>(sel.viewStart) - sel.viewLength / 2), sel.viewLength,
                    ORIGIN_DRAG);
            else if (x > view.width && static_cast<int64_t>(sel.viewStart) + sel.viewLength < TheDocument().length)
                SetViewRange(Clamp32(static_cast<int64_t>(sel.viewStart) + sel.viewLength / 2), sel.viewLength,
                    ORIGIN_DRAG);
        }
        sel.mousePos = XToSample(std::min(std::max(x, 0), static_cast<int>(view.width)));
        UpdateViews(UpdMousePos);
        if (message == WM_MOUSEMOVE)
            TrackMouseLeave(hwnd);
        if (message == WM_LBUTTONDOWN) {
            sel.anchorPos = sel.mousePos;
            BeginMouseCapture(hwnd);
            dragging = true;
            SetSelection(sel.mousePos, 0, ORIGIN_GESTURE_START);
        } else if (dragging) {
            const int32_t anchor = MouseDragOrigin();
            const int32_t low = std::min(anchor, sel.mousePos);
            const int32_t length = Clamp32(static_cast<int64_t>(std::max(anchor, sel.mousePos)) - low);
            if (message == WM_LBUTTONUP) {
                dragging = false;
                EndMouseCapture();
                SetSelection(low, length, ORIGIN_GESTURE_END);
            } else if (sel.mousePos != before) {
                SetSelection(low, length, ORIGIN_DRAG);
            }
        }
        Update();
        return 0;
    }
    case WM_MOUSELEAVE:
        OnMouseLeave();
        return 0;
    case WM_CANCELMODE:
        if (dragging) {
            dragging = false;
            EndMouseCapture();
        }
        return 0;
    case WM_RBUTTONDOWN: {
        HWND frame = GetParent(hwnd);
        HMENU main = frame ? GetMenu(frame) : nullptr;
        if (!main)
            return 0;
        // The frame brings the main menu's states up to date as it does
        // before the menu opens.
        SendMessageA(frame, WM_INITMENU, reinterpret_cast<WPARAM>(main), 0);
        HMENU popup = CreatePopupMenu();
        if (!popup)
            return 0;
        bool separate = false;
        int items = 0;
        for (int command : popupCommands) {
            if (command == 0) {
                separate = items > 0;
                continue;
            }
            char text[128];
            if (GetMenuStringA(main, command, text, sizeof text, MF_BYCOMMAND) <= 0)
                continue;
            if (separate)
                AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
            separate = false;
            const UINT state = GetMenuState(main, command, MF_BYCOMMAND);
            AppendMenuA(popup, MF_STRING | (state & (MF_GRAYED | MF_DISABLED | MF_CHECKED)), command, text);
            items++;
        }
        POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(hwnd, &at);
        const int chosen = TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd, nullptr);
        DestroyMenu(popup);
        if (chosen)
            PostMessageA(frame, WM_COMMAND, static_cast<WPARAM>(chosen), 0);
        return 0;
    }
    default:
        return CWindowBase::WindowProc(message, wParam, lParam);
    }
}
