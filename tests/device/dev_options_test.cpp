// The "DEVICE" setting chooses the devices by product id; the lists the
// dialog shows; the format test.
#include "device/dev_options.h"
#include "edit/open_document.h"

#include <utility>

#include "app/settings.h"
#include "base/string_ids.h"
#include "device/volume.h"
#include "device_test_support.h"

namespace {

class DeviceOptionsTest : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        devices.outputs.push_back(TestWaveDevices::OutCaps("Headset", 41, DEVCAPS_VOLUME | DEVCAPS_SYNC));
    }

    static DevOptions& Options() { return TheDevOptions(); }

    struct Items : DeviceListSink {
        void AddItem(int32_t id, const char* name) override { items.emplace_back(id, name); }
        std::vector<std::pair<int32_t, std::string>> items;
    } list;

    static std::string Saved()
    {
        char text[64];
        SaveDeviceOptions(text, sizeof text);
        return text;
    }
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

TEST_F(DeviceOptionsTest, ProductIdsFindTheFirstMatchingDeviceAndShortValuesChangeOnlyTheirFields)
{
    // Two identical cards: the first one with the product id is taken.
    devices.outputs = {TestWaveDevices::OutCaps("Other", 7, 0), TestWaveDevices::OutCaps("Card", 41, 0),
                       TestWaveDevices::OutCaps("Card", 41, 0), TestWaveDevices::OutCaps("Five", 5, 0)};
    ParseSettingValue(STR_KEY_DEVICE, "41,50,3,1,1");
    EXPECT_EQ(1, Options().playDevice);
    EXPECT_EQ(0, Options().recordDevice);
    EXPECT_EQ(3u, Options().repeatCount);
    EXPECT_EQ("41,50,3,1,1", Saved());

    ParseSettingValue(STR_KEY_DEVICE, "5");
    EXPECT_EQ(3, Options().playDevice);
    EXPECT_EQ(0, Options().recordDevice);
    EXPECT_EQ("5,50,3,1,1", Saved());
    ParseSettingValue(STR_KEY_DEVICE, "none");
    EXPECT_EQ("5,50,3,1,1", Saved());
}

TEST_F(DeviceOptionsTest, AMissingDeviceKeepsItsProductIdUntilTheUserChoosesAnother)
{
    // Product 77 is not plugged in this run: the mapper plays, 77 is saved.
    ParseSettingValue(STR_KEY_DEVICE, "77,51,3,1,0");
    EXPECT_EQ(WAVE_MAPPER_ID, Options().playDevice);
    EXPECT_EQ(WAVE_MAPPER_ID, Options().recordDevice);
    EXPECT_STREQ("Mapper", Options().playCaps.szPname);
    EXPECT_EQ("77,51,3,1,0", Saved());
    // Confirming the device in use keeps it; another device replaces it.
    SelectPlayDevice(Options(), WAVE_MAPPER_ID);
    EXPECT_EQ("77,51,3,1,0", Saved());
    SelectPlayDevice(Options(), 1);
    SelectRecordDevice(Options(), 0);
    EXPECT_EQ("41,50,3,1,0", Saved());
    // Without any device at all, too.
    devices.outputs.clear();
    devices.inputs.clear();
    ParseSettingValue(STR_KEY_DEVICE, "41,50");
    EXPECT_EQ(NO_DEVICE_ID, Options().playDevice);
    EXPECT_EQ(NO_DEVICE_ID, Options().recordDevice);
    EXPECT_EQ("41,50,3,1,0", Saved());
}

TEST_F(DeviceOptionsTest, RepeatCountIsKeptWithinItsRange)
{
    const struct {
        const char* text;
        uint32_t count;
    } rows[] = {{"2,2,0", 0}, {"2,2,100", 100}, {"2,2,101", 100}, {"2,2,4294967295", 100}, {"2,2,7", 7}};
    for (const auto& row : rows) {
        ParseSettingValue(STR_KEY_DEVICE, row.text);
        EXPECT_EQ(row.count, Options().repeatCount) << row.text;
    }
}

TEST_F(DeviceOptionsTest, WithoutADeviceValueTheChosenDevicesAreStillQueried)
{
    devices.mapperOut = TestWaveDevices::OutCaps("Mapper", 99, DEVCAPS_VOLUME);
    devices.volume = 0x40004000;
    ASSERT_EQ(0, NewDocument(nullptr));
    // As a fresh install starts: nothing read, so nothing known yet.
    EXPECT_FALSE(ReadVolume());
    LookUpDevices();
    EXPECT_STREQ("Mapper", Options().playCaps.szPname);
    EXPECT_EQ(MAPPER_PRODUCT_ID, Options().playCaps.wPid);
    EXPECT_STREQ("Mapper", Options().recordCaps.szPname);
    EXPECT_TRUE(ReadVolume());
    EXPECT_EQ(0x40004000u, TheDev().volume);
    EXPECT_EQ("2,2,1,0,0", Saved());
}

TEST_F(DeviceOptionsTest, NoInputDeviceGivesMinusTwoAndNoRecordFormat)
{
    devices.inputs.clear();
    ParseSettingValue(STR_KEY_DEVICE, "2,50");
    EXPECT_EQ(NO_DEVICE_ID, Options().recordDevice);
    EXPECT_EQ(0, Options().recordCaps.wPid);
    ASSERT_EQ(0, NewDocument(nullptr));
    QueryFormatSupport();
    EXPECT_TRUE(TheDev().playFormatOk);
    EXPECT_FALSE(TheDev().recordFormatOk);
    EXPECT_EQ(-1, ListDevices(list, WAVE_INPUT, NO_DEVICE_ID));
    EXPECT_TRUE(list.items.empty());
}

TEST_F(DeviceOptionsTest, ListsSkipDevicesThatCannotBeQueried)
{
    devices.outputs.push_back(TestWaveDevices::OutCaps("Third", 42, 0));
    devices.failingCaps = {1};
    EXPECT_EQ(2, ListDevices(list, WAVE_OUTPUT, 2));
    const decltype(list.items) expected = {{WAVE_MAPPER_ID, DEVICE_MAPPER_NAME}, {0, "Speakers"}, {2, "Third"}};
    EXPECT_EQ(expected, list.items);
    EXPECT_EQ(2, ListedDeviceId(WAVE_OUTPUT, 2));
    EXPECT_EQ(WAVE_MAPPER_ID, ListedDeviceId(WAVE_OUTPUT, 3));
}

TEST_F(DeviceOptionsTest, FormatQueryOpensNothingAndMapsChosenDevices)
{
    ASSERT_EQ(0, NewDocument(nullptr));
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
    EXPECT_TRUE(TheDev().playFormatOk && TheDev().recordFormatOk);
    EXPECT_EQ(0, devices.OpenCount());

    KvWaveFormat f = {WAVE_TAG_PCM, 1, 22050, 22050, 1, 8, 0};
    ASSERT_EQ(0, doc.SetFormat(&f));
    QueryFormatSupport();
    EXPECT_FALSE(TheDev().playFormatOk);
    EXPECT_TRUE(TheDev().recordFormatOk);
}

}
