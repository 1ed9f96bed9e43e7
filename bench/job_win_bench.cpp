// One whole job through the program a user runs: kelvora.exe is started on a
// copy of the sound, everything is selected, the effect runs through its
// command and dialog as the menu would run it, and File Save writes the
// result. The time runs from the command to the saved file; the peak memory is
// the program's peak working set. scripts/job-bench.sh runs it for every job
// beside SoX doing the same work.
//
// job_win_bench --file <sound> --job <name>
// job_win_bench --startup <rounds> [--file <sound>]
// Jobs: amplify fade echo reverse lowpass pitch tone convert, and "history":
// Amplify, Reverse, Echo and Convert Format in a row, for the memory the undo
// history holds, then each undone and the sound compared with the original.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "resource.h"
#include "support/win_driver.h"

namespace {

using driver::Process;

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

// What a dialog of the job needs besides OK.
enum class Setup { none, amplifyDouble, pitchHigher, convertDown };

struct Job {
    const char* name;
    int command;
    const char* dialogTitle;    // null: the command has no dialog
    Setup setup;
};

const Job JOBS[] = {
    {"amplify", IDM_OPT_AMPLIFY, "Amplification", Setup::amplifyDouble},
    {"fade", IDM_OPT_FADE, "Fade Options", Setup::none},
    {"echo", IDM_OPT_ECHO, "Echo Options", Setup::none},
    {"reverse", IDM_FX_REVERSE, nullptr, Setup::none},
    {"lowpass", IDM_FX_LOWPASS, nullptr, Setup::none},
    {"pitch", IDM_OPT_PITCH, "Pitch Change", Setup::pitchHigher},
    {"tone", IDM_FX_TONE, "Tone Generator", Setup::none},
    {"convert", IDM_OPT_CONVERT, "Convert", Setup::convertDown},
};

const Job* FindJob(const std::string& name)
{
    for (const Job& job : JOBS)
        if (name == job.name)
            return &job;
    return nullptr;
}

// The rate list holds 8000, 11025, 22050 and 44100 Hz in this order.
const int RATE_22050_INDEX = 2;

// Sets the dialog up as the user would: a preset button, or the convert
// choices of mono, 8 bits and 22,050 Hz.
void SetUp(HWND dialog, Setup setup)
{
    switch (setup) {
    case Setup::amplifyDouble:
        Process::Press(dialog, IDC_AMPLIFY_PRESET + 1);
        break;
    case Setup::pitchHigher:
        Process::Press(dialog, IDC_PITCH_PRESET + 2);
        break;
    case Setup::convertDown: {
        Process::Press(dialog, IDC_CONVERT_MONO);
        Process::Press(dialog, IDC_CONVERT_8BIT);
        HWND rate = GetDlgItem(dialog, IDC_CONVERT_RATE);
        SendMessageA(rate, CB_SETCURSEL, RATE_22050_INDEX, 0);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CONVERT_RATE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(rate));
        break;
    }
    case Setup::none:
        break;
    }
}

// Runs the command and answers its dialog; false when the dialog never came.
bool RunCommand(Process& program, HWND frame, const Job& job)
{
    PostMessageA(frame, WM_COMMAND, IDM_EDIT_SELECT_ALL, 0);
    PostMessageA(frame, WM_COMMAND, static_cast<WPARAM>(job.command), 0);
    if (!job.dialogTitle)
        return true;
    // Looked for every few milliseconds: the driver's own waiting must not
    // count as the program's time.
    HWND dialog = nullptr;
    for (const DWORD start = GetTickCount(); !dialog && GetTickCount() - start < 20000; Sleep(2))
        dialog = program.FindDialog(job.dialogTitle);
    if (!dialog)
        return false;
    SetUp(dialog, job.setup);
    Process::Press(dialog, IDOK);
    return true;
}

// The file's last write time; false when it cannot be looked at, which is
// not taken for a change.
bool WriteTime(const std::string& path, FILETIME& time)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    time = data.ftLastWriteTime;
    return true;
}

