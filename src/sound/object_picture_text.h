// The line of text under the sound's icon in its picture: the label, the
// creation date and the time, each when the object options ask for it,
// written with the system's international formats.
#pragma once

#include "base/intl_settings.h"
#include "lib/gstring.h"
#include "sound/object_options.h"

// The date written by a date picture such as "mmm-dd-yy": each run of one of
// the letters d, m, y (either case) becomes the day, month or year (see the
// source for the run lengths); every other character is copied. A month or
// weekday without a name (out of range in a file) is named "?".
CGString FormatDatePicture(const ObjectDate& date, const char* picture);

// The hour and minute as the international settings write a time: the hour
// with a leading zero only when they ask for one, the time separator, two
// digits of minutes; a 12-hour clock counts 12, 1 .. 11 and adds the morning
// or evening suffix.
CGString FormatPictureTime(const ObjectDate& date, const IntlSettings& intl);

// Label, date (short date format) and time, by the flags, separated by
// blanks; "" when none is shown.
CGString ObjectPictureText(const ObjectOptions& options, const IntlSettings& intl);
