// Out-of-process driving of kelvora.exe for the end-to-end tests: a private
// copy of the program in its own folder (so its INI file is its own), start,
// wait for the frame, read texts, close, wait for exit.
#pragma once

#include <windows.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace driver {

// The build passes a Unix path; under Wine it is reached through drive Z:.
inline std::string WindowsPath(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// A folder of its own holding a copy of kelvora.exe.
class Sandbox {
public:
    explicit Sandbox(const std::string& name)
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        dir = std::string(temp) + "kelvora_" + name + "_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(dir.c_str(), nullptr);
        exe = dir + "\\KELVORA.EXE";
        CopyFileA(WindowsPath(KV_EXE_PATH).c_str(), exe.c_str(), FALSE);
        ini = dir + "\\KELVORA.INI";
    }
    ~Sandbox()
    {
        DeleteFileA(ini.c_str());
        DeleteFileA(exe.c_str());
        RemoveDirectoryA(dir.c_str());
    }
    std::string dir, exe, ini;
};

class Process {
public:
    bool Start(const std::string& exe, const std::string& arguments)
    {
        std::string line = "\"" + exe + "\"";
        if (!arguments.empty())
            line += " " + arguments;
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        std::string dir = exe.substr(0, exe.find_last_of('\\'));
        if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                &si, &pi))
            return false;
        return true;
    }
    ~Process()
    {
        CloseDialogs();
        if (pi.hProcess) {
            if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(pi.hProcess, 99);
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
    }
    // The top-level window of class "Kelvora" that belongs to this process.
    HWND WaitForFrame(DWORD timeoutMs = 20000, bool mustBeVisible = true)
    {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < timeoutMs) {
            HWND found = nullptr;
            HWND w = nullptr;
            while ((w = FindWindowExA(nullptr, w, "Kelvora", nullptr)) != nullptr) {
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                if (pid == pi.dwProcessId && (!mustBeVisible || IsWindowVisible(w)))
                    found = w;
            }
            if (found)
                return found;
            if (WaitForSingleObject(pi.hProcess, 50) == WAIT_OBJECT_0)
                return nullptr;
        }
        return nullptr;
    }
    // A visible top-level dialog (class "#32770") of this process whose title
    // holds `titlePart` (null: any), other than `except`; null after the
    // timeout. Modal dialogs and message boxes are such windows.
    HWND WaitForDialog(const char* titlePart = nullptr, DWORD timeoutMs = 10000, HWND except = nullptr)
    {
        DWORD start = GetTickCount();
        do {
            if (HWND d = FindDialog(titlePart, except))
                return d;
            Sleep(50);
        } while (GetTickCount() - start < timeoutMs);
        return nullptr;
    }
    HWND FindDialog(const char* titlePart = nullptr, HWND except = nullptr) const
    {
        HWND w = nullptr;
        while ((w = FindWindowExA(nullptr, w, "#32770", nullptr)) != nullptr) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid != pi.dwProcessId || w == except || !IsWindowVisible(w))
                continue;
            char title[256] = {};
            GetWindowTextA(w, title, sizeof(title));
            if (!titlePart || strstr(title, titlePart))
                return w;
        }
        return nullptr;
    }
    // Waits until `dialog` is gone; false after the timeout.
    static bool WaitGone(HWND dialog, DWORD timeoutMs = 10000)
    {
        DWORD start = GetTickCount();
        while (IsWindow(dialog) && IsWindowVisible(dialog)) {
            if (GetTickCount() - start >= timeoutMs)
                return false;
            Sleep(50);
        }
        return true;
    }
    // Presses the dialog's button `id` as the user would (the command is
    // posted: the dialog may run a modal loop of its own in answer).
    static void Press(HWND dialog, int id)
    {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
            reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }
    // Cancels every dialog the process still shows, so that a failed test
    // never leaves the program waiting in a modal loop.
    void CloseDialogs()
    {
        if (!pi.hProcess)
            return;
        for (int i = 0; i < 20; i++) {
            HWND d = FindDialog();
            if (!d)
                break;
            PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
            WaitGone(d, 500);
        }
    }
    // Exit code, or -1000 when the process did not end in time.
    int WaitForExit(DWORD timeoutMs = 20000)
    {
        if (WaitForSingleObject(pi.hProcess, timeoutMs) != WAIT_OBJECT_0)
            return -1000;
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        return static_cast<int>(code);
    }
    PROCESS_INFORMATION pi = {};
};

inline std::string WindowText(HWND hwnd)
{
    char text[512] = {};
    SendMessageA(hwnd, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    return text;
}

// The window's text once it holds `part` (the title is set by a posted
// update, a moment after the window shows), or its text after 5 s.
inline std::string WaitForText(HWND hwnd, const char* part)
{
    std::string text = WindowText(hwnd);
    for (int i = 0; i < 100 && text.find(part) == std::string::npos; i++) {
        Sleep(50);
        text = WindowText(hwnd);
    }
    return text;
}

// Value of one key of the program's INI section, "" when missing.
inline std::string IniValue(const std::string& ini, const char* key)
{
    char value[400] = {};
    GetPrivateProfileStringA("Kelvora", key, "", value, sizeof(value), ini.c_str());
    return value;
}

}
