// The settings-store seam: one key of one section of a key-value settings file.
// The Windows shell implements it over the private-profile services (the INI
// file) and over the system profile; tests use MemorySettingsStore.
#pragma once

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // Copies the value of key in section into buffer, cut to size - 1
    // characters and zero-terminated. Returns the number of characters copied;
    // 0 means the key is missing or its value is empty (buffer then holds "").
    // A size below 1 copies nothing and returns 0.
    virtual int Read(const char* section, const char* key, char* buffer, int size) = 0;

    // Stores value under key in section, creating both as needed.
    virtual bool Write(const char* section, const char* key, const char* value) = 0;
};

// The program's settings file (the INI file named after the program). Null
// until the shell or a test sets it; the store is not owned.
SettingsStore* TheSettingsStore();
void SetSettingsStore(SettingsStore* store);

// The system profile, whose "Intl" section holds the international settings.
// Null until set; not owned.
SettingsStore* TheSystemProfile();
void SetSystemProfile(SettingsStore* store);
