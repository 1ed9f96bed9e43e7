#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/builtin_strings.h"
#include "app/string_ids.h"
#include "app/string_table.h"

namespace {

// A source of chosen texts that behaves like the platform's LoadString and
// records which ids it was asked for.
class MapSource : public StringSource {
public:
    std::map<int, std::string> texts;
    mutable std::vector<int> asked;

    int Load(int id, char* buffer, int size) const override
    {
        asked.push_back(id);
        auto it = texts.find(id);
        if (it == texts.end() || size <= 0)
            return 0;
        int n = static_cast<int>(it->second.size());
        if (n > size - 1)
            n = size - 1;
        std::memcpy(buffer, it->second.data(), static_cast<size_t>(n));
        buffer[n] = '\0';
        return n;
    }
};

bool Inside(const char* p, const StringTable& table, const char* first)
{
    return p >= first && p < first + table.BlockBytes();
}

}  // namespace

class StringTableTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(LoadBuiltInStrings()); }
};

TEST_F(StringTableTest, AnIdWithoutAStringReadsEmpty)
{
    ASSERT_EQ(BuiltInStrings::Find(STR_NO_ACTION), nullptr);
    EXPECT_STREQ(LoadAppString(STR_NO_ACTION), "");
    EXPECT_STREQ(LoadAppString(3), "");
    EXPECT_STREQ(LoadAppString(275), "");
    // The next id with a string is unaffected.
    EXPECT_STREQ(LoadAppString(STR_BLANK), " ");
}

TEST_F(StringTableTest, IdsOutsideTheRangeReadEmpty)
{
    for (int id : {0, -1, -246, 276, 1000, 65535}) {
        const char* text = LoadAppString(id);
        ASSERT_NE(text, nullptr) << id;
        EXPECT_STREQ(text, "") << id;
    }
}

TEST_F(StringTableTest, InternalErrorMessageCarriesTheCode)
{
    EXPECT_STREQ(LoadAppString(STR_ERR_INTERNAL),
                 "Internal error code %u. Please contact technical support.");
    char text[128];
    std::snprintf(text, sizeof text, LoadAppString(STR_ERR_INTERNAL), 1234u);
    EXPECT_STREQ(text, "Internal error code 1234. Please contact technical support.");
}

TEST_F(StringTableTest, SettingsKeysInTableOrder)
{
    const char* const keys[] = {
        "FILE1", "FILE2", "FILE3", "FILE4", "DISPLAY", "LOCATION", "DISPOPTS", "DEVICE",
        "BUFFERS", "UNDO", "MIX", "OLE", "FORMAT", "PLAYRATE", "AMPLIFY", "FADE",
        "ECHO", "PITCH", "BACKGROUND", "TONE", "FILL", "INSERT", "EXTRA", "USEACM",
    };
    ASSERT_EQ(sizeof keys / sizeof keys[0], static_cast<size_t>(STR_KEY_COUNT));
    for (int i = 0; i < STR_KEY_COUNT; ++i)
        EXPECT_STREQ(LoadAppString(STR_KEY_FILE1 + i), keys[i]) << i;
    EXPECT_EQ(STR_KEY_FILE1 + STR_KEY_COUNT - 1, STR_KEY_USEACM);
}

TEST_F(StringTableTest, ModeWordsEndInABlank)
{
    EXPECT_STREQ(LoadAppString(STR_MODE_INSERT), "Insert ");
    EXPECT_STREQ(LoadAppString(STR_MODE_MIX), "Mix ");
    EXPECT_STREQ(LoadAppString(STR_MODE_REPLACE), "Replace ");
}

TEST_F(StringTableTest, ActionNamesAndMenuTexts)
{
    EXPECT_STREQ(LoadAppString(STR_ACT_RECORD), "Record");
    EXPECT_STREQ(LoadAppString(STR_ACT_REMOVE_BACKGROUND), "Remove Background");
    EXPECT_STREQ(LoadAppString(STR_ACT_MEASURE), "Measure");
    EXPECT_STREQ(LoadAppString(STR_ACT_NORMALIZE), "Normalize");
    EXPECT_STREQ(LoadAppString(STR_MENU_UNDO), "&Undo %s\tCtrl+Z");
    EXPECT_STREQ(LoadAppString(STR_MENU_REDO), "&Redo %s\tShift+Bksp");
    EXPECT_STREQ(LoadAppString(STR_PERCENT), "%d %%");
}

TEST_F(StringTableTest, ExtensionsInReaderOrder)
{
    const char* const extensions[] = {".WAV", ".AIF", ".VOC", ".AU", ".MP3", ".RAW"};
    for (int i = 0; i < STR_EXT_COUNT; ++i)
        EXPECT_STREQ(LoadAppString(STR_EXT_WAV + i), extensions[i]) << i;
}

TEST_F(StringTableTest, ShrunkBlockHoldsEveryTextIntact)
{
    const StringTable& table = TheStringTable();
    size_t expected = 1;   // the spare zero at the end
    for (int id = STR_FIRST_ID; id <= STR_LAST_ID; ++id) {
        if (const char* text = BuiltInStrings::Find(id))
            expected += std::strlen(text) + 1;
    }
    EXPECT_EQ(table.BlockBytes(), expected);
    EXPECT_LT(table.BlockBytes(), static_cast<size_t>(StringTable::BLOCK_BYTES));

    // Every pointer was moved into the shrunk block, and each text reads back whole.
    const char* first = table.Get(STR_PRODUCT_TITLE);
    for (int id = STR_FIRST_ID; id <= STR_LAST_ID; ++id) {
        const char* text = table.Get(id);
        EXPECT_TRUE(Inside(text, table, first)) << id;
        const char* want = BuiltInStrings::Find(id);
        EXPECT_STREQ(text, want ? want : "") << id;
    }
}

