#include "base/int_list.h"

#include <climits>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(IntListTest, ParseTakesDigitRunsKeepsZeroXInATokenAndStopsAtTheLimit)
{
    const struct {
        const char* text;
        int limit;
        std::vector<int32_t> values;
    } rows[] = {
        {"-8,-8, 500 x400", 4, {8, 8, 500, 400}},
        {" ,-;abc", 4, {}},
        {nullptr, 4, {}},
        {"0x10,20x7,1x5", 4, {0, 20, 1, 5}},
        {"0xx9", 4, {0, 9}},
        {"4294967297,4294967295,2147483648,7", 3, {1, -1, INT32_MIN}},
    };
    for (const auto& row : rows) {
        int32_t v[5] = {-1, -1, -1, -1, -1};
        ASSERT_EQ(int(row.values.size()), ParseIntList(v, row.text, row.limit)) << row.text;
        EXPECT_EQ(row.values, std::vector<int32_t>(v, v + row.values.size())) << row.text;
        EXPECT_EQ(-1, v[row.values.size()]) << row.text;   // nothing stored past the count
    }
    char text[64];
    EXPECT_EQ(16, FormatIntList(text, 3, 1, -2, INT32_MIN));
    EXPECT_STREQ("1,-2,-2147483648", text);
    const int32_t values[] = {123, 456};
    EXPECT_EQ(4, FormatIntArray(text, 5, values, 2));   // cut to the room given
    EXPECT_STREQ("123,", text);
}

}
