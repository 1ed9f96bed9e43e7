#include <climits>
#include <cstring>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/app_options.h"
#include "app/object_options.h"
#include "app/builtin_strings.h"
#include "app/memory_settings_store.h"
#include "app/recent_files.h"
#include "app/settings.h"
#include "app/string_ids.h"
#include "app/string_table.h"
#include "edit/effect_settings.h"

namespace {

const char SECTION[] = "Kelvora";

TEST(ParseIntListTest, OnlyDigitRunsAreNumbers)
{
    int32_t v[4] = {};
    ASSERT_EQ(4, ParseIntList(v, "-8,-8, 500 x400", 4));
    EXPECT_EQ(8, v[0]);
    EXPECT_EQ(8, v[1]);
    EXPECT_EQ(500, v[2]);
    EXPECT_EQ(400, v[3]);
    EXPECT_EQ(0, ParseIntList(v, " ,-;abc", 4));
    EXPECT_EQ(0, ParseIntList(v, nullptr, 4));
}

TEST(ParseIntListTest, XAfterZeroStaysInTheNumber)
{
    int32_t v[4] = {};
    ASSERT_EQ(4, ParseIntList(v, "0x10,20x7,1x5", 4));
    EXPECT_EQ(0, v[0]);
    EXPECT_EQ(20, v[1]);
    EXPECT_EQ(1, v[2]);
    EXPECT_EQ(5, v[3]);
    ASSERT_EQ(2, ParseIntList(v, "0xx9", 4));
    EXPECT_EQ(9, v[1]);
}

TEST(ParseIntListTest, LimitStopsAndNumbersWrap)
{
    int32_t v[4] = {-1, -1, -1, -1};
    ASSERT_EQ(3, ParseIntList(v, "4294967297,4294967295,2147483648,7", 3));
    EXPECT_EQ(1, v[0]);
    EXPECT_EQ(-1, v[1]);
    EXPECT_EQ(INT32_MIN, v[2]);
    EXPECT_EQ(-1, v[3]);
}

TEST(FormatIntListTest, JoinsWithCommasWithoutBlanks)
{
    char text[64];
    EXPECT_EQ(16, FormatIntList(text, 3, 1, -2, INT32_MIN));
    EXPECT_STREQ("1,-2,-2147483648", text);
    const int32_t values[] = {123, 456};
    EXPECT_EQ(4, FormatIntArray(text, 5, values, 2));
    EXPECT_STREQ("123,", text);
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadBuiltInStrings());
        ResetApp();
        ResetAppOptions();
        ResetRecentFiles();
        SetSettingsStore(&store);
    }

    void TearDown() override { SetSettingsStore(nullptr); }

    void Read(const char* key, const char* value)
    {
        store.Set(SECTION, key, value);
        ASSERT_TRUE(ReadSettings());
    }

    static void WriteTo(MemorySettingsStore& written)
    {
        SetSettingsStore(&written);
        TheAppOptions().settingsChanged = 1;
        ASSERT_TRUE(WriteSettings());
    }

    static std::string Value(int keyId)
    {
        char text[1024];
        int n = FormatSettingValue(keyId, text, sizeof text);
        EXPECT_EQ(static_cast<int>(std::strlen(text)), n);
        return text;
    }

    // Every setting as text, the never-written ones included.
    static std::map<std::string, std::string> Snapshot()
    {
        std::map<std::string, std::string> all;
        for (int id = STR_KEY_FILE1; id <= STR_KEY_USEACM; ++id)
            all[LoadAppString(id)] = Value(id);
        const AppOptions& o = TheAppOptions();
        all["buffers"] = std::to_string(o.buffers.recordLimit) + "," + std::to_string(o.buffers.bufferSeconds);
        all["undo"] = std::to_string(o.undoCount) + "," + std::to_string(o.undoMemory);
        all["useacm"] = std::to_string(o.useAcm);
        all["noise"] = std::to_string(TheEffectSettings().noiseAmplitude);
        return all;
    }

    // Keys whose change between two snapshots.
    static std::string Changed(const std::map<std::string, std::string>& before,
                               const std::map<std::string, std::string>& after)
    {
        std::string keys;
        for (const auto& entry : before)
            if (after.at(entry.first) != entry.second)
                keys += entry.first + " ";
        return keys;
    }

    MemorySettingsStore store;
};

