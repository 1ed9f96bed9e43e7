#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/shell_registration.h"
#include "edit/open_document.h"
#include "support/core_state.h"
#include "support/fake_shell_system.h"
#include "support/test_host.h"
#include "support/wave_builder.h"

namespace {

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ResetCore());
        NewDocument(nullptr);
        // Names are relative: a path starting with "/" reads as an option.
        std::filesystem::current_path(::testing::TempDir());
    }

    static bool Parse(const std::string& line, int pass)
    {
        TheApp().commandLine = line.c_str();
        return ParseCommandLine(pass);
    }

    TestHost host;
};

TEST_F(CommandLineTest, OptionsWorkInBothPasses)
{
    const struct {
        const char* line;
        bool goOn;
        int play, close, show;
    } rows[] = {
        {"-play", true, 1, 0, KV_SW_SHOWNORMAL},
        {"/close", true, 1, 1, KV_SW_SHOWNORMAL},
        {"-HIDE /PlAy", true, 1, 0, KV_SW_HIDE},
        {"-embedding /Embedding -plays -pla - / --play", true, 0, 0, KV_SW_SHOWNORMAL},
        {"-Uninstall -play a.wav", false, 0, 1, KV_SW_SHOWNORMAL},   // the end of the parse
    };
    for (int pass = 1; pass <= 2; ++pass) {
        for (const auto& row : rows) {
            ResetApp();
            EXPECT_EQ(row.goOn, Parse(row.line, pass)) << row.line;
            EXPECT_EQ(row.play, TheApp().playOnStart) << row.line;
            EXPECT_EQ(row.close, TheApp().closeWhenDone) << row.line;
            EXPECT_EQ(row.show, TheApp().showMode) << row.line;
            EXPECT_EQ(0, TheApp().fileGiven) << row.line;
        }
    }
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(CommandLineTest, FilesOpenInPassTwoTheLastOneStaysAndAFailureGivesANewSound)
{
    ASSERT_TRUE(wave::WriteFile("first.wav", wave::Pcm(1, 11025, 8, wave::Bytes(300, 100))));
    ASSERT_TRUE(wave::WriteFile("second.wav", wave::Pcm(1, 11025, 8, wave::Bytes(500, 100))));
    ASSERT_TRUE(Parse("first.wav -play second.wav", 1));
    EXPECT_EQ(1, TheApp().fileGiven);
    EXPECT_EQ(0, TheDocument().length);
    ASSERT_TRUE(Parse("first.wav -play second.wav", 2));
    EXPECT_TRUE(host.errors.empty());
    EXPECT_STREQ("second.wav", TheDocument().Name());
    EXPECT_EQ(500, TheDocument().length);
    EXPECT_EQ(0, TheDocument().changeCount);
    EXPECT_EQ(ACTSTATE_READY, TheApp().actionState);

    ResetApp();
    ASSERT_TRUE(Parse("missing.wav", 2));
    EXPECT_EQ(std::vector<int>{249}, host.errors);
    EXPECT_EQ(0, TheApp().fileGiven);
    EXPECT_STREQ("", TheDocument().Name());
    EXPECT_EQ(0, TheDocument().length);
    EXPECT_FALSE(Parse("-close missing.wav", 2));   // nothing to play: the end
}

TEST_F(CommandLineTest, BlanksSplitNamesAndLongOrManyTokensAreHandled)
{
    ASSERT_TRUE(Parse("   My Sound.wav    x  ", 2));
    EXPECT_EQ((std::vector<int>{249, 249, 249}), host.errors);
    EXPECT_EQ(0, TheApp().fileGiven);

    // Quotes hold blanks inside one token and are removed; empty quotes and
    // a quote left open at the end give no empty token.
    ASSERT_TRUE(wave::WriteFile("My Sound.wav", wave::Pcm(1, 11025, 8, wave::Bytes(300, 100))));
    const struct {
        const char* line;
        int play;
    } quoted[] = {
        {"\"My Sound.wav\" \"-play\"", 1},
        {" \"\" My\" \"Sound.wav  \"\"", 0},
        {"-pl\"ay\" \"My Sound.wav", 1},
    };
    for (const auto& row : quoted) {
        ResetApp();
        NewDocument(nullptr);
        host.errors.clear();
        ASSERT_TRUE(Parse(row.line, 2)) << row.line;
        EXPECT_TRUE(host.errors.empty()) << row.line;
        EXPECT_STREQ("My Sound.wav", TheDocument().Name()) << row.line;
        EXPECT_EQ(row.play, TheApp().playOnStart) << row.line;
    }

    ResetApp();
    host.errors.clear();
    std::string option = "-" + std::string(100000, 'p');
    ASSERT_TRUE(Parse(option + " " + std::string(100000, 'f') + " " + option, 2));
    EXPECT_EQ(std::vector<int>{249}, host.errors);
    EXPECT_EQ(0, TheApp().playOnStart);

    host.errors.clear();
    std::string line;
    for (int i = 0; i < 600; ++i)
        line += "f" + std::to_string(i) + " -play ";
    ASSERT_TRUE(Parse(line, 2));
    EXPECT_EQ(600u, host.errors.size());
    EXPECT_EQ(1, TheApp().playOnStart);
}

TEST_F(CommandLineTest, UninstallAsksThenEndsWhateverTheAnswer)
{
    FakeShellSystem shell;
    SetShellSystem(&shell);
    TheApp().programPath = "C:\\Tools\\KELVORA.EXE";
    shell.files["c:\\tools\\kelvora.exe"] = "program";
    shell.answers = {ANSWER_NO, ANSWER_YES};
    for (int pass = 1; pass <= 2; ++pass) {
        ResetApp();
        TheApp().programPath = "C:\\Tools\\KELVORA.EXE";
        EXPECT_FALSE(Parse("/uninstall x.wav", pass));
        EXPECT_EQ(1, TheApp().closeWhenDone);
        EXPECT_EQ(static_cast<size_t>(pass), shell.questions.size());
        EXPECT_EQ(pass == 1, shell.files.count("c:\\tools\\kelvora.exe") == 1);
    }
    SetShellSystem(nullptr);
}

}
