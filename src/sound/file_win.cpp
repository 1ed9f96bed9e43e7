#include "sound/file_win.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "lib/log.h"

namespace {

// The folder of a name, ending in its separator. The system splits the name,
// so that a trail byte of a double-byte code page is never taken for a
// backslash.
bool FolderOf(const char* target, CGString& folder)
{
    DWORD size = GetFullPathNameA(target, 0, nullptr, nullptr);
    if (size == 0)
        return false;
    std::vector<char> full(size);
    char* filePart = nullptr;
    DWORD length = GetFullPathNameA(target, size, full.data(), &filePart);
    if (length == 0 || length >= size || !filePart)
        return false;
    *filePart = 0;
    folder = full.data();
    return true;
}

// A C library stream over a handle the system opened; closing the stream
// closes the handle. On failure the handle is closed.
FILE* StreamOver(HANDLE h)
{
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        return nullptr;
    }
    FILE* f = _fdopen(fd, "wb");
    if (!f)
        _close(fd);
    return f;
}

class SystemFileSystem final : public FileSystem {
public:
    FILE* CreateBeside(const char* target, CGString& temporary) override
    {
        CGString folder;
        DWORD error = 0;
        if (!FolderOf(target, folder))
            error = GetLastError();
        for (int i = 0; folder.Length() > 0 && i < TEMPORARY_NAME_TRIES; i++) {
            NextTemporaryName(temporary, folder.c_str(), folder.Length());
            // Shared with nobody: no other program reads a half-written sound.
            HANDLE h = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                nullptr);
            if (h == INVALID_HANDLE_VALUE) {
                error = GetLastError();
                if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
                    continue;
                break;
            }
            if (FILE* f = StreamOver(h))
                return f;
            error = GetLastError();
            DeleteFileA(temporary.c_str());
            break;
        }
        Log("File:CreateBeside(%s) %lu", target, error);
        temporary.Empty();
        return nullptr;
    }

    // One move within the folder: the target is either the old file or the
    // new one, never a part of either. The system refuses a target another
    // program holds open without leave to delete it, and Windows a read-only
    // one; Wine replaces a read-only file, so that is asked first.
    bool Replace(const char* temporary, const char* target) override
    {
        const DWORD attributes = GetFileAttributesA(target);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
            Log("File:Replace(%s) read-only", target);
            return false;
        }
        if (MoveFileExA(temporary, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        Log("File:Replace(%s) %lu", target, GetLastError());
        return false;
    }

    bool Remove(const char* name) override
    {
        if (DeleteFileA(name))
            return true;
        Log("File:Remove(%s) %lu", name, GetLastError());
        return false;
    }
};

}

FileSystem& TheSystemFileSystem()
{
    static SystemFileSystem files;
    return files;
}
