#include "sound/fixed_text.h"

#include <climits>
#include <cstring>

#include <gtest/gtest.h>

#include "app/app_options.h"

namespace {

class FixedTextTest : public ::testing::Test {
protected:
    void SetUp() override { ResetAppOptions(); }
};

TEST_F(FixedTextTest, ParseFixedScalesByItsDecimals)
{
    struct Case { const char* text; int decimals; int32_t expected; };
    const Case cases[] = {
        {"22.05", 3, 22050}, {"8", 3, 8000}, {"44.1", 3, 44100}, {"11.0257", 3, 11025},
        {"1.5", 2, 150}, {"1.509", 2, 150}, {".5", 2, 50}, {"2.", 2, 200}, {"7.9", 0, 7},
        {"1.2.3", 2, 120}, {"12 secs", 2, 1200}, {"abc", 2, 0}, {" 1", 2, 0}, {"-1", 2, 0},
        {"", 3, 0}, {"5", -1, 5},
        // Saturation, in the whole part and through the decimals.
        {"99999999999", 0, INT32_MAX}, {"3000000", 3, INT32_MAX}, {"2147483.647", 3, INT32_MAX},
        {"2147483.646", 3, INT32_MAX - 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, ParseFixed(c.text, c.decimals)) << c.text << " /" << c.decimals;
    EXPECT_EQ(0, ParseFixed(nullptr, 2));
}

TEST_F(FixedTextTest, FormatThousandthsTruncatesToHundredths)
{
    const std::pair<int32_t, const char*> cases[] = {
        {22050, "22.05"}, {11025, "11.02"}, {9, "0.00"}, {-1500, "-1.50"}, {-250, "-0.25"},
        {INT32_MIN, "-2147483.64"}, {INT32_MAX, "2147483.64"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.second, FormatThousandths(c.first)) << c.first;
    std::strcpy(TheAppOptions().intl.decimalSeparator, ",");
    EXPECT_STREQ("22,05", FormatThousandths(22050));
}

}
