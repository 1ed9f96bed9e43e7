// The spectrogram window on a real window: its own paint code draws into a
// memory bitmap, and closing and reopening keeps its place.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <vector>

#include "base/app.h"
#include "support/core_state.h"
#include "support/win_pixels.h"
#include "view/freq_wnd.h"

namespace {

class SpectrogramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ResetCore());
        App& app = TheApp();
        app.instance = GetModuleHandleA(nullptr);
        app.charWidth = 8;
        app.charHeight = 16;
        app.invHighlight = RGB(255, 255, 0);
        app.invHighlightText = RGB(0, 0, 0);
    }
    void TearDown() override
    {
        if (TheSpectrogram())
            ToggleSpectrogram();
        TheDocument().FreeAll();
    }

    // Each column's bar height, read from the window's own paint.
    static std::vector<int> BarHeights(CKV_FreqWnd& w)
    {
        RECT client;
        GetClientRect(w.hwnd, &client);
        const std::vector<uint32_t> p = paint::Pixels(client.right, client.bottom, [&w](HDC dc) { w.Paint(dc); });
        const uint32_t bar = paint::Rgb(TheApp().invHighlight);
        auto highlighted = [&](int x, int y) { return (p[size_t(y) * client.right + x] & 0xFFFFFF) == bar; };
        int areaBottom = client.bottom - TheApp().charHeight * 3 / 2;
        std::vector<int> heights(client.right, 0);
        for (int x = 0; x < client.right; x++)
            while (heights[x] < areaBottom && highlighted(x, areaBottom - 1 - heights[x]))
                heights[x]++;
        return heights;
    }
};

TEST_F(SpectrogramTest, AQuarterRateToneDrawsOneTallBarInTheMiddle)
{
    KvWaveFormat f = PcmFormat(1, 16, 44100);
    std::vector<uint8_t> data(2000);
    for (int n = 0; n < 1000; n++) {
        int16_t v = int16_t(std::lround(20000 * std::sin(2 * 3.14159265358979 * 11025 * n / 44100)));
        data[2 * n] = uint8_t(v);
        data[2 * n + 1] = uint8_t(v >> 8);
    }
    SetSound(f, data);
    TheSelection().playPos = 500;
    ToggleSpectrogram();
    CKV_FreqWnd* w = TheSpectrogram();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(TheApp().spectrogram, w->hwnd);
    ASSERT_TRUE(SetWindowPos(w->hwnd, nullptr, 0, 0, 400, 200, SWP_NOZORDER | SWP_NOMOVE));
    std::vector<int> heights = BarHeights(*w);
    int tallest = 0;
    for (int x = 0; x < int(heights.size()); x++)
        if (heights[x] > heights[tallest])
            tallest = x;
    EXPECT_NEAR(tallest, int(heights.size()) / 2, int(heights.size()) / 64 + 1);
    EXPECT_GT(heights[tallest], 0);
    EXPECT_EQ(heights[10], 0);

    // Silence draws no bars: the scale never drops below its floor.
    SetSound(f, std::vector<uint8_t>(2000, 0));
    NotePlayPosition(true);
    for (int h : BarHeights(*w))
        ASSERT_EQ(h, 0);
}

TEST_F(SpectrogramTest, ReopensWhereItWasClosed)
{
    ToggleSpectrogram();
    ASSERT_NE(TheSpectrogram(), nullptr);
    MoveWindow(TheSpectrogram()->hwnd, 30, 40, 300, 150, TRUE);
    ToggleSpectrogram();
    EXPECT_EQ(TheSpectrogram(), nullptr);
    EXPECT_EQ(TheApp().spectrogram, nullptr);
    ToggleSpectrogram();
    ASSERT_NE(TheSpectrogram(), nullptr);
    RECT r;
    GetWindowRect(TheSpectrogram()->hwnd, &r);
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_EQ(r.bottom - r.top, 150);
}

}
