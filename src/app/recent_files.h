// The list of the four most recently opened or saved files, and the name the
// file dialogs start from. The list is filled from the settings keys "FILE1"
// .. "FILE4" at start-up and written back from its entries 1..4 at exit; the
// File menu shows it (rebuilt by the frame).
#pragma once

#include "base/file_names.h"
#include "lib/gstring.h"
#include "lib/string_list.h"

enum {
    RECENT_FILE_COUNT = 4,
    // The platform's path limit with its terminating zero: the file dialogs'
    // buffers. A longer name from the settings file is cut to fit.
    RECENT_PATH_LIMIT = 260,
};

// Head = most recent. At most RECENT_FILE_COUNT entries.
CFileList& RecentFiles();

// The name last chosen in a file dialog or opened; the file dialogs' initial
// file and directory.
CGString& LastFileName();

// Empties the list and the last file name (tests).
void ResetRecentFiles();


// Records a file in the list. fromOpen: a file just opened or saved; it
// becomes the last file name and moves to (or enters at) the head. Otherwise
// a name from the settings file: it becomes the last file name only while
// that is empty, a name already listed (compared ignoring case) is not added
// again, and new names join at the tail. When a fifth name arrives the fourth
// entry is dropped. False only for a name IsAcceptableFileName refuses.
bool AddRecentFile(const char* name, bool fromOpen);

// Takes the entry of this name (compared ignoring case) out of the list;
// false when it is not listed.
bool RemoveRecentFile(const char* name);
