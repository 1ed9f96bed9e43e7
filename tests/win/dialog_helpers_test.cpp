// The helpers every dialog uses: the More/Less pair keeps each dialog's own
// full height, the owner of boxes, and the free space of a disk.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/app.h"
#include "base/app_options.h"
#include "base/dialog_owner_win.h"
#include "base/expand_dialog_win.h"
#include "lib/disk_free_win.h"
#include "resource.h"

namespace {

// A stand-in for an option dialog: a popup holding the More/Less pair, not
// shown (showing costs Wine seconds without a window manager).
HWND Dialog(int height, int pairTop)
{
    HWND dialog = CreateWindowExA(WS_EX_DLGMODALFRAME, "#32770", "options", WS_POPUP | WS_CAPTION,
        40, 30, 300, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    for (int id : {IDC_EXPAND_MORE, IDC_EXPAND_LESS})
        CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE, 10, pairTop, 80, 24, dialog,
            reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleA(nullptr), nullptr);
    return dialog;
}

bool Shown(HWND dialog, int id)
{
    return (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

int Height(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return r.bottom - r.top;
}

TEST(DialogHelpersTest, EachDialogExpandsToItsOwnHeight)
{
    ResetApp();
    TheApp().charHeight = 16;
    TheAppOptions().extra = 1;
    HWND tall = Dialog(400, 100), small = Dialog(250, 60);
    ExpandDialog(tall, IDC_EXPAND_LESS, true);
    ExpandDialog(small, IDC_EXPAND_LESS, true);
    EXPECT_EQ(0, TheAppOptions().extra);
    int cut = Height(tall);
    EXPECT_LT(cut, 250);
    EXPECT_LT(Height(small), cut);
    EXPECT_FALSE(Shown(tall, IDC_EXPAND_LESS));
    EXPECT_TRUE(Shown(tall, IDC_EXPAND_MORE));

    ExpandDialog(small, IDC_EXPAND_MORE, false);
    ExpandDialog(tall, IDC_EXPAND_MORE, false);
    EXPECT_EQ(1, TheAppOptions().extra);
    EXPECT_EQ(400, Height(tall));
    EXPECT_EQ(250, Height(small));
    RECT r;
    GetWindowRect(small, &r);
    EXPECT_EQ(40, r.left);
    EXPECT_EQ(30, r.top);
    EXPECT_TRUE(Shown(small, IDC_EXPAND_LESS));

    // A box asked for without an owner belongs to the active window of ours.
    SetActiveWindow(tall);
    EXPECT_EQ(tall, OwnerWindow(nullptr));
    EXPECT_EQ(small, OwnerWindow(small));
    DestroyWindow(tall);
    DestroyWindow(small);
}

TEST(DialogHelpersTest, DiskFreeIsKnownForTheSystemDiskOnly)
{
    uint64_t free = GetDiskFree("C:\\");
    EXPECT_GT(free, 0u);
    EXPECT_EQ(0u, GetDiskFree("Q:\\no such disk\\"));
}

}
