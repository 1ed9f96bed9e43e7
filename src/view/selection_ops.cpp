#include "view/selection_ops.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "base/app_options.h"
#include "base/host.h"
#include "base/update_views.h"
#include "device/dev_options.h"
#include "device/engine.h"
#include "edit/actions.h"
#include "edit/undo_history.h"
#include "sound/document.h"
#include "view/view_model.h"

namespace {

bool HasUsableFormat()
{
    return TheDocument().format.BlockAlign() != 0;
}

bool IsRecorded(int origin)
{
    return origin > ORIGIN_PROGRAM;
}

bool Commits(int origin)
{
    return origin >= ORIGIN_PROGRAM;
}

// The user (or the program) moves things here: play stops. The engine's own
// position updates must not stop it, and a drag leaves it running.
bool StopsEngine(int origin)
{
    return origin == ORIGIN_GESTURE_START || origin == ORIGIN_PROGRAM || origin >= ORIGIN_COMMAND;
}

// While an action runs only the action itself and the engine move things:
// the user's keys, commands and mouse gestures change nothing.
bool RefusedDuringAction(int origin)
{
    return origin != ORIGIN_ENGINE && origin != ORIGIN_PROGRAM && ActIsBusy();
}

int32_t ClampToInt32(int64_t value)
{
    return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(value, INT32_MIN), INT32_MAX));
}

void PlayAfterSelection()
{
    int rc = Play();
    if (rc > 0)
        TheHost().ShowError(rc);
}

}

void SetViewRange(int32_t start, int32_t length, int origin)
{
    if (!HasUsableFormat())
        return;
    Selection& sel = TheSelection();
    WaveViewModel& view = TheWaveView();
    if (RefusedDuringAction(origin))
        return;
    bool recorded = IsRecorded(origin);
    if (recorded) {
        SavedRange saved = {view.committedViewStart, view.committedViewLength};
        // Refused while another action runs: nothing changes then.
        if (ActPrepare(ACTION_DISPLAY, ACTION_DISPLAY, &saved, sizeof saved) == 0)
            return;
    }

    FittedRange fit = FitViewRange(start, length);
    view.scaleMode = fit.scaleMode;
    view.factor = fit.factor;
    bool changed = fit.start != sel.viewStart || fit.length != sel.viewLength;
    if (changed) {
        int64_t moved = static_cast<int64_t>(fit.start) - sel.viewStart;
        if (fit.length == sel.viewLength && sel.viewLength > 0 && std::llabs(moved) < sel.viewLength) {
            // Same scale, overlapping content: move what is drawn and paint
            // only the uncovered columns.
            RequestWaveScroll(ClampToInt32(moved * view.width / sel.viewLength));
        } else {
            RequestWholeWaveRepaint();
        }
        if (fit.length != sel.viewLength)
            view.fullRedraw = true;
        sel.viewStart = fit.start;
        sel.viewLength = fit.length;
        UpdateViews(UpdWaveView);
    }

    if (Commits(origin)) {
        bool differs = fit.start != view.committedViewStart || fit.length != view.committedViewLength;
        if (changed || differs)
            RequestWholeWaveRepaint();
        view.committedViewStart = fit.start;
        view.committedViewLength = fit.length;
        if (recorded)
            ActComplete(ACTION_DISPLAY, ACT_PREPARED | (differs ? 0u : uint32_t(ACT_NO_RECORD)));
    }
}

