// Registration with the shell, install and uninstall of the real program, in
// a Wine prefix of its own (with_own_prefix.sh), started from a C: folder
// whose name holds a blank. The registry is read back with the system's
// "reg query", as a user would check it (it lists keys and values sorted by
// name).
#include <gtest/gtest.h>

#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/wave_builder.h"
#include "support/win_driver.h"

using namespace driver;

namespace {

using Lines = std::vector<std::string>;

const char* const SOURCE_DIR = "C:\\Kelvora Test";
const char* const SOURCE_EXE = "C:\\Kelvora Test\\KELVORA.EXE";
const char* const TARGET_DIR = "C:\\Program Files";
const char* const TARGET_EXE = "C:\\Program Files\\KELVORA.EXE";
const char* const UNINSTALL_ENTRY = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvora";
const char* const EXTENSIONS[] = {".WAV", ".AIF", ".VOC", ".AU", ".MP3", ".RAW"};
const char* const COMPANIONS[] = {".EXE", ".INI", ".BMP", ".HLP"};
const char* const USER_SETTINGS = "[Kelvora]\r\nMIX=55,0\r\n";
// The message box's text control, as the platform numbers it.
const int MESSAGE_BOX_TEXT = 0xFFFF;

void SetText(HKEY root, const char* path, const char* name, const char* text)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr));
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), lstrlenA(text) + 1);
    RegCloseKey(key);
}

std::string Text(HKEY root, const char* path, const char* name = nullptr)
{
    char text[1024] = {};
    DWORD size = sizeof(text) - 1;
    if (RegGetValueA(root, path, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return "(none)";
    return text;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Starts a command line as the shell would run a registered command.
bool StartCommand(Process& p, const std::string& commandLine)
{
    std::string line = commandLine;
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    return CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, SOURCE_DIR, &si, &p.pi)
        != FALSE;
}

// "reg query" of this prefix: its output lines without blank ones, and a
// last line "exit N" when it failed.
Lines RegQuery(const std::string& arguments)
{
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0))
        return {"no pipe"};
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string line = "reg.exe query " + arguments;
    PROCESS_INFORMATION pi = {};
    BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
        &si, &pi);
    CloseHandle(writeEnd);
    std::string output;
    char buffer[4096];
    DWORD n;
    while (started && ReadFile(readEnd, buffer, sizeof(buffer), &n, nullptr) && n > 0)
        output.append(buffer, n);
    CloseHandle(readEnd);
    if (!started)
        return {"reg did not start"};
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    Lines lines;
    std::istringstream in(output);
    for (std::string text; std::getline(in, text);) {
        while (!text.empty() && (text.back() == '\r' || text.back() == ' '))
            text.pop_back();
        // Errors go to the same pipe; only that there was one matters.
        if (!text.empty() && code == 0)
            lines.push_back(text);
    }
    if (code != 0)
        lines.push_back("exit " + std::to_string(code));
    return lines;
}

