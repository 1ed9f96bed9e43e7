// The real frame window, started in this process with the waveform and the
// locations shown: where its children land, the size it keeps, its menus
// and keys (another process cannot read a menu under Wine), the
// default-button query, dropped files, and that thousands of repaints leave
// it drawing as before.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/app_win.h"
#include "app/frame_children_wnd.h"
#include "app/frame_menu_wnd.h"
#include "app/frame_wnd.h"
#include "app/memory_settings_store.h"
#include "base/app.h"
#include "base/app_options.h"
#include "base/settings_store.h"
#include "device/engine.h"
#include "lib/button_image_wnd.h"
#include "resource.h"
#include "sound/document.h"
#include "support/running_app.h"
#include "support/wave_builder.h"
#include "support/win_driver.h"
#include "support/win_pixels.h"

using namespace wave;

namespace {

std::string SiblingPath(const char* extension)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p = path;
    return p.substr(0, p.find_last_of('.')) + extension;
}

RECT ChildRect(HWND frame, int id)
{
    RECT r = {};
    GetWindowRect(GetDlgItem(frame, id), &r);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void CollectMenuIds(HMENU menu, std::set<int>& ids)
{
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
        if (HMENU sub = GetSubMenu(menu, i))
            CollectMenuIds(sub, ids);
        else
            ids.insert(static_cast<int>(GetMenuItemID(menu, i)));
    }
}

// A DROPFILES block as the shell makes it: the names one after another,
// each ended by a zero, the list ended by another.
HDROP MakeDrop(const std::vector<std::string>& names)
{
    size_t bytes = sizeof(DROPFILES) + 1;
    for (const std::string& n : names)
        bytes += n.size() + 1;
    HGLOBAL block = GlobalAlloc(GHND, bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    char* p = reinterpret_cast<char*>(drop + 1);
    for (const std::string& n : names) {
        memcpy(p, n.c_str(), n.size() + 1);
        p += n.size() + 1;
    }
    GlobalUnlock(block);
    return static_cast<HDROP>(block);
}

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

class FrameTest : public RunningAppTest {
protected:
    static void SetUpTestSuite()
    {
        driver::WriteFile(SiblingPath(".INI"), "[Kelvora]\r\nDISPLAY=1,1,1,1\r\nLOCATION=30,30,800,500\r\n");
        RunningAppTest::SetUpTestSuite();
        RouteWaitingMessages();
    }
    static void TearDownTestSuite()
    {
        Stop();
        RunningAppTest::TearDownTestSuite();
        DeleteFileA(SiblingPath(".INI").c_str());
    }

    // Presses a key with the given modifiers through the program's routing;
    // the command that reached the frame, -1 for none.
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
        frameProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordCommands)));
        RouteMessage(msg);
        SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(frameProc));
        BYTE none[256] = {};
        SetKeyboardState(none);
        return commandsSeen.empty() ? -1 : commandsSeen.back();
    }
};

TEST_F(FrameTest, StartUpMeasuresTheFontAndTheUpdateMessageTitlesTheUntitledSound)
{
    const App& app = TheApp();
    EXPECT_TRUE(app.charWidth > 0 && app.charHeight > 0);
    for (int w : app.labelWidths)
        EXPECT_GT(w, app.charWidth);
    EXPECT_EQ(app.actionState, ACTSTATE_READY);
    char title[64];
    GetWindowTextA(frame, title, sizeof(title));
    EXPECT_STREQ(title, "Kelvora - (Untitled)");
}

TEST_F(FrameTest, AtItsSmallestTheFrameShowsEveryChildWhole)
{
    // Asking for a tiny frame gives the minimum tracking size.
    SetWindowPos(frame, nullptr, 0, 0, 10, 10, SWP_NOMOVE | SWP_NOZORDER);
    MINMAXINFO info = {};
    SendMessageA(frame, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    RECT window;
    GetWindowRect(frame, &window);
    EXPECT_EQ(info.ptMinTrackSize.x, window.right - window.left);
    EXPECT_EQ(info.ptMinTrackSize.y, window.bottom - window.top);

    RECT client;
    GetClientRect(frame, &client);
    for (int id = IDW_TOP_ZOOM; id <= IDW_STATUS_RIGHT_PANEL; id++) {
        if (id == IDW_LOCATION_SCROLL)
            continue;       // shown beside a field only while it has the focus
        RECT r = ChildRect(frame, id);
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(frame, id))) << id;
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom)
            << id << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
        EXPECT_GT(r.right - r.left, 0) << id;
        EXPECT_GT(r.bottom - r.top, 0) << id;
    }
    // Buttons side by side, each 35/4 characters wide, without overlap.
    const int cx = TheApp().charWidth;
    for (int id = IDB_REWIND; id < IDB_DRAG; id++) {
        EXPECT_EQ(cx * 35 / 4, ChildRect(frame, id).right - ChildRect(frame, id).left);
        EXPECT_EQ(ChildRect(frame, id).right, ChildRect(frame, id + 1).left);
    }
    // The status texts sit inside their raised panels.
    for (int text : {IDW_STATUS_LEFT, IDW_STATUS_RIGHT}) {
        RECT t = ChildRect(frame, text), panel = ChildRect(frame, text + 1);
        EXPECT_TRUE(t.left > panel.left && t.right < panel.right && t.top > panel.top && t.bottom < panel.bottom);
    }

    // Without the waveform the height cannot grow.
    TheAppOptions().showWaveform = 0;
    SendMessageA(frame, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.y, info.ptMaxTrackSize.y);
    TheAppOptions().showWaveform = 1;
    SetWindowPos(frame, nullptr, 0, 0, 800, 500, SWP_NOMOVE | SWP_NOZORDER);
}

