// The frame window: the program's only top-level window. It turns menu items,
// accelerators and buttons into commands and routes system messages.
#pragma once

#include "lib/window_base_win.h"

class CKV_FrameWnd : public CWindowBase {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The command dispatcher: menu items, accelerators, buttons and the
    // standard edit messages arrive here. Unknown ids are ignored.
    void OnCommand(int id, HWND control, int code);

    // Shows the frame at the end of start-up. From then on its moves and sizes
    // are the user's and are remembered in the settings.
    void Show(int showMode);

private:
    void StorePlacement(bool withSize);

    LRESULT OnCreate();
    void OnDestroy();
    void OnMove();
    void OnSize(int type, int width, int height);
    void OnClose();
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnEscape();

    bool trackPlacement = false;
};

CKV_FrameWnd& TheFrame();

// Creates the frame window (class "Kelvora") at the stored placement with
// menu 1060. Returns false when the window or its object could not be made.
bool CreateFrameWindow();
