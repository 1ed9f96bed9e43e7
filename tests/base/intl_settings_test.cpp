#include <string>

#include <gtest/gtest.h>

#include "app/memory_settings_store.h"
#include "base/app_options.h"
#include "base/intl_settings.h"

namespace {

class IntlSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ResetAppOptions(); }
    void Set(const char* key, const char* value) { profile.Set("Intl", key, value); }

    MemorySettingsStore profile;
    const IntlSettings& intl = TheAppOptions().intl;
};

TEST_F(IntlSettingsTest, TwentyFourHourClockSkipsTheSuffixes)
{
    Set("s1159", "am");
    ReadIntlSettings(profile);
    Set("iTime", "1");
    Set("s1159", "vorm");
    ReadIntlSettings(profile);
    EXPECT_NE(0, intl.timeFormat);
    EXPECT_STREQ("am", intl.amSuffix);
}

TEST_F(IntlSettingsTest, LongValuesAreCutToTheirFieldsAndRemovedKeysGoBackToTheirDefaults)
{
    std::string date(80, 'd');
    Set("sTime", "::::::");
    Set("s1159", "morning");
    Set("sShortDate", date.c_str());
    Set("sDecimal", "<dec>");
    Set("iTLZero", "0");
    ReadIntlSettings(profile);
    EXPECT_STREQ("::::", intl.timeSeparator);
    EXPECT_STREQ("morn", intl.amSuffix);
    EXPECT_EQ(date.substr(0, 49), intl.shortDate);
    EXPECT_STREQ("<dec", intl.decimalSeparator);
    EXPECT_EQ(0, intl.leadingZero);

    profile.Clear();
    Set("sDecimal", "");
    Set("iTLZero", "7");
    ReadIntlSettings(profile);
    EXPECT_STREQ(".", intl.decimalSeparator);
    EXPECT_EQ(1, intl.leadingZero);
}

}
