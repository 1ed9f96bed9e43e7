// Sends commands to a running Kelvora, as its menu, keys and buttons would:
// kv_send <command id>... Each id is posted to the frame as WM_COMMAND; an
// id written "wait:<ms>" waits instead, "drag:<x1>-<x2>" drags the mouse
// across the waveform window from x1 to x2, and "press:<id>" presses the
// button id of the dialog the program shows. The screenshot script uses it to
// show the frame playing, zoomed with a selection or with a popup open.
#include <windows.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    HWND frame = nullptr;
    for (int i = 0; i < 100 && !frame; i++) {
        frame = FindWindowA("Kelvora", nullptr);
        if (!frame)
            Sleep(100);
    }
    if (!frame)
        return 1;
    for (int i = 1; i < argc; i++) {
        if (std::strncmp(argv[i], "wait:", 5) == 0) {
            Sleep(static_cast<DWORD>(std::atoi(argv[i] + 5)));
        } else if (std::strncmp(argv[i], "press:", 6) == 0) {
            DWORD program = 0;
            GetWindowThreadProcessId(frame, &program);
            HWND dialog = nullptr;
            while ((dialog = FindWindowExA(nullptr, dialog, "#32770", nullptr)) != nullptr) {
                DWORD pid = 0;
                GetWindowThreadProcessId(dialog, &pid);
                if (pid == program && IsWindowVisible(dialog))
                    break;
            }
            if (dialog)
                PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[i] + 6)), 0);
        } else if (std::strncmp(argv[i], "drag:", 5) == 0) {
            const int waveWindow = 4001;
            HWND wave = GetDlgItem(frame, waveWindow);
            char* rest = nullptr;
            const int from = static_cast<int>(std::strtol(argv[i] + 5, &rest, 10));
            const int to = rest && *rest == '-' ? std::atoi(rest + 1) : from;
            PostMessageA(wave, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from, 20));
            PostMessageA(wave, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to, 20));
            PostMessageA(wave, WM_LBUTTONUP, 0, MAKELPARAM(to, 20));
        } else

            PostMessageA(frame, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[i])), 0);
    }
    return 0;
}