void SetSelection(int32_t start, int32_t length, int origin)
{
    if (!HasUsableFormat())
        return;
    Selection& sel = TheSelection();
    WaveViewModel& view = TheWaveView();
    int32_t total = TheDocument().length;
    start = std::min(std::max(start, 0), total);
    length = std::min(std::max(length, 0), total - start);

    if (RefusedDuringAction(origin))
        return;
    bool recorded = IsRecorded(origin);
    if (recorded) {
        // A gesture is undone to where it began, not to its last drag step.
        SavedRange saved = {view.committedSelStart, view.committedSelLength};
        // Refused while another action runs: nothing changes then.
        if (ActPrepare(ACTION_SELECT, ACTION_SELECT, &saved, sizeof saved) == 0)
            return;
    }

    bool changed = false;
    bool startChanged = start != sel.selStart;
    if (startChanged) {
        int32_t oldStart = sel.selStart;
        if (recorded && sel.playPos == oldStart)
            SetPlayPosition(oldStart, ORIGIN_GESTURE_START);
        sel.selStart = start;
        UpdateViews(UpdSelStart | UpdWaveView);
        changed = true;
    }
    // The end field shows start + length, so a new start changes it too.
    if (length != sel.selLength || (startChanged && TheAppOptions().showEnd)) {
        sel.selLength = length;
        UpdateViews(UpdSelLength | UpdWaveView);
        changed = true;
    }
    if (changed)
        UpdateViews(UpdWaveView);

    if (Commits(origin)) {
        bool differs = start != view.committedSelStart || length != view.committedSelLength;
        view.committedSelStart = start;
        view.committedSelLength = length;
        SetPlayPosition(length != 0 ? sel.playPos : start, ORIGIN_PROGRAM);
        if (recorded) {
            ActComplete(ACTION_SELECT, ACT_PREPARED | (differs ? 0u : uint32_t(ACT_NO_RECORD)));
            if (differs && length != 0 && TheDevOptions().playAfterSelection)
                PlayAfterSelection();
        }
    }
}

void SetPlayPosition(int32_t position, int origin)
{
    if (RefusedDuringAction(origin))
        return;
    Selection& sel = TheSelection();
    if (origin > ORIGIN_ENGINE) {
        int32_t low = sel.selStart;
        int32_t high = sel.selLength != 0
            ? ClampToInt32(static_cast<int64_t>(sel.selStart) + sel.selLength)
            : TheDocument().length;
        high = std::max(high, low);
        position = std::min(std::max(position, low), high);
    }
    if (StopsEngine(origin)) {
        TheDev().playingWhenMoved = TheDev().mode == DevMode::Playing;
        Stop();
    }
    if (position != sel.playPos) {
        sel.playPos = position;
        // While a device runs the view pages to follow the position.
        int64_t viewEnd = static_cast<int64_t>(sel.viewStart) + sel.viewLength;
        if (TheDev().mode != DevMode::Closed && (position < sel.viewStart || position >= viewEnd))
            SetViewRange(position, sel.viewLength, origin);
        UpdateViews(UpdWaveView | UpdPlayPos);
    }
    // The user moved the position while it was playing: play on from there.
    if (origin >= ORIGIN_GESTURE_END && TheDev().playingWhenMoved)
        PlayAfterSelection();
}

void MoveToEnd(bool forward, int origin)
{
    const Selection& sel = TheSelection();
    int64_t position = sel.playPos;
    if (origin != ORIGIN_GESTURE_END) {
        int64_t total = TheDocument().length;
        position += forward ? total : -total;
    }
    SetPlayPosition(ClampToInt32(position), origin);
}

void RepaintRange(int32_t a, int32_t b)
{
    if (b == 0) {
        RequestWaveRepaintToEdge(a);
        TheWaveView().fullRedraw = true;
    } else {
        // Both ends' columns: b is often the block just past a range.
        int32_t low = std::min(a, b);
        int32_t high = std::max(a, b);
        RequestWaveRepaint(low, ClampToInt32(static_cast<int64_t>(high) + 1));
    }
    UpdateViews(UpdWaveView);
}

void DropGesture()
{
    const WaveViewModel& view = TheWaveView();
    const Selection& sel = TheSelection();
    if (sel.selStart != view.committedSelStart || sel.selLength != view.committedSelLength)
        SetSelection(view.committedSelStart, view.committedSelLength, ORIGIN_PROGRAM);
}

namespace {

class ViewSelection : public SelectionLink {
public:
    void SetSelection(int32_t start, int32_t length, int origin) override { ::SetSelection(start, length, origin); }
    void SetViewRange(int32_t start, int32_t length, int origin) override { ::SetViewRange(start, length, origin); }
    void SetPlayPosition(int32_t position, int origin) override { ::SetPlayPosition(position, origin); }
    void RepaintRange(int32_t a, int32_t b) override { ::RepaintRange(a, b); }
    void DropGesture() override { ::DropGesture(); }
};

}

SelectionLink& ViewSelectionLink()
{
    static ViewSelection link;
    return link;
}
