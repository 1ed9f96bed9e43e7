#include "lib/disk_free_win.h"

#include <windows.h>

uint64_t GetDiskFree(const char* root)
{
    ULARGE_INTEGER available, total, free;
    if (!GetDiskFreeSpaceExA(root, &available, &total, &free))
        return 0;
    return available.QuadPart;
}
