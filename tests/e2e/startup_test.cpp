// Start-up and shutdown of the real program, driven from another process.
#include <gtest/gtest.h>

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

TEST_F(StartupTest, MovingTheFrameWritesItsLocation)
{
    WriteIni("LOCATION=40,50,620,300\r\n");
    Process p;
    HWND frame = Start(p, "");
    ASSERT_NE(frame, nullptr);
    RECT r;
    GetWindowRect(frame, &r);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 50);
    SetWindowPos(frame, nullptr, 123, 77, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(Close(p, frame), 0);
    std::string location = IniValue(box.ini, "LOCATION");
    EXPECT_EQ(location.rfind("123,77,", 0), 0u) << location;
    // Keys nobody changed are written with their values, and keys that are
    // never written stay absent.
    EXPECT_EQ(IniValue(box.ini, "DISPLAY"), "0,0,1,1");
    EXPECT_EQ(IniValue(box.ini, "UNDO"), "");
}

TEST_F(StartupTest, AFileOnTheCommandLineIsOpenedAndTitlesTheFrame)
{
    std::string file = box.dir + "\\Tone.wav";
    ASSERT_TRUE(wave::WriteFile(file, wave::Pcm(1, 11025, 8, wave::Bytes(100, 0x80))));
    Process p;
    HWND frame = Start(p, file);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(WaitForText(frame, "Tone"), "Kelvora - Tone.wav");
    EXPECT_EQ(Close(p, frame), 0);
    DeleteFileA(file.c_str());
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

TEST_F(StartupTest, SecondInstanceOpensOffsetFromTheFirst)
{
    WriteIni("LOCATION=60,70,640,320\r\n");
    Process first, second;
    HWND frame1 = Start(first, "");
    ASSERT_NE(frame1, nullptr);
    HWND frame2 = Start(second, "");
    ASSERT_NE(frame2, nullptr);
    RECT r1, r2;
    GetWindowRect(frame1, &r1);
    GetWindowRect(frame2, &r2);
    LONG units = GetDialogBaseUnits();
    EXPECT_EQ(r2.left - r1.left, 2 * LOWORD(units));
    EXPECT_EQ(r2.top - r1.top, 2 * HIWORD(units));
    EXPECT_EQ(r2.right - r2.left, r1.right - r1.left);
    EXPECT_EQ(r2.bottom - r2.top, r1.bottom - r1.top);
    EXPECT_EQ(Close(second, frame2), 0);
    EXPECT_EQ(Close(first, frame1), 0);
}
