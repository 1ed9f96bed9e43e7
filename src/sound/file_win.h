// The system's file API behind the core's file-system seam: names in the ANSI
// code page, replacement by one move. The shell installs it at start-up with
// SetFileSystem.
#pragma once

#include "sound/file.h"

FileSystem& TheSystemFileSystem();
