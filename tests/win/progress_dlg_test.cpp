// The progress dialog of the real program: what it shows as a long action
// advances, and Cancel (its button pressed by control id, or Esc in the
// dialog) taking back the half-done action through the real message loop.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/app_win.h"
#include "app/frame_wnd.h"
#include "app/host_win.h"
#include "app/progress_dlg_win.h"
#include "base/app.h"
#include "edit/effect_settings.h"
#include "edit/level_effects.h"
#include "edit/undo_history.h"
#include "resource.h"
#include "support/core_state.h"
#include "support/win_driver.h"
#include "support/win_pixels.h"
#include "support/running_app.h"

namespace {

HWND FindProgress()
{
    return FindWindowA("#32770", "Kelvora Progress");
}

std::string ItemText(HWND dialog, int id)
{
    char text[64] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// The bar as painted by the dialog into memory: how many columns of its
// middle row carry the fill colour, and its width.
std::pair<int, int> FilledColumns(HWND bar)
{
    RECT r;
    GetClientRect(bar, &r);
    const std::vector<uint32_t> p = paint::Pixels(r.right, r.bottom, [bar](HDC dc) {
        SendMessageA(bar, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    });
    const uint32_t want = paint::Rgb(GetSysColor(COLOR_HIGHLIGHT));
    int count = 0;
    for (int x = 0; x < r.right; x++)
        count += (p[size_t(r.bottom / 2) * r.right + x] & 0xFFFFFF) == want;
    return {count, r.right};
}

// The program's host, pressing Cancel in the dialog once the action is half
// done, as a user watching it would.
class PressingHost : public WindowsHost {
public:
    explicit PressingHost(bool escape) : escape(escape) {}
    bool UpdateProgress(int32_t done, int32_t total) override
    {
        const bool cancelled = WindowsHost::UpdateProgress(done, total);
        HWND dialog = FindProgress();
        if (!pressed && dialog && int64_t{done} * 2 >= total) {
            pressed = true;
            // Posted: the action's next progress check routes it.
            if (escape)
                PostMessageA(GetDlgItem(dialog, IDCANCEL), WM_KEYDOWN, VK_ESCAPE, 0);
            else
                driver::Process::Press(dialog, IDCANCEL);
            // The action looks at its queue every few milliseconds, not at
            // every check: a press is seen once that time has passed.
            Sleep(50);
        }
        return cancelled;
    }
    bool escape;
    bool pressed = false;
};

class ProgressDialogTest : public RunningAppTest {};

TEST_F(ProgressDialogTest, ShowsTheShareDoneAndEmptiesTheBarWhenTheCountStartsAgain)
{
    Host& host = TheHost();
    host.BeginProgress("Amplification");
    HWND dialog = FindProgress();
    ASSERT_NE(nullptr, dialog);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(frame, GetWindow(dialog, GW_OWNER));
    EXPECT_EQ("Amplification", ItemText(dialog, IDC_PROGRESS_NAME));
    RECT r;
    GetWindowRect(dialog, &r);
    EXPECT_NEAR(GetSystemMetrics(SM_CXSCREEN) / 2, (r.left + r.right) / 2, 1);
    EXPECT_NEAR(GetSystemMetrics(SM_CYSCREEN) / 2, (r.top + r.bottom) / 2, 1);

    HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    struct Step {
        int32_t done, total;
        const char* percent;
        int share;              // percent of the bar filled
    } steps[] = {
        {50000, 100000, "50 %", 50},
        // Past 21 million blocks done × 100 no longer fits 32 bits.
        {30000000, 40000000, "75 %", 75},
        // The second channel starts again from the left.
        {10000, 100000, "10 %", 10},
        {100000, 100000, "100 %", 100},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.percent);
        // The dialog is not painted faster than the eye follows.
        Sleep(110);
        EXPECT_FALSE(host.UpdateProgress(s.done, s.total));
        EXPECT_EQ(s.percent, ItemText(dialog, IDC_PROGRESS_PERCENT));
        auto [filled, width] = FilledColumns(bar);
        // The fill lies inside the bar's one-pixel frame.
        EXPECT_NEAR((width - 2) * s.share / 100.0, filled, 1.5);
    }

    driver::Process::Press(dialog, IDCANCEL);
    RouteWaitingMessages();
    EXPECT_TRUE(host.UpdateProgress(50, 100));
    host.EndProgress();
    EXPECT_FALSE(IsWindow(dialog));
}

TEST_F(ProgressDialogTest, CancelHalfWayLeavesTheSoundAndTheHistoryAsTheyWere)
{
    // 16-bit stereo in the document's own chunks, long enough for a few
    // dozen progress checks per channel.
    std::vector<uint8_t> bytes(size_t(400000) * 4);
    for (size_t i = 0; i < bytes.size(); i++)
        bytes[i] = uint8_t(i * 13 + i / 511);
    for (bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Esc" : "Cancel button");
        SetSound(PcmFormat(2, 16, 22050), bytes, 0, 0, 0);
        // One step to undo already, and one to redo.
        SetSelection(100, 50, ORIGIN_COMMAND);
        SetSelection(0, 400000, ORIGIN_COMMAND);
        ASSERT_EQ(0, ActUndo());
        SetSelection(0, 400000, ORIGIN_PROGRAM);
        const CKV_ACTSTORE* undo = TheUndoHistory().Newest();
        const CKV_ACTSTORE* redo = TheRedoHistory().Newest();
        const int undoCount = TheUndoHistory().Count(), redoCount = TheRedoHistory().Count();
        ASSERT_EQ(1, undoCount);
        ASSERT_EQ(1, redoCount);

        PressingHost pressing(escape);
        Host* installed = &TheHost();
        SetHost(&pressing);
        TheEffectSettings().amplification = 150;
        Amplify(TheEffectSettings());
        SetHost(installed);

        EXPECT_TRUE(pressing.pressed);
        EXPECT_EQ(nullptr, FindProgress());
        EXPECT_TRUE(DocumentBytes() == bytes);
        EXPECT_EQ(0, TheDocument().changeCount);
        EXPECT_EQ(undoCount, TheUndoHistory().Count());
        EXPECT_EQ(undo, TheUndoHistory().Newest());
        EXPECT_EQ(redoCount, TheRedoHistory().Count());
        EXPECT_EQ(redo, TheRedoHistory().Newest());
        EXPECT_FALSE(ActIsBusy());
    }
    TheEffectSettings().amplification = 100;
}

}