TEST_F(SettingsTest, MissingOrEmptyValuesKeepEveryDefault)
{
    auto before = Snapshot();
    for (const char* key : {"FILE1", "DISPLAY", "LOCATION", "DEVICE", "MIX", "OLE", "FORMAT", "TONE"})
        store.Set(SECTION, key, "");
    ASSERT_TRUE(ReadSettings());
    EXPECT_EQ("", Changed(before, Snapshot()));
    EXPECT_EQ(KV_CW_USEDEFAULT, TheAppOptions().frameX);
    EXPECT_EQ("0,0,1,1", Value(STR_KEY_DISPLAY));
}

TEST_F(SettingsTest, ShortListSetsOnlyItsFirstFields)
{
    Read("DISPLAY", "1");
    EXPECT_EQ("1,0,1,1", Value(STR_KEY_DISPLAY));

    Read("FADE", "50");
    EXPECT_EQ(50, TheEffectSettings().fadeStart);
    EXPECT_EQ(0, TheEffectSettings().fadeEnd);

    Read("TONE", "3,440");
    EXPECT_EQ("3,440,100,1000,0", Value(STR_KEY_TONE));

    Read("DISPOPTS", "1");
    EXPECT_EQ(1, TheAppOptions().showEnd);
    EXPECT_EQ(1, TheAppOptions().defaultLengthUnit);
}

TEST_F(SettingsTest, LocationNeedsFourNumbers)
{
    auto before = Snapshot();
    Read("LOCATION", "10,20,300");
    EXPECT_EQ("", Changed(before, Snapshot()));

    Read("LOCATION", "-8,-8,500,400");
    EXPECT_EQ("8,8,500,400", Value(STR_KEY_LOCATION));
}

TEST_F(SettingsTest, MixTakesOneOrTwoNumbers)
{
    Read("MIX", "50");
    EXPECT_EQ(50, TheAppOptions().mixNew);
    EXPECT_EQ(0, TheAppOptions().mixOld);

    Read("MIX", "70,30");
    EXPECT_EQ("70,30", Value(STR_KEY_MIX));

    auto before = Snapshot();
    Read("MIX", "1,2,3");
    EXPECT_EQ("", Changed(before, Snapshot()));
}

TEST_F(SettingsTest, FlagsAreReadAsNonZeroAndWrittenAsOne)
{
    Read("DISPLAY", "5,0,7,0");
    EXPECT_EQ("1,0,1,0", Value(STR_KEY_DISPLAY));
    Read("ECHO", "10,20,9");
    EXPECT_EQ(1, TheEffectSettings().echoChorus);
    EXPECT_EQ("10,20,1", Value(STR_KEY_ECHO));
    Read("EXTRA", "42");
    EXPECT_EQ("1", Value(STR_KEY_EXTRA));
    Read("USEACM", "3");
    EXPECT_EQ(1, TheAppOptions().useAcm);
}

TEST_F(SettingsTest, OleLabelIsAfterTheLastComma)
{
    Read("OLE", "6,My,label");
    EXPECT_STREQ("label", TheObjectOptions().label);
    EXPECT_EQ(6u, TheObjectOptions().flags);
    EXPECT_EQ("6,label", Value(STR_KEY_OLE));

    Read("OLE", "3,");
    EXPECT_STREQ("", TheObjectOptions().label);
    EXPECT_EQ("3,", Value(STR_KEY_OLE));

    // No number: the flags stay.
    Read("OLE", "none,x");
    EXPECT_EQ(3u, TheObjectOptions().flags);
    EXPECT_STREQ("x", TheObjectOptions().label);
}

