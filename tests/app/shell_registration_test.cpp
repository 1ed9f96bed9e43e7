#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/shell_registration.h"
#include "base/app.h"
#include "lib/log.h"
#include "support/core_reset.h"
#include "support/fake_shell_system.h"

namespace {

using Lines = std::vector<std::string>;

const char* const INSTALLED = "C:\\Program Files\\KELVORA.EXE";
const char* const ELSEWHERE = "C:\\My Tools\\KELVORA.EXE";
const char* const UNINSTALL_ENTRY = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvora";

class ShellRegistrationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ResetCore());
        previousSink = SetLogSink(&log);
        StartFrom(INSTALLED);
    }
    void TearDown() override { SetLogSink(previousSink); }

    void StartFrom(const char* path)
    {
        TheApp().programPath = path;
        shell.files[FakeShellSystem::Lower(path)] = "program";
    }

    // Extensions another program owns: ".WAV" with its content type and a
    // subkey, ".AU" with a handler and a content type.
    void OtherProgramOwnsWavAndAu()
    {
        shell.Put(REG_ROOT_CLASSES, ".WAV", nullptr, "SoundRec");
        shell.Put(REG_ROOT_CLASSES, ".WAV", "Content Type", "audio/wav");
        shell.Put(REG_ROOT_CLASSES, ".WAV\\OpenWithProgids", "SoundRec", "");
        shell.Put(REG_ROOT_CLASSES, ".AU", nullptr, "AuPlayer");
        shell.Put(REG_ROOT_CLASSES, ".AU", "Content Type", "audio/basic");
    }

    // A value's text; "(none)" when it is missing.
    std::string Text(RegRoot root, const char* path, const char* name = nullptr)
    {
        std::string text;
        return shell.ReadText(root, path, name, text) ? text : "(none)";
    }

    FakeShellSystem shell;
    MemoryLogSink log;
    LogSink* previousSink = nullptr;
};

TEST_F(ShellRegistrationTest, FirstStartWritesEveryKeyInOrderAndTheNextStartNothing)
{
    ASSERT_TRUE(RegisterWithShell(shell));
    const std::string p = "\"C:\\Program Files\\KELVORA.EXE\"";
    Lines expected = {
        "HKCR\\Kelvora = Kelvora",
        "HKCR\\Kelvora\\DefaultIcon = " + p + ",0",
        "HKCR\\Kelvora\\Insertable = ",
        "HKCR\\Kelvora\\ShellNew = NullFile",
        "HKCR\\Kelvora\\shell = play",
        "HKCR\\Kelvora\\shell\\open = &Edit",
        "HKCR\\Kelvora\\shell\\open\\command = " + p + " \"%1\"",
        "HKCR\\Kelvora\\shell\\play = &Play",
        "HKCR\\Kelvora\\shell\\play\\command = " + p + " /play /close \"%1\"",
    };
    for (const char* extension : {".WAV", ".AIF", ".VOC", ".AU", ".MP3", ".RAW"}) {
        expected.push_back(std::string("HKCR\\") + extension + " = Kelvora");
        expected.push_back(std::string("HKCR\\Kelvora\\Associations [") + extension + "] = ");
    }
    expected.push_back("HKLM\\" + std::string(UNINSTALL_ENTRY) + " [UninstallString] = " + p + " -uninstall");
    expected.push_back("HKLM\\" + std::string(UNINSTALL_ENTRY) + " [DisplayName] = Kelvora");
    EXPECT_EQ(expected, shell.writes);
    EXPECT_TRUE(shell.questions.empty());

    ASSERT_TRUE(RegisterWithShell(shell));
    EXPECT_EQ(expected.size(), shell.writes.size());
    EXPECT_TRUE(shell.questions.empty());

    // Systems without a list of removable programs get no entry.
    FakeShellSystem old;
    old.version = 0x30A;
    ASSERT_TRUE(RegisterWithShell(old));
    EXPECT_FALSE(old.KeyExists(REG_ROOT_MACHINE, UNINSTALL_ENTRY));
    EXPECT_TRUE(old.KeyExists(REG_ROOT_CLASSES, "Kelvora\\shell\\play\\command"));
}

