#include "app/settings_store_win.h"

#include <windows.h>

#include "base/app.h"

int PrivateProfileStore::Read(const char* section, const char* key, char* buffer, int size)
{
    if (size <= 0)
        return 0;
    return static_cast<int>(GetPrivateProfileStringA(section, key, "", buffer,
        static_cast<DWORD>(size), TheApp().iniPath.c_str()));
}

bool PrivateProfileStore::Write(const char* section, const char* key, const char* value)
{
    return WritePrivateProfileStringA(section, key, value, TheApp().iniPath.c_str()) != FALSE;
}

int SystemProfileStore::Read(const char* section, const char* key, char* buffer, int size)
{
    if (size <= 0)
        return 0;
    return static_cast<int>(GetProfileStringA(section, key, "", buffer, static_cast<DWORD>(size)));
}

bool SystemProfileStore::Write(const char* section, const char* key, const char* value)
{
    return WriteProfileStringA(section, key, value) != FALSE;
}