TEST_F(SettingsTest, HandEditedDisplayValuesStayUsable)
{
    Read("DISPLAY", "1,1,0,0");
    EXPECT_EQ(1, TheAppOptions().showWaveform);
    EXPECT_EQ(1, TheAppOptions().leftChannel);
    EXPECT_EQ(1, TheAppOptions().rightChannel);
    Read("DISPOPTS", "1,9");
    EXPECT_EQ(1, TheAppOptions().showEnd);
    EXPECT_EQ(1, TheAppOptions().defaultLengthUnit);
    Read("DISPOPTS", "0,3");
    EXPECT_EQ(3, TheAppOptions().defaultLengthUnit);
}

TEST_F(SettingsTest, HandEditedKeysAreReadButNeverWritten)
{
    Read("BUFFERS", "100");
    EXPECT_EQ(100, TheAppOptions().buffers.recordLimit);
    EXPECT_EQ(2, TheAppOptions().buffers.bufferSeconds);
    Read("BUFFERS", "120,5,9");
    EXPECT_EQ(5, TheAppOptions().buffers.bufferSeconds);
    Read("UNDO", "3,4096");
    EXPECT_EQ(3, TheAppOptions().undoCount);
    EXPECT_EQ(4096u, TheAppOptions().undoMemory);
    Read("USEACM", "1");

    MemorySettingsStore written;
    WriteTo(written);
    EXPECT_EQ(nullptr, written.Get(SECTION, "BUFFERS"));
    EXPECT_EQ(nullptr, written.Get(SECTION, "UNDO"));
    EXPECT_EQ(nullptr, written.Get(SECTION, "USEACM"));
    EXPECT_STREQ("100,0", written.Get(SECTION, "MIX"));
}

TEST_F(SettingsTest, EveryWrittenValueComesBackUnchanged)
{
    const char* values[][2] = {
        {"DISPLAY", "1,1,0,1"}, {"LOCATION", "10,20,640,480"}, {"DISPOPTS", "1,3"},
        {"MIX", "80,40"}, {"OLE", "0x1F junk,a, b"},
        {"FORMAT", "2,1,8000,4096,256,4,2,500"}, {"PLAYRATE", "3"}, {"AMPLIFY", "250"},
        {"FADE", "10,90"}, {"ECHO", "50,200,1"}, {"PITCH", "131072"}, {"BACKGROUND", "4,30,1"},
        {"TONE", "1,440,50,880,25"}, {"FILL", "12"}, {"INSERT", "500"}, {"EXTRA", "1"},
    };
    for (auto& v : values)
        store.Set(SECTION, v[0], v[1]);
    ASSERT_TRUE(ReadSettings());

    MemorySettingsStore written;
    WriteTo(written);
    for (auto& v : values) {
        // The format keeps its six fields only; the object options their flags
    // number ("0x1F" reads as 0) and the label after the last comma.
        const char* expected = std::strcmp(v[0], "FORMAT") == 0 ? "2,1,8000,4096,256,4"
            : std::strcmp(v[0], "OLE") == 0                  ? "0, b"
                                                              : v[1];
        EXPECT_STREQ(expected, written.Get(SECTION, v[0])) << v[0];
    }
}

TEST_F(SettingsTest, WritesOnlyAfterAChange)
{
    ASSERT_TRUE(WriteSettings());
    EXPECT_EQ(0, store.WriteCount());

    TheAppOptions().settingsChanged = 3;
    ASSERT_TRUE(WriteSettings());
    EXPECT_EQ(0, TheAppOptions().settingsChanged);
    EXPECT_STREQ("0,0,1,1", store.Get(SECTION, "DISPLAY"));
    EXPECT_STREQ("23,Kelvora", store.Get(SECTION, "OLE"));
    EXPECT_STREQ("2000", store.Get(SECTION, "INSERT"));
}

