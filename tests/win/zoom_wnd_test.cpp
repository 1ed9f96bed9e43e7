// The zoom bar and the overview strip on real windows: mouse messages sent to
// them change the selection and the play position, and their own paint code,
// run into a memory bitmap, shows the play position's thumb while it is
// dragged.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "base/update_views.h"
#include "support/core_state.h"
#include "support/test_host.h"
#include "support/win_pixels.h"
#include "view/zoom_wnd.h"

namespace {

const int M = 8;                    // margin and handle width
const int WIDTH = 1000 + 2 * M;     // a usable width of 1000
const int N = 10000;                // blocks: ten per pixel

class ZoomWndTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSA wc = {};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ZoomTestParent";
        RegisterClassA(&wc);
        wc.lpszClassName = "ZoomTestStrip";
        RegisterWindowClass(wc);
        parent = CreateWindowA("ZoomTestParent", "", WS_POPUP | WS_VISIBLE, 0, 0, WIDTH, 100, nullptr, nullptr,
            wc.hInstance, nullptr);
    }
    static void TearDownTestSuite() { DestroyWindow(parent); }

    void SetUp() override
    {
        ASSERT_NE(nullptr, parent);
        ASSERT_TRUE(ResetCore());
        ResetViewUpdates();
        TheApp().charWidth = M;
        TheAppOptions().showWaveform = 1;
        SetSound(PcmFormat(1, 8, 11025), std::vector<uint8_t>(N, 0x80), 0, 4000, 2000);
        SetWaveViewSize(1000, 100);
        SetViewRange(0, N, ORIGIN_PROGRAM);
        HINSTANCE instance = GetModuleHandleA(nullptr);
        ASSERT_TRUE(top.Create(0, "ZoomTestStrip", "", WS_CHILD | WS_VISIBLE, 0, 0, WIDTH, 20, parent, nullptr, instance));
        ASSERT_TRUE(
            overview.Create(0, "ZoomTestStrip", "", WS_CHILD | WS_VISIBLE, 0, 30, WIDTH, 30, parent, nullptr, instance));
        Update();
    }
    void TearDown() override
    {
        ResetViewUpdates();
        TheDocument().FreeAll();
    }

    static void Update()
    {
        UpdateViews(UpdAll);
        RunPendingViewUpdates();
    }
    static void Mouse(HWND w, UINT message, int x, int y)
    {
        SendMessageA(w, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
        Update();
    }
    static void Drag(HWND w, int x0, int x1, int y)
    {
        Mouse(w, WM_LBUTTONDOWN, x0, y);
        Mouse(w, WM_MOUSEMOVE, x1, y);
        Mouse(w, WM_LBUTTONUP, x1, y);
    }
    // As 0xRRGGBB.
    uint32_t PaintedPixel(const CKV_ZoomWnd& w, int x, int y)
    {
        return paint::Pixels(WIDTH, 30, [&w](HDC dc) { w.Paint(dc); })[size_t(y) * WIDTH + x] & 0xFFFFFF;
    }

    static HWND parent;
    TestHost host;
    CKV_TopZoomWnd top;
    CKV_ZoomWnd overview;
};

HWND ZoomWndTest::parent = nullptr;

TEST_F(ZoomWndTest, ZoomBarHandlesAndClicks)
{
    // The end handle (from x 607) dragged past the start (4000 at x 408)
    // selects from the drag point to the old start.
    Drag(top.hwnd, M + 600, M + 200, 10);
    ExpectSelection(2000, 2000);

    // A click between the handles collapses the selection there.
    Drag(top.hwnd, M + 300, M + 300, 10);
    ExpectSelection(3000, 0);

    // A pointer left of the window reads as negative: the selection runs to 0.
    SetSelection(4000, 2000, ORIGIN_COMMAND);
    Update();
    Drag(top.hwnd, M + 350, -5, 10);
    ExpectSelection(0, 6000);
}

TEST_F(ZoomWndTest, OverviewRows)
{
    // The top third drags the selection's start handle.
    Drag(overview.hwnd, M + 400, M + 100, 5);
    ExpectSelection(1000, 5000);

    // The bottom third, right of the view's start handle, moves the shown end.
    Drag(overview.hwnd, M + 900, M + 700, 25);
    EXPECT_EQ(TheSelection().viewStart, 0);
    EXPECT_EQ(TheSelection().viewLength, 7000);

    // While the waveform is hidden the bottom third moves the play position.
    SetSelection(0, 0, ORIGIN_COMMAND);
    TheAppOptions().showWaveform = 0;
    Drag(overview.hwnd, M + 300, M + 250, 25);
    EXPECT_EQ(TheSelection().playPos, 2500);
}

TEST_F(ZoomWndTest, PlayPositionThumbShowsWhileDragged)
{
    SetSelection(0, 0, ORIGIN_COMMAND);
    Update();
    const uint32_t face = paint::Rgb(GetSysColor(COLOR_BTNFACE));
    // Where the thumb's dark right edge stands: m wide, centred on x.
    const int edge = M + 500 - M / 2 + M - 1;
    EXPECT_EQ(PaintedPixel(overview, edge, 2), face);
    Mouse(overview.hwnd, WM_LBUTTONDOWN, M + 300, 15);
    Mouse(overview.hwnd, WM_MOUSEMOVE, M + 500, 15);
    EXPECT_EQ(overview.DragModeNow(), CKV_ZoomWnd::DRAG_PLAY);
    EXPECT_EQ(TheSelection().playPos, 5000);
    EXPECT_NE(PaintedPixel(overview, edge, 2), face);
    Mouse(overview.hwnd, WM_LBUTTONUP, M + 500, 15);
    EXPECT_EQ(overview.DragModeNow(), CKV_ZoomWnd::DRAG_NONE);
    EXPECT_EQ(PaintedPixel(overview, edge, 2), face);
}

}
