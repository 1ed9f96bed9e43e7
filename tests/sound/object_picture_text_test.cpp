// The object picture's text: date pictures run by run, the time on both
// clocks with and without the leading zero, and which parts the flags show.
#include "sound/object_picture_text.h"

#include <gtest/gtest.h>

#include <cstring>

#include "base/builtin_strings.h"

namespace {

ObjectDate Date(int year, int month, int day, int dayOfWeek, int hour = 0, int minute = 0)
{
    CalendarTime t;
    t.year = year;
    t.month = month;
    t.day = day;
    t.dayOfWeek = dayOfWeek;
    t.hour = hour;
    t.minute = minute;
    return ObjectDateOf(t);
}

class ObjectPictureTextTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(LoadBuiltInStrings()); }
};

TEST_F(ObjectPictureTextTest, DatePicturesReplaceEachRunOfALetter)
{
    const ObjectDate saturday = Date(2026, 12, 5, 6);
    const ObjectDate lying = Date(2007, 13, 31, 9);
    const struct {
        const ObjectDate& date;
        const char* picture;
        const char* text;
    } cases[] = {
        {saturday, "mmm-dd-yy", "Dec-05-26"},
        {saturday, "d/m/y", "5/12/26"},
        {saturday, "DD.MM.YYYY", "05.12.2026"},
        {saturday, "dddd, mmmm d, yyy", "Saturday, December 5, 2026"},
        {saturday, "ddd mmm", "Sat Dec"},
        {saturday, "ddddd mmmmm yyyyy", "6 12 2026"},      // five or more: the number
        {saturday, "dD-mM", "55-1212"},                     // a run is one character repeated
        {saturday, "Week: x", "Week: x"},                   // other letters are copied
        {Date(2009, 1, 9, 5), "yy m", "09 1"},
        {lying, "dddd mmmm d", "? ? 31"},                   // no such weekday or month
        {lying, "ddd-mmm", "?-?"},
        {Date(2026, 0, 1, 0), "mmm ddd", "? Sun"},
        {saturday, "", ""},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.text, FormatDatePicture(c.date, c.picture).c_str()) << c.picture;
}

TEST_F(ObjectPictureTextTest, TimesFollowTheClockTheLeadingZeroAndTheSuffixes)
{
    IntlSettings twelve, twentyFour;
    twelve.timeFormat = 0;
    twentyFour.timeFormat = 1;
    std::strcpy(twentyFour.timeSeparator, ".");
    const struct {
        int hour, minute;
        bool clock24;
        bool leadingZero;
        const char* text;
    } cases[] = {
        {14, 5, false, false, "2:05 PM"},
        {14, 5, false, true, "02:05 PM"},
        {0, 30, false, false, "12:30 AM"},      // midnight counts as 12 in the morning
        {12, 0, false, false, "12:00 PM"},      // noon as 12 in the evening
        {11, 59, false, true, "11:59 AM"},
        {9, 7, true, true, "09.07"},
        {9, 7, true, false, "9.07"},
        {23, 45, true, false, "23.45"},
        {0, 0, true, true, "00.00"},
    };
    for (const auto& c : cases) {
        IntlSettings intl = c.clock24 ? twentyFour : twelve;
        intl.leadingZero = c.leadingZero ? 1 : 0;
        EXPECT_STREQ(c.text, FormatPictureTime(Date(2026, 12, 5, 6, c.hour, c.minute), intl).c_str())
            << c.hour << ":" << c.minute;
    }
}

TEST_F(ObjectPictureTextTest, TheFlagsChooseLabelDateAndTime)
{
    ObjectOptions o;
    o.date = Date(2026, 12, 5, 6, 14, 5);
    o.label = "Drum";
    IntlSettings intl;
    intl.leadingZero = 0;
    const struct {
        uint32_t flags;
        const char* label;
        const char* text;
    } cases[] = {
        {OBJ_DEFAULT_FLAGS, "Drum", "Drum Dec-05-26"},      // the defaults: no time
        {OBJ_SHOW_LABEL | OBJ_SHOW_DATE | OBJ_SHOW_TIME, "Drum", "Drum Dec-05-26 2:05 PM"},
        {OBJ_SHOW_TIME, "Drum", "2:05 PM"},
        {OBJ_SHOW_LABEL | OBJ_SHOW_TIME, "", "2:05 PM"},   // no blank before an empty label's part
        {OBJ_SHOW_LABEL, "Drum, loud", "Drum, loud"},
        {OBJ_DESCRIPTION | OBJ_STORE_ICON, "Drum", ""},
    };
    for (const auto& c : cases) {
        o.flags = c.flags;
        o.label = c.label;
        EXPECT_STREQ(c.text, ObjectPictureText(o, intl).c_str()) << c.flags;
    }
}

}
