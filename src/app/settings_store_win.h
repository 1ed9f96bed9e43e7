// The settings stores of Windows: the program's INI file through the
// private-profile services, and the system profile (its "Intl" section).
#pragma once

#include "base/settings_store.h"

// Reads and writes the file named by the App's INI path.
class PrivateProfileStore : public SettingsStore {
public:
    int Read(const char* section, const char* key, char* buffer, int size) override;
    bool Write(const char* section, const char* key, const char* value) override;
};

class SystemProfileStore : public SettingsStore {
public:
    int Read(const char* section, const char* key, char* buffer, int size) override;
    bool Write(const char* section, const char* key, const char* value) override;
};