TEST_F(ShellRegistrationTest, InstallQuestionCopiesKeepsTheTargetSettingsOrRegistersInPlace)
{
    const struct {
        Answer answer;
        bool registered;
        const char* programPath;
    } rows[] = {
        {ANSWER_YES, true, INSTALLED},
        {ANSWER_NO, true, ELSEWHERE},
        {ANSWER_CANCEL, false, ELSEWHERE},
    };
    for (const auto& row : rows) {
        shell = FakeShellSystem();
        log.Clear();
        StartFrom(ELSEWHERE);
        shell.files["c:\\my tools\\kelvora.bmp"] = "picture";
        shell.files["c:\\my tools\\kelvora.ini"] = "new settings";
        shell.files["c:\\program files\\kelvora.ini"] = "user settings";
        shell.answers = {row.answer};
        EXPECT_EQ(row.registered, RegisterWithShell(shell));
        ASSERT_EQ(1u, shell.questions.size());
        EXPECT_EQ("Do you want to copy and install Kelvora into the 'C:\\Program Files' directory ?\n"
                  "If not it will be registered in 'C:\\My Tools'",
            shell.questions[0]);
        EXPECT_TRUE(shell.cancelOffered[0]);
        EXPECT_STREQ(row.programPath, TheApp().programPath.c_str());
        bool copied = row.answer == ANSWER_YES;
        EXPECT_EQ(copied, shell.files.count("c:\\program files\\kelvora.exe") == 1);
        EXPECT_EQ(copied, shell.files.count("c:\\program files\\kelvora.bmp") == 1);
        EXPECT_EQ("user settings", shell.files["c:\\program files\\kelvora.ini"]);
        EXPECT_EQ(row.registered ? "\"" + std::string(row.programPath) + "\",0" : "(none)",
            Text(REG_ROOT_CLASSES, "Kelvora\\DefaultIcon"));
        EXPECT_EQ(copied, log.Contains("App:Inst Move Files to C:\\Program Files"));
    }
    // Cancel registered nothing: the next start asks again.
    shell.answers = {ANSWER_NO};
    EXPECT_TRUE(RegisterWithShell(shell));
    EXPECT_EQ(2u, shell.questions.size());

    // A copy that fails leaves the program where it is.
    shell = FakeShellSystem();
    TheApp().programPath = ELSEWHERE;
    shell.answers = {ANSWER_YES};
    EXPECT_TRUE(RegisterWithShell(shell));
    EXPECT_STREQ(ELSEWHERE, TheApp().programPath.c_str());

    // A program folder named in another case asks nothing; a path without
    // folder registers nothing.
    for (const char* path : {"c:\\PROGRAM files\\k.exe", "k.exe"}) {
        shell = FakeShellSystem();
        TheApp().programPath = path;
        EXPECT_EQ(path[0] == 'c', RegisterWithShell(shell)) << path;
        EXPECT_TRUE(shell.questions.empty()) << path;
    }
}

TEST_F(ShellRegistrationTest, AnotherProgramsHandlerIsReplacedOnlyAfterYesAndCancelStopsTheRest)
{
    const struct {
        std::vector<Answer> answers;
        const char* handlers;   // after registration: .WAV .AIF .VOC .AU .MP3 .RAW
    } rows[] = {
        {{ANSWER_YES, ANSWER_NO, ANSWER_YES}, "Kelvora kelvora Kelvora AuPlayer Kelvora Kelvora"},
        {{ANSWER_NO, ANSWER_CANCEL}, "SoundRec kelvora Kelvora AuPlayer Mp3Player (none)"},
        {{ANSWER_CANCEL}, "SoundRec kelvora  AuPlayer Mp3Player (none)"},
    };
    for (const auto& row : rows) {
        shell = FakeShellSystem();
        OtherProgramOwnsWavAndAu();
        shell.Put(REG_ROOT_CLASSES, ".AIF", nullptr, "kelvora");
        shell.Put(REG_ROOT_CLASSES, ".VOC", nullptr, "");
        shell.Put(REG_ROOT_CLASSES, ".MP3", nullptr, "Mp3Player");
        shell.answers.assign(row.answers.begin(), row.answers.end());
        EXPECT_TRUE(RegisterWithShell(shell));
        EXPECT_TRUE(shell.answers.empty());
        std::string handlers;
        for (const char* extension : {".WAV", ".AIF", ".VOC", ".AU", ".MP3", ".RAW"})
            handlers += (handlers.empty() ? "" : " ") + Text(REG_ROOT_CLASSES, extension);
        EXPECT_EQ(row.handlers, handlers);
        EXPECT_EQ("The file type '.WAV' already has an associated handler 'SoundRec'.\nReplace this with Kelvora ?",
            shell.questions[0]);
        EXPECT_EQ("audio/wav", Text(REG_ROOT_CLASSES, ".WAV", "Content Type"));
        // The class key and the verbs do not depend on the answers.
        EXPECT_TRUE(shell.KeyExists(REG_ROOT_CLASSES, "Kelvora\\shell\\play\\command"));
        EXPECT_TRUE(shell.KeyExists(REG_ROOT_MACHINE, UNINSTALL_ENTRY));
    }
}

