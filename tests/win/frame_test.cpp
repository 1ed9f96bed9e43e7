// The real frame window, started in this process with the waveform and the
// locations shown: where its children land, the size it keeps, its menus,
// the default-button query, dropped files, and that thousands of repaints
// leave it drawing as before.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <atomic>
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
#include "support/wave_builder.h"
#include "support/running_app.h"

using namespace wave;

namespace {

std::string SiblingPath(const char* extension)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p = path;
    return p.substr(0, p.find_last_of('.')) + extension;
}

void RouteWaitingMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        RouteMessage(msg);
}

RECT ChildRect(HWND frame, int id)
{
    RECT r = {};
    GetWindowRect(GetDlgItem(frame, id), &r);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&r), 2);
    return r;
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

// Presses OK on the first message box this process shows and keeps its text.
class BoxWatcher {
public:
    BoxWatcher()
        : thread([this] {
              for (int i = 0; i < 500 && !done; i++) {
                  HWND box = FindWindowA("#32770", "Kelvora Error");
                  if (box) {
                      char buffer[512] = {};
                      GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
                      text = buffer;
                      PostMessageA(box, WM_COMMAND, IDOK, 0);
                      return;
                  }
                  Sleep(20);
              }
          })
    {
    }
    ~BoxWatcher() { Text(); }
    std::string Text()
    {
        done = true;
        if (thread.joinable())
            thread.join();
        return text;
    }

private:
    std::atomic<bool> done{false};
    std::string text;
    std::thread thread;
};

class FrameTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string ini = SiblingPath(".INI");
        FILE* f = fopen(ini.c_str(), "wb");
        fputs("[Kelvora]\r\nDISPLAY=1,1,1,1\r\nLOCATION=30,30,800,500\r\n", f);
        fclose(f);
        frame = StartApp();
        ASSERT_NE(nullptr, frame);
        RouteWaitingMessages();
    }
    static void TearDownTestSuite()
    {
        Stop();
        StopApp();
        DeleteFileA(SiblingPath(".INI").c_str());
    }

    static HWND frame;
};

HWND FrameTest::frame = nullptr;

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

TEST_F(FrameTest, MenusFollowTheCommandTableAndThePopupCopiesTheMenuBar)
{
    HMENU menu = GetMenu(frame);
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
    for (const std::string& name : {first, second}) {
        FILE* f = fopen(name.c_str(), "wb");
        Bytes bytes = Pcm(1, 22050, 16, Bytes(44100, 0));
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    SendMessageA(frame, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({first})), 0);
    EXPECT_STREQ(first.c_str(), TheDocument().Name());
    EXPECT_EQ(22050, TheDocument().length);
    EXPECT_EQ(DevMode::Playing, TheDev().mode);
    Stop();

    std::string text;
    {
        BoxWatcher watcher;
        SendMessageA(frame, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({second, first})), 0);
        text = watcher.Text();
    }
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
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), r.right, -r.bottom, 1, 32, BI_RGB};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    if (button)
        static_cast<CButtonImage*>(TheFrame().children[6])->Paint(dc);
    else
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    GdiFlush();
    std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits),
        static_cast<const uint32_t*>(bits) + r.right * r.bottom);
    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
    return pixels;
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