TEST_F(SettingsTest, FirstFailedWriteStopsTheWriting)
{
    // Without recent files the first keys written are DISPLAY, LOCATION, DISPOPTS, DEVICE.
    TheAppOptions().settingsChanged = 2;
    store.FailWrite(3);
    EXPECT_FALSE(WriteSettings());
    EXPECT_EQ(3, store.WriteCount());
    EXPECT_NE(nullptr, store.Get(SECTION, "DISPLAY"));
    EXPECT_NE(nullptr, store.Get(SECTION, "LOCATION"));
    EXPECT_EQ(nullptr, store.Get(SECTION, "DISPOPTS"));
    EXPECT_EQ(nullptr, store.Get(SECTION, "DEVICE"));
    EXPECT_EQ(nullptr, store.Get(SECTION, "EXTRA"));
    EXPECT_EQ(2, TheAppOptions().settingsChanged);

    ASSERT_TRUE(WriteSettings());
    EXPECT_NE(nullptr, store.Get(SECTION, "EXTRA"));
    EXPECT_EQ(0, TheAppOptions().settingsChanged);
}

TEST_F(SettingsTest, RecentFilesGoThroughTheListAndBack)
{
    store.Set(SECTION, "FILE1", "c:\\snd\\a.wav");
    store.Set(SECTION, "FILE2", "C:\\SND\\A.WAV");
    store.Set(SECTION, "FILE3", "<none>");
    store.Set(SECTION, "FILE4", "d:\\b.wav");
    ASSERT_TRUE(ReadSettings());
    ASSERT_EQ(2, RecentFiles().Count());
    EXPECT_STREQ("c:\\snd\\a.wav", LastFileName());

    MemorySettingsStore written;
    WriteTo(written);
    EXPECT_STREQ("c:\\snd\\a.wav", written.Get(SECTION, "FILE1"));
    EXPECT_STREQ("d:\\b.wav", written.Get(SECTION, "FILE2"));
    EXPECT_EQ(nullptr, written.Get(SECTION, "FILE3"));
    EXPECT_EQ(nullptr, written.Get(SECTION, "FILE4"));
}

TEST_F(SettingsTest, ValuesWithoutNumbersChangeNoNumber)
{
    auto before = Snapshot();
    for (int id = STR_KEY_FILE1; id <= STR_KEY_USEACM; ++id)
        store.Set(SECTION, LoadAppString(id), "<junk>;-,x");
    ASSERT_TRUE(ReadSettings());
    // Only the texts kept whole take the value; the format, unset before,
    // becomes the built-in default.
    EXPECT_EQ("DEVICE FORMAT OLE ", Changed(before, Snapshot()));
    EXPECT_EQ("1,1,11025,11025,1,8", Value(STR_KEY_FORMAT));
    EXPECT_EQ(0, RecentFiles().Count());
}

TEST_F(SettingsTest, LongValuesAreReadUpTo310Characters)
{
    std::string ole = "5," + std::string(400, 'L');
    std::string file = "c:\\" + std::string(400, 'f');
    Read("OLE", ole.c_str());
    Read("FILE1", file.c_str());
    EXPECT_EQ(308, TheObjectOptions().label.Length());
    ASSERT_EQ(1, RecentFiles().Count());
    EXPECT_EQ(310, RecentFiles().At(0)->Length());

    // Numbers past the 310th character are not seen.
    std::string location = "1,2,3," + std::string(320, ' ') + "4";
    auto before = Snapshot();
    Read("LOCATION", location.c_str());
    EXPECT_EQ("", Changed(before, Snapshot()));
}

TEST_F(SettingsTest, TooManyNumbersUseOnlyTheFirstOnes)
{
    std::string many;
    for (int i = 1; i <= 200; ++i)
        many += std::to_string(i) + ",";
    Read("TONE", many.c_str());
    EXPECT_EQ("1,2,3,4,5", Value(STR_KEY_TONE));
    Read("DISPLAY", many.c_str());
    EXPECT_EQ("1,1,1,1", Value(STR_KEY_DISPLAY));
    Read("AMPLIFY", many.c_str());
    EXPECT_EQ(1, TheEffectSettings().amplification);
}

}
