// Start-up and shutdown of the real program, driven from another process.
#include <gtest/gtest.h>

#include "support/win_driver.h"

using namespace driver;

class StartupTest : public ::testing::Test {
protected:
    Sandbox box{::testing::UnitTest::GetInstance()->current_test_info()->name()};

    // An INI file beside the program is the one it uses.
    void WriteIni(const std::string& body) { WriteFile(box.ini, "[Kelvora]\r\n" + body); }
};

TEST_F(StartupTest, OpensTitledFrameAndLeavesIniUntouchedWhenNothingChanged)
{
    WriteIni("");
    Process p;
    ASSERT_TRUE(p.Start(box.exe, ""));
    HWND frame = p.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(WindowText(frame).rfind("Kelvora", 0), 0u) << WindowText(frame);
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.WaitForExit(), 0);
    EXPECT_EQ(ReadFile(box.ini), "[Kelvora]\r\n");
}

TEST_F(StartupTest, MovingTheFrameWritesItsLocation)
{
    WriteIni("LOCATION=40,50,620,300\r\n");
    Process p;
    ASSERT_TRUE(p.Start(box.exe, ""));
    HWND frame = p.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    RECT r;
    GetWindowRect(frame, &r);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 50);
    SetWindowPos(frame, nullptr, 123, 77, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.WaitForExit(), 0);
    std::string location = IniValue(box.ini, "LOCATION");
    EXPECT_EQ(location.rfind("123,77,", 0), 0u) << location;
    // Keys nobody changed are written with their values, and keys that are
    // never written stay absent.
    EXPECT_EQ(IniValue(box.ini, "DISPLAY"), "0,0,1,1");
    EXPECT_EQ(IniValue(box.ini, "UNDO"), "");
}

// A tiny WAVE file: 100 blocks of 8-bit mono at 11025 Hz.
std::string SmallWave()
{
    std::string data(100, '\x80');
    auto le32 = [](uint32_t v) {
        return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    };
    std::string fmt = std::string("\x01\x00\x01\x00", 4) + le32(11025) + le32(11025)
        + std::string("\x01\x00\x08\x00", 4);
    std::string body = "WAVEfmt " + le32(16) + fmt + "data" + le32(100) + data;
    return "RIFF" + le32(uint32_t(body.size())) + body;
}

TEST_F(StartupTest, AFileOnTheCommandLineIsOpenedAndTitlesTheFrame)
{
    WriteIni("");
    std::string file = box.dir + "\\Tone.wav";
    WriteFile(file, SmallWave());
    Process p;
    ASSERT_TRUE(p.Start(box.exe, file));
    HWND frame = p.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(WaitForText(frame, "Tone"), "Kelvora - Tone.wav");
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.WaitForExit(), 0);
    DeleteFileA(file.c_str());
}

TEST_F(StartupTest, AFileThatCannotBeOpenedReportsAndStartsUntitled)
{
    WriteIni("");
    Process p;
    ASSERT_TRUE(p.Start(box.exe, box.dir + "\\missing.wav"));
    // The error box comes first, owned by no window.
    HWND box249 = nullptr;
    for (int i = 0; i < 200 && !box249; i++) {
        Sleep(50);
        box249 = FindWindowA(nullptr, "Kelvora Error");
    }
    ASSERT_NE(box249, nullptr);
    PostMessageA(box249, WM_COMMAND, IDOK, 0);
    HWND frame = p.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(WaitForText(frame, "Untitled"), "Kelvora - (Untitled)");
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.WaitForExit(), 0);
}

TEST_F(StartupTest, CloseOptionWithoutPlaybackEndsWithoutAWindow)
{
    WriteIni("");
    Process p;
    ASSERT_TRUE(p.Start(box.exe, "/close"));
    EXPECT_NE(p.WaitForExit(), -1000);
    EXPECT_EQ(p.WaitForFrame(500, false), nullptr);
}

TEST_F(StartupTest, HideOptionKeepsTheFrameHidden)
{
    WriteIni("");
    Process p;
    ASSERT_TRUE(p.Start(box.exe, "-HIDE"));
    HWND frame = p.WaitForFrame(20000, false);
    ASSERT_NE(frame, nullptr);
    Sleep(300);
    EXPECT_FALSE(IsWindowVisible(frame));
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.WaitForExit(), 0);
}

TEST_F(StartupTest, SurvivesHugeCommandLines)
{
    WriteIni("");
    // Hundreds of unknown options, and three names of files that do not
    // exist, one of them 5000 characters long: each shows its error.
    std::string args;
    for (int i = 0; i < 400; i++)
        args += "/nosuchoption" + std::to_string(i) + "   ";
    args += "name1 " + std::string(5000, 'x') + " name2";
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
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.WaitForExit(), 0);
}

TEST_F(StartupTest, SecondInstanceOpensOffsetFromTheFirst)
{
    WriteIni("LOCATION=60,70,640,320\r\n");
    Process first;
    ASSERT_TRUE(first.Start(box.exe, ""));
    HWND frame1 = first.WaitForFrame();
    ASSERT_NE(frame1, nullptr);
    Process second;
    ASSERT_TRUE(second.Start(box.exe, ""));
    HWND frame2 = second.WaitForFrame();
    ASSERT_NE(frame2, nullptr);
    RECT r1, r2;
    GetWindowRect(frame1, &r1);
    GetWindowRect(frame2, &r2);
    LONG units = GetDialogBaseUnits();
    EXPECT_EQ(r2.left - r1.left, 2 * LOWORD(units));
    EXPECT_EQ(r2.top - r1.top, 2 * HIWORD(units));
    EXPECT_EQ(r2.right - r2.left, r1.right - r1.left);
    EXPECT_EQ(r2.bottom - r2.top, r1.bottom - r1.top);
    PostMessageA(frame2, WM_CLOSE, 0, 0);
    PostMessageA(frame1, WM_CLOSE, 0, 0);
    EXPECT_EQ(second.WaitForExit(), 0);
    EXPECT_EQ(first.WaitForExit(), 0);
}
