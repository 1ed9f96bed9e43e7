// Sends commands to a running Kelvora, as its menu, keys and buttons would:
// kv_send <command id>... Each id is posted to the frame as WM_COMMAND; an
// id written "wait:<ms>" waits instead. The screenshot script uses it to
// show the frame playing or with a popup open.
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
        if (std::strncmp(argv[i], "wait:", 5) == 0)
            Sleep(static_cast<DWORD>(std::atoi(argv[i] + 5)));
        else
            PostMessageA(frame, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[i])), 0);
    }
    return 0;
}
