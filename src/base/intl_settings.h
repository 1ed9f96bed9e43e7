// The system's international settings that times, dates and decimal numbers
// are written with. Read from section "Intl" of the system profile at start-up
// and again whenever the system announces a change of its settings.
#pragma once

#include <cstdint>

class SettingsStore;

struct IntlSettings {
    int32_t timeFormat = 0;             // "iTime": 0 = 12-hour clock, else 24-hour
    char timeSeparator[5] = ":";        // "sTime"
    char amSuffix[5] = " AM";           // "s1159", read only for the 12-hour clock
    char pmSuffix[5] = " PM";           // "s2359", read only for the 12-hour clock
    uint8_t leadingZero = 1;            // "iTLZero": hours below 10 get a leading zero
    char shortDate[50] = "mmm-dd-yy";   // "sShortDate"
    char longDate[50] = "mmm-dd-yy";    // "sLongDate"
    char decimalSeparator[5] = ".";     // "sDecimal"
    char listSeparator[5] = ",";        // "sList"
};

// Reads every key of section "Intl" into intl; a missing or empty key gives
// that field its default. Texts longer than their field are cut to fit. While
// the clock is 24-hour the AM/PM suffixes are not read and keep their values.
void ReadIntlSettings(SettingsStore& systemProfile, IntlSettings& intl);

// The same into the settings of TheAppOptions().
void ReadIntlSettings(SettingsStore& systemProfile);
