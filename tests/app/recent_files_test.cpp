#include <initializer_list>
#include <string>

#include <gtest/gtest.h>

#include "app/recent_files.h"
#include "base/builtin_strings.h"

namespace {

// Adds the names in turn; the list from the head, joined by blanks.
std::string Add(std::initializer_list<const char*> names, bool opened)
{
    for (const char* name : names)
        EXPECT_TRUE(AddRecentFile(name, opened)) << name;
    std::string all;
    for (int i = 0; i < RecentFiles().Count(); ++i)
        all += std::string(i ? " " : "") + RecentFiles().At(i)->c_str();
    return all;
}

class RecentFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadBuiltInStrings());
        ResetRecentFiles();
    }
};

TEST_F(RecentFilesTest, OpenedFilesGoToTheHeadAndTheFifthDropsTheOldest)
{
    EXPECT_EQ("e d c b", Add({"a", "b", "c", "d", "e"}, true));
    EXPECT_EQ("c e d b", Add({"C"}, true));
    EXPECT_STREQ("C", LastFileName());
    EXPECT_EQ("b c e d", Add({"b"}, true));    // the fourth matches: nothing dropped
}

TEST_F(RecentFilesTest, SettingsFileNamesJoinAtTheTailOnceAndSetOnlyAnEmptyLastName)
{
    EXPECT_EQ("x y z v", Add({"x", "y", "X", "z", "w", "v"}, false));
    EXPECT_STREQ("x", LastFileName());
    ResetRecentFiles();
    Add({"opened"}, true);
    EXPECT_EQ("opened listed", Add({"listed"}, false));
    EXPECT_STREQ("opened", LastFileName());
}

TEST_F(RecentFilesTest, RefusedNamesChangeNothing)
{
    AddRecentFile("keep", true);
    for (const char* name : {"", "<clip>", "(new)", " lead", "\tx"}) {
        EXPECT_FALSE(AddRecentFile(name, true)) << name;
        EXPECT_FALSE(AddRecentFile(name, false)) << name;
    }
    EXPECT_FALSE(AddRecentFile(nullptr, true));
    EXPECT_EQ("keep", Add({}, true));
    EXPECT_STREQ("keep", LastFileName());
    EXPECT_TRUE(IsAcceptableFileName("\xC4rger.wav"));
}

}
