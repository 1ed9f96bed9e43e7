// The transport button in a window of its own: the command goes out on the
// press, latching buttons stay down, and what is drawn (painted into a memory
// DIB through the button's own paint code) follows the state.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "lib/button_image_wnd.h"
#include "resource.h"
#include "support/win_pixels.h"

namespace {

const char* const PARENT_CLASS = "KvButtonTestParent";
const char* const BUTTON_CLASS = "KvButtonTestButton";
const int WIDTH = 60, HEIGHT = 48;
// Inside the edge and left of the centred 35-pixel picture: the face colour.
const int FACE_X = 8;

// What the parent was told, in order: commands (with their sender) and focus ids.
std::vector<int> commands, focusIds;
HWND lastSender = nullptr;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        commands.push_back(LOWORD(wParam));
        lastSender = reinterpret_cast<HWND>(lParam);
    } else if (message == WM_KV_BUTTON_FOCUS) {
        focusIds.push_back(int(wParam));
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

const uint32_t UNPAINTED = 0x00FF00FF;
const COLORREF NORMAL = RGB(255, 0, 0), DISABLED = RGB(0, 0, 255);

// The button painted into a 32-bit top-down DIB section, as 0x00RRGGBB.
class Picture {
public:
    // UNPAINTED is kept where the button draws nothing.
    explicit Picture(const CButtonImage& button)
        : pixels(paint::Pixels(WIDTH, HEIGHT, [&](HDC dc) { button.Paint(dc); }, UNPAINTED))
    {
    }
    uint32_t At(int x, int y) const { return pixels[size_t(y) * WIDTH + x] & 0xFFFFFF; }
    bool operator==(const Picture& o) const { return pixels == o.pixels; }
    bool operator!=(const Picture& o) const { return pixels != o.pixels; }
    std::vector<uint32_t> pixels;
};

using paint::Rgb;

// A face of the pictures' size: the face colour around a block of `centre`.
HBITMAP Face(COLORREF centre)
{
    std::vector<uint32_t> pixels(35 * 32, Rgb(RGB(192, 192, 192)));
    for (int y = 8; y < 24; y++)
        std::fill_n(&pixels[y * 35 + 8], 19, Rgb(centre));
    return CreateBitmap(35, 32, 1, 32, pixels.data());
}

class ImageButtonTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSA parentClass = {};
        parentClass.lpfnWndProc = ParentProc;
        parentClass.hInstance = GetModuleHandleA(nullptr);
        parentClass.lpszClassName = PARENT_CLASS;
        ASSERT_TRUE(RegisterClassA(&parentClass));
        WNDCLASSA buttonClass = {};
        buttonClass.hInstance = GetModuleHandleA(nullptr);
        buttonClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        buttonClass.lpszClassName = BUTTON_CLASS;
        ASSERT_TRUE(RegisterWindowClass(buttonClass));
        parent = CreateWindowExA(0, PARENT_CLASS, "buttons", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300,
            200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(parent);
    }

    // One shown parent for all cases: showing a top-level window takes Wine
    // about two seconds on a display without a window manager.
    static void TearDownTestSuite()
    {
        DestroyWindow(parent);
        Pump();
    }

    void SetUp() override
    {
        Pump();
        commands.clear();
        focusIds.clear();
    }

    // A button with solid test faces.
    HWND Make(CButtonImage& button, int id, DWORD style)
    {
        HWND h = button.Create(0, BUTTON_CLASS, "Play", WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 10,
            10, WIDTH, HEIGHT, parent, reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleA(nullptr));
        EXPECT_TRUE(h);
        EXPECT_TRUE(button.SetFaces(Face(NORMAL), Face(DISABLED)));
        return h;
    }

    static HWND parent;
};

HWND ImageButtonTest::parent = nullptr;

TEST_F(ImageButtonTest, PressSendsTheCommandBeforeTheReleaseAndFocusMovesAreTold)
{
    CButtonImage button;
    HWND h = Make(button, IDB_PLAY, 0);
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Pump();
    ASSERT_EQ(std::vector<int>{IDB_PLAY}, commands);
    EXPECT_EQ(h, lastSender);
    EXPECT_EQ(h, GetCapture());
    EXPECT_EQ(CButtonImage::STATE_FOCUS | CButtonImage::STATE_HIGHLIGHTED | CButtonImage::STATE_DOWN,
        button.State());
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_EQ(1u, commands.size());
    EXPECT_EQ(nullptr, GetCapture());

    // The focus going to a location field: the parent hears that field's id.
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 100, 10, 50, 20, parent,
        reinterpret_cast<HMENU>(IDW_FIELD_START), GetModuleHandleA(nullptr), nullptr);
    SetFocus(edit);
    EXPECT_EQ(0, button.State());
    EXPECT_EQ(std::vector<int>({IDB_PLAY, IDW_FIELD_START}), focusIds);
    DestroyWindow(edit);
}

