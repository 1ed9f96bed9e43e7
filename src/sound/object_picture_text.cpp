#include "sound/object_picture_text.h"

#include <cctype>
#include <cstdio>
#include <string>

#include "base/string_ids.h"
#include "base/string_table.h"

namespace {

// The index-th of the "|"-separated names; "?" past the end.
std::string NameAt(int listId, int index)
{
    std::string list = LoadAppString(listId);
    size_t start = 0;
    for (int i = 0; i < index && start != std::string::npos; i++) {
        size_t bar = list.find('|', start);
        start = bar == std::string::npos ? bar : bar + 1;
    }
    if (index < 0 || start == std::string::npos)
        return "?";
    return list.substr(start, list.find('|', start) - start);
}

std::string Number(int value, bool twoDigits)
{
    char text[16];
    std::snprintf(text, sizeof text, twoDigits ? "%02d" : "%d", value);
    return text;
}

// One run of `count` equal letters of the picture.
std::string DateField(const ObjectDate& date, char letter, int count)
{
    const bool two = count == 2;
    switch (letter) {
    case 'd':
        if (count == 3 || count == 4) {
            std::string name = NameAt(STR_WEEKDAY_NAMES, date.dayOfWeek);
            return count == 3 ? name.substr(0, 3) : name;
        }
        return Number(count >= 5 ? date.dayOfWeek : date.day, two);
    case 'm':
        if (count == 3 || count == 4) {
            // The list starts with the name of month 0, "?".
            std::string name = NameAt(STR_MONTH_NAMES, date.month);
            return count == 3 ? name.substr(0, 3) : name;
        }
        return Number(date.month, two);
    default:
        return Number(count <= 2 ? date.year % 100 : date.year, two);
    }
}

void AddPart(std::string& text, const char* part)
{
    if (!text.empty())
        text += LoadAppString(STR_BLANK);
    text += part;
}

}

CGString FormatDatePicture(const ObjectDate& date, const char* picture)
{
    std::string text;
    for (const char* p = picture ? picture : ""; *p;) {
        char letter = char(std::tolower(static_cast<unsigned char>(*p)));
        if (letter != 'd' && letter != 'm' && letter != 'y') {
            text += *p++;
            continue;
        }
        int count = 0;
        for (char c = *p; *p == c; p++)
            count++;
        text += DateField(date, letter, count);
    }
    return CGString(text.c_str());
}

CGString FormatPictureTime(const ObjectDate& date, const IntlSettings& intl)
{
    int hour = date.hour;
    const bool twelveHour = intl.timeFormat == 0;
    // Midnight and noon are 12 on a 12-hour clock, never 0.
    if (twelveHour)
        hour = hour % 12 == 0 ? 12 : hour % 12;
    std::string text = Number(hour, intl.leadingZero != 0) + intl.timeSeparator + Number(date.minute, true);
    if (twelveHour)
        text += date.hour < 12 ? intl.amSuffix : intl.pmSuffix;
    return CGString(text.c_str());
}

CGString ObjectPictureText(const ObjectOptions& options, const IntlSettings& intl)
{
    std::string text;
    if ((options.flags & OBJ_SHOW_LABEL) && !options.label.IsEmpty())
        text = options.label.c_str();
    if (options.flags & OBJ_SHOW_DATE)
        AddPart(text, FormatDatePicture(options.date, intl.shortDate).c_str());
    if (options.flags & OBJ_SHOW_TIME)
        AddPart(text, FormatPictureTime(options.date, intl).c_str());
    return CGString(text.c_str());
}
