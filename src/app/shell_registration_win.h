// The shell registration's system on Windows: the registry, files, message
// boxes without owner and the system version.
#pragma once

#include "app/shell_registration.h"

class WindowsShellSystem : public ShellSystem {
public:
    bool KeyExists(RegRoot root, const char* path) override;
    bool ReadText(RegRoot root, const char* path, const char* name, std::string& text) override;
    long WriteText(RegRoot root, const char* path, const char* name, const char* text) override;
    bool DeleteValue(RegRoot root, const char* path, const char* name) override;
    bool DeleteKeyTree(RegRoot root, const char* path) override;
    bool KeyIsEmpty(RegRoot root, const char* path) override;

    std::string InstallDirectory() override;
    bool MakeDirectory(const char* path) override;
    bool CopyFileTo(const char* from, const char* to, bool overwrite) override;
    RemoveResult RemoveFile(const char* path) override;
    bool DeleteDirectory(const char* path) override;

    Answer Ask(const char* text, bool withCancel) override;
    void Tell(const char* text) override;

    int SystemVersion() override;
};