class RegistrationTest : public ::testing::Test {
protected:
    // Another program owns ".AIF" and ".AU"; ".WAV" has a content type but no
    // handler; the rest are unknown. A settings file of the user waits in
    // the install directory.
    void SetUp() override
    {
        // Message boxes close at once on a display without a window manager.
        SetText(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", "Managed", "N");
        for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER}) {
            std::string classes = root == HKEY_CURRENT_USER ? "Software\\Classes\\" : "";
            RegDeleteTreeA(root, (classes + "Kelvora").c_str());
            for (const char* extension : EXTENSIONS)
                RegDeleteTreeA(root, (classes + extension).c_str());
        }
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, UNINSTALL_ENTRY);
        RegDeleteTreeA(HKEY_CURRENT_USER, UNINSTALL_ENTRY);
        SetText(HKEY_CLASSES_ROOT, ".WAV", "Content Type", "audio/wav");
        SetText(HKEY_CLASSES_ROOT, ".AIF", nullptr, "OtherAif");
        SetText(HKEY_CLASSES_ROOT, ".AU", nullptr, "OtherAu");
        SetText(HKEY_CLASSES_ROOT, ".AU", "Content Type", "audio/basic");

        RemoveFiles();
        CreateDirectoryA(SOURCE_DIR, nullptr);
        ASSERT_TRUE(CopyFileA(WindowsPath(KV_EXE_PATH).c_str(), SOURCE_EXE, FALSE));
        WriteFile(std::string(SOURCE_DIR) + "\\KELVORA.INI", "[Kelvora]\r\n");
        WriteFile(std::string(SOURCE_DIR) + "\\KELVORA.BMP", "BM picture");
        ASSERT_TRUE(wave::WriteFile(std::string(SOURCE_DIR) + "\\My Tone.wav",
            wave::Pcm(1, 11025, 8, wave::Bytes(200, 0x80))));
        WriteFile(std::string(TARGET_DIR) + "\\KELVORA.INI", USER_SETTINGS);
    }
    void TearDown() override { RemoveFiles(); }

    static void RemoveFiles()
    {
        for (const char* extension : COMPANIONS) {
            DeleteFileA((std::string(SOURCE_DIR) + "\\KELVORA" + extension).c_str());
            DeleteFileA((std::string(TARGET_DIR) + "\\KELVORA" + extension).c_str());
        }
        DeleteFileA((std::string(SOURCE_DIR) + "\\My Tone.wav").c_str());
        RemoveDirectoryA(SOURCE_DIR);
    }

    // Waits for the program's next message box, titled "Kelvora", presses
    // `button` and returns the box's text.
    static std::string Answer(Process& p, int button)
    {
        HWND box = p.WaitForDialog("Kelvora");
        if (!box)
            return "(no message box)";
        std::string text = WindowText(GetDlgItem(box, MESSAGE_BOX_TEXT));
        Process::Press(box, button);
        Process::WaitGone(box);
        return text;
    }

    static int Close(Process& p, HWND frame)
    {
        PostMessageA(frame, WM_CLOSE, 0, 0);
        return p.WaitForExit();
    }
};

