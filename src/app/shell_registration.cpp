#include "app/shell_registration.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "base/app.h"
#include "base/file_names.h"
#include "base/string_ids.h"
#include "base/string_table.h"
#include "lib/gstring.h"
#include "lib/log.h"

namespace {

ShellSystem* installedSystem = nullptr;

const char* const PROGRAM_FILES = "\\Program Files";
const char* const UNINSTALL_KEY = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// Under the class key: the handler each extension had before, by extension.
const char* const ASSOCIATIONS = "\\Associations";

// Systems up to this version (major × 256 + minor) keep no list of
// removable programs.
const int LAST_VERSION_WITHOUT_UNINSTALL_LIST = 0x30A;

// The shell reads a handler name into a buffer of this size.
const size_t HANDLER_CHARS = 260;

// Beside the program, in copy order; the program file itself comes last.
const char* const COMPANION_EXTENSIONS[] = {".HLP", ".BMP", ".INI"};
const char* const SETTINGS_EXTENSION = ".INI";

// Where one registration lives: the classes and the uninstall entry are
// both machine-wide or both the user's.
struct Scope {
    RegRoot classes;
    RegRoot software;
};
const Scope MACHINE_SCOPE = {REG_ROOT_CLASSES, REG_ROOT_MACHINE};
const Scope USER_SCOPE = {REG_ROOT_USER_CLASSES, REG_ROOT_USER};

std::string Printf(const char* fmt, ...) KV_PRINTF_FORMAT(1, 2);

std::string Printf(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(nullptr, 0, fmt, args);
    va_end(args);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(&text[0], text.size(), fmt, again);
        text.resize(static_cast<size_t>(length));
    }
    va_end(again);
    return text;
}

bool EqualsNoCase(const std::string& a, const char* b)
{
    return CGString::CompareNoCase(a.c_str(), b) == 0;
}

bool EndsWithNoCase(const std::string& text, const char* tail)
{
    size_t n = std::char_traits<char>::length(tail);
    return text.size() >= n && EqualsNoCase(text.substr(text.size() - n), tail);
}

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

std::string Sibling(const std::string& path, const char* extension)
{
    return SiblingFileName(path.c_str(), extension).c_str();
}

const char* Title()
{
    return LoadAppString(STR_PRODUCT_TITLE);
}

std::string ClassKey()
{
    return TheApp().className;
}

// Writes one text value, creating its key. When the write fails, the keys
// this write created are deleted again; keys that were there before (another
// program's extension key) stay as they were.
bool SetRegText(ShellSystem& system, RegRoot root, const std::string& path, const char* name,
    const std::string& text)
{
    std::string firstCreated;
    for (size_t end = path.find('\\'); ; end = path.find('\\', end + 1)) {
        std::string prefix = path.substr(0, end);
        if (!system.KeyExists(root, prefix.c_str())) {
            firstCreated = prefix;
            break;
        }
        if (end == std::string::npos)
            break;
    }
    long rc = system.WriteText(root, path.c_str(), name, text.c_str());
    if (rc == 0)
        return true;
    Log("RegKeyCreate Set %lxh,'%s'", static_cast<unsigned long>(rc), path.c_str());
    if (!firstCreated.empty())
        system.DeleteKeyTree(root, firstCreated.c_str());
    return false;
}

bool IsRegistered(ShellSystem& system)
{
    std::string key = ClassKey();
    return system.KeyExists(MACHINE_SCOPE.classes, key.c_str())
        || system.KeyExists(USER_SCOPE.classes, key.c_str());
}

// Copies the program and its companion files into the install directory.
// An existing settings file there is the user's and is kept. The program
// path moves to the copy only when the program itself was copied.
void Install(ShellSystem& system, const std::string& installDir)
{
    App& app = TheApp();
    Log("App:Inst Move Files to %s", installDir.c_str());
    system.MakeDirectory(installDir.c_str());
    std::string from = app.programPath.c_str();
    std::string to = installDir + "\\" + (from.c_str() + FindFileName(from.c_str()));
    for (const char* extension : COMPANION_EXTENSIONS) {
        bool overwrite = CGString::CompareNoCase(extension, SETTINGS_EXTENSION) != 0;
        system.CopyFileTo(Sibling(from, extension).c_str(), Sibling(to, extension).c_str(), overwrite);
    }
    if (system.CopyFileTo(from.c_str(), to.c_str(), true))
        app.programPath = to.c_str();
}

// The handler the shell now uses for an extension, as the user sees it.
std::string PresentHandler(ShellSystem& system, const Scope& scope, const char* extension)
{
    std::string handler;
    if (!system.ReadText(scope.classes, extension, nullptr, handler) || handler.empty()) {
        // The user's classes override the machine's only where they have a handler.
        if (scope.classes == USER_SCOPE.classes)
            system.ReadText(MACHINE_SCOPE.classes, extension, nullptr, handler);
    }
    if (handler.size() > HANDLER_CHARS)
        handler.resize(HANDLER_CHARS);
    return handler;
}

void AssociateExtensions(ShellSystem& system, const Scope& scope)
{
    std::string classKey = ClassKey();
    for (int i = 0; i < STR_EXT_COUNT; i++) {
        const char* extension = LoadAppString(STR_EXT_WAV + i);
        std::string present = PresentHandler(system, scope, extension);
        if (EqualsNoCase(present, classKey.c_str()))
            continue;
        if (!present.empty()) {
            std::string question = Printf(LoadAppString(STR_ASK_REPLACE_HANDLER), extension,
                present.c_str(), Title());
            Answer answer = system.Ask(question.c_str(), true);
            if (answer == ANSWER_CANCEL)
                return;
            if (answer == ANSWER_NO)
                continue;
        }
        std::string replaced;
        system.ReadText(scope.classes, extension, nullptr, replaced);
        if (SetRegText(system, scope.classes, extension, nullptr, classKey))
            SetRegText(system, scope.classes, classKey + ASSOCIATIONS, extension, replaced);
    }
}

