#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/builtin_strings.h"
#include "base/string_ids.h"
#include "base/string_table.h"

namespace {

// Chosen texts, cut like the platform's LoadString; records the ids asked.
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
        int n = std::min(static_cast<int>(it->second.size()), size - 1);
        std::memcpy(buffer, it->second.data(), static_cast<size_t>(n));
        buffer[n] = '\0';
        return n;
    }
};

// Ids without a text (STR_NO_ACTION among them) read as "", as do ids
// outside the table.
TEST(StringTableTest, ShrunkBlockHoldsEveryTextIntactAndOtherIdsReadEmpty)
{
    ASSERT_TRUE(LoadBuiltInStrings());
    const StringTable& table = TheStringTable();
    size_t expected = 1;   // the spare zero at the end
    for (int id = STR_FIRST_ID; id <= STR_LAST_ID; ++id)
        if (const char* text = BuiltInStrings::Find(id))
            expected += std::strlen(text) + 1;
    EXPECT_EQ(table.BlockBytes(), expected);
    EXPECT_LT(table.BlockBytes(), static_cast<size_t>(StringTable::BLOCK_BYTES));

    const char* first = table.Get(STR_PRODUCT_TITLE);
    for (int id = STR_FIRST_ID; id <= STR_LAST_ID; ++id) {
        const char* text = table.Get(id);
        EXPECT_TRUE(text >= first && text < first + table.BlockBytes()) << id;
        const char* want = BuiltInStrings::Find(id);
        EXPECT_STREQ(text, want ? want : "") << id;
    }
    ASSERT_EQ(BuiltInStrings::Find(STR_NO_ACTION), nullptr);
    for (int id : {0, -1, -246, 276, 65535})
        EXPECT_STREQ(LoadAppString(id), "") << id;
}

class StringTableLoadTest : public ::testing::Test {
protected:
    StringTable table;
    MapSource source;
};

// A string reaching the block's end may have been cut by the source: it fails.
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

TEST_F(StringTableLoadTest, GapsReadEmptyAndALoadReplacesEveryTextButAFailedOneKeepsThem)
{
    EXPECT_STREQ(table.Get(1), "");             // before any load
    EXPECT_EQ(table.BlockBytes(), 0u);
    source.texts[100] = "hundred";
    source.texts[102] = "hundred two";
    ASSERT_TRUE(table.Load(source));
    for (int id : {1, 99, 101, 103, 275})
        EXPECT_STREQ(table.Get(id), "") << id;
    EXPECT_STREQ(table.Get(102), "hundred two");
    EXPECT_EQ(table.BlockBytes(), 21u);
    MapSource other;
    other.texts[4] = "four";
    ASSERT_TRUE(table.Load(other));
    EXPECT_STREQ(table.Get(100), "");

    MapSource huge;
    for (int id = 1; id <= 275; ++id)
        huge.texts[id] = std::string(200, static_cast<char>('a' + id % 26));
    EXPECT_FALSE(table.Load(huge));
    EXPECT_LT(huge.asked.size(), 275u);     // nothing asked past the block's end
    EXPECT_STREQ(table.Get(4), "four");
    EXPECT_EQ(table.BlockBytes(), 6u);
}

TEST(BuiltInStringsTest, CopiesLikeLoadString)
{
    BuiltInStrings strings;
    char buffer[9] = "garbage";
    for (int id : {int(STR_NO_ACTION), 0, 276})
        EXPECT_EQ(strings.Load(id, buffer, sizeof buffer), 0) << id;
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(strings.Load(STR_ERR_INTERNAL, buffer, sizeof buffer), 8);
    EXPECT_STREQ(buffer, "Internal");
    EXPECT_EQ(strings.Load(STR_PRODUCT_TITLE, buffer, 0), 0);
    EXPECT_EQ(buffer[0], 'I');
    EXPECT_EQ(strings.Load(STR_PRODUCT_TITLE, buffer, 1), 0);
    EXPECT_EQ(buffer[0], '\0');
}

}
