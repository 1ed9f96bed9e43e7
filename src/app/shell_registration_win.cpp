#include "app/shell_registration_win.h"

#include <windows.h>

#include "base/string_ids.h"
#include "base/string_table.h"

namespace {

// The user's classes are a key of HKEY_CURRENT_USER; the classes root shows
// them merged with the machine's.
HKEY RootKey(RegRoot root, std::string& path)
{
    switch (root) {
    case REG_ROOT_CLASSES:
        return HKEY_CLASSES_ROOT;
    case REG_ROOT_USER_CLASSES:
        path.insert(0, "Software\\Classes\\");
        return HKEY_CURRENT_USER;
    case REG_ROOT_MACHINE:
        return HKEY_LOCAL_MACHINE;
    case REG_ROOT_USER:
        break;
    }
    return HKEY_CURRENT_USER;
}

// An open key, closed when it goes out of scope.
class Key {
public:
    Key(RegRoot root, const char* path, REGSAM access)
    {
        std::string full = path;
        HKEY base = RootKey(root, full);
        if (RegOpenKeyExA(base, full.c_str(), 0, access, &key) != ERROR_SUCCESS)
            key = nullptr;
    }
    ~Key()
    {
        if (key)
            RegCloseKey(key);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    HKEY key = nullptr;
};

}

bool WindowsShellSystem::KeyExists(RegRoot root, const char* path)
{
    return Key(root, path, KEY_READ).key != nullptr;
}

bool WindowsShellSystem::ReadText(RegRoot root, const char* path, const char* name, std::string& text)
{
    text.clear();
    Key k(root, path, KEY_QUERY_VALUE);
    DWORD type = 0;
    DWORD bytes = 0;
    if (!k.key || RegQueryValueExA(k.key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS
        || (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    std::string value(bytes + 1, '\0');
    if (RegQueryValueExA(k.key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value[0]), &bytes)
        != ERROR_SUCCESS)
        return false;
    // A stored value need not end in its zero.
    value.resize(bytes < value.size() ? bytes : value.size());
    text = value.c_str();
    return true;
}

long WindowsShellSystem::WriteText(RegRoot root, const char* path, const char* name, const char* text)
{
    std::string full = path;
    HKEY base = RootKey(root, full);
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExA(base, full.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS)
        return rc;
    rc = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
        static_cast<DWORD>(lstrlenA(text) + 1));
    RegCloseKey(key);
    return rc;
}

bool WindowsShellSystem::DeleteValue(RegRoot root, const char* path, const char* name)
{
    Key k(root, path, KEY_SET_VALUE);
    return k.key && RegDeleteValueA(k.key, name) == ERROR_SUCCESS;
}

bool WindowsShellSystem::DeleteKeyTree(RegRoot root, const char* path)
{
    std::string full = path;
    HKEY base = RootKey(root, full);
    return RegDeleteTreeA(base, full.c_str()) == ERROR_SUCCESS;
}

bool WindowsShellSystem::KeyIsEmpty(RegRoot root, const char* path)
{
    Key k(root, path, KEY_READ);
    DWORD subkeys = 0;
    DWORD values = 0;
    return k.key
        && RegQueryInfoKeyA(k.key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
               nullptr, nullptr, nullptr) == ERROR_SUCCESS
        && subkeys == 0 && values == 0;
}

std::string WindowsShellSystem::InstallDirectory()
{
    char full[MAX_PATH] = {};
    DWORD n = GetFullPathNameA("\\Program Files", MAX_PATH, full, nullptr);
    return n > 0 && n < MAX_PATH ? full : "\\Program Files";
}

bool WindowsShellSystem::MakeDirectory(const char* path)
{
    if (CreateDirectoryA(path, nullptr))
        return true;
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WindowsShellSystem::CopyFileTo(const char* from, const char* to, bool overwrite)
{
    return CopyFileA(from, to, overwrite ? FALSE : TRUE) != FALSE;
}

RemoveResult WindowsShellSystem::RemoveFile(const char* path)
{
    if (DeleteFileA(path))
        return REMOVE_DONE;
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? REMOVE_MISSING : REMOVE_FAILED;
}

bool WindowsShellSystem::DeleteDirectory(const char* path)
{
    return RemoveDirectoryA(path) != FALSE;
}

Answer WindowsShellSystem::Ask(const char* text, bool withCancel)
{
    UINT buttons = withCancel ? MB_YESNOCANCEL : MB_YESNO;
    switch (MessageBoxA(nullptr, text, LoadAppString(STR_PRODUCT_TITLE), buttons | MB_ICONQUESTION)) {
    case IDYES:
        return ANSWER_YES;
    case IDNO:
        return ANSWER_NO;
    default:
        return ANSWER_CANCEL;
    }
}

void WindowsShellSystem::Tell(const char* text)
{
    MessageBoxA(nullptr, text, LoadAppString(STR_PRODUCT_TITLE), MB_OK | MB_ICONEXCLAMATION);
}

int WindowsShellSystem::SystemVersion()
{
    DWORD version = GetVersion();
    return LOBYTE(LOWORD(version)) * 256 + HIBYTE(LOWORD(version));
}