// Gives an extension back: the handler it had before, or none. Nothing
// changes when another program has taken it since.
void ReleaseExtension(ShellSystem& system, const Scope& scope, const char* extension)
{
    std::string classKey = ClassKey();
    std::string present;
    if (!system.ReadText(scope.classes, extension, nullptr, present) || !EqualsNoCase(present, classKey.c_str()))
        return;
    std::string replaced;
    system.ReadText(scope.classes, (classKey + ASSOCIATIONS).c_str(), extension, replaced);
    if (!replaced.empty()) {
        system.WriteText(scope.classes, extension, nullptr, replaced.c_str());
        return;
    }
    system.DeleteValue(scope.classes, extension, nullptr);
    if (system.KeyIsEmpty(scope.classes, extension))
        system.DeleteKeyTree(scope.classes, extension);
}

}

void SetShellSystem(ShellSystem* system)
{
    installedSystem = system;
}

ShellSystem* InstalledShellSystem()
{
    return installedSystem;
}

bool RegisterWithShell(ShellSystem& system)
{
    if (IsRegistered(system))
        return true;
    App& app = TheApp();
    std::string path = app.programPath.c_str();
    size_t slash = path.rfind('\\');
    if (slash == std::string::npos)
        return false;
    std::string dir = path.substr(0, slash);
    if (!EndsWithNoCase(dir, PROGRAM_FILES)) {
        std::string installDir = system.InstallDirectory();
        std::string question = Printf(LoadAppString(STR_ASK_INSTALL), Title(), installDir.c_str(), dir.c_str());
        Answer answer = system.Ask(question.c_str(), true);
        if (answer == ANSWER_CANCEL)
            return false;
        if (answer == ANSWER_YES) {
            Install(system, installDir);
            path = app.programPath.c_str();
        }
    }

    std::string classKey = ClassKey();
    Scope scope = MACHINE_SCOPE;
    if (!SetRegText(system, scope.classes, classKey, nullptr, Title())) {
        Log("App:Reg for this user only");
        scope = USER_SCOPE;
        if (!SetRegText(system, scope.classes, classKey, nullptr, Title()))
            return false;
    }
    std::string program = Quoted(path);
    std::string shellKey = classKey + "\\shell";
    const struct {
        std::string key;
        std::string text;
    } rows[] = {
        {classKey + "\\DefaultIcon", program + ",0"},
        {classKey + "\\Insertable", ""},
        {classKey + "\\ShellNew", "NullFile"},
        {shellKey, LoadAppString(STR_OPT_PLAY)},
        {shellKey + "\\open", "&Edit"},
        {shellKey + "\\open\\command", program + " \"%1\""},
        {shellKey + "\\play", "&Play"},
        {shellKey + "\\play\\command",
            Printf("%s /%s /%s \"%%1\"", program.c_str(), LoadAppString(STR_OPT_PLAY), LoadAppString(STR_OPT_CLOSE))},
    };
    for (const auto& row : rows)
        SetRegText(system, scope.classes, row.key, nullptr, row.text);

    AssociateExtensions(system, scope);

    if (system.SystemVersion() <= LAST_VERSION_WITHOUT_UNINSTALL_LIST)
        return true;
    std::string uninstallKey = UNINSTALL_KEY + classKey;
    std::string command = program + " -" + LoadAppString(STR_OPT_UNINSTALL);
    if (SetRegText(system, scope.software, uninstallKey, "UninstallString", command))
        SetRegText(system, scope.software, uninstallKey, "DisplayName", Title());
    return true;
}

void Uninstall(ShellSystem& system, bool ask)
{
    std::string path = TheApp().programPath.c_str();
    if (ask) {
        std::string question = Printf(LoadAppString(STR_ASK_UNINSTALL), Title(), path.c_str());
        if (system.Ask(question.c_str(), false) != ANSWER_YES)
            return;
    }

    std::string classKey = ClassKey();
    std::string uninstallKey = UNINSTALL_KEY + classKey;
    for (const Scope& scope : {MACHINE_SCOPE, USER_SCOPE}) {
        for (int i = 0; i < STR_EXT_COUNT; i++)
            ReleaseExtension(system, scope, LoadAppString(STR_EXT_WAV + i));
        system.DeleteKeyTree(scope.classes, classKey.c_str());
        system.DeleteKeyTree(scope.software, uninstallKey.c_str());
    }

    // The running program cannot delete itself: the files left are named.
    std::string kept;
    std::vector<std::string> files;
    for (const char* extension : COMPANION_EXTENSIONS)
        files.push_back(Sibling(path, extension));
    files.push_back(path);
    for (const std::string& file : files) {
        RemoveResult result = system.RemoveFile(file.c_str());
        if (result == REMOVE_DONE)
            continue;
        Log("remove(%s)=%d", file.c_str(), -1);
        if (result == REMOVE_FAILED)
            kept += "\n" + file;
    }
    size_t slash = path.rfind('\\');
    if (slash != std::string::npos)
        system.DeleteDirectory(path.substr(0, slash).c_str());
    if (!kept.empty())
        system.Tell(Printf(LoadAppString(STR_FILES_NOT_REMOVED), Title(), kept.c_str()).c_str());
}
