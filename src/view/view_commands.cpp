#include "view/view_commands.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "sound/document.h"
#include "view/selection_ops.h"

namespace {

// Arrow keys move by a twentieth of the shown length.
const int32_t ARROW_STEPS_PER_VIEW = 20;

int32_t ClampToInt32(int64_t value)
{
    return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(value, INT32_MIN), INT32_MAX));
}

// A zoom keeps the selection start in view; a cursor stays in the middle.
void ZoomTo(int64_t newLength)
{
    const Selection& sel = TheSelection();
    int32_t length = ClampToInt32(newLength);
    int64_t start = sel.selStart;
    if (sel.selLength == 0)
        start -= length / 2;
    SetViewRange(ClampToInt32(start), length, ORIGIN_COMMAND);
}

// The view follows a moved selection: its end is brought inside the view,
// but never at the cost of its start.
void FollowSelection()
{
    const Selection& sel = TheSelection();
    int64_t selEnd = static_cast<int64_t>(sel.selStart) + sel.selLength;
    int64_t viewStart = sel.viewStart;
    if (selEnd >= viewStart + sel.viewLength)
        viewStart = selEnd - sel.viewLength;
    if (viewStart > sel.selStart)
        viewStart = sel.selStart;
    if (viewStart != sel.viewStart)
        SetViewRange(ClampToInt32(viewStart), sel.viewLength, ORIGIN_COMMAND);
}

}

void OnCursorKey(int key, bool shift)
{
    const Selection& sel = TheSelection();
    bool lengthKey = shift && sel.selLength != 0;
    int64_t value = lengthKey ? sel.selLength : sel.selStart;
    switch (key) {
    case KEY_PAGE_UP:
        value -= sel.viewLength;
        break;
    case KEY_PAGE_DOWN:
        value += sel.viewLength;
        break;
    case KEY_END:
        value = TheDocument().length;
        break;
    case KEY_HOME:
        value = 0;
        break;
    case KEY_LEFT:
        value -= sel.viewLength / ARROW_STEPS_PER_VIEW;
        break;
    case KEY_RIGHT:
        value += sel.viewLength / ARROW_STEPS_PER_VIEW;
        break;
    default:
        return;
    }
    if (lengthKey)
        SetSelection(sel.selStart, ClampToInt32(value), ORIGIN_COMMAND);
    else
        SetSelection(ClampToInt32(value), sel.selLength, ORIGIN_COMMAND);
    FollowSelection();
}

void ZoomIn()
{
    ZoomTo(TheSelection().viewLength / 2);
}

void ZoomOut()
{
    ZoomTo(static_cast<int64_t>(TheSelection().viewLength) * 2);
}

void ZoomSelect()
{
    const Selection& sel = TheSelection();
    int32_t length = sel.selLength != 0 ? sel.selLength : TheDocument().length - sel.selStart;
    SetViewRange(sel.selStart, length, ORIGIN_COMMAND);
}

void DisplayAll()
{
    SetViewRange(0, TheDocument().length, ORIGIN_COMMAND);
}

void SelectAll()
{
    SetSelection(0, TheDocument().length, ORIGIN_COMMAND);
}

void GoToStart()
{
    SetSelection(0, 0, ORIGIN_COMMAND);
}

void GoToEnd()
{
    SetSelection(TheDocument().length, 0, ORIGIN_COMMAND);
}

void Rewind()
{
    if (TheSelection().selLength != 0)
        MoveToEnd(false, ORIGIN_COMMAND);
    else
        SetSelection(0, 0, ORIGIN_COMMAND);
}

void FastForward()
{
    if (TheSelection().selLength != 0)
        MoveToEnd(true, ORIGIN_COMMAND);
    else
        SetSelection(TheDocument().length, 0, ORIGIN_COMMAND);
}