// Whether the folder holds a file besides the sound and the program's own:
// the save's temporary file, written before it replaces the sound.
bool SaveStarted(const std::string& dir)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool started = false;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != ".." && _stricmp(name.c_str(), "job.wav") != 0
            && _strnicmp(name.c_str(), "kelvora.", 8) != 0)
            started = true;
    } while (!started && FindNextFileA(find, &found));
    FindClose(find);
    return started;
}

// Save is refused while an action runs and once the sound is saved, so it is
// asked for again until the file has been replaced. `saveStart` gets the
// moment the temporary file was first seen (0 if never).
bool SaveWhenDone(HWND frame, const std::string& path, DWORD timeoutMs, LARGE_INTEGER* saveStart = nullptr)
{
    const std::string dir = path.substr(0, path.find_last_of('\\'));
    FILETIME before = {};
    WriteTime(path, before);
    const DWORD start = GetTickCount();
    if (saveStart)
        saveStart->QuadPart = 0;
    while (GetTickCount() - start < timeoutMs) {
        PostMessageA(frame, WM_COMMAND, IDM_FILE_SAVE, 0);
        Sleep(5);
        if (saveStart && saveStart->QuadPart == 0 && SaveStarted(dir))
            *saveStart = Now();
        FILETIME now;
        if (WriteTime(path, now) && CompareFileTime(&now, &before) != 0)
            return true;
    }
    return false;
}

double PeakMegabytes(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process, &counters, sizeof(counters)))
        return -1;
    return double(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

// A frame showing the sound's name: the open has finished.
bool WaitForSound(HWND frame, const char* name, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        std::string title = driver::WindowText(frame);
        std::transform(title.begin(), title.end(), title.begin(), ::tolower);
        if (title.find(name) != std::string::npos)
            return true;
        Sleep(10);
    }
    return false;
}

struct Started {
    Process program;
    HWND frame = nullptr;
    double openSeconds = 0;
};

// Starts the copy of the program, on the sound when one is given, and
// waits until it shows it.
bool Start(Started& s, const driver::Sandbox& box, const std::string& sound)
{
    const LARGE_INTEGER t0 = Now();
    if (!s.program.Start(box.exe, sound))
        return false;
    s.frame = s.program.WaitForFrame(120000);
    if (!s.frame)
        return false;
    const char* name = sound.empty() ? "untitled" : "job.wav";
    if (!WaitForSound(s.frame, name, 120000))
        return false;
    s.openSeconds = Seconds(t0, Now());
    return true;
}

void Stop(Started& s)
{
    PostMessageA(s.frame, WM_CLOSE, 0, 0);
    if (s.program.WaitForExit(60000) == -1000)
        std::printf("warning: the program did not end; it is stopped\n");
}

// A sandbox of its own whose settings ask for the program's own Convert
// Format dialog (not the compression manager's chooser).
void WriteSettings(const driver::Sandbox& box)
{
    driver::WriteFile(box.ini, "[Kelvora]\r\nUSEACM=0\r\n");
}

int RunJob(const std::string& sound, const Job& job)
{
    driver::Sandbox box("job");
    WriteSettings(box);
    const std::string copy = box.dir + "\\job.wav";
    if (!CopyFileA(sound.c_str(), copy.c_str(), FALSE)) {
        std::printf("error: cannot copy %s\n", sound.c_str());
        return 1;
    }
    Started s;
    int rc = 0;
    if (!Start(s, box, copy)) {
        std::printf("error: the program did not open the sound\n");
        rc = 1;
    } else {
        Sleep(300);     // the first paint and idle work of the open
        const LARGE_INTEGER t0 = Now();
        LARGE_INTEGER saveStart = {};
        if (!RunCommand(s.program, s.frame, job)) {
            std::printf("error: no dialog \"%s\"\n", job.dialogTitle);
            rc = 1;
        } else if (!SaveWhenDone(s.frame, copy, 1200000, &saveStart)) {
            std::printf("error: the sound was not saved\n");
            rc = 1;
        } else {
            const LARGE_INTEGER t1 = Now();
            // The save's share: from its temporary file's first sight (a
            // few milliseconds late at most) to the replaced sound.
            const double save = saveStart.QuadPart ? Seconds(saveStart, t1) : 0;
            std::printf("RESULT job=%s seconds=%.3f save=%.3f open=%.3f peak_mb=%.0f\n", job.name,
                Seconds(t0, t1), save, s.openSeconds, PeakMegabytes(s.program.pi.hProcess));
        }
        Stop(s);
    }
    DeleteFileA(copy.c_str());
    return rc;
}

