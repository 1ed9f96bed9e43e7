#include <string>

#include <gtest/gtest.h>

#include "app/builtin_strings.h"
#include "app/recent_files.h"

namespace {

class RecentFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadBuiltInStrings());
        ResetRecentFiles();
    }

    // The list from the head, names joined by blanks.
    static std::string List()
    {
        std::string all;
        for (int i = 0; i < RecentFiles().Count(); ++i)
            all += std::string(i ? " " : "") + RecentFiles().At(i)->c_str();
        return all;
    }
};

TEST_F(RecentFilesTest, FifthFileDropsTheOldest)
{
    for (const char* name : {"a", "b", "c", "d", "e"})
        ASSERT_TRUE(AddRecentFile(name, true));
    EXPECT_EQ("e d c b", List());
    EXPECT_STREQ("e", LastFileName());
}

TEST_F(RecentFilesTest, ReopeningMovesTheEntryToTheHead)
{
    for (const char* name : {"a", "b", "c", "d"})
        AddRecentFile(name, true);
    ASSERT_TRUE(AddRecentFile("C", true));
    EXPECT_EQ("c d b a", List());
    EXPECT_STREQ("C", LastFileName());

    // The fourth entry matches, so nothing is dropped.
    ASSERT_TRUE(AddRecentFile("a", true));
    EXPECT_EQ("a c d b", List());

    ASSERT_TRUE(AddRecentFile("a", true));
    EXPECT_EQ("a c d b", List());
}

TEST_F(RecentFilesTest, SettingsFileNamesJoinAtTheTailOnce)
{
    for (const char* name : {"x", "y", "X", "z", "w", "v"})
        ASSERT_TRUE(AddRecentFile(name, false));
    EXPECT_EQ("x y z v", List());
    EXPECT_STREQ("x", LastFileName());
}

TEST_F(RecentFilesTest, SettingsFileNameSetsOnlyAnEmptyLastName)
{
    AddRecentFile("opened", true);
    AddRecentFile("listed", false);
    EXPECT_STREQ("opened", LastFileName());
    EXPECT_EQ("opened listed", List());
}

TEST_F(RecentFilesTest, RefusedNamesChangeNothing)
{
    AddRecentFile("keep", true);
    for (const char* name : {"", "<clip>", "(new)", " lead", "\tx"}) {
        EXPECT_FALSE(AddRecentFile(name, true)) << name;
        EXPECT_FALSE(AddRecentFile(name, false)) << name;
    }
    EXPECT_FALSE(AddRecentFile(nullptr, true));
    EXPECT_EQ("keep", List());
    EXPECT_STREQ("keep", LastFileName());
    EXPECT_TRUE(IsAcceptableFileName("!"));
    EXPECT_TRUE(IsAcceptableFileName("\xC4rger.wav"));
}

}
