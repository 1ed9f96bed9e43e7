#include <cstdio>
#include <deque>
#include <filesystem>
#include <initializer_list>
#include <string>

#include <gtest/gtest.h>

#include "app/file_commands.h"
#include "app/recent_files.h"
#include "base/builtin_strings.h"
#include "base/error_message.h"
#include "edit/level_effects.h"
#include "edit/open_document.h"
#include "edit/undo_history.h"
#include "sound/document.h"
#include "support/core_reset.h"
#include "support/test_host.h"
#include "support/wave_builder.h"

namespace {

// The list from the head, joined by blanks.
std::string RecentList()
{
    std::string all;
    for (int i = 0; i < RecentFiles().Count(); ++i)
        all += std::string(i ? " " : "") + RecentFiles().At(i)->c_str();
    return all;
}

// Adds the names in turn; the list after them.
std::string Add(std::initializer_list<const char*> names, bool opened)
{
    for (const char* name : names)
        EXPECT_TRUE(AddRecentFile(name, opened)) << name;
    return RecentList();
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
    EXPECT_EQ("keep", RecentList());
    EXPECT_STREQ("keep", LastFileName());
    EXPECT_TRUE(IsAcceptableFileName("\xC4rger.wav"));
}


// The questions and dialogs answered as a script says; a dialog with no
// name left is cancelled.
class ScriptedFileUi : public FileUi {
public:
    ScriptedFileUi() { SetFileUi(this); }
    ~ScriptedFileUi() override { SetFileUi(nullptr); }

    SaveAnswer AskSaveChanges() override
    {
        questions++;
        return answer;
    }
    bool AskContinueWithoutSaving() override { return true; }
    bool RunFileDialog(FileDialogKind) override
    {
        dialogs++;
        if (names.empty())
            return false;
        LastFileName() = names.front().c_str();
        names.pop_front();
        return true;
    }
    void RebuildRecentMenu() override {}

    SaveAnswer answer = SAVE_ANSWER_CANCEL;
    std::deque<std::string> names;
    int questions = 0;
    int dialogs = 0;
};

class FileCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ResetCore());
        ResetRecentFiles();
        ASSERT_EQ(0, NewDocument(nullptr));
        // Named by the test: ctest runs the cases as parallel processes.
        dir = ::testing::TempDir() + "kv_files_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        for (const char* leaf : {"a.wav", "b.wav", "c.wav"}) {
            std::string path = Path(leaf);
            ASSERT_TRUE(wave::WriteFile(path, tone)) << path;
        }
    }
    void TearDown() override
    {
        for (const char* leaf : {"a.wav", "b.wav", "c.wav", "out.wav", "out.aif"})
            std::remove(Path(leaf).c_str());
    }
    std::string Path(const char* leaf) const { return dir + "_" + leaf; }

    // Opens a file and changes it, so that the save question is asked.
    void OpenModified(const char* leaf)
    {
        ASSERT_EQ(0, OpenSoundFileResult(Path(leaf).c_str(), false, false));
        Reverse();
        ASSERT_TRUE(DocumentNeedsSave());
    }

    const wave::Bytes tone = wave::Pcm(1, 8000, 16, wave::Bytes{1, 0, 2, 0, 3, 0, 4, 0});
    TestHost host;
    ScriptedFileUi ui;
    std::string dir;
};

