// The File commands of the real program, driven from another process through
// its common dialogs and message boxes: Open, Save, Save As, the save
// question, the recent files, Paste File of every format and dragging the
// file out. Each launch carries several checks that belong together, as
// every start of the program costs seconds under Wine.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/drag_out_win.h"
#include "app/file_ui_win.h"
#include "app/recent_files.h"
#include "base/builtin_strings.h"
#include "resource.h"
#include "support/foreign_builder.h"
#include "support/wave_builder.h"
#include "support/win_driver.h"

using namespace driver;

namespace {

// The controls of the explorer-style file dialogs.
enum {
    ID_FILE_NAME_COMBO = 1148,  // the file name field
    ID_FILE_NAME_EDIT = 1152,   // the same in the older layout
    ID_READ_ONLY_BOX = 1040,
};

const char PRODUCT[] = "Kelvora";
const char ERROR_TITLE[] = "Kelvora Error";

// A visible dialog of the process whose title is exactly `title`.
HWND WaitForTitle(Process& p, const char* title, DWORD timeoutMs = 15000)
{
    DWORD start = GetTickCount();
    do {
        HWND w = nullptr;
        while ((w = FindWindowExA(nullptr, w, "#32770", nullptr)) != nullptr) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == p.pi.dwProcessId && IsWindowVisible(w) && WindowText(w) == title)
                return w;
        }
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

// Answers the box or dialog titled `title` with button `id`; false when it
// did not come.
bool Answer(Process& p, const char* title, int id)
{
    HWND box = WaitForTitle(p, title);
    if (!box)
        return false;
    Process::Press(box, id);
    return Process::WaitGone(box);
}

// The window holds the mouse capture of its thread; false after 5 s.
bool WaitForCapture(HWND window)
{
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    for (int i = 0; i < 100; i++) {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        if (GetGUIThreadInfo(thread, &info) && info.hwndCapture == window)
            return true;
        Sleep(50);
    }
    return false;
}

// Types a path into the file dialog titled `title` (and sets its read-only
// box when it has one), then presses OK.
bool ChooseFile(Process& p, const char* title, const std::string& path, int readOnly = -1)
{
    HWND dialog = WaitForTitle(p, title);
    if (!dialog)
        return false;
    HWND field = GetDlgItem(dialog, ID_FILE_NAME_COMBO);
    if (!field)
        field = GetDlgItem(dialog, ID_FILE_NAME_EDIT);
    if (!field)
        return false;
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    if (readOnly >= 0)
        SendDlgItemMessageA(dialog, ID_READ_ONLY_BOX, BM_SETCHECK, readOnly ? BST_CHECKED : BST_UNCHECKED, 0);
    Process::Press(dialog, IDOK);
    return Process::WaitGone(dialog);
}

wave::Bytes Ramp(size_t samples, int step)
{
    std::vector<int> v;
    for (size_t i = 0; i < samples; i++)
        v.push_back(int(i) * step - 16000);
    return wave::S16(v);
}

// The data chunk of a WAVE file.
wave::Bytes Data(const std::string& path)
{
    auto chunks = wave::Chunks(wave::ReadFile(path));
    return chunks.count("data") ? chunks["data"] : wave::Bytes{};
}

// The file names of a folder that start with the temporary prefix.
int TemporaryFiles(const std::string& dir)
{
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((dir + "\\~kv*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    int n = 0;
    do
        n++;
    while (FindNextFileA(h, &found));
    FindClose(h);
    return n;
}

class FileCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteFile(box.ini, "[Kelvora]\r\nDISPOPTS=0,3\r\n");
        for (const char* leaf : {"a", "b", "c", "d", "e"})
            ASSERT_TRUE(wave::WriteFile(Path(leaf), tone));
    }
    void TearDown() override
    {
        for (const char* leaf : {"a", "b", "c", "d", "e", "saved", "p.aif", "p.au", "p.voc", "p.raw", "p.wav"})
            DeleteFileA(Path(leaf).c_str());
    }
    // A file of the sandbox; a bare leaf is a WAVE name.
    std::string Path(const std::string& leaf) const
    {
        return box.dir + "\\" + leaf + (leaf.find('.') == std::string::npos ? ".wav" : "");
    }

    HWND Start(Process& p, const std::string& arguments)
    {
        EXPECT_TRUE(p.Start(box.exe, arguments));
        return p.WaitForFrame();
    }

    // A change to the sound that leaves it as long as it was.
    static void Change(HWND frame) { SendMessageA(frame, WM_COMMAND, IDM_FX_REVERSE, 0); }

    static void Command(HWND frame, int id) { PostMessageA(frame, WM_COMMAND, id, 0); }

    static bool StillRunning(Process& p)
    {
        return WaitForSingleObject(p.pi.hProcess, 300) == WAIT_TIMEOUT;
    }

    Sandbox box{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    const wave::Bytes samples = Ramp(400, 80);
    const wave::Bytes tone = wave::Pcm(1, 8000, 16, samples);
    const wave::Bytes reversed = [this] {
        wave::Bytes r;
        for (size_t i = samples.size(); i >= 2; i -= 2)
            r.insert(r.end(), {samples[i - 2], samples[i - 1]});
        return r;
    }();
};

// Open through the dialog, Save As refusing an AIFF name, a save that the
// system refuses, and the save question's answers on Close.
TEST_F(FileCommandsTest, OpenSaveAsAndARefusedSaveThenTheQuestionOnClose)
{
    Process p;
    HWND frame = Start(p, "");
    ASSERT_NE(frame, nullptr);
    Command(frame, IDM_FILE_OPEN);
    ASSERT_TRUE(ChooseFile(p, "Open", Path("a")));
    EXPECT_EQ(WaitForText(frame, "a.wav"), "Kelvora - a.wav");

    // Only WAVE can be written: 253, and the dialog comes back.
    Change(frame);
    Command(frame, IDM_FILE_SAVE_AS);
    ASSERT_TRUE(ChooseFile(p, "Save As", Path("saved.aif")));
    ASSERT_TRUE(Answer(p, ERROR_TITLE, IDOK));
    ASSERT_TRUE(Answer(p, "Save As", IDCANCEL));
    EXPECT_EQ(GetFileAttributesA(Path("saved.aif").c_str()), INVALID_FILE_ATTRIBUTES);

    // The file is held open by another program that does not let it go:
    // 252, the old bytes stay and nothing is left beside them.
    HANDLE held = CreateFileA(Path("a").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
        OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Command(frame, IDM_FILE_SAVE);
    EXPECT_TRUE(Answer(p, ERROR_TITLE, IDOK));
    EXPECT_TRUE(Answer(p, "Save As", IDCANCEL));
    CloseHandle(held);
    EXPECT_EQ(wave::ReadFile(Path("a")), tone);
    EXPECT_EQ(TemporaryFiles(box.dir), 0);

    // Still modified: log-off and closing ask. Cancel keeps the session and
    // the program, Yes saves.
    DWORD_PTR endSession = TRUE;
    std::thread logOff([&] {
        SendMessageTimeoutA(frame, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 30000, &endSession);
    });
    EXPECT_TRUE(Answer(p, PRODUCT, IDCANCEL));
    logOff.join();
    EXPECT_EQ(endSession, DWORD_PTR(FALSE));
    PostMessageA(frame, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Answer(p, PRODUCT, IDCANCEL));
    EXPECT_TRUE(StillRunning(p));
    PostMessageA(frame, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Answer(p, PRODUCT, IDYES));
    EXPECT_EQ(p.WaitForExit(), 0);
    EXPECT_EQ(Data(Path("a")), reversed);
    EXPECT_EQ(IniValue(box.ini, "FILE1"), Path("a"));
}

// The question on New and Open, a read-only open that Save leaves alone,
// and Save As from the question, and No on Close.
TEST_F(FileCommandsTest, TheSaveQuestionOnNewAndOpenAndAReadOnlySound)
{
    Process p;
    HWND frame = Start(p, Path("a"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(WaitForText(frame, "a.wav"), "Kelvora - a.wav");
    Change(frame);
    Command(frame, IDM_FILE_NEW);
    ASSERT_TRUE(Answer(p, PRODUCT, IDCANCEL));
    EXPECT_EQ(WindowText(frame), "Kelvora - a.wav");
    Command(frame, IDM_FILE_NEW);
    ASSERT_TRUE(Answer(p, PRODUCT, IDNO));
    EXPECT_EQ(WaitForText(frame, "Untitled"), "Kelvora - (Untitled)");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(frame, IDB_DRAG)));
    EXPECT_EQ(wave::ReadFile(Path("a")), tone);

    // Read-only: Save does nothing, the question's Yes asks for a new name.
    Command(frame, IDM_FILE_OPEN);
    ASSERT_TRUE(ChooseFile(p, "Open", Path("a"), 1));
    EXPECT_EQ(WaitForText(frame, "a.wav"), "Kelvora - a.wav");
    Change(frame);
    Command(frame, IDM_FILE_SAVE);
    Command(frame, IDM_FILE_OPEN);
    ASSERT_TRUE(Answer(p, PRODUCT, IDYES));
    ASSERT_TRUE(ChooseFile(p, "Save As", Path("saved")));
    ASSERT_TRUE(ChooseFile(p, "Open", Path("c"), 0));
    EXPECT_EQ(WaitForText(frame, "c.wav"), "Kelvora - c.wav");
    EXPECT_EQ(wave::ReadFile(Path("a")), tone);
    EXPECT_EQ(Data(Path("saved")), reversed);

    // Open: Cancel keeps the sound without a dialog, No discards it.
    Change(frame);
    Command(frame, IDM_FILE_OPEN);
    ASSERT_TRUE(Answer(p, PRODUCT, IDCANCEL));
    EXPECT_EQ(WaitForTitle(p, "Open", 500), nullptr);
    Command(frame, IDM_FILE_OPEN);
    ASSERT_TRUE(Answer(p, PRODUCT, IDNO));
    ASSERT_TRUE(ChooseFile(p, "Open", Path("d"), 0));
    EXPECT_EQ(WaitForText(frame, "d.wav"), "Kelvora - d.wav");
    EXPECT_EQ(wave::ReadFile(Path("c")), tone);

    // New: Yes saves under the sound's own name.
    Change(frame);
    Command(frame, IDM_FILE_NEW);
    ASSERT_TRUE(Answer(p, PRODUCT, IDYES));
    EXPECT_EQ(WaitForText(frame, "Untitled"), "Kelvora - (Untitled)");
    EXPECT_EQ(Data(Path("d")), reversed);

    Command(frame, IDM_FILE_OPEN);
    ASSERT_TRUE(ChooseFile(p, "Open", Path("e"), 0));
    EXPECT_EQ(WaitForText(frame, "e.wav"), "Kelvora - e.wav");
    Change(frame);
    PostMessageA(frame, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Answer(p, PRODUCT, IDNO));
    EXPECT_EQ(p.WaitForExit(), 0);
    EXPECT_EQ(wave::ReadFile(Path("e")), tone);
}

// Five files opened leave the last four, newest first; a recent entry
// reopened moves to the head; one whose file is gone reports 249 and leaves;
// a cancelled save question keeps the entry.
TEST_F(FileCommandsTest, TheRecentFilesFollowOpensAndLoseOnlyFilesThatAreGone)
{
    Process p;
    HWND frame = Start(p, Path("a") + " " + Path("b") + " " + Path("c") + " " + Path("d") + " " + Path("e"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(WaitForText(frame, "e.wav"), "Kelvora - e.wav");
    Command(frame, IDM_FILE_RECENT1 + 2);
    EXPECT_EQ(WaitForText(frame, "c.wav"), "Kelvora - c.wav");

    // The list is now c e d b: b is gone from the disk.
    DeleteFileA(Path("b").c_str());
    Command(frame, IDM_FILE_RECENT4);
    ASSERT_TRUE(Answer(p, ERROR_TITLE, IDOK));
    Change(frame);
    Command(frame, IDM_FILE_RECENT1 + 1);
    ASSERT_TRUE(Answer(p, PRODUCT, IDCANCEL));
    EXPECT_EQ(WindowText(frame), "Kelvora - c.wav");

    PostMessageA(frame, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Answer(p, PRODUCT, IDNO));
    EXPECT_EQ(p.WaitForExit(), 0);
    EXPECT_EQ(IniValue(box.ini, "FILE1"), Path("c"));
    EXPECT_EQ(IniValue(box.ini, "FILE2"), Path("e"));
    EXPECT_EQ(IniValue(box.ini, "FILE3"), Path("d"));
    EXPECT_EQ(IniValue(box.ini, "FILE4"), "");
}

// A window of this process that accepts dropped files and keeps the names
// of the first drop it receives.
class DropTarget {
public:
    DropTarget()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KvDropTarget";
        RegisterClassA(&wc);
        hwnd = CreateWindowExA(WS_EX_ACCEPTFILES | WS_EX_TOPMOST, "KvDropTarget", "drop here",
            WS_POPUP | WS_VISIBLE, 600, 20, 160, 120, nullptr, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~DropTarget() { DestroyWindow(hwnd); }

    // Routes this thread's messages until a drop came or the time is up.
    bool WaitForDrop(DWORD timeoutMs)
    {
        DWORD start = GetTickCount();
        while (!dropped && GetTickCount() - start < timeoutMs) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            Sleep(20);
        }
        return dropped;
    }

    HWND hwnd = nullptr;
    bool dropped = false;
    bool nonClient = false;
    POINT at = {};
    std::vector<std::string> names;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<DropTarget*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (message == WM_DROPFILES && self) {
            HDROP drop = reinterpret_cast<HDROP>(wParam);
            UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
            for (UINT i = 0; i < count && i < 16; i++) {
                char name[MAX_PATH] = {};
                DragQueryFileA(drop, i, name, MAX_PATH);
                self->names.push_back(name);
            }
            // The point only from a block that holds names: a handle that
            // came from another process names no memory here.
            if (count > 0)
                self->nonClient = !DragQueryPoint(drop, &self->at);
            self->dropped = true;
            DragFinish(drop);
            return 0;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
};

// Paste File of each format the program reads, each put at the end of the
// sound, then the sound dragged out to a window that accepts files.
TEST_F(FileCommandsTest, PasteFileOfEveryFormatThenDragTheSavedFileOut)
{
    // 40 samples of each; the 8-bit VOC and the RAW file (read in the
    // document's format) join the 16-bit sound as they are.
    wave::Bytes be16;
    for (int i = 0; i < 40; i++)
        be16.insert(be16.end(), {uint8_t(i), 0});
    wave::Bytes voc = {'C', 'r', 'e', 'a', 't', 'i', 'v', 'e', ' ', 'V', 'o', 'i', 'c', 'e', ' ', 'F', 'i', 'l',
        'e', 0x1A, 26, 0, 0x0A, 0x01, 0x29, 0x11, 1, 42, 0, 0, 131, 0};
    voc.insert(voc.end(), 40, 0x90);
    voc.push_back(0);
    const struct {
        const char* leaf;
        wave::Bytes file;
    } pastes[] = {
        {"p.wav", wave::Pcm(1, 8000, 16, Ramp(40, 7))},
        {"p.aif", foreign::Aiff({foreign::Comm(1, 40, 16, 8000), foreign::Ssnd(be16)})},
        {"p.au", foreign::Au(3, 1, 8000, be16)},
        {"p.voc", voc},
        {"p.raw", Ramp(40, 3)},
    };
    for (const auto& paste : pastes)
        ASSERT_TRUE(wave::WriteFile(Path(paste.leaf), paste.file));

    Process p;
    HWND frame = Start(p, Path("a"));
    ASSERT_NE(frame, nullptr);
    HWND total = GetDlgItem(frame, IDW_STATUS_LEFT);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(frame, IDB_DRAG))) << "a sound with a file name can be dragged";
    EXPECT_NE(WaitForText(total, "400 samples").find("400 samples"), std::string::npos);
    int expected = 400;
    for (const auto& paste : pastes) {
        SCOPED_TRACE(paste.leaf);
        SendMessageA(frame, WM_COMMAND, IDM_EDIT_GOTO_END, 0);
        Command(frame, IDM_EDIT_PASTE_FILE);
        ASSERT_TRUE(ChooseFile(p, "Paste from File", Path(paste.leaf)));
        expected += 40;
        std::string want = std::to_string(expected) + " samples";
        EXPECT_NE(WaitForText(total, want.c_str()).find(want), std::string::npos) << WindowText(total);
    }

    // Dragging a modified sound out saves it first.
    DropTarget target;
    ASSERT_NE(target.hwnd, nullptr);
    Command(frame, IDB_DRAG);
    ASSERT_TRUE(Answer(p, PRODUCT, IDYES));
    // The drag begins once the question's loop has ended and the save is
    // done: mouse messages that came before would go to the frame unheeded.
    ASSERT_TRUE(WaitForCapture(frame));
    POINT at = {680, 80};
    ScreenToClient(frame, &at);
    PostMessageA(frame, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    PostMessageA(frame, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    // Wine hands the drop message to the other process without the memory
    // block its handle names (measured: DragQueryFile counts 0 files there),
    // so the names are read from a block this process made the same way.
    ASSERT_TRUE(target.WaitForDrop(5000));
    std::printf("drop from the program: %zu file names readable in this process\n", target.names.size());
    EXPECT_EQ(Data(Path("a")).size(), 2u * expected);
    PostMessageA(target.hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropBlock(Path("a"), {80, 60}, false)), 0);
    target.dropped = false;
    target.names.clear();
    ASSERT_TRUE(target.WaitForDrop(5000));
    EXPECT_EQ(target.names, std::vector<std::string>{Path("a")});
    EXPECT_EQ(target.at.x, 80);
    EXPECT_EQ(target.at.y, 60);
    EXPECT_FALSE(target.nonClient);

    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.WaitForExit(), 0);
}


// The recent files follow Exit in the File menu, behind one separator that
// comes with the first of them and stays. Built in this process: another
// one cannot read a menu under Wine.
TEST(RecentMenuTest, TheRecentFilesFollowExitBehindOneSeparator)
{
    ASSERT_TRUE(LoadBuiltInStrings());
    HWND window = CreateWindowA("STATIC", "", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
        LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_MENU)), nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    HMENU file = GetSubMenu(GetMenu(window), 0);
    auto items = [file] {
        std::vector<std::string> texts;
        int exit = -1;
        for (int i = 0; i < GetMenuItemCount(file); i++) {
            if (GetMenuItemID(file, i) == IDM_FILE_EXIT)
                exit = i;
            else if (exit >= 0) {
                char text[400] = {};
                GetMenuStringA(file, i, text, sizeof text, MF_BYPOSITION);
                texts.push_back(GetMenuItemID(file, i) == 0 ? "-" : std::to_string(GetMenuItemID(file, i)) + text);
            }
        }
        return texts;
    };
    ResetRecentFiles();
    RebuildRecentMenu(window);
    EXPECT_EQ(items(), std::vector<std::string>{});
    AddRecentFile("C:\\a.wav", true);
    AddRecentFile("C:\\b.wav", true);
    RebuildRecentMenu(window);
    RebuildRecentMenu(window);
    EXPECT_EQ(items(), (std::vector<std::string>{"-", "3009&1 C:\\b.wav", "3010&2 C:\\a.wav"}));
    ResetRecentFiles();
    RebuildRecentMenu(window);
    EXPECT_EQ(items(), std::vector<std::string>{"-"});
    DestroyWindow(window);
}

}
