// The two strips beside the waveform. The zoom bar (IDW_TOP_ZOOM) above it
// shows where the selection starts and ends within the shown range, as two
// handles to drag. The overview strip (IDW_ZOOM) below it shows the whole
// sound as a bar: the shown range, the selection, the play position, handles
// for the selection in its top third and for the shown range in its bottom
// third. Both change things only through the selection operations
// (selection_ops.h) and follow them through the UpdWaveView update. The
// frame creates and owns both objects; a strip narrower than its margins
// ignores the mouse.
#pragma once

#include <windows.h>

#include <cstdint>

#include "lib/window_base_win.h"
#include "view/zoom_strip.h"

// What both strips do alike: their creation, painting, cursor over a
// handle, and giving up the mouse; each strip supplies the parts that differ.
class CKV_StripWnd : public CWindowBase {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Draws the whole client area as the window shows it (also used by tests
    // painting into a memory bitmap).
    virtual void Paint(HDC dc) const = 0;
    // Places the handles for the current state, invalidating what moved.
    virtual void Update() = 0;

protected:
    // The window was created (true) or is being destroyed (false).
    virtual void Attach(bool created) = 0;
    virtual void OnSize(int32_t width, int32_t height) = 0;
    virtual void OnMouse(UINT message, int32_t x, int32_t y) = 0;
    virtual bool OverHandle(int32_t x, int32_t y) const = 0;
    // The capture was taken away in the middle of a drag.
    virtual void OnCaptureCancelled() = 0;
};

class CKV_TopZoomWnd : public CKV_StripWnd {
public:
    ~CKV_TopZoomWnd() override;

    void Paint(HDC dc) const override;
    // Nothing while the waveform is hidden.
    void Update() override;

private:
    void Attach(bool created) override;
    void OnSize(int32_t width, int32_t height) override;
    void OnMouse(UINT message, int32_t x, int32_t y) override;
    bool OverHandle(int32_t x, int32_t y) const override;
    void OnCaptureCancelled() override;
    int32_t MousePosition(int32_t x) const;

    bool recalc = true;
    StripGeometry geometry;
    int32_t shownStart = 0;
    int32_t shownLength = 0;
    int32_t shownViewStart = 0;
    int32_t shownViewLength = 0;
    ZoomBarHandles handles;
    int32_t anchor = 0;
};

class CKV_ZoomWnd : public CKV_StripWnd {
public:
    ~CKV_ZoomWnd() override;

    void Paint(HDC dc) const override;
    // Places the bar's marks for the current document, selection, view range
    // and play position, invalidating what moved.
    void Update() override;

    enum DragMode { DRAG_NONE = -1, DRAG_SELECTION = 0, DRAG_PLAY = 1, DRAG_VIEW = 2 };
    int DragModeNow() const { return dragMode; }

private:
    void Attach(bool created) override;
    void OnSize(int32_t width, int32_t height) override;
    void OnMouse(UINT message, int32_t x, int32_t y) override;
    bool OverHandle(int32_t x, int32_t y) const override;
    void OnCaptureCancelled() override;
    void Press(int32_t x, int32_t y, int32_t pos);
    void Release(int32_t pos);
    void ShowPopup(int32_t x, int32_t y);
    void InvalidateStrip(const StripRect& r);
    StripRect ThumbRect(int32_t x) const;
    StripState Current() const;

    bool recalc = true;
    StripGeometry geometry;
    StripState shown;
    OverviewPlacement placed;
    int dragMode = DRAG_NONE;
    int32_t anchor = 0;
    bool restartPlay = false;       // the play position was taken while playing
};

// The strips' part of the UpdWaveView update: both windows, where they
// exist, place and repaint their handles. The strips install it when they
// are created; a waveform window that takes over that update calls it from
// its own handler.
void UpdateZoomStrips();
