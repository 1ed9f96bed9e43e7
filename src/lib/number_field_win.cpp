#include "lib/number_field_win.h"

#include <cctype>
#include <cstdio>

namespace {

// More than any 32-bit number has digits, a sign and a few blanks.
const int EDIT_TEXT_MAX = 50;

void SetNumberText(HWND control, int32_t number)
{
    char text[16];
    std::snprintf(text, sizeof text, "%ld", static_cast<long>(number));
    SetWindowTextA(control, text);
}

}

void NumberField::Init(HWND dialogWindow, int fieldId, int32_t low, int32_t high, int32_t initial)
{
    dialog = dialogWindow;
    id = fieldId;
    minimum = low;
    maximum = high;
    value = initial;
    if (HWND bar = ScrollBar())
        SetScrollRange(bar, SB_CTL, minimum, maximum, FALSE);
    Update(SHOW_ALL);
}

bool NumberField::Clamp()
{
    if (value > maximum) {
        value = maximum;
        return false;
    }
    if (value < minimum) {
        value = minimum;
        return false;
    }
    return true;
}

bool NumberField::IsVertical() const
{
    HWND bar = ScrollBar();
    return bar && (GetWindowLongA(bar, GWL_STYLE) & SBS_VERT) != 0;
}

bool NumberField::Update(unsigned flags)
{
    bool inRange = Clamp();
    HWND edit = Edit();
    if ((flags & SHOW_EDIT) && edit && IsWindowEnabled(edit)) {
        // The user's unfinished typing is not overwritten behind their back.
        bool typing = GetFocus() == edit && SendMessageA(edit, EM_GETMODIFY, 0, 0) != 0;
        if (!typing || (flags & FORCE_EDIT)) {
            SetNumberText(edit, value);
            SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
        }
    }
    if (flags & SHOW_SCROLL) {
        if (HWND bar = ScrollBar()) {
            // Up means more: the top of a vertical bar is its maximum.
            int64_t position = IsVertical() ? static_cast<int64_t>(minimum) + maximum - value : value;
            SetScrollPos(bar, SB_CTL, static_cast<int>(position), TRUE);
        }
    }
    if (flags & SHOW_MAXIMUM) {
        if (HWND label = GetDlgItem(dialog, id + 2))
            SetNumberText(label, maximum);
    }
    return inRange;
}

bool NumberField::ReadEdit()
{
    HWND edit = Edit();
    if (!edit)
        return false;
    char text[EDIT_TEXT_MAX + 1] = {};
    GetWindowTextA(edit, text, sizeof text);
    const char* p = text;
    bool negative = *p == '-';
    if (negative)
        p++;
    if (!std::isdigit(static_cast<unsigned char>(*p)))
        return false;
    // Accumulated as a magnitude that stops growing once it is past either
    // limit: "99999999999" is the maximum, not a wrapped number.
    const int64_t beyond = static_cast<int64_t>(INT32_MAX) + 2;
    int64_t magnitude = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); p++) {
        if (magnitude < beyond)
            magnitude = magnitude * 10 + (*p - '0');
    }
    int64_t number = negative ? -magnitude : magnitude;
    if (number > maximum)
        number = maximum;
    if (number < minimum)
        number = minimum;
    value = static_cast<int32_t>(number);
    return true;
}

bool NumberField::OnEditChange()
{
    HWND edit = Edit();
    if (!edit || SendMessageA(edit, EM_GETMODIFY, 0, 0) == 0)
        return false;
    int32_t old = value;
    if (ReadEdit())
        Update(SHOW_SCROLL);
    return value != old;
}

bool NumberField::ApplyScroll(int code, int32_t position, bool vertical)
{
    // Codes from SB_ENDSCROLL on carry no movement.
    if (code >= SB_ENDSCROLL)
        return false;
    int32_t old = value;
    int64_t next = value;
    if (!vertical) {
        switch (code) {
        case SB_LINELEFT: next -= 1; break;
        case SB_LINERIGHT: next += 1; break;
        // A page jumps to the end rather than by a page: the field has no
        // page size, and the ends are what a click beside the thumb wants.
        case SB_PAGELEFT:
        case SB_LEFT: next = minimum; break;
        case SB_PAGERIGHT:
        case SB_RIGHT: next = maximum; break;
        default: next = position; break;    // SB_THUMBTRACK, SB_THUMBPOSITION
        }
    } else {
        switch (code) {
        case SB_LINEUP: next += 1; break;
        case SB_LINEDOWN: next -= 1; break;
        case SB_PAGEUP:
        case SB_TOP: next = maximum; break;
        case SB_PAGEDOWN:
        case SB_BOTTOM: next = minimum; break;
        default:
            next = IsVertical() ? static_cast<int64_t>(minimum) + maximum - position : position;
            break;
        }
    }
    value = static_cast<int32_t>(next < minimum ? minimum : next > maximum ? maximum : next);
    Update(SHOW_EDIT | SHOW_SCROLL | FORCE_EDIT);
    return value != old;
}

bool NumberField::OnScroll(int code, int32_t position)
{
    return ApplyScroll(code, position, false);
}

int32_t NumberField::ThumbPosition() const
{
    // While the thumb is dragged the tracked position is the one to take;
    // otherwise the bar reports its current position there as well.
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS | SIF_POS;
    if (!GetScrollInfo(ScrollBar(), SB_CTL, &info))
        return value;
    return info.nTrackPos;
}

bool NumberField::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == id && HIWORD(wParam) == EN_UPDATE)
            return OnEditChange();
        return false;
    case WM_HSCROLL:
    case WM_VSCROLL: {
        HWND bar = ScrollBar();
        if (!bar || reinterpret_cast<HWND>(lParam) != bar)
            return false;
        int code = LOWORD(wParam);
        bool thumb = code == SB_THUMBTRACK || code == SB_THUMBPOSITION;
        return ApplyScroll(code, thumb ? ThumbPosition() : 0, message == WM_VSCROLL);
    }
    default:
        return false;
    }
}
