#include "sound/fixed_text.h"

#include <cstdint>

#include "base/app_options.h"

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// One more digit for a value that saturates at INT32_MAX.
int64_t AddDigit(int64_t value, int digit)
{
    value = value * 10 + digit;
    return value > INT32_MAX ? INT32_MAX : value;
}

}

int32_t ParseFixed(const char* text, int decimals)
{
    if (text == nullptr)
        return 0;
    if (decimals < 0)
        decimals = 0;
    int64_t value = 0;
    const char* p = text;
    for (; IsDigit(*p); ++p)
        value = AddDigit(value, *p - '0');
    int kept = 0;
    // The point, or the locale's decimal separator that FormatThousandths writes.
    char separator = TheAppOptions().intl.decimalSeparator[0];
    if (*p == '.' || (*p == separator && separator != '\0')) {
        for (++p; IsDigit(*p) && kept < decimals; ++p, ++kept)
            value = AddDigit(value, *p - '0');
    }
    // Missing decimals count as zeros.
    for (; kept < decimals && value < INT32_MAX; ++kept)
        value = AddDigit(value, 0);
    return static_cast<int32_t>(value);
}

CGString FormatThousandths(int32_t value)
{
    // Sign and magnitude apart, so that -1500 reads -1.50 rather than -1.-50.
    int64_t magnitude = value < 0 ? -static_cast<int64_t>(value) : value;
    CGString text;
    text.Format("%s%ld%s%02ld", value < 0 ? "-" : "", static_cast<long>(magnitude / 1000),
        TheAppOptions().intl.decimalSeparator, static_cast<long>(magnitude % 1000 / 10));
    return text;
}
