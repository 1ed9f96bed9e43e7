// The waveform window painting into a memory bitmap through its own paint
// code, mouse drags sent to it as messages, and the scroll bar's arithmetic.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstring>
#include <set>
#include <vector>

#include "base/update_views.h"
#include "edit/undo_history.h"
#include "support/core_state.h"
#include "support/wave_builder.h"
#include "support/win_pixels.h"
#include "view/wave_wnd.h"

namespace {

// n 16-bit frames, each channel holding its value.
std::vector<uint8_t> Frames16(int32_t n, const std::vector<int>& perChannel)
{
    std::vector<int> v;
    for (int32_t i = 0; i < n; i++)
        v.insert(v.end(), perChannel.begin(), perChannel.end());
    return wave::S16(v);
}

class WaveWndTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSA wc = {};
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KvWaveTest";
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        RegisterWindowClass(wc);
    }

    void SetUp() override
    {
        ASSERT_TRUE(ResetCore());
        ResetViewUpdates();
        window = new CKV_WaveWnd();
        ASSERT_NE(nullptr, window->Create(0, "KvWaveTest", "", WS_POPUP, 0, 0, 200, 101, nullptr, nullptr,
                               GetModuleHandleA(nullptr)));
    }

    void TearDown() override
    {
        delete window;
        ResetViewUpdates();
    }

    // The sound shown whole in a client area of width × height, the
    // selection (and the play position) at its end, out of sight.
    void Show(uint16_t channels, const std::vector<uint8_t>& bytes, int width, int height, uint16_t bits = 16)
    {
        SetSound(PcmFormat(channels, bits, 22050), bytes);
        MoveWindow(window->hwnd, 0, 0, width, height, FALSE);
        SetWaveViewSize(width, height);
        const int32_t length = TheDocument().length;
        SetViewRange(0, length, ORIGIN_PROGRAM);
        SetSelection(length, 0, ORIGIN_PROGRAM);
    }

    // The window painted whole into a top-down 32-bit DIB; or, with
    // fromScreen, what the window shows copied out of it.
    void PaintPixels(bool fromScreen = false)
    {
        const WaveViewModel& view = TheWaveView();
        width = view.width;
        height = view.height;
        pixels = paint::Pixels(width, height, [this, fromScreen](HDC dc) {
            if (fromScreen) {
                HDC screen = GetDC(window->hwnd);
                BitBlt(dc, 0, 0, width, height, screen, 0, 0, SRCCOPY);
                ReleaseDC(window->hwnd, screen);
            } else {
                window->Paint(dc, RECT{0, 0, width, height});
            }
        });
    }

    // The colour alone (inverting may touch the unused top byte).
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x] & 0xFFFFFF; }

    // Rows of column x in the waveform colour.
    std::vector<int> WaveRows(int x) const
    {
        std::vector<int> rows;
        for (int y = 0; y < height; y++)
            if (At(x, y) == paint::Rgb(WaveForeground()))
                rows.push_back(y);
        return rows;
    }

    // Columns of row y showing the inverted background.
    std::set<int> InvertedColumns(int y) const
    {
        std::set<int> columns;
        for (int x = 0; x < width; x++)
            if (At(x, y) == (~paint::Rgb(WaveBackground()) & 0xFFFFFF))
                columns.insert(x);
        return columns;
    }

    CKV_WaveWnd* window = nullptr;
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
};

std::vector<int> Range(int from, int to)
{
    std::vector<int> v;
    for (int i = from; i <= to; i++)
        v.push_back(i);
    return v;
}

