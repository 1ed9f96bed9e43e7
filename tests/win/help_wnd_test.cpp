// The program's own help: every menu item and dialog of the program has a
// topic, a help request opens the help window on its topic, Back and
// Contents move through the topics, and F1 in a dialog asks for the
// dialog's topic.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/command_table.h"
#include "app/help_wnd.h"
#include "app/host_win.h"
#include "base/app.h"
#include "base/help.h"
#include "base/help_topics.h"
#include "resource.h"
#include "support/core_state.h"
#include "support/win_driver.h"
#include "view/display_options_dlg.h"

namespace {

std::string Text(int id)
{
    char text[4096] = {};
    GetDlgItemTextA(HelpWindow(), id, text, sizeof text);
    return text;
}

void Click(int id)
{
    SendMessageA(GetDlgItem(HelpWindow(), id), BM_CLICK, 0, 0);
}

void CollectMenuIds(HMENU menu, std::vector<UINT>& ids)
{
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
        if (HMENU sub = GetSubMenu(menu, i))
            CollectMenuIds(sub, ids);
        else if (UINT id = GetMenuItemID(menu, i); id != 0 && id != UINT(-1))
            ids.push_back(id);
    }
}

BOOL CALLBACK CollectDialogId(HMODULE, LPCSTR, LPSTR name, LONG_PTR list)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<UINT>*>(list)->push_back(static_cast<UINT>(reinterpret_cast<UINT_PTR>(name)));
    return TRUE;
}

class HelpWndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ResetCore());
        SetHost(&host);
    }
    void TearDown() override
    {
        CloseHelpWindow();
        SetHost(nullptr);
    }
    WindowsHost host;
};

TEST_F(HelpWndTest, EveryMenuItemAndDialogOfTheProgramHasATopic)
{
    std::vector<UINT> ids;
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_MENU));
    ASSERT_NE(nullptr, menu);
    CollectMenuIds(menu, ids);
    DestroyMenu(menu);
    const size_t menuItems = ids.size();
    // RT_DIALOG; the header spells it for the wide functions only.
    EnumResourceNamesA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(5), CollectDialogId, reinterpret_cast<LONG_PTR>(&ids));
    EXPECT_GT(menuItems, 40u);
    EXPECT_GT(ids.size(), menuItems + 15);
    for (UINT id : ids)
        EXPECT_NE(nullptr, FindHelpTopic(id)) << id;
}

TEST_F(HelpWndTest, RequestsOpenTheirTopicBackReturnsAndContentsListsEveryTopic)
{
    host.ShowHelp(nullptr, HELP_CMD_CONTEXT, IDD_ECHO);
    ASSERT_NE(nullptr, HelpWindow());
    EXPECT_TRUE(IsWindowVisible(HelpWindow()));
    EXPECT_EQ(uint32_t(IDD_ECHO), HelpWindowContext());
    EXPECT_EQ("Echo Options", Text(IDC_HELPWND_TITLE));
    EXPECT_NE(std::string::npos, Text(IDC_HELPWND_TEXT).find("\"Chorus (Single Echo)\""));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(HelpWindow(), IDC_HELPWND_BACK)));

    // F1 with "Open..." highlighted: the same window, the next topic.
    HWND window = HelpWindow();
    TheApp().helpContext = IDM_FILE_OPEN;
    ASSERT_EQ(0, RunCommand(IDM_HELP_CONTEXT, false));
    EXPECT_EQ(window, HelpWindow());
    EXPECT_EQ(uint32_t(IDM_FILE_OPEN), HelpWindowContext());
    EXPECT_EQ("Open", Text(IDC_HELPWND_TITLE));

    Click(IDC_HELPWND_BACK);
    EXPECT_EQ(uint32_t(IDD_ECHO), HelpWindowContext());
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(HelpWindow(), IDC_HELPWND_BACK)));

    Click(IDC_HELPWND_CONTENTS);
    EXPECT_EQ(uint32_t(HELP_CONTEXT_GENERAL), HelpWindowContext());
    size_t count = 0;
    const HelpTopic* topics = HelpTopics(count);
    HWND list = GetDlgItem(HelpWindow(), IDC_HELPWND_LIST);
    ASSERT_EQ(LRESULT(count), SendMessageA(list, LB_GETCOUNT, 0, 0));
    int fade = -1;
    for (size_t i = 0; i < count; i++) {
        char title[128] = {};
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(title));
        EXPECT_STREQ(topics[i].title, title);
        if (topics[i].firstContext == IDM_OPT_FADE)
            fade = int(i);
    }

    // A title chosen in the list; Back then returns to the contents.
    ASSERT_GE(fade, 0);
    SendMessageA(list, LB_SETCURSEL, fade, 0);
    SendMessageA(HelpWindow(), WM_COMMAND, MAKEWPARAM(IDC_HELPWND_LIST, LBN_SELCHANGE), LPARAM(list));
    EXPECT_EQ("Fade Options", Text(IDC_HELPWND_TITLE));
    Click(IDC_HELPWND_BACK);
    EXPECT_EQ(uint32_t(HELP_CONTEXT_GENERAL), HelpWindowContext());

    host.ShowHelp(nullptr, HELP_CMD_HELP_ON_HELP, 0);
    EXPECT_EQ(uint32_t(IDM_HELP_HOWTO), HelpWindowContext());
    // F1 on the frame with no menu open: the contents.
    TheApp().helpContext = HELP_CONTEXT_GENERAL;
    ASSERT_EQ(0, RunCommand(IDM_HELP_CONTEXT, false));
    EXPECT_EQ(uint32_t(HELP_CONTEXT_GENERAL), HelpWindowContext());
}

TEST_F(HelpWndTest, F1InADialogOpensTheDialogsTopic)
{
    std::atomic<bool> shown{false};
    std::thread user([&] {
        driver::Process self;
        self.pi.dwProcessId = GetCurrentProcessId();
        HWND dialog = self.WaitForDialog("Display Options", 5000);
        if (!dialog)
            return;
        HWND focus = GetDlgItem(dialog, IDOK);
        PostMessageA(focus, WM_KEYDOWN, VK_F1, 1);
        PostMessageA(focus, WM_KEYUP, VK_F1, 0xC0000001);
        for (int i = 0; i < 250 && !shown; i++) {
            shown = FindWindowA("KelvoraHelp", nullptr) != nullptr;
            Sleep(20);
        }
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_FALSE(DisplayOptionsDialog(nullptr));
    user.join();
    ASSERT_TRUE(shown);
    EXPECT_EQ(uint32_t(IDD_DISPLAY_OPTIONS), HelpWindowContext());
    EXPECT_EQ("Display Options", Text(IDC_HELPWND_TITLE));
}

}
