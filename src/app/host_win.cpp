#include "app/host_win.h"

#include <algorithm>

#include "app/app_win.h"
#include "app/clipboard_win.h"
#include "app/dialog_table_win.h"
#include "app/error_box_win.h"
#include "app/frame_wnd.h"
#include "app/help_wnd.h"
#include "app/progress_dlg_win.h"
#include "base/app.h"
#include "sound/document.h"

bool WindowsHost::FrameExists() const
{
    return TheApp().frame && TheApp().frame->hwnd;
}

bool WindowsHost::PostViewUpdate()
{
    return FrameExists() && PostMessageA(TheApp().frame->hwnd, WM_KV_UPDATE_VIEWS, 0, 0);
}

namespace {
const DWORD ROUTE_INTERVAL_MS = 15;
}

void WindowsHost::PumpMessages(volatile int* flag)
{
    if (flag && *flag) {
        ::PumpMessages(flag);
        return;
    }
    // A zero flag: what is waiting now is routed once, so that painting and
    // a Cancel button keep working between a long action's progress checks.
    // Bounded, so a steady stream of messages cannot stall the action. Each
    // look at the queue is a round trip to the window system (tens of
    // microseconds under Wine), while a check comes every few thousand
    // samples: the queue is looked at no more often than the screen
    // changes, which keeps painting and Cancel prompt and the action fast.
    const DWORD now = GetTickCount();
    if (routedOnce && now - routedAt < ROUTE_INTERVAL_MS)
        return;
    routedOnce = true;
    routedAt = now;
    MSG msg;
    for (int routed = 0; routed < 100 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); routed++) {
        if (msg.message == WM_QUIT) {
            // Left for the main loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        RouteMessage(msg);
    }
}

void WindowsHost::ShowError(int code)
{
    ::ShowError(nullptr, code);
}

void WindowsHost::ShowInformation(const char* title, const char* text)
{
    HWND owner = FrameExists() ? TheApp().frame->hwnd : nullptr;
    MessageBoxA(owner, text ? text : "", title ? title : "", MB_OK | MB_ICONINFORMATION);
}

void WindowsHost::BeginWaitCursor()
{
    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    if (waitDepth++ == 0)
        previousCursor = previous;
}

void WindowsHost::EndWaitCursor()
{
    if (waitDepth <= 0)
        return;
    if (--waitDepth == 0) {
        SetCursor(previousCursor);
        previousCursor = nullptr;
    }
}

void WindowsHost::BeginProgress(const char* actionName)
{
    ShowProgressDialog(static_cast<HWND>(FrameWindow()), actionName);
}

bool WindowsHost::UpdateProgress(int32_t done, int32_t total)
{
    return UpdateProgressDialog(done, total);
}

void WindowsHost::EndProgress()
{
    CloseProgressDialog();
}

void* WindowsHost::FrameWindow() const
{
    return FrameExists() ? TheApp().frame->hwnd : nullptr;
}

bool WindowsHost::FrameVisible() const
{
    return FrameExists() && IsWindowVisible(TheApp().frame->hwnd);
}

void WindowsHost::PostCloseRequest()
{
    if (FrameExists())
        PostMessageA(TheApp().frame->hwnd, WM_CLOSE, 0, 0);
}

uint32_t WindowsHost::StartTimer(uint32_t id, uint32_t periodMs)
{
    if (!FrameExists())
        return 0;
    return static_cast<uint32_t>(SetTimer(TheApp().frame->hwnd, id, periodMs, nullptr));
}

void WindowsHost::StopTimer(uint32_t id)
{
    if (FrameExists())
        KillTimer(TheApp().frame->hwnd, id);
}

uint64_t WindowsHost::AvailableMemory() const
{
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status))
        return UINT64_MAX;
    return std::min<uint64_t>(status.ullAvailVirtual, status.ullAvailPageFile);
}

// Wave audio, or RIFF data that may hold it.
bool WindowsHost::ClipboardHasSound() const
{
    return ClipboardCommand(nullptr, CLIP_QUERY) != 0;
}

int64_t WindowsHost::ClipboardSoundLength()
{
    // The probe reads only the headers, into the paste length.
    if (ClipboardCommand(nullptr, CLIP_PROBE) != 1)
        return -1;
    return TheSelection().pendingLength;
}

bool WindowsHost::FrameMaximized() const
{
    HWND frame = static_cast<HWND>(FrameWindow());
    return frame && IsZoomed(frame);
}

// Help is shown by the program itself (app/help_wnd.cpp), in a window owned
// by the frame whichever window asks, so a closing dialog does not take it
// along.
void WindowsHost::ShowHelp(void* owner, uint32_t command, uintptr_t data)
{
    ShowHelpWindow(static_cast<HWND>(FrameWindow()), command, data);
}

bool WindowsHost::RunDialog(int templateId)
{
    return RunProgramDialog(templateId);
}