TEST_F(WaveWndTest, LevelsLandOnTheirRowsInEachScale)
{
    // Mono full scale in both directions, many samples per column.
    std::vector<int> mono(5000, 32767);
    mono.resize(10000, -32767);
    Show(1, wave::S16(mono), 200, 101);
    ASSERT_EQ(SCALE_MANY, TheWaveView().scaleMode);
    PaintPixels();
    EXPECT_EQ(std::vector<int>{0}, WaveRows(10));
    EXPECT_EQ(std::vector<int>{100}, WaveRows(190));

    // A steep wave at three samples per column draws one unbroken trace:
    // each column's line reaches the level where the previous one ended.
    std::vector<int> steep;
    for (int i = 0; i < 600; i++)
        steep.push_back(int(30000 * std::sin(i * 3.14159265 / 6)));
    Show(1, wave::S16(steep), 200, 101);
    ASSERT_EQ(SCALE_MANY, TheWaveView().scaleMode);
    PaintPixels();
    for (int x = 1; x < 200; x++) {
        const std::vector<int> here = WaveRows(x), before = WaveRows(x - 1);
        ASSERT_FALSE(here.empty());
        EXPECT_TRUE(here.front() <= before.back() + 1 && here.back() + 1 >= before.front()) << x;
    }

    // Stereo: the left lane's zero line a quarter down, the right's three.
    Show(2, Frames16(10000, {16384, -16384}), 200, 200);
    PaintPixels();
    EXPECT_EQ((std::vector<int>{25, 175}), WaveRows(50));

    // Ten samples in 200 columns: a staircase of 10 columns per sample.
    Show(1, wave::S16({0, 32767, 0, 32767, 0, 32767, 0, 32767, 0, 32767}), 200, 101);
    ASSERT_EQ(SCALE_WIDE, TheWaveView().scaleMode);
    ASSERT_EQ(10u, TheWaveView().factor);
    PaintPixels();
    EXPECT_EQ(std::vector<int>{50}, WaveRows(5));
    EXPECT_EQ(std::vector<int>{0}, WaveRows(15));
    EXPECT_EQ(Range(0, 50), WaveRows(19));          // the step down to sample 2
    EXPECT_EQ(std::vector<int>{50}, WaveRows(25));
    EXPECT_TRUE(WaveRows(150).empty());             // past the sound

    // 24-bit: the top byte gives the level, whatever the low bytes hold.
    std::vector<uint8_t> wide;
    for (int i = 0; i < 10000; i++) {
        const uint8_t top = i < 5000 ? 0x7F : 0x81;
        wide.insert(wide.end(), {uint8_t(i * 89), uint8_t(i * 13), top});
    }
    Show(1, wide, 200, 101, 24);
    PaintPixels();
    EXPECT_EQ(std::vector<int>{0}, WaveRows(10));
    EXPECT_EQ(std::vector<int>{100}, WaveRows(190));

    // Nothing to show: the background alone, and no scroll bar.
    Show(1, {}, 200, 101);
    PaintPixels();
    for (int x : {0, 100, 199})
        EXPECT_TRUE(WaveRows(x).empty());
    EXPECT_FALSE(ComputeWaveScrollBar(200, 0, TheSelection().viewLength, 0).shown);
}

TEST_F(WaveWndTest, BandAndPlayColumnInvertExactlyTheirColumns)
{
    struct Case {
        int32_t selStart, selLength, playPos;
        std::vector<int> bandColumns;     // inverted in a row inside the band
        std::vector<int> topColumns;      // inverted in the top row
    } cases[] = {
        {2000, 2000, 2000, Range(40, 79), {}},
        {2000, 0, 2000, {40}, {}},
        {2000, 0, 5000, {40, 100}, {100}},
        // The column inside the band inverts it back.
        {2000, 2000, 3000, [] { auto v = Range(40, 79); v.erase(v.begin() + 20); return v; }(), {60}},
    };
    Show(1, Frames16(10000, {0}), 200, 50);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.playPos);
        SetSelection(c.selStart, c.selLength, ORIGIN_PROGRAM);
        SetPlayPosition(c.playPos, ORIGIN_PROGRAM);
        PaintPixels();
        std::set<int> band = InvertedColumns(10);
        EXPECT_EQ(c.bandColumns, std::vector<int>(band.begin(), band.end()));
        std::set<int> top = InvertedColumns(0);
        EXPECT_EQ(c.topColumns, std::vector<int>(top.begin(), top.end()));
    }
}

