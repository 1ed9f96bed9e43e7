#include "app/properties.h"

#include "base/app_options.h"
#include "support/core_state.h"

namespace {

class PropertiesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ResetCore()); }
};

TEST_F(PropertiesTest, AnEmptyUntitledSound)
{
    ASSERT_EQ(0, NewDocument(nullptr));
    TheAppOptions().showWaveform = 0;
    const PropertiesTexts t = BuildPropertiesTexts(-1, 0, 0);
    EXPECT_STREQ("(Untitled)", t.fileName.c_str());
    EXPECT_STREQ("0 bytes", t.sizeBytes.c_str());
    EXPECT_STREQ("0 samples", t.sizeSamples.c_str());
    EXPECT_STREQ("0.00 secs", t.duration.c_str());
    EXPECT_STREQ("None", t.displayed.c_str());
    EXPECT_STREQ("Empty", t.clipboard.c_str());
}

TEST_F(PropertiesTest, RoomIsCountedIn64BitsOfWholeBlocks)
{
    SetSound(PcmFormat(2, 16, 44100), std::vector<uint8_t>(400, 0), 0, 0, 100);
    TheAppOptions().showWaveform = 1;
    TheAppOptions().defaultLengthUnit = 3;
    TheAppOptions().showEnd = 1;
    SetViewRange(0, 100, ORIGIN_PROGRAM);
    // A megabyte holds 262,144 blocks: about 5.94 s of CD stereo; five
    // tebibytes pass every 32-bit count.
    const uint64_t fiveTiB = 5ull << 40;
    const PropertiesTexts t = BuildPropertiesTexts(1000, 1048576 + 3, fiveTiB);
    EXPECT_STREQ("1024 Kbytes", t.memoryKbytes.c_str());
    EXPECT_STREQ("5.94 secs", t.memorySeconds.c_str());
    EXPECT_STREQ("5368709120 Kbytes", t.diskKbytes.c_str());
    EXPECT_STREQ("31165295.57 secs", t.diskSeconds.c_str());
    EXPECT_STREQ("1000 samples", t.clipboard.c_str());
    EXPECT_STREQ("0 to 100 samples", t.selected.c_str());
    EXPECT_STREQ("176400", t.bytesPerSecond.c_str());
}

}
