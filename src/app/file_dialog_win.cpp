#include "app/file_dialog_win.h"

#include <windows.h>
#include <commdlg.h>

#include <cstring>

#include "app/recent_files.h"
#include "base/app.h"
#include "base/dialog_help_key_win.h"
#include "base/help.h"
#include "base/host.h"
#include "base/string_ids.h"
#include "base/string_table.h"
#include "lib/dialog_helpers_win.h"
#include "lib/gstring.h"

namespace {

const char MEDIA_FOLDER[] = "c:\\windows\\media";
const char DEFAULT_EXTENSION[] = "WAV";

enum : uint32_t {
    HELP_CONTEXT_OPEN_DIALOG = 2001,    // Open and Paste File
    HELP_CONTEXT_SAVE_DIALOG = 2002,
};

// The help topic of the dialog on show; one dialog runs at a time.
uint32_t dialogHelpContext = HELP_CONTEXT_GENERAL;

bool IsFolder(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The explorer-style dialog's own child: it answers the Help button and
// paints its parts in the button face like the program's other dialogs.
UINT_PTR CALLBACK DialogHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_NOTIFY: {
        const auto* notify = reinterpret_cast<const OFNOTIFYA*>(lParam);
        if (notify && notify->hdr.code == CDN_HELP)
            TheHost().ShowHelp(GetParent(dialog), HELP_CMD_CONTEXT, dialogHelpContext);
        return FALSE;
    }
    default:
        return static_cast<UINT_PTR>(DialogColour(message, wParam));
    }
}

// The filter string with each "|" turned into the zero the dialog expects;
// the text ends in "|", so the list ends in two zeros.
}

std::string FileDialogFilter(int id)
{
    std::string filter = LoadAppString(id);
    for (char& c : filter) {
        if (c == '|')
            c = '\0';
    }
    filter.push_back('\0');
    return filter;
}

std::string FileDialogFolder(const char* lastFileName)
{
    std::string name = lastFileName ? lastFileName : "";
    // The folder ends at the last "\"; a ":" before it means a drive-relative name.
    for (size_t i = name.size(); i-- > 0;) {
        if (name[i] == ':')
            break;
        if (name[i] == '\\')
            return name.substr(0, i);
    }
    if (IsFolder(MEDIA_FOLDER))
        return MEDIA_FOLDER;
    std::string program = TheApp().programPath.c_str();
    size_t slash = program.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : program.substr(0, slash);
}

bool RunFileDialog(FileDialogKind kind)
{
    // The name from the settings file may be longer than the buffer: cut.
    char file[RECENT_PATH_LIMIT] = {};
    char title[RECENT_PATH_LIMIT] = {};
    std::strncpy(file, LastFileName().c_str(), sizeof file - 1);
    std::string folder = FileDialogFolder(LastFileName().c_str());
    bool save = kind == FILE_DIALOG_SAVE;
    std::string filter = FileDialogFilter(save ? STR_FILTER_SAVE : STR_FILTER_OPEN);

    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = static_cast<HWND>(TheHost().FrameWindow());
    ofn.hInstance = static_cast<HINSTANCE>(TheApp().instance);
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = sizeof title;
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrDefExt = DEFAULT_EXTENSION;
    ofn.lpfnHook = DialogHook;
    ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_ENABLEHOOK | OFN_SHOWHELP;
    switch (kind) {
    case FILE_DIALOG_OPEN:
        ofn.Flags |= OFN_FILEMUSTEXIST | OFN_SHAREAWARE;
        if (RememberedReadOnly())
            ofn.Flags |= OFN_READONLY;
        break;
    case FILE_DIALOG_PASTE:
        ofn.Flags |= OFN_FILEMUSTEXIST | OFN_SHAREAWARE | OFN_HIDEREADONLY;
        ofn.lpstrTitle = LoadAppString(STR_PASTE_FILE_TITLE);
        break;
    case FILE_DIALOG_SAVE:
        ofn.Flags |= OFN_HIDEREADONLY | OFN_NOREADONLYRETURN | OFN_OVERWRITEPROMPT;
        break;
    }
    dialogHelpContext = save ? HELP_CONTEXT_SAVE_DIALOG : HELP_CONTEXT_OPEN_DIALOG;
    DialogHelpKey helpKey(dialogHelpContext);
    BOOL chosen = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    dialogHelpContext = HELP_CONTEXT_GENERAL;
    if (!chosen)
        return false;
    LastFileName() = file;
    if (kind == FILE_DIALOG_OPEN)
        RememberedReadOnly() = (ofn.Flags & OFN_READONLY) ? 1 : 0;
    return true;
}