TEST_F(ShellRegistrationTest, UninstallRestoresReplacedHandlersAndKeepsEverythingElseOfOthers)
{
    OtherProgramOwnsWavAndAu();
    shell.Put(REG_ROOT_CLASSES, "SoundRec\\shell\\open\\command", nullptr, "soundrec.exe %1");
    shell.Put(REG_ROOT_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other", "DisplayName", "x");
    FakeShellSystem before = shell;
    shell.answers = {ANSWER_YES, ANSWER_NO};   // take .WAV, leave .AU
    ASSERT_TRUE(RegisterWithShell(shell));
    shell.files["c:\\program files\\kelvora.ini"] = "settings";
    shell.files["c:\\program files\\kelvora.hlp"] = "help";
    shell.files["c:\\program files\\other.wav"] = "a sound";
    shell.lockedFiles.insert("c:\\program files\\kelvora.exe");
    // Since registration, another program has taken ".MP3".
    shell.Put(REG_ROOT_CLASSES, ".MP3", nullptr, "Mp3Player");
    const Lines registered = shell.Dump(REG_ROOT_CLASSES);
    const auto filesRegistered = shell.files;

    shell.answers = {ANSWER_NO};
    Uninstall(shell, true);
    EXPECT_EQ(registered, shell.Dump(REG_ROOT_CLASSES));
    EXPECT_EQ(filesRegistered, shell.files);
    EXPECT_TRUE(shell.notices.empty());

    shell.answers = {ANSWER_YES};
    Uninstall(shell, true);
    EXPECT_EQ("Are you sure you want to un-install Kelvora and delete all files associated with "
              "'C:\\Program Files\\KELVORA.EXE'?",
        shell.questions.back());
    EXPECT_FALSE(shell.cancelOffered.back());
    before.Put(REG_ROOT_CLASSES, ".MP3", nullptr, "Mp3Player");
    EXPECT_EQ(before.Dump(REG_ROOT_CLASSES), shell.Dump(REG_ROOT_CLASSES));
    EXPECT_EQ(before.Dump(REG_ROOT_MACHINE), shell.Dump(REG_ROOT_MACHINE));
    EXPECT_EQ((std::map<std::string, std::string>{{"c:\\program files\\kelvora.exe", "program"},
                  {"c:\\program files\\other.wav", "a sound"}}),
        shell.files);
    EXPECT_EQ(Lines{"Kelvora could not delete these files; delete them once it has ended:\n"
                    "C:\\Program Files\\KELVORA.EXE"},
        shell.notices);
    EXPECT_TRUE(log.Contains("remove(C:\\Program Files\\KELVORA.EXE)=-1"));
    // The next start registers again.
    shell.answers = {ANSWER_NO, ANSWER_NO, ANSWER_NO};
    EXPECT_TRUE(RegisterWithShell(shell));
    EXPECT_TRUE(shell.KeyExists(REG_ROOT_CLASSES, "Kelvora"));
}

TEST_F(ShellRegistrationTest, AFailedWriteDeletesOnlyTheKeysItCreated)
{
    const struct {
        const char* failing;
        const char* gone;       // created by the failed write
        const char* kept;       // there before it, or written before it
        const char* auHandler;  // the other program's ".AU" was answered Yes
    } rows[] = {
        {"Kelvora\\shell\\open\\command", "Kelvora\\shell\\open\\command", "Kelvora\\shell\\open", "Kelvora"},
        {".AU", "(none)", ".AU", "AuPlayer"},
        {".RAW", ".RAW", "Kelvora\\shell\\play\\command", "Kelvora"},
    };
    for (const auto& row : rows) {
        shell = FakeShellSystem();
        OtherProgramOwnsWavAndAu();
        shell.failValueAt = row.failing;
        shell.answers = {ANSWER_NO, ANSWER_YES};
        EXPECT_TRUE(RegisterWithShell(shell));
        EXPECT_TRUE(log.Contains(std::string("RegKeyCreate Set 3f5h,'") + row.failing + "'")) << row.failing;
        EXPECT_FALSE(shell.KeyExists(REG_ROOT_CLASSES, row.gone)) << row.failing;
        EXPECT_TRUE(shell.KeyExists(REG_ROOT_CLASSES, row.kept)) << row.failing;
        // The writes after it were still made.
        EXPECT_TRUE(shell.KeyExists(REG_ROOT_MACHINE, UNINSTALL_ENTRY)) << row.failing;
        // The other program's ".AU" lost nothing; a handler is noted as
        // replaced only when it was.
        EXPECT_EQ(row.auHandler, Text(REG_ROOT_CLASSES, ".AU")) << row.failing;
        EXPECT_EQ("audio/basic", Text(REG_ROOT_CLASSES, ".AU", "Content Type")) << row.failing;
        EXPECT_EQ(row.auHandler == std::string("Kelvora") ? "AuPlayer" : "(none)",
            Text(REG_ROOT_CLASSES, "Kelvora\\Associations", ".AU")) << row.failing;
        log.Clear();
    }
}

TEST_F(ShellRegistrationTest, WithoutMachineRightsTheUserIsRegisteredAndAskedOnce)
{
    OtherProgramOwnsWavAndAu();
    const Lines machineClasses = shell.Dump(REG_ROOT_CLASSES);
    shell.deniedRoots = {REG_ROOT_CLASSES, REG_ROOT_MACHINE};
    shell.files.clear();
    StartFrom(ELSEWHERE);
    shell.answers = {ANSWER_NO, ANSWER_YES, ANSWER_NO};   // stay here, take .WAV, leave .AU
    ASSERT_TRUE(RegisterWithShell(shell));
    EXPECT_EQ(3u, shell.questions.size());
    EXPECT_NE(std::string::npos, shell.questions[1].find("'SoundRec'"));
    EXPECT_EQ("Kelvora", Text(REG_ROOT_USER_CLASSES, ".WAV"));
    EXPECT_EQ("(none)", Text(REG_ROOT_USER_CLASSES, ".AU"));
    EXPECT_EQ("\"C:\\My Tools\\KELVORA.EXE\" \"%1\"", Text(REG_ROOT_USER_CLASSES, "Kelvora\\shell\\open\\command"));
    EXPECT_EQ("\"C:\\My Tools\\KELVORA.EXE\" -uninstall", Text(REG_ROOT_USER, UNINSTALL_ENTRY, "UninstallString"));
    EXPECT_EQ(machineClasses, shell.Dump(REG_ROOT_CLASSES));

    ASSERT_TRUE(RegisterWithShell(shell));
    EXPECT_EQ(3u, shell.questions.size());

    shell.answers = {ANSWER_YES};
    Uninstall(shell, true);
    EXPECT_EQ(Lines{}, shell.Dump(REG_ROOT_USER_CLASSES));
    EXPECT_FALSE(shell.KeyExists(REG_ROOT_USER, UNINSTALL_ENTRY));
    EXPECT_EQ(machineClasses, shell.Dump(REG_ROOT_CLASSES));
    EXPECT_TRUE(shell.files.empty());
    EXPECT_TRUE(shell.notices.empty());
}

}
