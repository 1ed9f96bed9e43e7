// Window objects: a window whose procedure is a virtual operation, and the one
// window procedure that routes the platform's messages to those objects.
#pragma once

#include <windows.h>

class CWindow {
public:
    virtual ~CWindow() = default;
    HWND hwnd = nullptr;
};

class CWindowBase : public CWindow {
public:
    // Slot 0: by default the platform's default window procedure.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Destroys the window when it still exists.
    ~CWindowBase() override;

    // Creates the window bound to this object from its very first message
    // (the size query a top-level window gets before its creation messages).
    HWND Create(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
        int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance);
};

// Sets the class's procedure to WindowDispatcher and registers it.
ATOM RegisterWindowClass(WNDCLASSA& wc);

// On the creation messages the object passed as creation parameter is bound to
// the window (its handle stored, the object kept in the user-data slot); every
// message then goes to the bound object's WindowProc.
LRESULT CALLBACK WindowDispatcher(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