TEST_F(RegistrationTest, InstallsAndRegistersOnceAndUninstallRemovesOnlyWhatItWrote)
{
    // First start: install into "Program Files", leave ".AIF" to its
    // program, take ".AU".
    Process first;
    ASSERT_TRUE(first.Start(SOURCE_EXE, ""));
    EXPECT_EQ("Do you want to copy and install Kelvora into the 'C:\\Program Files' directory ?\n"
              "If not it will be registered in 'C:\\Kelvora Test'",
        Answer(first, IDYES));
    EXPECT_EQ("The file type '.AIF' already has an associated handler 'OtherAif'.\nReplace this with Kelvora ?",
        Answer(first, IDNO));
    EXPECT_EQ("The file type '.AU' already has an associated handler 'OtherAu'.\nReplace this with Kelvora ?",
        Answer(first, IDYES));
    HWND frame = first.WaitForFrame();
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(nullptr, first.FindDialog());
    EXPECT_EQ(0, Close(first, frame));

    const std::string p = "\"C:\\Program Files\\KELVORA.EXE\"";
    EXPECT_EQ((Lines{
                  "HKEY_CLASSES_ROOT\\Kelvora",
                  "    (Default)    REG_SZ    Kelvora",
                  "HKEY_CLASSES_ROOT\\Kelvora\\Associations",
                  "    .AU    REG_SZ    OtherAu",
                  "    .MP3    REG_SZ",
                  "    .RAW    REG_SZ",
                  "    .VOC    REG_SZ",
                  "    .WAV    REG_SZ",
                  "HKEY_CLASSES_ROOT\\Kelvora\\DefaultIcon",
                  "    (Default)    REG_SZ    " + p + ",0",
                  "HKEY_CLASSES_ROOT\\Kelvora\\Insertable",
                  "    (Default)    REG_SZ",
                  "HKEY_CLASSES_ROOT\\Kelvora\\shell",
                  "    (Default)    REG_SZ    play",
                  "HKEY_CLASSES_ROOT\\Kelvora\\shell\\open",
                  "    (Default)    REG_SZ    &Edit",
                  "HKEY_CLASSES_ROOT\\Kelvora\\shell\\open\\command",
                  "    (Default)    REG_SZ    " + p + " \"%1\"",
                  "HKEY_CLASSES_ROOT\\Kelvora\\shell\\play",
                  "    (Default)    REG_SZ    &Play",
                  "HKEY_CLASSES_ROOT\\Kelvora\\shell\\play\\command",
                  "    (Default)    REG_SZ    " + p + " /play /close \"%1\"",
                  "HKEY_CLASSES_ROOT\\Kelvora\\ShellNew",
                  "    (Default)    REG_SZ    NullFile",
              }),
        RegQuery("HKCR\\Kelvora /s"));
    EXPECT_EQ((Lines{
                  "HKEY_LOCAL_MACHINE\\" + std::string(UNINSTALL_ENTRY),
                  "    DisplayName    REG_SZ    Kelvora",
                  "    UninstallString    REG_SZ    " + p + " -uninstall",
              }),
        RegQuery("\"HKLM\\" + std::string(UNINSTALL_ENTRY) + "\""));
    EXPECT_EQ("OtherAif", Text(HKEY_CLASSES_ROOT, ".AIF"));
    for (const char* extension : {".WAV", ".VOC", ".AU", ".MP3", ".RAW"})
        EXPECT_EQ("Kelvora", Text(HKEY_CLASSES_ROOT, extension)) << extension;
    EXPECT_EQ("audio/wav", Text(HKEY_CLASSES_ROOT, ".WAV", "Content Type"));
    EXPECT_TRUE(FileExists(TARGET_EXE));
    EXPECT_EQ("BM picture", ReadFile(std::string(TARGET_DIR) + "\\KELVORA.BMP"));
    EXPECT_EQ(USER_SETTINGS, ReadFile(std::string(TARGET_DIR) + "\\KELVORA.INI"));

    // Second start, by the open verb on a file whose name holds a blank:
    // nothing is asked, the file opens.
    std::string command = Text(HKEY_CLASSES_ROOT, "Kelvora\\shell\\open\\command");
    command.replace(command.find("%1"), 2, std::string(SOURCE_DIR) + "\\My Tone.wav");
    Process second;
    ASSERT_TRUE(StartCommand(second, command));
    frame = second.WaitForFrame();
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ("Kelvora - My Tone.wav", WaitForText(frame, "Tone"));
    EXPECT_EQ(nullptr, second.FindDialog());
    EXPECT_EQ(0, Close(second, frame));

    // Uninstall, as the system's list of programs runs it: the running
    // program stays and is named.
    Process third;
    ASSERT_TRUE(StartCommand(third, Text(HKEY_LOCAL_MACHINE, UNINSTALL_ENTRY, "UninstallString")));
    EXPECT_EQ("Are you sure you want to un-install Kelvora and delete all files associated with "
              "'C:\\Program Files\\KELVORA.EXE'?",
        Answer(third, IDYES));
    EXPECT_EQ("Kelvora could not delete these files; delete them once it has ended:\n"
              "C:\\Program Files\\KELVORA.EXE",
        Answer(third, IDOK));
    EXPECT_EQ(0, third.WaitForExit());
    EXPECT_EQ(nullptr, third.WaitForFrame(0, false));

    EXPECT_EQ(Lines{"exit 1"}, RegQuery("HKCR\\Kelvora"));
    EXPECT_EQ(Lines{"exit 1"}, RegQuery("\"HKLM\\" + std::string(UNINSTALL_ENTRY) + "\""));
    EXPECT_EQ((Lines{"HKEY_CLASSES_ROOT\\.WAV", "    Content Type    REG_SZ    audio/wav"}), RegQuery("HKCR\\.WAV"));
    EXPECT_EQ((Lines{"HKEY_CLASSES_ROOT\\.AIF", "    (Default)    REG_SZ    OtherAif"}), RegQuery("HKCR\\.AIF"));
    EXPECT_EQ((Lines{"HKEY_CLASSES_ROOT\\.AU", "    (Default)    REG_SZ    OtherAu",
                  "    Content Type    REG_SZ    audio/basic"}),
        RegQuery("HKCR\\.AU"));
    for (const char* extension : {".VOC", ".MP3", ".RAW"})
        EXPECT_EQ(Lines{"exit 1"}, RegQuery(std::string("HKCR\\") + extension)) << extension;
    EXPECT_TRUE(FileExists(TARGET_EXE));
    for (const char* extension : {".INI", ".BMP"})
        EXPECT_FALSE(FileExists(std::string(TARGET_DIR) + "\\KELVORA" + extension)) << extension;
}

}
