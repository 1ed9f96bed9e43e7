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

namespace {

// The object whose window is being created on this thread, bound to the
// window at its first message.
thread_local CWindowBase* creating = nullptr;

void Bind(HWND hwnd, CWindowBase* object)
{
    object->hwnd = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
}

}

HWND CWindowBase::Create(DWORD exStyle, const char* className, const char* title, DWORD style,
    int x, int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance)
{
    CWindowBase* outer = creating;
    creating = this;
    HWND h = CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menu,
        instance, this);
    creating = outer;
    return h;
}

ATOM RegisterWindowClass(WNDCLASSA& wc)
{
    wc.lpfnWndProc = WindowDispatcher;
    return RegisterClassA(&wc);
}

LRESULT CALLBACK WindowDispatcher(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* object = reinterpret_cast<CWindowBase*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!object && creating) {
        object = creating;
        creating = nullptr;
        Bind(hwnd, object);
    }
    if (!object && (message == WM_NCCREATE || message == WM_CREATE)) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        object = static_cast<CWindowBase*>(cs->lpCreateParams);
        if (object)
            Bind(hwnd, object);
    }
    if (!object)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    LRESULT result = object->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        object->hwnd = nullptr;
    }
    return result;
}
