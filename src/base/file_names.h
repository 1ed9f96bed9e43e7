// File-name helpers shared by start-up, the file commands and registration.
#pragma once

#include "lib/gstring.h"

// Offset of the extension's "." in a path (the last "." after the last "\\",
// "/" or ":"), or -1 when the name has none.
int FindExtension(const char* path);

// Offset of the file name in a path (just after the last "\\", "/" or ":").
int FindFileName(const char* path);

// The base path with its extension replaced by `extension` (appended when the
// name has none). A null or empty extension leaves the copy unchanged.
CGString SiblingFileName(const char* basePath, const char* extension);

// False for a name no file command accepts: null or empty, or starting with
// "<" or "(" (placeholders such as "(Untitled)") or a blank or control
// character.
bool IsAcceptableFileName(const char* name);