TEST_F(FileCommandsTest, ARecentEntryGoesOnlyWhenItsFileFailsNeverWhenTheQuestionIsCancelled)
{
    OpenModified("a.wav");
    ui.answer = SAVE_ANSWER_NO;
    ASSERT_EQ(0, OpenSoundFileResult(Path("b.wav").c_str(), true, false));
    EXPECT_EQ(1, ui.questions) << "the question before a recent or dropped file";
    ASSERT_EQ(Path("b.wav") + " " + Path("a.wav"), RecentList());
    Reverse();

    // Cancel keeps the sound, its history and the entry.
    ui.answer = SAVE_ANSWER_CANCEL;
    EXPECT_EQ(-1, FileOpenRecent(1));
    EXPECT_EQ(2, ui.questions);
    EXPECT_EQ(Path("b.wav"), TheDocument().Name());
    EXPECT_FALSE(TheUndoHistory().IsEmpty());
    EXPECT_EQ(2, RecentFiles().Count());
    EXPECT_TRUE(host.errors.empty());

    // A file that is gone: 249, the entry leaves, the sound stays as it was.
    std::remove(Path("a.wav").c_str());
    ui.answer = SAVE_ANSWER_NO;
    EXPECT_EQ(-1, FileOpenRecent(1));
    EXPECT_EQ(std::vector<int>{ERR_CANT_OPEN}, host.errors);
    EXPECT_EQ(Path("b.wav"), RecentList());
    EXPECT_EQ(Path("b.wav"), TheDocument().Name());
    EXPECT_FALSE(TheUndoHistory().IsEmpty());
}

TEST_F(FileCommandsTest, AFileThatFailsPartWayStaysUntitledAndUnsaved)
{
    // The data chunk claims more than the file holds.
    wave::Bytes cut = wave::Riff({wave::Chunk("fmt ", wave::Fmt(1, 1, 8000, 16)),
        wave::Chunk("data", wave::Bytes(64, 7), 4000)});
    ASSERT_TRUE(wave::WriteFile(Path("c.wav"), cut));
    int rc = OpenSoundFileResult(Path("c.wav").c_str(), false, false);
    ASSERT_GT(rc, 0);
    EXPECT_STREQ("", TheDocument().Name());
    EXPECT_TRUE(TheDocument().length == 0 || DocumentNeedsSave());
    EXPECT_EQ("", RecentList());
}

TEST_F(FileCommandsTest, SaveRefusesOtherExtensionsAndGoesBackToTheDialogUntilAWaveNameIsGiven)
{
    OpenModified("a.wav");
    ui.names = {Path("out.aif"), Path("OUT.WAV")};
    EXPECT_EQ(0, FileSaveAs());
    EXPECT_EQ(std::vector<int>{ERR_CANT_EXPORT}, host.errors);
    EXPECT_EQ(2, ui.dialogs);
    EXPECT_FALSE(DocumentNeedsSave());
    EXPECT_EQ(Path("OUT.WAV"), TheDocument().Name());
    EXPECT_EQ(Path("OUT.WAV"), RecentFiles().At(0)->c_str());
    EXPECT_FALSE(std::filesystem::exists(Path("out.aif")));
    std::remove(Path("OUT.WAV").c_str());
}

TEST_F(FileCommandsTest, AnEmptiedNamedSoundSavesAsAnEmptyFileAndATooLargeOneIsRefusedUntouched)
{
    OpenModified("a.wav");
    ASSERT_TRUE(TheDocument().DeleteRange(0, TheDocument().length));
    TheDocument().changeCount++;
    ASSERT_TRUE(DocumentNeedsSave());
    EXPECT_EQ(0, FileSave());
    EXPECT_EQ(wave::Pcm(1, 8000, 16, {}), wave::ReadFile(Path("a.wav")));
    EXPECT_FALSE(DocumentNeedsSave());

    // 2^30 stereo 16-bit blocks are 4 GiB: no RIFF size can say that.
    OpenModified("b.wav");
    KvWaveFormat stereo = {1, 2, 44100, 44100 * 4, 4, 16, 0};
    ASSERT_EQ(0, TheDocument().SetFormat(&stereo));
    ASSERT_TRUE(TheDocument().InsertSpace(0, 1 << 30));
    ui.names = {};
    EXPECT_EQ(-1, FileSave());
    EXPECT_EQ(std::vector<int>{ERR_CANT_SAVE}, host.errors);
    EXPECT_EQ(tone, wave::ReadFile(Path("b.wav")));
    EXPECT_TRUE(DocumentNeedsSave());
}

}