// The undo history of a long sound: four changes in a row, each kept for
// undo and each saved; then the peak memory beside the sound's size.

// Where the "data" chunk of a RIFF WAVE file lies: false when there is none.
bool FindDataChunk(HANDLE file, uint64_t& offset, uint32_t& size)
{
    LARGE_INTEGER length;
    if (!GetFileSizeEx(file, &length))
        return false;
    uint64_t pos = 12;
    while (pos + 8 <= uint64_t(length.QuadPart)) {
        unsigned char head[8];
        DWORD got = 0;
        LARGE_INTEGER at;
        at.QuadPart = LONGLONG(pos);
        if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN) || !ReadFile(file, head, 8, &got, nullptr) || got != 8)
            return false;
        const uint32_t bytes = uint32_t(head[4]) | uint32_t(head[5]) << 8 | uint32_t(head[6]) << 16
            | uint32_t(head[7]) << 24;
        if (std::memcmp(head, "data", 4) == 0) {
            offset = pos + 8;
            size = bytes;
            return offset + size <= uint64_t(length.QuadPart);
        }
        pos += 8 + uint64_t(bytes) + (bytes & 1);
    }
    return false;
}

// Whether two WAVE files hold the same sound data, byte for byte. Opened
// sharing everything: just after a save the system's move may still hold
// the new file open for its delete access.
bool SameSoundData(const std::string& a, const std::string& b)
{
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE fa = CreateFileA(a.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE fb = CreateFileA(b.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
    bool same = false;
    uint64_t oa = 0, ob = 0;
    uint32_t sa = 0, sb = 0;
    if (fa != INVALID_HANDLE_VALUE && fb != INVALID_HANDLE_VALUE && FindDataChunk(fa, oa, sa)
        && FindDataChunk(fb, ob, sb) && sa == sb) {
        LARGE_INTEGER at;
        at.QuadPart = LONGLONG(oa);
        SetFilePointerEx(fa, at, nullptr, FILE_BEGIN);
        at.QuadPart = LONGLONG(ob);
        SetFilePointerEx(fb, at, nullptr, FILE_BEGIN);
        std::vector<char> ba(1 << 20), bb(1 << 20);
        same = true;
        for (uint32_t left = sa; same && left > 0;) {
            const DWORD n = DWORD(std::min<uint32_t>(left, uint32_t(ba.size())));
            DWORD ga = 0, gb = 0;
            same = ReadFile(fa, ba.data(), n, &ga, nullptr) && ReadFile(fb, bb.data(), n, &gb, nullptr) && ga == n
                && gb == n && std::memcmp(ba.data(), bb.data(), n) == 0;
            left -= n;
        }
    }
    if (fa != INVALID_HANDLE_VALUE)
        CloseHandle(fa);
    if (fb != INVALID_HANDLE_VALUE)
        CloseHandle(fb);
    return same;
}

int RunHistory(const std::string& sound)
{
    driver::Sandbox box("history");
    WriteSettings(box);
    const std::string copy = box.dir + "\\job.wav";
    if (!CopyFileA(sound.c_str(), copy.c_str(), FALSE))
        return 1;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(copy.c_str(), GetFileExInfoStandard, &data);
    const double soundMb = double(data.nFileSizeLow + (uint64_t(data.nFileSizeHigh) << 32)) / (1024.0 * 1024.0);
    Started s;
    int rc = 0;
    if (!Start(s, box, copy)) {
        rc = 1;
    } else {
        const LARGE_INTEGER t0 = Now();
        for (const char* name : {"amplify", "reverse", "echo", "convert"}) {
            const Job& job = *FindJob(name);
            // The save tells when the change is over: the program takes
            // no command while an action runs.
            if (!RunCommand(s.program, s.frame, job) || !SaveWhenDone(s.frame, copy, 1200000)) {
                rc = 1;
                break;
            }
        }
        const double seconds = Seconds(t0, Now());
        const double peak = PeakMegabytes(s.program.pi.hProcess);
        // Every step kept is taken back, newest first; the save after each
        // tells when it is over.
        int undone = 0;
        for (; rc == 0 && undone < 4; undone++) {
            PostMessageA(s.frame, WM_COMMAND, IDM_EDIT_UNDO, 0);
            if (!SaveWhenDone(s.frame, copy, 1200000))
                break;
        }
        if (rc == 0) {
            std::printf("RESULT job=history seconds=%.3f sound_mb=%.0f peak_mb=%.0f undone=%d restored=%s\n",
                seconds, soundMb, peak, undone, SameSoundData(sound, copy) ? "yes" : "no");
        }
        Stop(s);
    }
    DeleteFileA(copy.c_str());
    return rc;
}

int RunStartup(const std::string& sound, int rounds)
{
    driver::Sandbox box("startup");
    WriteSettings(box);
    std::string copy;
    if (!sound.empty()) {
        copy = box.dir + "\\job.wav";
        if (!CopyFileA(sound.c_str(), copy.c_str(), FALSE))
            return 1;
    }
    std::vector<double> times;
    for (int i = 0; i < rounds; i++) {
        Started s;
        if (!Start(s, box, copy))
            return 1;
        times.push_back(s.openSeconds);
        Stop(s);
    }
    std::sort(times.begin(), times.end());
    std::printf("RESULT job=startup%s best=%.3f median=%.3f", sound.empty() ? "" : "-open", times.front(),
        times[times.size() / 2]);
    if (sound.empty()) {
        // The floor the system sets: the time its own Notepad takes to show
        // its window, started the same way.
        std::vector<double> floor;
        char system[MAX_PATH];
        GetWindowsDirectoryA(system, MAX_PATH);
        for (int i = 0; i < rounds; i++) {
            Process notepad;
            const LARGE_INTEGER t0 = Now();
            if (!notepad.Start(std::string(system) + "\\notepad.exe", ""))
                break;
            HWND shown = nullptr;
            for (int wait = 0; wait < 2000 && !shown; wait++) {
                shown = FindWindowA("Notepad", nullptr);
                if (!shown || !IsWindowVisible(shown)) {
                    shown = nullptr;
                    Sleep(5);
                }
            }
            floor.push_back(Seconds(t0, Now()));
            if (shown)
                PostMessageA(shown, WM_CLOSE, 0, 0);
            notepad.WaitForExit(10000);
        }
        if (!floor.empty()) {
            std::sort(floor.begin(), floor.end());
            std::printf(" notepad_best=%.3f notepad_median=%.3f", floor.front(), floor[floor.size() / 2]);
        }
    }
    std::printf("\n");
    if (!copy.empty())
        DeleteFileA(copy.c_str());
    return 0;
}

}

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::string file, job;
    int startupRounds = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        if (key == "--file")
            file = argv[i + 1];
        else if (key == "--job")
            job = argv[i + 1];
        else if (key == "--startup")
            startupRounds = std::atoi(argv[i + 1]);
    }
    if (startupRounds > 0)
        return RunStartup(file, startupRounds);
    if (job == "history")
        return RunHistory(file);
    const Job* found = FindJob(job);
    if (!found || file.empty()) {
        std::fprintf(stderr, "usage: job_win_bench --file <sound> --job <name> | --startup <rounds>\n");
        return 2;
    }
    return RunJob(file, *found);
}
