// The owner-drawn image button of the transport bar: a picture on a 3D face
// with a window-frame outline, drawn pressed while down. It sends its command
// to the parent on the press, not on the release, so that play and record
// start at once.
#pragma once

#include <windows.h>

#include <cstdint>

#include "lib/image_bitmap_win.h"
#include "lib/window_base_win.h"

// Sent to the parent with the id of the button that gained the focus (first
// parameter), or, when a button loses it to another window, that window's id.
const UINT WM_KV_BUTTON_FOCUS = WM_USER + 1;

// Window style bit of a latching button: it stays down when released, until
// BM_SETSTATE lifts it. The other low style bits have no effect.
const DWORD BUTTON_IMAGE_LATCHING = 0x0008;

class CButtonImage : public CWindowBase {
public:
    // State bits.
    enum : uint16_t {
        STATE_DOWN = 1,             // drawn pressed, the image moved right and down
        STATE_DISABLED_FACE = 2,
        STATE_DISABLED = 4,
        STATE_HIGHLIGHTED = 8,      // thick outline
        STATE_FOCUS = 16,           // focus rectangle around the image
    };

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The normal and disabled faces: bitmap resources of the module, or
    // bitmaps whose ownership passes to the button. False when one is
    // missing; the button then draws without it.
    bool SetFaces(HINSTANCE instance, int normalId, int disabledId);
    bool SetFaces(HBITMAP normal, HBITMAP disabled);

    // Draws the button in its present state onto the surface; WM_PAINT
    // draws through it.
    void Paint(HDC dc) const;

    uint16_t State() const { return state; }

private:
    // Stores the state and redraws (without erasing) when it changed.
    void SetState(uint16_t next);
    void TellParent(int id) const;
    void OnKillFocus(HWND next);
    void OnButtonDown();
    void OnRelease();
    bool IsLatching() const;

    CImageBitmap face;
    CImageBitmap disabledFace;
    uint16_t state = 0;
};
