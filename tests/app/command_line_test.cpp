#include <string>

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/builtin_strings.h"
#include "app/command_line.h"

namespace {

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadBuiltInStrings());
        ResetApp();
        ResetCommandLine();
    }

    static bool Parse(const std::string& line, int pass)
    {
        TheApp().commandLine = line.c_str();
        return ParseCommandLine(pass);
    }

    static std::string Files()
    {
        std::string all;
        for (int i = 0; i < CommandLineFiles().Count(); ++i)
            all += std::string(i ? "|" : "") + CommandLineFiles().At(i)->c_str();
        return all;
    }
};

TEST_F(CommandLineTest, OptionsWorkInBothPasses)
{
    for (int pass = 1; pass <= 2; ++pass) {
        ResetApp();
        ASSERT_TRUE(Parse("-play", pass));
        EXPECT_EQ(1, TheApp().playOnStart);
        EXPECT_EQ(0, TheApp().closeWhenDone);

        ResetApp();
        ASSERT_TRUE(Parse("/close", pass));
        EXPECT_EQ(1, TheApp().playOnStart);
        EXPECT_EQ(1, TheApp().closeWhenDone);

        ResetApp();
        ASSERT_TRUE(Parse("-HIDE /PlAy", pass));
        EXPECT_EQ(KV_SW_HIDE, TheApp().showMode);
        EXPECT_EQ(1, TheApp().playOnStart);
    }
}

TEST_F(CommandLineTest, OtherOptionsChangeNothing)
{
    ASSERT_TRUE(Parse("-embedding /Embedding -plays -pla - / --play", 2));
    EXPECT_EQ(0, TheApp().playOnStart);
    EXPECT_EQ(0, TheApp().closeWhenDone);
    EXPECT_EQ(KV_SW_SHOWNORMAL, TheApp().showMode);
    EXPECT_EQ(0, TheApp().fileGiven);
    EXPECT_EQ(0, CommandLineFiles().Count());
}

TEST_F(CommandLineTest, UninstallEndsTheParse)
{
    EXPECT_FALSE(Parse("-Uninstall -play a.wav", 1));
    EXPECT_EQ(1, TheApp().closeWhenDone);
    EXPECT_EQ(0, TheApp().playOnStart);
    EXPECT_EQ(0, TheApp().fileGiven);
    EXPECT_FALSE(HandleCommandToken("/uninstall", 2));
}

TEST_F(CommandLineTest, FileNamesAreKeptInPassTwoOnly)
{
    ASSERT_TRUE(Parse("c:\\a.wav -play d:\\b.wav", 1));
    EXPECT_EQ(1, TheApp().fileGiven);
    EXPECT_EQ(0, CommandLineFiles().Count());

    ASSERT_TRUE(Parse("c:\\a.wav -play d:\\b.wav", 2));
    EXPECT_EQ("c:\\a.wav|d:\\b.wav", Files());
    EXPECT_FALSE(NewDocumentRequested());
}

TEST_F(CommandLineTest, BlanksSplitAndNoFileAsksForANewDocument)
{
    ASSERT_TRUE(Parse("   My Sound.wav    x  ", 2));
    EXPECT_EQ("My|Sound.wav|x", Files());

    ResetApp();
    ResetCommandLine();
    ASSERT_TRUE(Parse("  -hide   ", 1));
    EXPECT_FALSE(NewDocumentRequested());
    ASSERT_TRUE(Parse("  -hide   ", 2));
    EXPECT_EQ(0, TheApp().fileGiven);
    EXPECT_TRUE(NewDocumentRequested());
}

TEST_F(CommandLineTest, VeryLongTokensAreWhole)
{
    std::string file(100000, 'f');
    std::string option = "-" + std::string(100000, 'p');
    ASSERT_TRUE(Parse(option + " " + file + " " + option, 2));
    EXPECT_EQ(file, Files());
    EXPECT_EQ(0, TheApp().playOnStart);
}

TEST_F(CommandLineTest, HundredsOfTokensInOrder)
{
    std::string line;
    std::string expected;
    for (int i = 0; i < 600; ++i) {
        line += "f" + std::to_string(i) + " -play ";
        expected += std::string(i ? "|" : "") + "f" + std::to_string(i);
    }
    ASSERT_TRUE(Parse(line, 2));
    EXPECT_EQ(600, CommandLineFiles().Count());
    EXPECT_EQ(expected, Files());
    EXPECT_EQ(1, TheApp().playOnStart);
}

}
