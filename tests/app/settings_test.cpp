#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/memory_settings_store.h"
#include "app/recent_files.h"
#include "app/settings.h"
#include "base/string_ids.h"
#include "base/string_table.h"
#include "edit/effect_settings.h"
#include "sound/object_options.h"
#include "support/core_state.h"

namespace {

const char SECTION[] = "Kelvora";

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ResetCore());
        ResetRecentFiles();
        SetSettingsStore(&store);
    }
    void TearDown() override { SetSettingsStore(nullptr); }

    void Read(const char* key, const char* value)
    {
        store.Set(SECTION, key, value);
        ASSERT_TRUE(ReadSettings());
    }

    // Every setting as text, the never-written ones included.
    static std::map<std::string, std::string> Snapshot()
    {
        std::map<std::string, std::string> all;
        char text[1024];
        for (int id = STR_KEY_FILE1; id <= STR_KEY_USEACM; ++id) {
            const int n = FormatSettingValue(id, text, sizeof text);
            EXPECT_EQ(n, int(std::strlen(text)));
            all[LoadAppString(id)] = text;
        }
        const AppOptions& o = TheAppOptions();
        all["buffers"] = std::to_string(o.buffers.recordLimit) + "," + std::to_string(o.buffers.bufferSeconds);
        all["undo"] = std::to_string(o.undoCount) + "," + std::to_string(o.undoMemory);
        all["useacm"] = std::to_string(o.useAcm);
        all["noise"] = std::to_string(TheEffectSettings().noiseAmplitude);
        return all;
    }

    // The keys whose values differ between two snapshots.
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

// Each value read on its own over the defaults: what its key (or the named
// field of a key never written) then holds, null when the value is refused or
// empty; no other setting may change.
TEST_F(SettingsTest, EachKeyTakesWhatItParsesAndNothingElse)
{
    std::string many;
    for (int i = 1; i <= 200; ++i)
        many += std::to_string(i) + ",";
    const struct {
        const char* key;
        std::string value;
        const char* expected;
        const char* field;
    } rows[] = {
        {"FILE1", "", nullptr}, {"DISPLAY", "", nullptr}, {"LOCATION", "", nullptr},
        {"DEVICE", "", nullptr}, {"OLE", "", nullptr}, {"FORMAT", "", nullptr},
        {"DISPLAY", "1", "1,0,1,1"}, {"DISPLAY", "5,0,7,0", "1,0,1,0"}, {"DISPLAY", "1,1,0,0", "1,1,1,1"},
        {"DISPOPTS", "1", "1,1"}, {"DISPOPTS", "1,9", "1,1"}, {"DISPOPTS", "0,3", "0,3"},
        {"LOCATION", "10,20,300", nullptr}, {"LOCATION", "-8,-8,500,400", "8,8,500,400"},
        {"LOCATION", "1,2,3," + std::string(320, ' ') + "4", nullptr},
        {"MIX", "50", "50,0"}, {"MIX", "70,30", "70,30"}, {"MIX", "1,2,3", nullptr},
        {"FADE", "50", "50,0"}, {"TONE", "3,440", "3,440,100,1000,0"}, {"ECHO", "10,20,9", "10,20,1"},
        {"EXTRA", "42", "1"}, {"USEACM", "3", "1", "useacm"},
        {"OLE", "6,My,label", "6,My,label"}, {"OLE", "3,", "3,"}, {"OLE", "none,x", "23,x"},
        {"TONE", many, "1,2,3,4,5"}, {"DISPLAY", many, "1,1,1,1"}, {"AMPLIFY", many, "1"},
        {"BUFFERS", "100", "100,2", "buffers"}, {"BUFFERS", "120,5,9", "120,5", "buffers"},
        {"UNDO", "3,4096", "3,4096", "undo"},
    };
    for (const auto& row : rows) {
        ResetSettings();
        store.Clear();
        auto before = Snapshot();
        Read(row.key, row.value.c_str());
        auto after = Snapshot();
        const char* field = row.field ? row.field : row.key;
        EXPECT_EQ(row.expected ? row.expected : before[field], after[field]) << row.key << "=" << row.value;
        before[field] = after[field];
        EXPECT_EQ("", Changed(before, after)) << row.key << "=" << row.value;
    }
}