TEST_F(ImageButtonTest, LatchingButtonStaysDownAndPlainOnePopsUp)
{
    for (DWORD style : {DWORD(0), BUTTON_IMAGE_LATCHING, BUTTON_IMAGE_LATCHING | 1}) {
        CButtonImage button;
        HWND h = Make(button, IDB_RECORD, style);
        SetFocus(h);
        Picture up(button);
        SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        Picture down(button);
        SendMessageA(h, WM_LBUTTONUP, 0, 0);
        Picture released(button);
        EXPECT_NE(up, down) << style;
        if (style & BUTTON_IMAGE_LATCHING) {
            EXPECT_EQ(down, released) << style;
            SendMessageA(h, BM_SETSTATE, FALSE, 0);
            EXPECT_EQ(up, Picture(button)) << style;
        } else {
            EXPECT_EQ(up, released) << style;
        }
        // Pressed, the picture moves right: its block starts later on the middle row.
        auto blockStart = [](const Picture& p) {
            int x = 0;
            while (x < WIDTH && p.At(x, HEIGHT / 2) != Rgb(NORMAL))
                x++;
            return x;
        };
        EXPECT_LT(blockStart(up), blockStart(down)) << style;
    }
}

TEST_F(ImageButtonTest, DisabledDrawsItsFaceAndCheckThickensTheOutlineUnlessDisabled)
{
    CButtonImage button;
    HWND h = Make(button, IDB_STOP, 0);
    int b = std::max(GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER));
    uint32_t frame = Rgb(GetSysColor(COLOR_WINDOWFRAME));
    Picture plain(button);
    EXPECT_EQ(Rgb(NORMAL), plain.At(WIDTH / 2, HEIGHT / 2));
    EXPECT_EQ(frame, plain.At(WIDTH / 2, 0));
    EXPECT_NE(frame, plain.At(WIDTH / 2, b));
    EXPECT_EQ(UNPAINTED, plain.At(0, 0)) << "corner pixels are left out";
    SendMessageA(h, BM_SETCHECK, TRUE, 0);
    Picture checked(button);
    EXPECT_EQ(frame, checked.At(WIDTH / 2, b));
    EXPECT_EQ(frame, checked.At(b, HEIGHT / 2));

    EnableWindow(h, FALSE);
    SendMessageA(h, BM_SETCHECK, TRUE, 0);
    Picture disabled(button);
    EXPECT_EQ(Rgb(DISABLED), disabled.At(WIDTH / 2, HEIGHT / 2));
    EXPECT_NE(frame, disabled.At(WIDTH / 2, b));
    // The face colour comes from the picture's corner.
    EXPECT_EQ(Rgb(RGB(192, 192, 192)), disabled.At(FACE_X, HEIGHT / 2));
    EnableWindow(h, TRUE);
    EXPECT_EQ(Rgb(NORMAL), Picture(button).At(WIDTH / 2, HEIGHT / 2));
}

TEST_F(ImageButtonTest, ProgramFacesLoadForEveryButton)
{
    for (int i = 0; i < IDBM_FACE_COUNT; i++) {
        CButtonImage button;
        HWND h = button.Create(0, BUTTON_CLASS, "", WS_CHILD | WS_VISIBLE, 0, 0, WIDTH, HEIGHT, parent,
            reinterpret_cast<HMENU>(INT_PTR(IDB_REWIND + i)), GetModuleHandleA(nullptr));
        ASSERT_TRUE(h);
        EXPECT_TRUE(button.SetFaces(GetModuleHandleA(nullptr), IDBM_FACE_FIRST + i, IDBM_FACE_DISABLED_FIRST + i))
            << i;
        // The face colour around every picture is the button face.
        EXPECT_EQ(Rgb(RGB(192, 192, 192)), Picture(button).At(FACE_X, HEIGHT / 2)) << i;
    }
    CImageBitmap picture;
    ASSERT_TRUE(picture.Load(GetModuleHandleA(nullptr), IDBM_SOUND_PICTURE));
    EXPECT_EQ(32, picture.width);
    EXPECT_EQ(32, picture.height);
}

}
