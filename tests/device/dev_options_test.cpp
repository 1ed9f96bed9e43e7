// The device options and the catalogue: the "DEVICE" setting chooses the
// devices by product id, the lists the dialog shows, and the format test.
#include "device/dev_options.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/app.h"
#include "app/app_options.h"
#include "app/builtin_strings.h"
#include "app/settings.h"
#include "app/string_ids.h"
#include "device/device_catalogue.h"
#include "device/engine.h"
#include "sound/document.h"
#include "support/test_wave_device.h"

namespace {

class DeviceOptionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadBuiltInStrings());
        ResetApp();
        ResetAppOptions();
        ResetDev();
        devices.outputs = {TestWaveDevices::OutCaps("Speakers", 40, DEVCAPS_VOLUME),
                           TestWaveDevices::OutCaps("Headset", 41, DEVCAPS_VOLUME | DEVCAPS_SYNC)};
        devices.inputs = {TestWaveDevices::InCaps("Microphone", 50)};
    }

    static DevOptions& Options() { return TheAppOptions().device; }

    static std::string Saved()
    {
        char text[64];
        SaveDeviceOptions(text, sizeof text);
        return text;
    }

    struct Items : DeviceListSink {
        void AddItem(int32_t id, const char* name) override { items.emplace_back(id, name); }
        std::vector<std::pair<int32_t, std::string>> items;
    };

    TestWaveDevices devices;
};

TEST_F(DeviceOptionsTest, MapperProductIdChoosesBestAvailableAndKeepsProductId2)
{
    ParseSettingValue(STR_KEY_DEVICE, "2,2,1,0,0");
    EXPECT_EQ(WAVE_MAPPER_ID, Options().playDevice);
    EXPECT_EQ(WAVE_MAPPER_ID, Options().recordDevice);
    // The mapper's own capabilities, with its product id replaced.
    EXPECT_STREQ("Mapper", Options().playCaps.szPname);
    EXPECT_EQ(MAPPER_PRODUCT_ID, Options().playCaps.wPid);
    EXPECT_EQ(MAPPER_PRODUCT_ID, Options().recordCaps.wPid);
    EXPECT_EQ("2,2,1,0,0", Saved());
}

TEST_F(DeviceOptionsTest, ProductIdsFindTheFirstMatchingDeviceAndRoundTrip)
{
    // Two identical cards: the first one with the product id is taken.
    devices.outputs = {TestWaveDevices::OutCaps("Other", 7, 0), TestWaveDevices::OutCaps("Card", 41, 0),
                       TestWaveDevices::OutCaps("Card", 41, 0)};
    char text[64];
    ParseSettingValue(STR_KEY_DEVICE, "41,50,3,1,1");
    EXPECT_EQ(1, Options().playDevice);
    EXPECT_EQ(0, Options().recordDevice);
    EXPECT_EQ(3u, Options().repeatCount);
    EXPECT_EQ(1, Options().playAfterChange);
    EXPECT_EQ(1, Options().playAfterSelection);
    ASSERT_GT(FormatSettingValue(STR_KEY_DEVICE, text, sizeof text), 0);
    EXPECT_STREQ("41,50,3,1,1", text);

    // A product id nobody has falls back to the mapper.
    ParseSettingValue(STR_KEY_DEVICE, "77");
    EXPECT_EQ(WAVE_MAPPER_ID, Options().playDevice);
    EXPECT_EQ(0, Options().recordDevice);
}

TEST_F(DeviceOptionsTest, ShortValuesChangeOnlyTheirFirstFields)
{
    devices.outputs.push_back(TestWaveDevices::OutCaps("Five", 5, 0));
    ParseSettingValue(STR_KEY_DEVICE, "41,50,4,1,1");
    ParseSettingValue(STR_KEY_DEVICE, "5");
    EXPECT_EQ(2, Options().playDevice);
    EXPECT_EQ(0, Options().recordDevice);
    EXPECT_EQ("5,50,4,1,1", Saved());

    // No number at all: the devices are looked up again and nothing else changes.
    ParseSettingValue(STR_KEY_DEVICE, "none");
    EXPECT_EQ("5,50,4,1,1", Saved());
}

TEST_F(DeviceOptionsTest, NoInputDeviceGivesMinusTwoAndNoRecordFormat)
{
    devices.inputs.clear();
    ParseSettingValue(STR_KEY_DEVICE, "2,50");
    EXPECT_EQ(NO_DEVICE_ID, Options().recordDevice);
    EXPECT_EQ(0, Options().recordCaps.wPid);

    Items list;
    EXPECT_EQ(-1, ListDevices(list, WAVE_INPUT, Options().recordDevice));
    EXPECT_TRUE(list.items.empty());

    ASSERT_EQ(0, TheDocument().NewSound(nullptr, nullptr));
    QueryFormatSupport();
    EXPECT_TRUE(TheDev().playFormatOk);
    EXPECT_FALSE(TheDev().recordFormatOk);
}

TEST_F(DeviceOptionsTest, ListsSkipDevicesThatCannotBeQueried)
{
    devices.outputs.push_back(TestWaveDevices::OutCaps("Third", 42, 0));
    devices.failingCaps = {1};
    Items list;
    EXPECT_EQ(2, ListDevices(list, WAVE_OUTPUT, 2));
    ASSERT_EQ(3u, list.items.size());
    EXPECT_EQ(std::make_pair(int32_t(WAVE_MAPPER_ID), std::string(DEVICE_MAPPER_NAME)), list.items[0]);
    EXPECT_EQ(std::make_pair(int32_t(0), std::string("Speakers")), list.items[1]);
    EXPECT_EQ(std::make_pair(int32_t(2), std::string("Third")), list.items[2]);
    EXPECT_EQ(2, ListedDeviceId(WAVE_OUTPUT, 2));
    EXPECT_EQ(0, ListedDeviceId(WAVE_OUTPUT, 1));
    EXPECT_EQ(WAVE_MAPPER_ID, ListedDeviceId(WAVE_OUTPUT, 3));
}

TEST_F(DeviceOptionsTest, FormatQueryOpensNothingAndMapsChosenDevices)
{
    ASSERT_EQ(0, TheDocument().NewSound(nullptr, nullptr));
    devices.accepts = [](int direction, const KvWaveFormat& f) {
        return direction == WAVE_INPUT || f.nSamplesPerSec == 11025;
    };
    SelectPlayDevice(Options(), 1);
    QueryFormatSupport();
    ASSERT_EQ(2u, devices.opens.size());
    EXPECT_EQ(1, devices.opens[0].id);
    EXPECT_EQ(DEV_FORMAT_QUERY | DEV_ALLOWSYNC | DEV_MAPPED, devices.opens[0].flags);
    EXPECT_EQ(WAVE_MAPPER_ID, devices.opens[1].id);
    EXPECT_EQ(DEV_FORMAT_QUERY, devices.opens[1].flags);
    EXPECT_TRUE(TheDev().playFormatOk);
    EXPECT_TRUE(TheDev().recordFormatOk);
    EXPECT_EQ(0, devices.OpenCount());

    KvWaveFormat f = {WAVE_TAG_PCM, 1, 22050, 22050, 1, 8, 0};
    ASSERT_EQ(0, TheDocument().SetFormat(&f));
    QueryFormatSupport();
    EXPECT_FALSE(TheDev().playFormatOk);
    EXPECT_TRUE(TheDev().recordFormatOk);
}

}
