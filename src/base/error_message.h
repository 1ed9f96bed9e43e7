// What the error box shows for an error code. Every operation returns 0, an
// error code (246..261) or -1 (already reported, or nothing to do); only the
// shell shows codes, through ShowError, which builds its box from this.
#pragma once

#include "lib/gstring.h"

enum {
    ERR_RESOURCES = 246,        // "Can't allocate Kelvora resources"
    ERR_NO_MEMORY = 247,
    ERR_BAD_FILE_NAME = 248,
    ERR_CANT_OPEN = 249,
    ERR_NOT_SOUND_FILE = 250,   // also: this reader does not recognise the file
    ERR_FILE_SHORT = 251,
    ERR_CANT_SAVE = 252,
    ERR_CANT_EXPORT = 253,
    ERR_DEVICE_BUSY = 254,
    ERR_DEVICE_FAILED = 255,
    ERR_UNSUPPORTED_FORMAT = 256,
    ERR_UNSUPPORTED_COMPRESSION = 257,
    ERR_CANT_CONVERT = 258,
    ERR_DIRECT_FILE_SIZE = 259,
    ERR_MULTIPLE_FILES = 260,
    ERR_INTERNAL = 261,         // "Internal error code %u. ..."
};

struct ErrorBoxContent {
    CGString text;
    bool stopIcon = false;      // stop icon and system-modal; else the exclamation icon
};

// Codes without a message of their own are shown with the internal-error text
// carrying the code. Must not be called with 0 or -1.
ErrorBoxContent MakeErrorBox(int code);

// Title of every error box.
const char* ErrorBoxTitle();
