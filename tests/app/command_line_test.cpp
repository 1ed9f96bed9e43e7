#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/builtin_strings.h"
#include "app/app_options.h"
#include "app/command_line.h"
#include "edit/actions.h"
#include "sound/document.h"
#include "support/test_host.h"
#include "support/wave_builder.h"

namespace {

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadBuiltInStrings());
        ResetApp();
        ResetAppOptions();
        TheDocument().NewSound(nullptr, nullptr);
        ResetUndoHistory(ACTSTATE_READY);
        // Names are relative: a path starting with "/" reads as an option.
        std::filesystem::current_path(::testing::TempDir());
    }

    static bool Parse(const std::string& line, int pass)
    {
        TheApp().commandLine = line.c_str();
        return ParseCommandLine(pass);
    }

    std::string MakeWave(const char* name, size_t bytes)
    {
        std::string path = name;
        EXPECT_TRUE(wave::WriteFile(path, wave::Pcm(1, 11025, 8, wave::Bytes(bytes, 100))));
        return path;
    }

    TestHost host;
    std::string dir;    // empty: the current directory
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
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(CommandLineTest, UninstallEndsTheParse)
{
    EXPECT_FALSE(Parse("-Uninstall -play a.wav", 1));
    EXPECT_EQ(1, TheApp().closeWhenDone);
    EXPECT_EQ(0, TheApp().playOnStart);
    EXPECT_EQ(0, TheApp().fileGiven);
    EXPECT_FALSE(HandleCommandToken("/uninstall", 2));
}

TEST_F(CommandLineTest, FilesOpenInPassTwoOnlyAndTheLastOneStays)
{
    std::string a = MakeWave("first.wav", 300);
    std::string b = MakeWave("second.wav", 500);
    ASSERT_TRUE(Parse(a + " -play " + b, 1));
    EXPECT_EQ(1, TheApp().fileGiven);
    EXPECT_EQ(0, TheDocument().length);

    ASSERT_TRUE(Parse(a + " -play " + b, 2));
    EXPECT_TRUE(host.errors.empty());
    EXPECT_STREQ(b.c_str(), TheDocument().Name());
    EXPECT_EQ(500, TheDocument().length);
    EXPECT_EQ(0, TheDocument().changeCount);
    EXPECT_EQ(ACTSTATE_READY, TheApp().actionState);
}

TEST_F(CommandLineTest, AFileThatCannotBeOpenedShowsItsErrorAndGivesANewSound)
{
    ASSERT_TRUE(Parse(dir + "missing.wav", 2));
    EXPECT_EQ(std::vector<int>{249}, host.errors);
    EXPECT_EQ(0, TheApp().fileGiven);
    EXPECT_STREQ("", TheDocument().Name());
    EXPECT_TRUE(TheDocument().format.IsValid());

    host.errors.clear();
    ResetApp();
    EXPECT_FALSE(Parse("-close " + dir + "missing.wav", 2));
    EXPECT_EQ(std::vector<int>{249}, host.errors);
}

TEST_F(CommandLineTest, BlanksSplitNames)
{
    ASSERT_TRUE(Parse("   My Sound.wav    x  ", 2));
    EXPECT_EQ((std::vector<int>{249, 249, 249}), host.errors);
    EXPECT_EQ(0, TheApp().fileGiven);
}

TEST_F(CommandLineTest, VeryLongTokensAreWhole)
{
    std::string file(100000, 'f');
    std::string option = "-" + std::string(100000, 'p');
    ASSERT_TRUE(Parse(option + " " + file + " " + option, 2));
    EXPECT_EQ(std::vector<int>{249}, host.errors);
    EXPECT_EQ(0, TheApp().playOnStart);
}

TEST_F(CommandLineTest, HundredsOfTokens)
{
    std::string line;
    for (int i = 0; i < 600; ++i)
        line += "f" + std::to_string(i) + " -play ";
    ASSERT_TRUE(Parse(line, 2));
    EXPECT_EQ(600u, host.errors.size());
    EXPECT_EQ(1, TheApp().playOnStart);
}

}
