// The real program started on the test's own thread, once for a suite of
// tests: its frame, menus and message routing as a user has them.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include "app/app_win.h"
#include "app/frame_wnd.h"
#include "base/app.h"

// Starts the program with `arguments` as its command line; the frame's
// window, null when it did not start.
inline HWND StartApp(const char* arguments = "")
{
    if (AppStartup(GetModuleHandleA(nullptr), false, arguments, SW_SHOWNORMAL) != 0 || !TheApp().frame)
        return nullptr;
    return TheApp().frame->hwnd;
}

// Closes the frame and lets the program leave its main loop and clean up.
inline void StopApp()
{
    if (TheApp().frame && TheApp().frame->hwnd)
        DestroyWindow(TheApp().frame->hwnd);
    RunMainLoop();
    AppCleanup();
}

// Routes every message waiting for this thread as the program's loop does.
inline void RouteWaitingMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        RouteMessage(msg);
}

// A suite of tests against the program started once for it.
class RunningAppTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        frame = StartApp();
        ASSERT_NE(nullptr, frame);
    }
    static void TearDownTestSuite() { StopApp(); }

    static inline HWND frame = nullptr;
};