TEST_F(WaveWndTest, DragPastTheLeftEdgeScrollsAndRecordsOneSelection)
{
    Show(1, Frames16(44100, {0}), 200, 50);
    SetViewRange(20000, 5000, ORIGIN_PROGRAM);
    ASSERT_EQ(25u, TheWaveView().factor);
    SetSelection(100, 10, ORIGIN_PROGRAM);
    ResetActionLifecycle();
    const size_t before = TheUndoHistory().Count();

    SendMessageA(window->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 10));
    ExpectSelection(21250, 0);
    // x -5 arrives as a negative 16-bit value: half a view to the left.
    SendMessageA(window->hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-5, 10));
    EXPECT_EQ(17500, TheSelection().viewStart);
    ExpectSelection(17500, 3750);
    SendMessageA(window->hwnd, WM_LBUTTONUP, 0, MAKELPARAM(0, 10));
    ExpectSelection(17500, 3750);
    EXPECT_EQ(before + 1, size_t(TheUndoHistory().Count()));
    EXPECT_EQ(0, ActUndo());
    ExpectSelection(100, 10);
    // Leaving the view empties the mouse position.
    EXPECT_EQ(17500, TheSelection().mousePos);
    SendMessageA(window->hwnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(-1, TheSelection().mousePos);
}

TEST_F(WaveWndTest, ChangesOnScreenEqualAFreshPaint)
{
    std::vector<int> samples;
    for (int32_t i = 0; i < 30000; i++)
        samples.push_back(int16_t((i * 37 % 2000 - 1000) * (i % 7000) / 3));
    ShowWindow(window->hwnd, SW_SHOWNA);
    Show(1, wave::S16(samples), 200, 60);
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    for (int step = 0; step < 200; step++) {
        SCOPED_TRACE(step);
        const Selection& sel = TheSelection();
        switch (next(5)) {
        case 0:
            SetSelection(int32_t(next(30000)), int32_t(next(8000)), ORIGIN_PROGRAM);
            break;
        case 1:
            SetPlayPosition(int32_t(next(30000)), ORIGIN_ENGINE);
            break;
        case 2:
            // Small moves scroll the content, large ones repaint it.
            SetViewRange(sel.viewStart + int32_t(next(4000)) - 2000, sel.viewLength, ORIGIN_DRAG);
            break;
        case 3:
            SetViewRange(int32_t(next(30000)), int32_t(next(30000)), ORIGIN_PROGRAM);
            break;
        default:
            MoveWindow(window->hwnd, 0, 0, 150 + int(next(100)), 40 + int(next(40)), FALSE);
            break;
        }
        window->Update();
        UpdateWindow(window->hwnd);
        PaintPixels(true);
        const std::vector<uint32_t> shown = pixels;
        PaintPixels();
        ASSERT_EQ(pixels.size(), shown.size());
        size_t differing = 0;
        for (size_t i = 0; i < shown.size(); i++)
            differing += (shown[i] & 0xFFFFFF) != (pixels[i] & 0xFFFFFF);
        ASSERT_EQ(0u, differing);
    }
}

TEST(WaveScrollBar, SixtyMinutesOfStereoAtWidth1000)
{
    const int32_t total = 158760000;
    WaveScrollBar quarter = ComputeWaveScrollBar(1000, 0, total / 4, total);
    EXPECT_TRUE(quarter.shown);
    EXPECT_EQ(250, quarter.page);
    EXPECT_EQ(0, quarter.position);
    EXPECT_EQ(750, ComputeWaveScrollBar(1000, total / 4 * 3, total / 4, total).position);
    EXPECT_EQ(79380000, WaveThumbToStart(500, 1000, total));
    EXPECT_FALSE(ComputeWaveScrollBar(1000, 0, total, total).shown);
    EXPECT_FALSE(ComputeWaveScrollBar(1000, 0, 0, 0).shown);
}

}
