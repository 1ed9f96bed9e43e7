#include "sound/fixed_text.h"

#include <climits>
#include <cstring>
#include <utility>

#include <gtest/gtest.h>

#include "base/app_options.h"

namespace {

TEST(FixedTextTest, ParseFixedScalesAndSaturatesFormatThousandthsTruncates)
{
    const struct { const char* text; int decimals; int32_t expected; } parsed[] = {{"11.0257", 3, 11025},
        {".5", 2, 50}, {"2.", 2, 200}, {"7.9", 0, 7}, {"1.2.3", 2, 120}, {"abc", 2, 0}, {" 1", 2, 0}, {"-1", 2, 0},
        {nullptr, 2, 0}, {"3000000", 3, INT32_MAX}, {"2147483.647", 3, INT32_MAX}, {"2147483.646", 3, INT32_MAX - 1}};
    for (const auto& c : parsed)
        EXPECT_EQ(c.expected, ParseFixed(c.text, c.decimals)) << (c.text ? c.text : "null") << " /" << c.decimals;
    ResetAppOptions();                          // the decimal separator is '.'
    const std::pair<int32_t, const char*> formatted[] = {
        {11025, "11.02"}, {-250, "-0.25"}, {INT32_MIN, "-2147483.64"}};
    for (const auto& c : formatted)
        EXPECT_STREQ(c.second, FormatThousandths(c.first)) << c.first;
    // A comma locale reads back what it writes; the point still works.
    std::strcpy(TheAppOptions().intl.decimalSeparator, ",");
    EXPECT_STREQ("1,50", FormatThousandths(1500));
    EXPECT_EQ(150, ParseFixed("1,50", 2));
    EXPECT_EQ(150, ParseFixed("1.50", 2));
    ResetAppOptions();
}

}
