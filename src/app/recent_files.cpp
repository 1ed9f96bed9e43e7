#include "app/recent_files.h"

#include <cstring>

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
    CGString cut;
    if (!fromOpen && std::strlen(name) >= RECENT_PATH_LIMIT) {
        cut = name;
        if (!cut.SetLength(RECENT_PATH_LIMIT - 1))
            return false;
        name = cut.c_str();
    }
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

bool RemoveRecentFile(const char* name)
{
    CGStringListRec* entry = name ? recentFiles.Find(name, true) : nullptr;
    delete entry;
    return entry != nullptr;
}
