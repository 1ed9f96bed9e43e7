// The real start-up run in this process, so the menu bar and the accelerator
// tables can be inspected (another process cannot read a menu under Wine).
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "app/app_win.h"
#include "app/frame_menu_wnd.h"
#include "app/frame_wnd.h"
#include "base/app.h"
#include "support/running_app.h"

namespace {

std::vector<int> commandsSeen;
WNDPROC frameProc = nullptr;

// Records the commands that reach the frame without running them.
LRESULT CALLBACK RecordCommands(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        commandsSeen.push_back(LOWORD(wParam));
        return 0;
    }
    return CallWindowProcA(frameProc, hwnd, message, wParam, lParam);
}

void CollectMenuIds(HMENU menu, std::set<int>& ids)
{
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; i++) {
        if (HMENU sub = GetSubMenu(menu, i))
            CollectMenuIds(sub, ids);
        else
            ids.insert(static_cast<int>(GetMenuItemID(menu, i)));
    }
}

enum Mods { NONE = 0, CTRL = 1, SHIFT = 2, ALT = 4, CHAR = 8 };

struct Accel {
    int key;
    int mods;
    int command;
};

// The keys of the main table (always) and of the editing table (no location
// field focused).
const Accel mainAndEditKeys[] = {
    {VK_ESCAPE, NONE, 3606}, {'N', CTRL, 3001}, {'O', CTRL, 2001}, {'S', CTRL, 3003},
    {'Z', CTRL, 3101}, {'X', CTRL, 3103}, {'C', CTRL, 3104}, {'V', CTRL, 3105},
    {'A', CTRL, 3108}, {VK_RETURN, ALT, 2010}, {VK_F1, NONE, 5000}, {VK_ADD, NONE, 3203},
    {VK_SUBTRACT, NONE, 3202}, {'+', CHAR, 3203}, {'-', CHAR, 3202}, {'W', ALT, 3600},
    {'A', ALT, 3601}, {'P', ALT, 3602}, {'S', ALT, 3603}, {'R', ALT, 3604}, {'T', ALT, 3605},
    {'L', CTRL, 3207}, {'R', CTRL, 3208}, {'Z', ALT, 3201}, {VK_UP, NONE, 3607},
    {VK_UP, SHIFT, 3607}, {VK_DOWN, NONE, 3608}, {VK_DOWN, SHIFT, 3608},
    {VK_BACK, NONE, 3101}, {VK_BACK, SHIFT, 3102}, {VK_INSERT, NONE, 3105},
    {VK_DELETE, NONE, 3107}, {VK_DELETE, SHIFT, 3103}, {VK_INSERT, CTRL, 3104},
    {VK_HOME, NONE, 3109}, {VK_END, NONE, 3110}, {VK_SELECT, CTRL, 3108},
    {VK_PRIOR, NONE, 33}, {VK_PRIOR, SHIFT, 33}, {VK_NEXT, NONE, 34}, {VK_NEXT, SHIFT, 34},
    {VK_END, SHIFT, 35}, {VK_HOME, SHIFT, 36}, {VK_LEFT, NONE, 37}, {VK_LEFT, SHIFT, 37},
    {VK_RIGHT, NONE, 39}, {VK_RIGHT, SHIFT, 39},
};

class AppStartupTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        frame = StartApp();
        ASSERT_NE(nullptr, frame);
        frameProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordCommands)));
    }
    static void TearDownTestSuite()
    {
        SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(frameProc));
        StopApp();
    }

    // Presses a key with the given modifiers through the program's routing.
    static int Press(const Accel& a)
    {
        BYTE state[256] = {};
        if (a.mods & CTRL)
            state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
        if (a.mods & SHIFT)
            state[VK_SHIFT] = state[VK_LSHIFT] = 0x80;
        if (a.mods & ALT)
            state[VK_MENU] = state[VK_LMENU] = 0x80;
        SetKeyboardState(state);
        MSG msg = {};
        msg.hwnd = frame;
        if (a.mods & CHAR) {
            msg.message = WM_CHAR;
        } else {
            msg.message = (a.mods & ALT) ? WM_SYSKEYDOWN : WM_KEYDOWN;
            msg.lParam = (a.mods & ALT) ? (1 << 29) : 0;
        }
        msg.wParam = static_cast<WPARAM>(a.key);
        commandsSeen.clear();
        RouteMessage(msg);
        BYTE none[256] = {};
        SetKeyboardState(none);
        return commandsSeen.empty() ? -1 : commandsSeen.back();
    }

    static HWND frame;
};

