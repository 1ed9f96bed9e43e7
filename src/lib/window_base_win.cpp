#include "lib/window_base_win.h"

LRESULT CWindowBase::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

CWindowBase::~CWindowBase()
{
    if (hwnd && IsWindow(hwnd)) {
        HWND h = hwnd;
        SetWindowLongPtrA(h, GWLP_USERDATA, 0);
        hwnd = nullptr;
        DestroyWindow(h);
    }
    hwnd = nullptr;
}

ATOM RegisterWindowClass(WNDCLASSA& wc)
{
    wc.lpfnWndProc = WindowDispatcher;
    return RegisterClassA(&wc);
}

LRESULT CALLBACK WindowDispatcher(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE || message == WM_CREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* object = static_cast<CWindowBase*>(cs->lpCreateParams);
        if (object) {
            object->hwnd = hwnd;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        }
    }
    auto* object = reinterpret_cast<CWindowBase*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!object)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    LRESULT result = object->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        object->hwnd = nullptr;
    }
    return result;
}
