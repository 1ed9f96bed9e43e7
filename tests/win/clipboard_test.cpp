// Cut, Copy, Paste and the Mixing Options dialog through the real frame, the
// system clipboard and the message loop. The images other programs put on
// the clipboard are made here; the error boxes and the dialog are driven
// from a second thread, as a user would click them.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/app_win.h"
#include "app/clipboard_win.h"
#include "app/frame_wnd.h"
#include "app/object_picture_win.h"
#include "base/app.h"
#include "base/app_options.h"
#include "base/error_message.h"
#include "edit/actions.h"
#include "edit/open_document.h"
#include "edit/undo_history.h"
#include "resource.h"
#include "sound/document.h"
#include "sound/object_options.h"
#include "support/core_state.h"
#include "support/dib_builder.h"
#include "support/wave_builder.h"
#include "support/win_clipboard.h"
#include "support/win_driver.h"
#include "support/running_app.h"
#include "view/selection_ops.h"

namespace {

using wave::Bytes;

size_t UndoSteps() { return size_t(TheUndoHistory().Count()); }

class ClipboardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        path = std::string(temp) + "kelvora_clipboard.wav";
        for (int i = 0; i < 1000; i++)
            original.push_back(int(i * 37 % 2001) - 1000);
        ASSERT_TRUE(wave::WriteFile(path, wave::Pcm(1, 11025, 16, wave::S16(original))));
        frame = StartApp(path.c_str());
        ASSERT_NE(nullptr, frame);
        self.pi.dwProcessId = GetCurrentProcessId();
    }
    static void TearDownTestSuite()
    {
        self.pi.dwProcessId = 0;
        StopApp();
        DeleteFileA(path.c_str());
    }
    void SetUp() override
    {
        ASSERT_EQ(0, OpenDocumentFile(path.c_str()));
        TheAppOptions().mixOld = 0;
        TheAppOptions().mixNew = 100;
    }

    // A command by id, or an edit message (WM_CUT ...) when `message` is given.
    static void Command(int id, UINT message = WM_COMMAND)
    {
        PostMessageA(frame, message, message == WM_COMMAND ? id : 0, 0);
        RouteWaitingMessages();
    }

    // Runs the command; while it shows the dialog titled `title`, `script`
    // drives it from another thread. False when no such dialog came.
    static bool WithDialog(int id, const char* title, const std::function<void(HWND)>& script)
    {
        bool shown = false;
        std::thread helper([&] {
            if (HWND dialog = self.WaitForDialog(title, 10000)) {
                shown = true;
                script(dialog);
            }
        });
        Command(id);
        helper.join();
        RouteWaitingMessages();
        return shown;
    }

    // The text of the error box the command showed ("" when none came), after
    // pressing its OK.
    static std::string ErrorOf(int id)
    {
        std::string text;
        WithDialog(id, ErrorBoxTitle(), [&](HWND box) {
            char buffer[512] = {};
            GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
            text = buffer;
            driver::Process::Press(box, IDOK);
        });
        return text;
    }

    static std::string path;
    static std::vector<int> original;
    static HWND frame;
    static driver::Process self;
};

std::string ClipboardTest::path;
std::vector<int> ClipboardTest::original;
HWND ClipboardTest::frame = nullptr;
driver::Process ClipboardTest::self;

TEST_F(ClipboardTest, CopyCutAndPasteGoThroughTheSystemClipboard)
{
    Bytes whole = wave::S16(original);
    std::vector<int> middle(original.begin() + 100, original.begin() + 400);
    SetSelection(100, 300, ORIGIN_COMMAND);
    TheObjectOptions().icon = dib::Packed(8, 6, 0x00FF00);
    Command(IDM_EDIT_COPY);
    EXPECT_EQ(wave::Pcm(1, 11025, 16, wave::S16(middle)), clip::ReadWave());

    // Beside the sound: its picture, as a metafile picture of the picture's
    // size, and its icon as a bitmap.
    SIZE size = ObjectPictureSize(TheObjectOptions());
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE block = GetClipboardData(CF_METAFILEPICT);
    auto* picture = block ? static_cast<const METAFILEPICT*>(GlobalLock(block)) : nullptr;
    ASSERT_NE(nullptr, picture);
    EXPECT_EQ(MM_ANISOTROPIC, picture->mm);
    EXPECT_EQ(std::make_pair(size.cx * 22, size.cy * 22), std::make_pair(picture->xExt, picture->yExt));
    EXPECT_GT(GetMetaFileBitsEx(picture->hMF, 0, nullptr), 0u);
    GlobalUnlock(block);
    BITMAP icon = {};
    EXPECT_EQ(int(sizeof icon), GetObjectA(GetClipboardData(CF_BITMAP), sizeof icon, &icon));
    EXPECT_EQ(std::make_pair(8L, 6L), std::make_pair(icon.bmWidth, icon.bmHeight));
    CloseClipboard();
    TheObjectOptions().icon.clear();

    // Copy and Cut of nothing leave the clipboard alone.
    SetSelection(5, 0, ORIGIN_COMMAND);
    Command(0, WM_COPY);
    Command(0, WM_CUT);
    EXPECT_EQ(wave::Pcm(1, 11025, 16, wave::S16(middle)), clip::ReadWave());

    SetSelection(0, 100, ORIGIN_COMMAND);
    Command(IDM_EDIT_CUT);
    std::vector<int> head(original.begin(), original.begin() + 100);
    EXPECT_EQ(wave::Pcm(1, 11025, 16, wave::S16(head)), clip::ReadWave());
    EXPECT_EQ(900, TheDocument().length);
    ExpectSelection(0, 0);

    // Pasted at the end from the edit message, with nothing selected.
    SetSelection(900, 0, ORIGIN_COMMAND);
    Command(0, WM_PASTE);
    ExpectSelection(900, 100);
    std::vector<int> rotated(original.begin() + 100, original.end());
    rotated.insert(rotated.end(), head.begin(), head.end());
    EXPECT_EQ(wave::S16(rotated), DocumentBytes());

    // Paste, the cursor's move, Cut and the selection it cut go back in turn.
    for (int i = 0; i < 4; i++)
        Command(IDM_EDIT_UNDO);
    EXPECT_EQ(whole, DocumentBytes());
    ExpectSelection(5, 0);
    EXPECT_EQ(0, TheDocument().changeCount);
}

