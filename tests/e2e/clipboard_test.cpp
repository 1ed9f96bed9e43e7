// Sound between programs: what one kelvora.exe copies, this test (a program
// that reads only CF_WAVE) and a second kelvora.exe started after the first
// has exited find on the clipboard. (Damaged images are the Windows
// clipboard test's.)
#include <gtest/gtest.h>

#include "resource.h"
#include "support/wave_builder.h"
#include "support/win_clipboard.h"
#include "support/win_driver.h"

using namespace driver;

namespace {

std::vector<int> Ramp(int n, int step)
{
    std::vector<int> v;
    for (int i = 0; i < n; i++)
        v.push_back((i * step) % 30000 - 15000);
    return v;
}

// Selects the whole sound and copies it.
void CopyAll(HWND frame)
{
    SendMessageA(frame, WM_COMMAND, IDM_EDIT_SELECT_ALL, 0);
    SendMessageA(frame, WM_COMMAND, IDM_EDIT_COPY, 0);
}

}

TEST(ClipboardE2eTest, SoundCopiedInOneProgramPastesIntoAnother)
{
    Sandbox box("clipboard");
    std::vector<int> first = Ramp(500, 97), second = Ramp(300, 211);
    wave::Bytes firstFile = wave::Pcm(1, 11025, 16, wave::S16(first));
    std::string firstPath = box.dir + "\\first.wav", secondPath = box.dir + "\\second.wav";
    ASSERT_TRUE(wave::WriteFile(firstPath, firstFile));
    ASSERT_TRUE(wave::WriteFile(secondPath, wave::Pcm(1, 11025, 16, wave::S16(second))));

    {
        Process a;
        ASSERT_TRUE(a.Start(box.exe, firstPath));
        HWND frame = a.WaitForFrame();
        ASSERT_NE(nullptr, frame);
        CopyAll(frame);
        EXPECT_EQ(firstFile, clip::ReadWave());
        PostMessageA(frame, WM_CLOSE, 0, 0);
        EXPECT_EQ(0, a.WaitForExit());
    }

    Process b;
    ASSERT_TRUE(b.Start(box.exe, secondPath));
    HWND frame = b.WaitForFrame();
    ASSERT_NE(nullptr, frame);
    SendMessageA(frame, WM_COMMAND, IDM_EDIT_GOTO_END, 0);
    SendMessageA(frame, WM_PASTE, 0, 0);
    CopyAll(frame);
    std::vector<int> joined = second;
    joined.insert(joined.end(), first.begin(), first.end());
    wave::Bytes joinedFile = wave::Pcm(1, 11025, 16, wave::S16(joined));
    EXPECT_EQ(joinedFile, clip::ReadWave());

    PostMessageA(frame, WM_CLOSE, 0, 0);
    // The pasted sound is unsaved: the save question comes first.
    if (HWND question = b.WaitForDialog(nullptr, 3000))
        Process::Press(question, IDNO);
    EXPECT_EQ(0, b.WaitForExit());
    DeleteFileA(firstPath.c_str());
    DeleteFileA(secondPath.c_str());
}