TEST_F(FrameTest, TheMenuBarHoldsEveryCommandAndThePopupCopiesIt)
{
    HMENU menu = GetMenu(frame);
    std::set<int> inMenuBar;
    CollectMenuIds(menu, inMenuBar);
    for (int id : {3001, 2001, 3003, 2002, 2010, 3008, 3101, 3102, 3103, 3104, 3105, 3106, 3107, 3108, 3109, 3110,
             3201, 3202, 3203, 3204, 3205, 3206, 3207, 3208, 3209, 2011, 2012, 2013, 2014, 2015, 2016, 2017, 2018,
             2019, 2021, 2022, 2023, 2024, 3411, 3412, 3415, 3416, 3417, 3503, 3504, 3505, 2042, 2041})
        EXPECT_TRUE(inMenuBar.count(id)) << "menu lacks command " << id;
    ASSERT_EQ(GetMenuItemCount(menu), 5);
    char text[64];
    GetMenuStringA(menu, 3, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "&Options");
    HMENU options = GetSubMenu(menu, 3);
    GetMenuStringA(options, GetMenuItemCount(options) - 1, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "&Other Effects");

    UpdateMenuStates(menu);
    EXPECT_TRUE(GetMenuState(menu, IDM_VIEW_WAVEFORM, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(menu, IDM_VIEW_LOCATIONS, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(menu, IDM_EDIT_DELETE, MF_BYCOMMAND) & MF_GRAYED);    // nothing selected
    EXPECT_FALSE(GetMenuState(menu, IDM_FX_REVERSE, MF_BYCOMMAND) & MF_GRAYED);

    HMENU popup = BuildFramePopup(menu);
    std::vector<int> ids;
    for (int i = 0; i < GetMenuItemCount(popup); i++)
        ids.push_back(static_cast<int>(GetMenuItemID(popup, i)));
    EXPECT_EQ((std::vector<int>{3001, 2001, 3003, 2002, 0, 2010, 2012, 2013, 2014, 0, 3101}), ids);
    char inMenu[64], inPopup[64];
    GetMenuStringA(menu, IDM_EDIT_UNDO, inMenu, sizeof inMenu, MF_BYCOMMAND);
    GetMenuStringA(popup, IDM_EDIT_UNDO, inPopup, sizeof inPopup, MF_BYCOMMAND);
    EXPECT_STREQ(inMenu, inPopup);
    // The popup offers Undo while the menu bar's item is gray.
    EXPECT_TRUE(GetMenuState(menu, IDM_EDIT_UNDO, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(popup, IDM_EDIT_UNDO, MF_BYCOMMAND) & MF_GRAYED);
    DestroyMenu(popup);

    // The help context follows the highlighted item.
    SendMessageA(frame, WM_MENUSELECT, MAKEWPARAM(IDM_FILE_OPEN, MF_STRING), reinterpret_cast<LPARAM>(menu));
    EXPECT_EQ(uint32_t(IDM_FILE_OPEN), TheApp().helpContext);
    SendMessageA(frame, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(uint32_t(HELP_CONTEXT_GENERAL), TheApp().helpContext);
}

// A key whose menu item is gray (its command has no handler yet, or its
// rule does not hold) sends nothing, as the item would.
TEST_F(FrameTest, EveryKeyReachesItsCommandUnlessItsItemIsGray)
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

TEST_F(FrameTest, LocationFieldSwapsTheEditingKeysForEnter)
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

TEST_F(FrameTest, TheButtonLastPressedIsTheDefaultAndPostsItsCommandOnThePress)
{
    SendMessageA(frame, DM_SETDEFID, IDB_PLAY, 0);
    EXPECT_EQ(0x534B0FA5, SendMessageA(frame, DM_GETDEFID, 0, 0));
    SendMessageA(frame, DM_SETDEFID, 12345, 0);     // not a button: Play
    EXPECT_EQ(0x534B0FA5, SendMessageA(frame, DM_GETDEFID, 0, 0));

    RouteWaitingMessages();
    HWND rewind = GetDlgItem(frame, IDB_REWIND);
    // The untitled sound is empty, so the panel keeps Rewind disabled; the
    // press is what is looked at here.
    EnableWindow(rewind, TRUE);
    SendMessageA(rewind, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, frame, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(IDB_REWIND, LOWORD(msg.wParam));
    SendMessageA(rewind, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(0x534B0FA3, SendMessageA(frame, DM_GETDEFID, 0, 0));
    // The highlight moved from Play to Rewind.
    auto* play = static_cast<CButtonImage*>(TheFrame().children[6]);
    auto* rew = static_cast<CButtonImage*>(TheFrame().children[4]);
    EXPECT_FALSE(play->State() & CButtonImage::STATE_HIGHLIGHTED);
    EXPECT_TRUE(rew->State() & CButtonImage::STATE_HIGHLIGHTED);
    SetFocus(frame);
}

TEST_F(FrameTest, ADroppedFileOpensAndPlaysAndOfTwoOnlyTheFirstOpens)
{
    std::string first = SiblingPath("_drop1.wav"), second = SiblingPath("_drop2.wav");
    for (const std::string& name : {first, second})
        ASSERT_TRUE(wave::WriteFile(name, Pcm(1, 22050, 16, Bytes(44100, 0))));
    SendMessageA(frame, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({first})), 0);
    EXPECT_STREQ(first.c_str(), TheDocument().Name());
    EXPECT_EQ(22050, TheDocument().length);
    EXPECT_EQ(DevMode::Playing, TheDev().mode);
    Stop();

    // The box is modal: another thread keeps its text and presses OK.
    std::string text;
    std::thread pressOk([&text] {
        driver::Process self;
        self.pi.dwProcessId = GetCurrentProcessId();
        if (HWND box = self.WaitForDialog("Kelvora Error")) {
            text = driver::WindowText(GetDlgItem(box, 0xFFFF));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
    });
    SendMessageA(frame, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({second, first})), 0);
    pressOk.join();
    EXPECT_EQ("Can't open multiple files at one time. Only this first file dropped will open.", text);
    EXPECT_STREQ(second.c_str(), TheDocument().Name());
    Stop();
    DeleteFileA(first.c_str());
    DeleteFileA(second.c_str());
}

TEST_F(FrameTest, ChangedSystemSettingsAreReadAgain)
{
    MemorySettingsStore profile;
    profile.Set("Intl", "sDecimal", ",");
    SettingsStore* system = TheSystemProfile();
    SetSystemProfile(&profile);
    SendMessageA(frame, WM_SETTINGCHANGE, 0, 0);
    EXPECT_STREQ(",", TheAppOptions().intl.decimalSeparator);
    SetSystemProfile(system);
    SendMessageA(frame, WM_SETTINGCHANGE, 0, 0);
}

// A button and a field painted into memory, as pixels.
std::vector<uint32_t> Snapshot(HWND window, bool button)
{
    RECT r;
    GetClientRect(window, &r);
    return paint::Pixels(r.right, r.bottom, [&](HDC dc) {
        if (button)
            static_cast<CButtonImage*>(TheFrame().children[6])->Paint(dc);
        else
            SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    });
}

TEST_F(FrameTest, TwentyThousandRepaintsLeaveTheButtonsAndFieldsDrawingAsBefore)
{
    HWND play = GetDlgItem(frame, IDB_PLAY);
    HWND field = GetDlgItem(frame, IDW_FIELD_MOUSE);
    auto settle = [&] {
        EnableWindow(play, TRUE);
        SendMessageA(play, BM_SETSTATE, 0, 0);
        SendMessageA(play, BM_SETCHECK, 0, 0);
        SetWindowTextA(field, "1.25");
    };
    settle();
    const std::vector<uint32_t> button = Snapshot(play, true), text = Snapshot(field, false);
    const DWORD objects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    for (int i = 0; i < 20000; i++) {
        SendMessageA(play, BM_SETSTATE, i & 1, 0);
        SendMessageA(play, BM_SETCHECK, (i >> 1) & 1, 0);
        EnableWindow(play, (i % 7) != 0);
        SetWindowTextA(field, (i & 1) ? "1.25" : "2.50");
        if (i % 200 == 0)
            RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        else
            UpdateWindow(play);
    }
    settle();
    EXPECT_TRUE(button == Snapshot(play, true));
    EXPECT_TRUE(text == Snapshot(field, false));
    // Where the platform counts GDI objects, the count is where it was.
    if (objects != 0)
        EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), objects + 10);
}

}
