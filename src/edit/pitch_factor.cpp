#include "edit/pitch_factor.h"

#include <algorithm>
#include <cstring>

#include "base/app_options.h"

uint32_t PitchFactorFromSlider(int32_t v)
{
    v = std::min(std::max(v, PITCH_SLIDER_MIN), PITCH_SLIDER_MAX);
    if (v >= 0)
        return PITCH_FACTOR_ONE + static_cast<uint32_t>(v) * PITCH_FACTOR_ONE / 100;
    return 100 * PITCH_FACTOR_ONE / static_cast<uint32_t>(100 - v);
}

int32_t PitchSliderFromFactor(uint32_t f)
{
    if (f >= PITCH_FACTOR_MAX)
        return PITCH_SLIDER_MAX;
    // Rounded up: PitchFactorFromSlider truncates, so truncating here too
    // would show v - 1 for the factor of v, and a slider that is set back
    // from its factor could never be stepped up.
    if (f >= PITCH_FACTOR_ONE)
        return static_cast<int32_t>((f * 100 - 100 * PITCH_FACTOR_ONE + PITCH_FACTOR_ONE - 1) >> 16);
    if (f <= PITCH_FACTOR_MIN)
        return PITCH_SLIDER_MIN;
    return 100 - static_cast<int32_t>(100 * PITCH_FACTOR_ONE / f);
}

CGString FormatPitchFactor(uint32_t f)
{
    // 0.00152587890625 is 100 / 65536: the fraction in hundredths.
    long hundredths = static_cast<long>((f % PITCH_FACTOR_ONE) * 0.00152587890625);
    CGString text;
    text.Format("%d%s%02ld", static_cast<int>(f / PITCH_FACTOR_ONE), TheAppOptions().intl.decimalSeparator,
                hundredths);
    return text;
}

uint32_t ParsePitchFactor(const char* text)
{
    // The field shows the locale's separator, so reading must take it back;
    // "." is always understood too.
    const char* separator = TheAppOptions().intl.decimalSeparator;
    size_t separatorLength = std::strlen(separator);
    const char* p = text ? text : "";
    while (*p == ' ' || *p == '\t')
        p++;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        p++;
    // Whole units beyond 3 all end at 3.0; the fraction is kept to 16
    // digits, which hold every multiple of 1/65536 exactly, so dropping the
    // rest never changes the truncated factor.
    uint64_t whole = 0;
    for (; *p >= '0' && *p <= '9'; p++)
        whole = std::min<uint64_t>(whole * 10 + static_cast<uint64_t>(*p - '0'), 4);
    if (*p == '.')
        p++;
    else if (separatorLength && std::strncmp(p, separator, separatorLength) == 0)
        p += separatorLength;
    else
        p = "";
    uint64_t fraction = 0;              // in units of 10^-16
    uint64_t unit = 1000000000000000;
    for (; *p >= '0' && *p <= '9'; p++, unit /= 10)
        fraction += static_cast<uint64_t>(*p - '0') * unit;
    // 65536 / 10^16 is 1 / 5^16: the fraction times 65536, truncated.
    int64_t factor = static_cast<int64_t>(whole * PITCH_FACTOR_ONE + fraction / 152587890625u);
    if (negative)
        factor = -factor;
    if (factor < 0 || factor > PITCH_FACTOR_MAX)
        return PITCH_FACTOR_MAX;
    if (factor < PITCH_FACTOR_MIN)
        return PITCH_FACTOR_MIN;
    return static_cast<uint32_t>(factor);
}

uint32_t InvertPitchFactor(uint32_t f)
{
    if (f < PITCH_FACTOR_MIN)
        return PITCH_FACTOR_MAX;
    return static_cast<uint32_t>((uint64_t{1} << 32) / f);
}