// Images other programs put there: taken from CF_RIFF in a block larger
// than the image and converted; damaged ones refused with their message,
// the sound and history unchanged. (The conversions and mixing themselves
// are the core's tests.)
TEST_F(ClipboardTest, ForeignImagesArePastedOrRefused)
{
    SetSelection(2, 0, ORIGIN_PROGRAM);
    ASSERT_TRUE(clip::Put(wave::Pcm(1, 11025, 8, {0x00, 0x80, 0xFF}), CF_RIFF, 100));
    Command(IDM_EDIT_PASTE);
    std::vector<int> expected(original.begin(), original.begin() + 2);
    expected.insert(expected.end(), {-32768, 0, 127 * 256});
    expected.insert(expected.end(), original.begin() + 2, original.end());
    EXPECT_EQ(wave::S16(expected), DocumentBytes());
    ASSERT_EQ(0, OpenDocumentFile(path.c_str()));

    Bytes good = wave::Pcm(1, 11025, 16, wave::S16({1, 2, 3, 4}));
    auto with = [&](size_t at, uint32_t value, size_t bytes) {
        Bytes b = good;
        for (size_t i = 0; i < bytes; i++)
            b[at + i] = uint8_t(value >> (8 * i));
        return b;
    };
    Bytes hugeData = wave::Riff({wave::Chunk("fmt ", wave::Fmt(1, 1, 11025, 16)),
        wave::Chunk("data", Bytes(1024 - 44, 1), 1000000000)});
    struct Case {
        const char* name;
        Bytes image;
        int error;
    } cases[] = {
        {"RIFF size 0x7FFFFFFF in 44 bytes", with(4, 0x7FFFFFFF, 4), ERR_FILE_SHORT},
        {"data of 10^9 bytes in 1 KB", hugeData, ERR_FILE_SHORT},
        {"block align 0", with(32, 0, 2), ERR_NOT_SOUND_FILE},
        {"no channels", with(22, 0, 2), ERR_NOT_SOUND_FILE},
    };
    // Every other one over a selection (Replace), the rest at the cursor.
    int32_t selLength = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        selLength = selLength ? 0 : 10;
        SetSelection(20, selLength, ORIGIN_PROGRAM);
        Bytes before = DocumentBytes();
        size_t steps = UndoSteps();
        ASSERT_TRUE(clip::Put(c.image));
        EXPECT_EQ(MakeErrorBox(c.error).text.c_str(), ErrorOf(IDM_EDIT_PASTE));
        EXPECT_EQ(before, DocumentBytes());
        EXPECT_EQ(steps, UndoSteps());
        ExpectSelection(20, selLength);
    }
}

// The clipboard held open by another thread: Cut and Paste do nothing. A
// format offered but never delivered by its owner is an error; the probe
// that learns the paste length reads only the headers.
TEST_F(ClipboardTest, AHeldOrUndeliveredClipboardChangesNothing)
{
    Bytes whole = wave::S16(original);
    Bytes image = wave::Pcm(1, 11025, 16, wave::S16({5, 6, 7}));
    ASSERT_TRUE(clip::Put(image));
    ASSERT_EQ(1, ClipboardCommand(frame, CLIP_PROBE));
    EXPECT_EQ(3, TheSelection().pendingLength);
    EXPECT_EQ(whole, DocumentBytes());

    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        bool held = OpenClipboard(nullptr);
        SetEvent(opened);
        WaitForSingleObject(release, 10000);
        if (held)
            CloseClipboard();
    });
    WaitForSingleObject(opened, 10000);
    SetSelection(0, 10, ORIGIN_PROGRAM);
    Command(IDM_EDIT_CUT);
    Command(IDM_EDIT_PASTE);
    SetEvent(release);
    holder.join();
    CloseHandle(opened);
    CloseHandle(release);
    EXPECT_EQ(whole, DocumentBytes());
    EXPECT_EQ(image, clip::ReadWave());

    // An owner that promises CF_WAVE and never renders it.
    HWND owner = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    SetClipboardData(CF_WAVE, nullptr);
    CloseClipboard();
    EXPECT_EQ(0, ClipboardCommand(frame, CLIP_PROBE));
    EXPECT_EQ(MakeErrorBox(ERR_FILE_SHORT).text.c_str(), ErrorOf(IDM_EDIT_PASTE));
    EXPECT_EQ(whole, DocumentBytes());
    DestroyWindow(owner);
}

