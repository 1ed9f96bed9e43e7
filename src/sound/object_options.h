// The sound's description of itself: a label, a creation date and an icon.
// It is stored in WAVE files (an INFO list and a DISP chunk) and drawn as the
// sound's picture on the clipboard.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/clock.h"
#include "lib/gstring.h"

enum : uint32_t {
    OBJ_DESCRIPTION = 1,    // the INFO list is written
    OBJ_SHOW_LABEL = 2,
    OBJ_SHOW_DATE = 4,
    OBJ_SHOW_TIME = 8,
    OBJ_STORE_ICON = 16,    // a copy of the icon is written (the DISP chunk)
    OBJ_DEFAULT_FLAGS = 23,
};

// Icons larger than this are not icons: a lying header must not cost memory.
const uint32_t MAX_ICON_BYTES = 16u << 20;

// The longest label the Object Options dialog takes.
const int MAX_LABEL_CHARS = 50;

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

// Every field equal, the icon byte for byte.
bool SameObjectOptions(const ObjectOptions& a, const ObjectOptions& b);

ObjectDate ObjectDateOf(const CalendarTime& time);

// The whole record as one block of bytes (an undo record owns it), and back.
// Unpack refuses a block that is not such a record, leaving `out` alone.
std::vector<uint8_t> PackObjectOptions(const ObjectOptions& options);
bool UnpackObjectOptions(const uint8_t* data, size_t size, ObjectOptions& out);

// The packed DIB of an icon checked by the bitmap checks and at most
// MAX_ICON_BYTES, copied into `icon` without anything after its rows. False
// (icon untouched) when refused.
bool TakeIconDib(const uint8_t* data, size_t size, std::vector<uint8_t>& icon);

// The same from a BMP file image: its header, colours and rows (wherever the
// file keeps them) as a packed DIB.
bool TakeIconBmp(const uint8_t* data, size_t size, std::vector<uint8_t>& icon);
