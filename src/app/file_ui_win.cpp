#include "app/file_ui_win.h"

#include <cstdio>

#include "app/file_commands.h"
#include "app/file_dialog_win.h"
#include "app/recent_files.h"
#include "base/host.h"
#include "base/string_ids.h"
#include "base/string_table.h"
#include "resource.h"

namespace {

HWND Frame()
{
    return static_cast<HWND>(TheHost().FrameWindow());
}

class WindowsFileUi : public FileUi {
public:
    SaveAnswer AskSaveChanges() override
    {
        int answer = MessageBoxA(Frame(), LoadAppString(STR_ASK_SAVE), LoadAppString(STR_PRODUCT_TITLE),
            MB_YESNOCANCEL | MB_ICONINFORMATION);
        if (answer == IDYES)
            return SAVE_ANSWER_YES;
        return answer == IDNO ? SAVE_ANSWER_NO : SAVE_ANSWER_CANCEL;
    }
    bool AskContinueWithoutSaving() override
    {
        return MessageBoxA(Frame(), LoadAppString(STR_SAVE_FAILED), LoadAppString(STR_PRODUCT_TITLE),
                   MB_OKCANCEL | MB_ICONINFORMATION)
            == IDOK;
    }
    bool RunFileDialog(FileDialogKind kind) override { return ::RunFileDialog(kind); }
    void RebuildRecentMenu() override { ::RebuildRecentMenu(Frame()); }
};

// The position of the item with command `id` in `menu`, or -1.
int ItemPosition(HMENU menu, UINT id)
{
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; i++) {
        if (GetMenuItemID(menu, i) == id)
            return i;
    }
    return -1;
}

}

void InstallFileUi()
{
    static WindowsFileUi ui;
    SetFileUi(&ui);
}

void RebuildRecentMenu(HWND frame)
{
    HMENU bar = frame ? GetMenu(frame) : nullptr;
    HMENU file = bar ? GetSubMenu(bar, 0) : nullptr;
    if (!file)
        return;
    for (UINT id = IDM_FILE_RECENT1; id <= IDM_FILE_RECENT4; id++)
        DeleteMenu(file, id, MF_BYCOMMAND);
    int exit = ItemPosition(file, IDM_FILE_EXIT);
    int count = RecentFiles().Count();
    if (exit >= 0 && count > 0 && exit + 1 >= GetMenuItemCount(file))
        AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    for (int i = 0; i < count && i < RECENT_FILE_COUNT; i++) {
        // A name from the settings file is at most the path limit long.
        char text[RECENT_PATH_LIMIT + 16];
        std::snprintf(text, sizeof text, "&%d %s", i + 1, RecentFiles().At(i)->c_str());
        AppendMenuA(file, MF_STRING, IDM_FILE_RECENT1 + i, text);
    }
    DrawMenuBar(frame);
}