// Read and written back: what each key writes ("-": nothing). Recent files
// go through the list (a name twice, or refused, is dropped); the format keeps
// its six fields; the object options their flags ("0x1F" reads as 0) and the
// label after the first comma, commas and all; hand-edited keys are never
// written.
TEST_F(SettingsTest, EveryWrittenValueComesBackUnchanged)
{
    const char* values[][3] = {
        {"FILE1", "c:\\snd\\a.wav", "c:\\snd\\a.wav"}, {"FILE2", "C:\\SND\\A.WAV", "d:\\b.wav"},
        {"FILE3", "<none>", "-"}, {"FILE4", "d:\\b.wav", "-"},
        {"DISPLAY", "1,1,0,1", "1,1,0,1"}, {"LOCATION", "10,20,640,480", "10,20,640,480"},
        {"DISPOPTS", "1,3", "1,3"}, {"MIX", "80,40", "80,40"}, {"OLE", "0x1F junk,a, b", "0,a, b"},
        {"FORMAT", "2,1,8000,4096,256,4,2,500", "2,1,8000,4096,256,4"}, {"PLAYRATE", "3", "3"},
        {"AMPLIFY", "250", "250"}, {"FADE", "10,90", "10,90"}, {"ECHO", "50,200,1", "50,200,1"},
        {"PITCH", "131072", "131072"}, {"BACKGROUND", "4,30,1", "4,30,1"},
        {"TONE", "1,440,50,880,25", "1,440,50,880,25"}, {"FILL", "12", "12"}, {"INSERT", "500", "500"},
        {"EXTRA", "1", "1"}, {"BUFFERS", "100", "-"}, {"UNDO", "3,4096", "-"}, {"USEACM", "1", "-"},
    };
    for (auto& v : values)
        store.Set(SECTION, v[0], v[1]);
    ASSERT_TRUE(ReadSettings());
    MemorySettingsStore written;
    SetSettingsStore(&written);
    TheAppOptions().settingsChanged = 1;
    ASSERT_TRUE(WriteSettings());
    for (auto& v : values) {
        const char* text = written.Get(SECTION, v[0]);
        EXPECT_EQ(std::string(v[2]), text ? text : "-") << v[0];
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

    // A recent file that left the list is emptied in the file, so that it
    // does not come back; keys never written stay unwritten.
    Read("FILE2", "c:\\gone.wav");
    RemoveRecentFile("c:\\gone.wav");
    TheAppOptions().settingsChanged = 1;
    ASSERT_TRUE(WriteSettings());
    EXPECT_STREQ("", store.Get(SECTION, "FILE2"));
    EXPECT_EQ(nullptr, store.Get(SECTION, "FILE3"));
}

TEST_F(SettingsTest, FirstFailedWriteStopsTheWriting)
{
    // Without recent files the first keys written are DISPLAY, LOCATION, DISPOPTS.
    TheAppOptions().settingsChanged = 2;
    store.FailWrite(3);
    EXPECT_FALSE(WriteSettings());
    EXPECT_EQ(3, store.WriteCount());
    EXPECT_NE(nullptr, store.Get(SECTION, "LOCATION"));
    EXPECT_EQ(nullptr, store.Get(SECTION, "EXTRA"));
    EXPECT_EQ(2, TheAppOptions().settingsChanged);

    ASSERT_TRUE(WriteSettings());
    EXPECT_NE(nullptr, store.Get(SECTION, "EXTRA"));
}

TEST_F(SettingsTest, ValuesWithoutNumbersChangeNoNumber)
{
    auto before = Snapshot();
    for (int id = STR_KEY_FILE1; id <= STR_KEY_USEACM; ++id)
        store.Set(SECTION, LoadAppString(id), "<junk>;-,x");
    ASSERT_TRUE(ReadSettings());
    // Only the texts kept whole take the value; the format, unset before,
    // becomes the built-in default. The devices, missing here, keep their
    // product ids.
    EXPECT_EQ("FORMAT OLE ", Changed(before, Snapshot()));
    EXPECT_EQ("1,1,11025,11025,1,8", Snapshot()["FORMAT"]);
    EXPECT_EQ(0, RecentFiles().Count());
}

TEST_F(SettingsTest, LongValuesAreReadUpTo310Characters)
{
    Read("OLE", ("5," + std::string(400, 'L')).c_str());
    Read("FILE1", ("c:\\" + std::string(400, 'f')).c_str());
    EXPECT_EQ(308, TheObjectOptions().label.Length());
    // A recent file name is cut to the longest path the file dialogs take.
    ASSERT_EQ(1, RecentFiles().Count());
    EXPECT_EQ(RECENT_PATH_LIMIT - 1, RecentFiles().At(0)->Length());
}

}
