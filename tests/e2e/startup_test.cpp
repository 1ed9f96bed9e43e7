// Start-up and shutdown of the real program, driven from another process.
#include <gtest/gtest.h>

#include "resource.h"
#include "support/wave_builder.h"
#include "support/win_driver.h"

using namespace driver;

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override { WriteIni(""); }

    // An INI file beside the program is the one it uses.
    void WriteIni(const std::string& body) { WriteFile(box.ini, "[Kelvora]\r\n" + body); }

    // Starts the program and waits for its frame (null: none came).
    HWND Start(Process& p, const std::string& arguments, bool mustBeVisible = true)
    {
        EXPECT_TRUE(p.Start(box.exe, arguments));
        return p.WaitForFrame(20000, mustBeVisible);
    }

    static int Close(Process& p, HWND frame)
    {
        PostMessageA(frame, WM_CLOSE, 0, 0);
        return p.WaitForExit();
    }

    // The control's text once it is exactly `text`, or its text after 5 s.
    static std::string WaitForExactText(HWND control, const std::string& text)
    {
        std::string now = WindowText(control);
        for (int i = 0; i < 100 && now != text; i++) {
            Sleep(50);
            now = WindowText(control);
        }
        return now;
    }

    // The user clicks into a location field, types over its text and
    // presses Enter (which the location keys turn into command 3606).
    static void TypeAndEnter(HWND frame, int id, const char* text)
    {
        HWND field = GetDlgItem(frame, id);
        // Posted in order: the click places the caret, then all is selected.
        PostMessageA(field, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        PostMessageA(field, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
        PostMessageA(field, EM_SETSEL, 0, -1);
        for (const char* c = text; *c; c++)
            PostMessageA(field, WM_CHAR, static_cast<unsigned char>(*c), 1);
        PostMessageA(frame, WM_COMMAND, IDM_ESCAPE, 0);
    }

    Sandbox box{::testing::UnitTest::GetInstance()->current_test_info()->name()};
};

TEST_F(StartupTest, OpensTitledFrameAndLeavesIniUntouchedWhenNothingChanged)
{
    Process p;
    HWND frame = Start(p, "");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(WindowText(frame).rfind("Kelvora", 0), 0u) << WindowText(frame);
    EXPECT_EQ(Close(p, frame), 0);
    EXPECT_EQ(ReadFile(box.ini), "[Kelvora]\r\n");
}

// The stored location places the frame, a second instance opens offset
// from the first, and the frame's last place is written back.
TEST_F(StartupTest, SecondInstanceOpensOffsetAndMovingTheFrameWritesItsLocation)
{
    WriteIni("LOCATION=40,50,620,300\r\n");
    Process first, second;
    HWND frame1 = Start(first, "");
    ASSERT_NE(frame1, nullptr);
    HWND frame2 = Start(second, "");
    ASSERT_NE(frame2, nullptr);
    RECT r1, r2;
    GetWindowRect(frame1, &r1);
    GetWindowRect(frame2, &r2);
    EXPECT_EQ(r1.left, 40);
    EXPECT_EQ(r1.top, 50);
    LONG units = GetDialogBaseUnits();
    EXPECT_EQ(r2.left - r1.left, 2 * LOWORD(units));
    EXPECT_EQ(r2.top - r1.top, 2 * HIWORD(units));
    EXPECT_EQ(r2.right - r2.left, r1.right - r1.left);
    EXPECT_EQ(r2.bottom - r2.top, r1.bottom - r1.top);
    EXPECT_EQ(Close(second, frame2), 0);

    SetWindowPos(frame1, nullptr, 123, 77, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(Close(first, frame1), 0);
    std::string location = IniValue(box.ini, "LOCATION");
    EXPECT_EQ(location.rfind("123,77,", 0), 0u) << location;
    // Keys nobody changed are written with their values, and keys that are
    // never written stay absent.
    EXPECT_EQ(IniValue(box.ini, "DISPLAY"), "0,0,1,1");
    EXPECT_EQ(IniValue(box.ini, "UNDO"), "");
}

TEST_F(StartupTest, NamesThatCannotBeOpenedEachReportBeforeTheUntitledFrameShows)
{
    // Hundreds of unknown options, and three names of files that do not
    // exist, one of them 5000 characters long: each shows its error box,
    // owned by no window, before the frame.
    std::string args;
    for (int i = 0; i < 400; i++)
        args += "/nosuchoption" + std::to_string(i) + "   ";
    args += box.dir + "\\missing.wav " + std::string(5000, 'x') + " name2";
    Process p;
    ASSERT_TRUE(p.Start(box.exe, args));
    int boxes = 0;
    HWND frame = nullptr;
    for (int i = 0; i < 400 && !frame; i++) {
        if (HWND error = FindWindowA(nullptr, "Kelvora Error")) {
            boxes++;
            SendMessageA(error, WM_COMMAND, IDOK, 0);
        }
        frame = p.WaitForFrame(50);
    }
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(boxes, 3);
    EXPECT_EQ(WaitForText(frame, "Untitled"), "Kelvora - (Untitled)");
    EXPECT_EQ(Close(p, frame), 0);
}

TEST_F(StartupTest, CloseOptionWithoutPlaybackEndsWithoutAWindowAndHideKeepsTheFrameHidden)
{
    Process closing;
    ASSERT_TRUE(closing.Start(box.exe, "/close"));
    EXPECT_NE(closing.WaitForExit(), -1000);
    EXPECT_EQ(closing.WaitForFrame(500, false), nullptr);

    Process hidden;
    HWND frame = Start(hidden, "-HIDE", false);
    ASSERT_NE(frame, nullptr);
    Sleep(300);
    EXPECT_FALSE(IsWindowVisible(frame));
    EXPECT_EQ(Close(hidden, frame), 0);
}

// Locations shown in samples: what is typed into the selection fields is
// applied on Enter, as one step that Undo takes back.
TEST_F(StartupTest, TypedLocationsSelectOnEnterAndUndoInOneStep)
{
    WriteIni("DISPLAY=1,1,1,1\r\nDISPOPTS=0,3\r\n");
    std::string file = box.dir + "\\Tone.wav";
    ASSERT_TRUE(wave::WriteFile(file, wave::Pcm(1, 11025, 8, wave::Bytes(22050, 0x80))));
    Process p;
    HWND frame = Start(p, file);
    ASSERT_NE(frame, nullptr);
    HWND start = GetDlgItem(frame, IDW_FIELD_START);
    HWND length = GetDlgItem(frame, IDW_FIELD_LENGTH);
    HWND playPos = GetDlgItem(frame, IDW_FIELD_PLAYPOS);
    EXPECT_EQ(WaitForExactText(start, "0"), "0");

    TypeAndEnter(frame, IDW_FIELD_LENGTH, "500");
    EXPECT_EQ(WaitForExactText(length, "500"), "500");
    TypeAndEnter(frame, IDW_FIELD_START, "2000");
    // The play position moves into the new selection: it was applied.
    EXPECT_EQ(WaitForExactText(playPos, " 2000"), " 2000");
    EXPECT_EQ(WindowText(start), "2000");
    EXPECT_EQ(WindowText(length), "500");

    PostMessageA(frame, WM_COMMAND, IDM_EDIT_UNDO, 0);
    EXPECT_EQ(WaitForExactText(start, "0"), "0");
    EXPECT_EQ(WindowText(length), "500");
    EXPECT_EQ(Close(p, frame), 0);
    DeleteFileA(file.c_str());
}

// A file named on the command line opens: its name in the title, and the
// total-length and format lines of sounds of several formats.
TEST_F(StartupTest, AFileOnTheCommandLineOpensAndTheStatusLinesShowItsLengthAndFormat)
{
    struct Case {
        wave::Bytes file;
        const char* total;
        const char* format;
    } cases[] = {
        {wave::Pcm(2, 44100, 16, wave::Bytes(352800, 0)), "2.00 secs, 344 Kbytes",
            "CD Quality (44.1 kHz), Stereo, 16-bit"},
        {wave::Riff({wave::Chunk("fmt ", wave::Fmt(6, 1, 8000, 8, 0)), wave::Chunk("data", wave::Bytes(12000, 0xD5))}),
            "1.50 secs, 11 Kbytes", "8.000 kHz, Mono, A-Law"},
    };
    std::string file = box.dir + "\\Sound.wav";
    for (const Case& c : cases) {
        WriteIni("");
        ASSERT_TRUE(wave::WriteFile(file, c.file));
        Process p;
        HWND frame = Start(p, file);
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(WaitForText(frame, "Sound"), "Kelvora - Sound.wav");
        EXPECT_EQ(WaitForExactText(GetDlgItem(frame, IDW_STATUS_LEFT), c.total), c.total);
        // Written later in the same update pass, after the device queries,
        // which answer other programs' messages while they wait.
        EXPECT_EQ(WaitForExactText(GetDlgItem(frame, IDW_STATUS_RIGHT), c.format), c.format);
        EXPECT_EQ(Close(p, frame), 0);
    }
    DeleteFileA(file.c_str());
}
