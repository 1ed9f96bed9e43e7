// The editing commands through the real frame and message loop: the program
// starts on a file given on its command line and is driven by WM_COMMAND.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_win.h"
#include "app/frame_wnd.h"
#include "base/app.h"
#include "edit/actions.h"
#include "resource.h"
#include "sound/document.h"
#include "support/core_state.h"
#include "support/wave_builder.h"
#include "support/running_app.h"

namespace {

using wave::Bytes;

class EditCommandsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        path = std::string(temp) + "kelvora_edit_commands.wav";
        for (int i = 0; i < 1000; i++)
            original.push_back(uint8_t(i * 7 + i / 256));
        ASSERT_TRUE(wave::WriteFile(path, wave::Pcm(1, 11025, 8, original)));
        frame = StartApp(path.c_str());
        ASSERT_NE(nullptr, frame);
    }
    static void TearDownTestSuite()
    {
        StopApp();
        DeleteFileA(path.c_str());
    }

    // Sends the command the way another program or the menu would and lets
    // the message loop run until it has nothing left to do.
    static void Command(int id)
    {
        PostMessageA(frame, WM_COMMAND, id, 0);
        RouteWaitingMessages();
    }

    static std::string path;
    static Bytes original;
    static HWND frame;
};

std::string EditCommandsTest::path;
Bytes EditCommandsTest::original;
HWND EditCommandsTest::frame = nullptr;

TEST_F(EditCommandsTest, SelectReverseUndoRedoDelete)
{
    ASSERT_EQ(DocumentBytes(), original);
    EXPECT_EQ(TheDocument().changeCount, 0);
    Bytes reversed(original.rbegin(), original.rend());

    Command(IDM_EDIT_GOTO_END);
    ExpectSelection(1000, 0);
    Command(IDM_EDIT_SELECT_ALL);
    ExpectSelection(0, 1000);

    Command(IDM_FX_REVERSE);
    EXPECT_EQ(DocumentBytes(), reversed);
    EXPECT_EQ(TheDocument().changeCount, 1);

    Command(IDM_EDIT_UNDO);
    EXPECT_EQ(DocumentBytes(), original);
    ExpectSelection(0, 1000);
    EXPECT_EQ(TheDocument().changeCount, 0);

    Command(IDM_EDIT_REDO);
    EXPECT_EQ(DocumentBytes(), reversed);
    ExpectSelection(0, 1000);

    Command(IDM_EDIT_DELETE);
    EXPECT_EQ(TheDocument().length, 0);
    ExpectSelection(0, 0);

    // The undo message of another program reaches the same command.
    PostMessageA(frame, WM_UNDO, 0, 0);
    Command(0);
    EXPECT_EQ(DocumentBytes(), reversed);
    ExpectSelection(0, 1000);
    EXPECT_EQ(TheApp().actionState, ACTSTATE_READY);
}

}
