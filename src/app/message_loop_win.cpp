#include "app/app_win.h"
#include "app/frame_wnd.h"
#include "app/progress_dlg_win.h"
#include "base/app.h"

namespace {

HWND FrameHandle()
{
    return TheApp().frame ? TheApp().frame->hwnd : nullptr;
}

// While a location field has the focus, the keys that edit text (cut, copy,
// paste, undo, and the "+" and "-" the main table maps to zooming) edit the
// field's text, never the sound.
bool IsFieldEditingKey(const MSG& msg)
{
    if (!TheApp().locationEditFocus)
        return false;
    if (msg.message == WM_CHAR)
        return msg.wParam == '+' || msg.wParam == '-';
    if (msg.message != WM_KEYDOWN)
        return false;
    switch (msg.wParam) {
    case VK_ADD:
    case VK_SUBTRACT:
    case VK_DELETE:
        return true;
    case 'X':
    case 'C':
    case 'V':
    case 'Z':
        return GetKeyState(VK_CONTROL) < 0;
    default:
        return false;
    }
}

}

void RouteMessage(MSG& msg)
{
    App& app = TheApp();
    // The progress dialog's keys are its own: Esc there cancels the action
    // as its button does, instead of stopping playback through the frame.
    if (HWND progress = ProgressDialogWindow(); progress && IsDialogMessageA(progress, &msg))
        return;
    HWND frame = FrameHandle();
    if (frame && !IsFieldEditingKey(msg)) {
        if (app.accelMain && TranslateAcceleratorA(frame, static_cast<HACCEL>(app.accelMain), &msg))
            return;
        HACCEL second = static_cast<HACCEL>(app.locationEditFocus ? app.accelLocation : app.accelEdit);
        if (second && TranslateAcceleratorA(frame, second, &msg))
            return;
    }
    // Alt with a printable character: dispatched at once so menu mnemonics work.
    if (msg.message == WM_SYSCHAR && msg.wParam >= 32 && msg.wParam <= 122) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        return;
    }
    if (frame && IsDialogMessageA(frame, &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

int RunMainLoop()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        RouteMessage(msg);
    return static_cast<int>(msg.wParam);
}

void PumpMessages(volatile int* flag)
{
    int routed = 0;
    MSG msg;
    while (*flag) {
        // After the first hundred messages only one per pass, so the flag is
        // looked at again after every message.
        while (*flag && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // Leave the quit message for the main loop.
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            RouteMessage(msg);
            if (++routed > 100)
                break;
        }
        // Sleep until input arrives instead of spinning; the timeout covers a
        // flag cleared by something other than a message.
        if (*flag && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}
