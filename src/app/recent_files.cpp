#include "app/recent_files.h"

namespace {
CFileList recentFiles;
CGString lastFileName;
}

CFileList& RecentFiles()
{
    return recentFiles;
}

CGString& LastFileName()
{
    return lastFileName;
}

void ResetRecentFiles()
{
    recentFiles.DeleteAll();
    lastFileName.Empty();
}

bool IsAcceptableFileName(const char* name)
{
    if (name == nullptr)
        return false;
    // Unsigned: a name may begin with a letter of the upper half of the code
    // page ("\xC4rger.wav"); only blanks and control characters are refused.
    unsigned char first = static_cast<unsigned char>(name[0]);
    return first != '<' && first != '(' && first >= 33;
}

bool AddRecentFile(const char* name, bool fromOpen)
{
    if (!IsAcceptableFileName(name))
        return false;
    if (fromOpen || lastFileName.IsEmpty())
        lastFileName = name;

    int index = 0;
    for (CGObListRec* rec = recentFiles.Head(); rec != nullptr; rec = rec->Next(), ++index) {
        auto* entry = static_cast<CGStringListRec*>(rec);
        if (entry->EqualsNoCase(name)) {
            if (fromOpen && rec != recentFiles.Head())
                recentFiles.InsertAfter(rec, nullptr);
            return true;
        }
        if (index == RECENT_FILE_COUNT - 1) {
            delete rec;
            break;
        }
    }

    if (fromOpen)
        recentFiles.AddHead(name);
    else
        recentFiles.AddTail(name);
    return true;
}
