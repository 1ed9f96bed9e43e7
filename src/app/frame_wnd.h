// The frame window: the program's only top-level window. It owns the child
// windows (transport buttons, views, location fields, status lines), lays
// them out, keeps the menu's states, turns menu items, accelerators and
// buttons into commands and routes system and device messages.
#pragma once

#include "lib/window_base_win.h"

enum { FRAME_CHILD_SLOTS = 25 };

// Answer of the default-button query: the dialog manager's "has a default
// id" mark in the high word, the transport button last used in the low word.
const LRESULT FRAME_DEFID_MARK = 0x534B0000;

class CKV_FrameWnd : public CWindowBase {
public:
    ~CKV_FrameWnd() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The command dispatcher: menu items, accelerators, buttons and the
    // standard edit messages arrive here. Unknown ids are ignored.
    void OnCommand(int id, HWND control, int code);

    // Shows the frame at the end of start-up. From then on its moves and sizes
    // are the user's and are remembered in the settings.
    void Show(int showMode);

    // The objects of the children made with the program's own class (views
    // and image buttons), in creation order; null for system controls.
    CWindowBase* children[FRAME_CHILD_SLOTS] = {};

private:
    void StorePlacement(bool withSize);
    void DeleteChildren();

    LRESULT OnCreate();
    void OnDestroy();
    void OnMove();
    void OnSize(int type, int width, int height);
    void OnClose();
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnEscape();
    void OnPressedButton(int id);
    void OnDropFiles(HDROP drop);

    bool trackPlacement = false;
};

CKV_FrameWnd& TheFrame();

// Creates the frame window (class "Kelvora") at the stored placement with
// menu 1060. Returns false when the window, its object or one of its
// children could not be made.
bool CreateFrameWindow();
