#include "base/intl_settings.h"

#include <cstring>

#include "base/app_options.h"
#include "base/settings_store.h"

namespace {

const char INTL_SECTION[] = "Intl";

// A number as the profile services read it: optional sign and leading decimal
// digits; a value that does not start with a number reads as 0.
int32_t ReadIntlNumber(SettingsStore& profile, const char* key, int32_t def)
{
    char text[32];
    if (profile.Read(INTL_SECTION, key, text, sizeof text) <= 0)
        return def;
    const char* p = text;
    while (*p == ' ' || *p == '\t')
        ++p;
    bool negative = false;
    if (*p == '-' || *p == '+')
        negative = *p++ == '-';
    uint32_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        value = value * 10u + static_cast<uint32_t>(*p - '0');
    if (negative)
        value = 0u - value;
    return static_cast<int32_t>(value);
}

template <size_t N>
void ReadIntlText(SettingsStore& profile, const char* key, char (&field)[N], const char* def)
{
    char text[N];
    int read = profile.Read(INTL_SECTION, key, text, static_cast<int>(N));
    const char* value = read > 0 ? text : def;
    size_t n = read > 0 ? static_cast<size_t>(read) : std::strlen(def);
    if (n > N - 1)
        n = N - 1;
    std::memcpy(field, value, n);
    field[n] = '\0';
}

}

void ReadIntlSettings(SettingsStore& systemProfile, IntlSettings& intl)
{
    const IntlSettings defaults;
    intl.timeFormat = ReadIntlNumber(systemProfile, "iTime", defaults.timeFormat);
    ReadIntlText(systemProfile, "sTime", intl.timeSeparator, defaults.timeSeparator);
    if (intl.timeFormat == 0) {
        ReadIntlText(systemProfile, "s1159", intl.amSuffix, defaults.amSuffix);
        ReadIntlText(systemProfile, "s2359", intl.pmSuffix, defaults.pmSuffix);
    }
    intl.leadingZero = ReadIntlNumber(systemProfile, "iTLZero", defaults.leadingZero) != 0;
    ReadIntlText(systemProfile, "sShortDate", intl.shortDate, defaults.shortDate);
    ReadIntlText(systemProfile, "sLongDate", intl.longDate, defaults.longDate);
    ReadIntlText(systemProfile, "sDecimal", intl.decimalSeparator, defaults.decimalSeparator);
    ReadIntlText(systemProfile, "sList", intl.listSeparator, defaults.listSeparator);
}

void ReadIntlSettings(SettingsStore& systemProfile)
{
    ReadIntlSettings(systemProfile, TheAppOptions().intl);
}
