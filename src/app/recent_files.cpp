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