TEST_F(ClipboardTest, MixingOptionsDialogStoresTheChosenPairAsOneStep)
{
    AppOptions& options = TheAppOptions();
    auto text = [](HWND d, int id) { return driver::WindowText(GetDlgItem(d, id)); };
    auto checked = [](HWND d, int id) { return SendDlgItemMessageA(d, id, BM_GETCHECK, 0, 0) == BST_CHECKED; };
    auto press = [](HWND d, int id) { SendDlgItemMessageA(d, id, BM_CLICK, 0, 0); };
    const char* title = "Mixing Options";

    // OK without a change files nothing.
    size_t steps = UndoSteps();
    ASSERT_TRUE(WithDialog(IDM_OPT_MIXING, title, [&](HWND d) {
        EXPECT_EQ("0", text(d, IDC_MIX_OLD));
        EXPECT_EQ("100", text(d, IDC_MIX_NEW));
        EXPECT_TRUE(checked(d, IDC_MIX_REPLACE));
        driver::Process::Press(d, IDOK);
    }));
    EXPECT_EQ(steps, UndoSteps());

    // A preset shows its shares; Cancel keeps the stored pair.
    ASSERT_TRUE(WithDialog(IDM_OPT_MIXING, title, [&](HWND d) {
        press(d, IDC_MIX_OLD_LOUDER);
        EXPECT_EQ("66", text(d, IDC_MIX_OLD));
        EXPECT_EQ("34", text(d, IDC_MIX_NEW));
        EXPECT_FALSE(checked(d, IDC_MIX_REPLACE));
        driver::Process::Press(d, IDCANCEL);
    }));
    EXPECT_EQ(0, options.mixOld);
    EXPECT_EQ(100, options.mixNew);

    // The scroll bar moves the new share and the old follows; "Equal mix"
    // then OK stores a plain sum as one undoable step; More and Less
    // resize the dialog and remember the choice.
    ASSERT_TRUE(WithDialog(IDM_OPT_MIXING, title, [&](HWND d) {
        RECT collapsed, expanded;
        GetWindowRect(d, &collapsed);
        press(d, IDC_EXPAND_MORE);
        GetWindowRect(d, &expanded);
        EXPECT_GT(expanded.bottom - expanded.top, collapsed.bottom - collapsed.top);
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(d, IDC_EXPAND_LESS)));
        // Tab follows the layout: the presets, the buttons, then the shares.
        std::vector<int> order;
        for (HWND c = GetDlgItem(d, IDC_MIX_REPLACE); order.size() < 8; c = GetNextDlgTabItem(d, c, FALSE))
            order.push_back(GetDlgCtrlID(c));
        EXPECT_EQ((std::vector<int>{IDC_MIX_REPLACE, IDOK, IDCANCEL, IDC_DIALOG_HELP, IDC_EXPAND_LESS, IDC_MIX_OLD,
                      IDC_MIX_NEW, IDC_MIX_NEW_SCROLL}),
            order);
        SendMessageA(d, WM_HSCROLL, SB_LINELEFT, reinterpret_cast<LPARAM>(GetDlgItem(d, IDC_MIX_NEW_SCROLL)));
        EXPECT_EQ("99", text(d, IDC_MIX_NEW));
        EXPECT_EQ("1", text(d, IDC_MIX_OLD));
        EXPECT_FALSE(checked(d, IDC_MIX_REPLACE));
        press(d, IDC_MIX_EQUAL);
        EXPECT_EQ("50", text(d, IDC_MIX_OLD));
        EXPECT_EQ("50", text(d, IDC_MIX_NEW));
        driver::Process::Press(d, IDOK);
    }));
    EXPECT_EQ(100, options.mixOld);
    EXPECT_EQ(100, options.mixNew);
    EXPECT_EQ(1, options.extra);
    ASSERT_EQ(steps + 1, UndoSteps());
    EXPECT_STREQ("Mixing Options", ActionName(int(static_cast<const CKV_ACTSTORE*>(TheUndoHistory().Head())->action)));

    // Opened again it shows the stored pair as shares, expanded.
    ASSERT_TRUE(WithDialog(IDM_OPT_MIXING, title, [&](HWND d) {
        EXPECT_TRUE(checked(d, IDC_MIX_EQUAL));
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(d, IDC_EXPAND_LESS)));
        press(d, IDC_EXPAND_LESS);
        driver::Process::Press(d, IDCANCEL);
    }));
    EXPECT_EQ(0, options.extra);
    Command(IDM_EDIT_UNDO);
    EXPECT_EQ(0, options.mixOld);
    EXPECT_EQ(100, options.mixNew);
}

}