HWND AppStartupTest::frame = nullptr;

TEST_F(AppStartupTest, MenuBarHoldsEveryMenuCommand)
{
    const int commands[] = {3001, 2001, 3003, 2002, 2010, 3008, 3101, 3102, 3103, 3104, 3105,
        3106, 3107, 3108, 3109, 3110, 3201, 3202, 3203, 3204, 3205, 3206, 3207, 3208, 3209,
        2011, 2012, 2013, 2014, 2015, 2016, 2017, 2018, 2019, 2021, 2022, 2023, 2024, 3411,
        3412, 3415, 3416, 3417, 3503, 3504, 3505, 2042, 2041};
    std::set<int> ids;
    CollectMenuIds(GetMenu(frame), ids);
    for (int id : commands)
        EXPECT_TRUE(ids.count(id)) << "menu lacks command " << id;
    HMENU menu = GetMenu(frame);
    ASSERT_EQ(GetMenuItemCount(menu), 5);
    char text[64];
    GetMenuStringA(menu, 3, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "&Options");
    HMENU options = GetSubMenu(menu, 3);
    GetMenuStringA(options, GetMenuItemCount(options) - 1, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "&Other Effects");
}

// A key whose menu item is gray (its command has no handler yet, or its
// rule does not hold) sends nothing, as the item would.
TEST_F(AppStartupTest, EveryKeyReachesItsCommandUnlessItsItemIsGray)
{
    TheApp().locationEditFocus = nullptr;
    HMENU menu = GetMenu(frame);
    UpdateMenuStates(menu);
    int grayKeys = 0;
    for (const Accel& a : mainAndEditKeys) {
        UINT state = GetMenuState(menu, a.command, MF_BYCOMMAND);
        bool gray = state != static_cast<UINT>(-1) && (state & MF_GRAYED);
        grayKeys += gray;
        EXPECT_EQ(Press(a), gray ? -1 : a.command) << "key " << a.key << " mods " << a.mods;
    }
    EXPECT_GT(grayKeys, 0);
}

TEST_F(AppStartupTest, LocationFieldSwapsTheEditingKeysForEnter)
{
    TheApp().locationEditFocus = frame;
    EXPECT_EQ(Press({VK_RETURN, NONE, 3606}), 3606);
    EXPECT_EQ(Press({VK_DELETE, NONE, 3107}), -1);
    EXPECT_EQ(Press({VK_HOME, NONE, 3109}), -1);
    // The keys that edit text stay the field's.
    for (Accel key : {Accel{'X', CTRL, 0}, Accel{'C', CTRL, 0}, Accel{'V', CTRL, 0}, Accel{'Z', CTRL, 0},
                      Accel{'+', CHAR, 0}, Accel{'-', CHAR, 0}, Accel{VK_ADD, NONE, 0}})
        EXPECT_EQ(Press(key), -1) << key.key;
    EXPECT_EQ(Press({'W', ALT, 3600}), 3600);
    TheApp().locationEditFocus = nullptr;
    EXPECT_NE(Press({VK_RETURN, NONE, 0}), 3606);
}

TEST_F(AppStartupTest, StartUpMeasuresTheFontAndTheUpdateMessageTitlesTheUntitledSound)
{
    const App& app = TheApp();
    EXPECT_TRUE(app.charWidth > 0 && app.charHeight > 0);
    for (int w : app.labelWidths)
        EXPECT_GT(w, app.charWidth);
    EXPECT_EQ(app.actionState, ACTSTATE_READY);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        RouteMessage(msg);
    char title[64];
    GetWindowTextA(frame, title, sizeof(title));
    EXPECT_STREQ(title, "Kelvora - (Untitled)");
}

}
