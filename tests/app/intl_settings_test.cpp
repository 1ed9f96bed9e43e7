#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "app/app_options.h"
#include "app/builtin_strings.h"
#include "app/intl_settings.h"
#include "app/memory_settings_store.h"

namespace {

class IntlSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadBuiltInStrings());
        ResetAppOptions();
    }

    void Set(const char* key, const char* value) { profile.Set("Intl", key, value); }

    MemorySettingsStore profile;
};

TEST_F(IntlSettingsTest, TwentyFourHourClockSkipsTheSuffixes)
{
    Set("s1159", "am");
    Set("s2359", "pm");
    ReadIntlSettings(profile);
    EXPECT_STREQ("am", TheAppOptions().intl.amSuffix);

    Set("iTime", "1");
    Set("s1159", "vorm");
    Set("s2359", "nach");
    ReadIntlSettings(profile);
    const IntlSettings& intl = TheAppOptions().intl;
    EXPECT_NE(0, intl.timeFormat);
    EXPECT_STREQ("am", intl.amSuffix);
    EXPECT_STREQ("pm", intl.pmSuffix);
}

TEST_F(IntlSettingsTest, LongValuesAreCutToTheirFields)
{
    std::string date(80, 'd');
    Set("sTime", "::::::");
    Set("s1159", "morning");
    Set("sShortDate", date.c_str());
    Set("sLongDate", date.c_str());
    Set("sDecimal", "<dec>");
    Set("sList", ";;;;;;;;");
    ReadIntlSettings(profile);
    const IntlSettings& intl = TheAppOptions().intl;
    EXPECT_STREQ("::::", intl.timeSeparator);
    EXPECT_STREQ("morn", intl.amSuffix);
    EXPECT_EQ(date.substr(0, 49), intl.shortDate);
    EXPECT_EQ(date.substr(0, 49), intl.longDate);
    EXPECT_STREQ("<dec", intl.decimalSeparator);
    EXPECT_STREQ(";;;;", intl.listSeparator);
}

TEST_F(IntlSettingsTest, RemovedKeysGoBackToTheirDefaults)
{
    Set("sDecimal", ",");
    Set("iTLZero", "0");
    ReadIntlSettings(profile);
    EXPECT_STREQ(",", TheAppOptions().intl.decimalSeparator);
    EXPECT_EQ(0, TheAppOptions().intl.leadingZero);

    profile.Clear();
    Set("sDecimal", "");
    Set("iTLZero", "7");
    ReadIntlSettings(profile);
    EXPECT_STREQ(".", TheAppOptions().intl.decimalSeparator);
    EXPECT_EQ(1, TheAppOptions().intl.leadingZero);
}

}
