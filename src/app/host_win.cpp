#include "app/host_win.h"

#include "app/app.h"
#include "app/app_win.h"
#include "app/error_box_win.h"
#include "app/frame_wnd.h"

bool WindowsHost::FrameExists() const
{
    return TheApp().frame && TheApp().frame->hwnd;
}

void WindowsHost::PostViewUpdate()
{
    if (FrameExists())
        PostMessageA(TheApp().frame->hwnd, WM_KV_UPDATE_VIEWS, 0, 0);
}

void WindowsHost::PumpMessages(volatile int* flag)
{
    ::PumpMessages(flag);
}

void WindowsHost::ShowError(int code)
{
    ::ShowError(nullptr, code);
}