TEST_F(StringTableTest, LoadingTwiceReplacesTheTexts)
{
    ASSERT_TRUE(LoadBuiltInStrings());
    EXPECT_STREQ(LoadAppString(STR_KEY_USEACM), "USEACM");

    MapSource other;
    other.texts[STR_KEY_USEACM] = "OTHER";
    ASSERT_TRUE(TheStringTable().Load(other));
    EXPECT_STREQ(LoadAppString(STR_KEY_USEACM), "OTHER");
    EXPECT_STREQ(LoadAppString(STR_PRODUCT_TITLE), "");

    ASSERT_TRUE(LoadBuiltInStrings());
    EXPECT_STREQ(LoadAppString(STR_KEY_USEACM), "USEACM");
    EXPECT_STREQ(LoadAppString(STR_PRODUCT_TITLE), "Kelvora");
}

class StringTableLoadTest : public ::testing::Test {
protected:
    StringTable table;
    MapSource source;
};

TEST_F(StringTableLoadTest, AsksForEveryIdOnceInOrder)
{
    ASSERT_TRUE(table.Load(source));
    ASSERT_EQ(source.asked.size(), static_cast<size_t>(StringTable::LAST_ID));
    for (int i = 0; i < StringTable::LAST_ID; ++i)
        EXPECT_EQ(source.asked[static_cast<size_t>(i)], i + 1);
}

TEST_F(StringTableLoadTest, EmptyBeforeTheFirstLoad)
{
    EXPECT_STREQ(table.Get(1), "");
    EXPECT_STREQ(table.Get(275), "");
    EXPECT_EQ(table.BlockBytes(), 0u);
}

TEST_F(StringTableLoadTest, MissingIdPointsAtTheZeroOfTheStringBefore)
{
    source.texts[10] = "ten";
    source.texts[12] = "twelve";
    ASSERT_TRUE(table.Load(source));
    EXPECT_STREQ(table.Get(10), "ten");
    EXPECT_EQ(table.Get(11), table.Get(10) + 3);
    EXPECT_STREQ(table.Get(12), "twelve");
    EXPECT_EQ(table.Get(275), table.Get(12) + 6);
}

TEST_F(StringTableLoadTest, IdsBeforeTheFirstStringReadEmpty)
{
    source.texts[100] = "hundred";
    ASSERT_TRUE(table.Load(source));
    for (int id = 1; id < 100; ++id)
        EXPECT_STREQ(table.Get(id), "") << id;
    EXPECT_STREQ(table.Get(100), "hundred");
    EXPECT_EQ(table.BlockBytes(), 9u);   // "hundred", its zero, the spare zero
}

TEST_F(StringTableLoadTest, TooManyLongStringsFail)
{
    for (int id = 1; id <= 275; ++id)
        source.texts[id] = std::string(200, static_cast<char>('a' + id % 26));
    EXPECT_FALSE(table.Load(source));
    // Nothing was asked past the point where the block ran out.
    EXPECT_LT(source.asked.size(), 275u);
}

TEST_F(StringTableLoadTest, LongestStringThatFitsAndOneByteMore)
{
    // Two bytes of the block stay spare beside the string's own zero.
    source.texts[7] = std::string(StringTable::BLOCK_BYTES - 3, 'x');
    ASSERT_TRUE(table.Load(source));
    EXPECT_EQ(std::strlen(table.Get(7)), static_cast<size_t>(StringTable::BLOCK_BYTES - 3));
    EXPECT_EQ(table.BlockBytes(), static_cast<size_t>(StringTable::BLOCK_BYTES - 1));
    EXPECT_STREQ(table.Get(8), "");

    source.texts[7] += 'x';
    EXPECT_FALSE(table.Load(source));
}

TEST_F(StringTableLoadTest, StringCutByTheSourceFails)
{
    // The source can copy only what fits; a text longer than the block comes
    // back cut and must not be taken as complete.
    source.texts[1] = "first";
    source.texts[2] = std::string(20000, 'y');
    EXPECT_FALSE(table.Load(source));
}

TEST_F(StringTableLoadTest, FailedLoadKeepsTheOldTexts)
{
    source.texts[3] = "three";
    ASSERT_TRUE(table.Load(source));
    const size_t bytes = table.BlockBytes();

    MapSource huge;
    for (int id = 1; id <= 275; ++id)
        huge.texts[id] = std::string(100, 'z');
    EXPECT_FALSE(table.Load(huge));
    EXPECT_STREQ(table.Get(3), "three");
    EXPECT_EQ(table.BlockBytes(), bytes);
}

class BuiltInStringsTest : public ::testing::Test {
protected:
    BuiltInStrings strings;
};

TEST_F(BuiltInStringsTest, CutsLikeLoadString)
{
    char buffer[9];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(strings.Load(STR_ERR_INTERNAL, buffer, sizeof buffer), 8);
    EXPECT_STREQ(buffer, "Internal");
}

TEST_F(BuiltInStringsTest, UnknownIdCopiesNothing)
{
    char buffer[8] = "garbage";
    EXPECT_EQ(strings.Load(STR_NO_ACTION, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(strings.Load(0, buffer, sizeof buffer), 0);
    EXPECT_EQ(strings.Load(276, buffer, sizeof buffer), 0);
}

TEST_F(BuiltInStringsTest, NoRoomCopiesNothing)
{
    char buffer[1] = {'#'};
    EXPECT_EQ(strings.Load(STR_PRODUCT_TITLE, buffer, 0), 0);
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(strings.Load(STR_PRODUCT_TITLE, buffer, 1), 0);
    EXPECT_EQ(buffer[0], '\0');
}
