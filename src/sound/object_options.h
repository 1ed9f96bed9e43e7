// The sound's description of itself: a label, a creation date and an icon.
// It is stored in WAVE files (an INFO list and a DISP chunk) and drawn as the
// sound's picture on the clipboard.
#pragma once

#include <cstdint>
#include <vector>

#include "lib/gstring.h"

enum : uint32_t {
    OBJ_DESCRIPTION = 1,    // the INFO list is written
    OBJ_SHOW_LABEL = 2,
    OBJ_SHOW_DATE = 4,
    OBJ_SHOW_TIME = 8,
    OBJ_STORE_ICON = 16,    // a copy of the icon is written (the DISP chunk)
    OBJ_DEFAULT_FLAGS = 23,
};

struct ObjectDate {
    uint8_t day = 0;
    uint8_t month = 0;
    uint16_t year = 0;
    uint8_t dayOfWeek = 0;  // 0 = Sunday
    uint8_t hour = 0;
    uint8_t minute = 0;
    uint8_t second = 0;
};

struct ObjectOptions {
    uint32_t flags = OBJ_DEFAULT_FLAGS;
    // The icon as a packed device-independent bitmap (header, colours, bits);
    // empty: the default icon is used.
    std::vector<uint8_t> icon;
    ObjectDate date;
    CGString label{"Kelvora"};
};

ObjectOptions& TheObjectOptions();
void ResetObjectOptions();
