// Registration with the shell: the class key "Kelvora" with its icon and two
// verbs (play as the default, "&Edit" for open), the six sound-file
// extensions, the entry in the system's list of removable programs, and the
// optional copy of the program into "\Program Files". Uninstall undoes exactly
// that and deletes the program's files.
//
// The decisions are portable; what they ask of the system (registry, files,
// questions) goes through ShellSystem, whose Windows implementation is in
// shell_registration_win.cpp.
//
// Where things are written:
// - Machine-wide (the classes root and HKEY_LOCAL_MACHINE) when the program
//   may; when the first write there fails (no rights), the current user's
//   classes and the user's own uninstall entry instead. Either place counts
//   as registered at the next start, so nothing is asked twice.
// - Registry paths are quoted in every command, so that programs and files in
//   folders with blanks work from the shell.
// - For each extension it takes over, the handler it replaced is kept as a
//   named value of the class key's "Associations" subkey (the extension's
//   name; empty when there was none). Uninstall puts that handler back and
//   removes only its own default values, never another program's keys or
//   values.
#pragma once

#include <string>

enum RegRoot {
    REG_ROOT_CLASSES,          // the classes root (machine-wide writes)
    REG_ROOT_USER_CLASSES,     // the current user's "Software\Classes"
    REG_ROOT_MACHINE,          // HKEY_LOCAL_MACHINE
    REG_ROOT_USER,             // HKEY_CURRENT_USER
};

enum Answer { ANSWER_YES, ANSWER_NO, ANSWER_CANCEL };

enum RemoveResult { REMOVE_DONE, REMOVE_MISSING, REMOVE_FAILED };

// What registration and uninstall ask of the system. Paths of keys are
// relative to the root and separated by "\"; a null value name means the
// key's default value. Text values only.
class ShellSystem {
public:
    virtual ~ShellSystem() = default;

    virtual bool KeyExists(RegRoot root, const char* path) = 0;
    // False when the key or the value is missing (or not text).
    virtual bool ReadText(RegRoot root, const char* path, const char* name, std::string& text) = 0;
    // Creates the key (and any missing parents) and sets the value; 0 or the
    // system's error code.
    virtual long WriteText(RegRoot root, const char* path, const char* name, const char* text) = 0;
    virtual bool DeleteValue(RegRoot root, const char* path, const char* name) = 0;
    // The key and everything under it.
    virtual bool DeleteKeyTree(RegRoot root, const char* path) = 0;
    // True for a key without values and subkeys.
    virtual bool KeyIsEmpty(RegRoot root, const char* path) = 0;

    // Full path of "\Program Files" on the current drive.
    virtual std::string InstallDirectory() = 0;
    // True when the directory exists afterwards.
    virtual bool MakeDirectory(const char* path) = 0;
    virtual bool CopyFileTo(const char* from, const char* to, bool overwrite) = 0;
    virtual RemoveResult RemoveFile(const char* path) = 0;
    virtual bool DeleteDirectory(const char* path) = 0;

    // A question without owner, question icon, the product title as its
    // title; Yes and No, and Cancel when asked for.
    virtual Answer Ask(const char* text, bool withCancel) = 0;
    // A notice without owner, with the product title and an OK button.
    virtual void Tell(const char* text) = 0;

    // Major version × 256 + minor version.
    virtual int SystemVersion() = 0;
};

// The system the "uninstall" option works on: the shell installs its own at
// start-up; null (nothing is done) until then.
void SetShellSystem(ShellSystem* system);
ShellSystem* InstalledShellSystem();

// Start-up: registers the program unless its class key exists (machine-wide
// or for the user). May ask whether to install into "\Program Files" first
// (Cancel: nothing is registered this time, the question comes again at the
// next start; Yes: TheApp().programPath becomes the copy) and whether to
// replace another program's handler of an extension. False when nothing was
// registered.
bool RegisterWithShell(ShellSystem& system);

// The "uninstall" option. With `ask`, only after Yes to the question. Removes
// the registration wherever it was written and the program's files beside
// it; the files it could not delete (the running program) are named in a
// notice. The program directory goes too when it is left empty.
void Uninstall(ShellSystem& system, bool ask);
