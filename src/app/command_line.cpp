#include "app/command_line.h"

#include <string>

#include "app/file_commands.h"
#include "app/shell_registration.h"
#include "base/app.h"
#include "base/string_ids.h"
#include "base/string_table.h"
#include "edit/open_document.h"

namespace {

bool IsOptionWord(const char* word, int id)
{
    const char* option = LoadAppString(id);
    return *option != '\0' && CGString::CompareNoCase(word, option) == 0;
}

}

bool HandleCommandToken(const char* token, int pass)
{
    App& app = TheApp();
    if (token[0] != '-' && token[0] != '/') {
        app.fileGiven = 1;
        if (pass == 1 || OpenSoundFile(token, false, false))
            return true;
        // The open showed its error; the editor goes on with a new sound,
        // unless it was only to play this file.
        app.fileGiven = 0;
        return !app.closeWhenDone;
    }

    const char* word = token + 1;
    if (IsOptionWord(word, STR_OPT_PLAY)) {
        app.playOnStart = 1;
    } else if (IsOptionWord(word, STR_OPT_CLOSE)) {
        app.playOnStart = 1;
        app.closeWhenDone = 1;
    } else if (IsOptionWord(word, STR_OPT_HIDE)) {
        app.showMode = KV_SW_HIDE;
    } else if (IsOptionWord(word, STR_OPT_UNINSTALL)) {
        if (ShellSystem* system = InstalledShellSystem())
            Uninstall(*system, true);
        app.closeWhenDone = 1;
        return false;
    }
    // "Embedding" is accepted as is; other words are ignored.
    return true;
}

bool ParseCommandLine(int pass)
{
    // Copied: a token handler may change the App, and tokens need their own
    // terminators. No length limit on a token.
    std::string line = TheApp().commandLine.c_str();
    std::string token;
    bool quoted = false;
    for (size_t pos = 0; pos <= line.size(); pos++) {
        char c = pos < line.size() ? line[pos] : ' ';
        if (c == '"') {
            quoted = !quoted;
        } else if (c != ' ' || (quoted && pos < line.size())) {
            token += c;
        } else if (!token.empty()) {
            if (!HandleCommandToken(token.c_str(), pass))
                return false;
            token.clear();
        }
    }
    if (pass == 2 && !TheApp().fileGiven)
        NewDocument(nullptr);
    return true;
}
