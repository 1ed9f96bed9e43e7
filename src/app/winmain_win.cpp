#include <windows.h>

#include "app/app_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showMode)
{
    return KelvoraMain(instance, commandLine, showMode);
}
