// The dialog number field on real controls: an edit, a scroll bar and a
// maximum label in a window whose procedure hands its messages to the field,
// as a dialog procedure does. Typing goes to the edit as characters.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "lib/number_field_win.h"

namespace {

const int FIELD = 100;   // edit; the scroll bar is FIELD + 1, the label FIELD + 2

NumberField* active = nullptr;
int changes = 0;

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (active && active->OnMessage(message, wParam, lParam))
        changes++;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

class NumberFieldTest : public ::testing::Test {
protected:
    // One window for the suite (a top-level window costs Wine seconds); the
    // controls are made per case.
    static void SetUpTestSuite()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "NumberFieldHost";
        RegisterClassA(&wc);
        host = CreateWindowA("NumberFieldHost", "field", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr,
            nullptr, wc.hInstance, nullptr);
    }
    static void TearDownTestSuite() { DestroyWindow(host); }

    void TearDown() override
    {
        active = nullptr;
        SetFocus(host);
        for (int id = FIELD; id <= FIELD + 2; id++)
            DestroyWindow(GetDlgItem(host, id));
    }

    void Create(bool vertical, int32_t minimum, int32_t maximum, int32_t value)
    {
        ASSERT_NE(nullptr, host);
        HINSTANCE instance = GetModuleHandleA(nullptr);
        CreateWindowA("EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 10, 10, 120, 24, host,
            reinterpret_cast<HMENU>(FIELD), instance, nullptr);
        DWORD barStyle = WS_CHILD | WS_VISIBLE | (vertical ? SBS_VERT : SBS_HORZ);
        bar = CreateWindowA("SCROLLBAR", "", barStyle, 140, 10, vertical ? 16 : 120, vertical ? 120 : 16, host,
            reinterpret_cast<HMENU>(FIELD + 1), instance, nullptr);
        CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 10, 50, 80, 20, host,
            reinterpret_cast<HMENU>(FIELD + 2), instance, nullptr);
        field = NumberField();
        field.Init(host, FIELD, minimum, maximum, value);
        active = &field;
        changes = 0;
    }

    HWND Edit() const { return GetDlgItem(host, FIELD); }
    std::string Text(int id) const
    {
        char text[64] = {};
        GetWindowTextA(GetDlgItem(host, id), text, sizeof text);
        return text;
    }

    // The user replaces the edit's text by typing.
    void Type(const char* text)
    {
        SetFocus(Edit());
        SendMessageA(Edit(), EM_SETSEL, 0, -1);
        for (const char* c = text; *c; c++)
            SendMessageA(Edit(), WM_CHAR, static_cast<unsigned char>(*c), 1);
    }

    void Scroll(int code)
    {
        UINT message = (GetWindowLongA(bar, GWL_STYLE) & SBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
        SendMessageA(host, message, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(bar));
    }

    static HWND host;
    HWND bar = nullptr;
    NumberField field;
};

HWND NumberFieldTest::host = nullptr;

TEST_F(NumberFieldTest, ThumbPositionsBeyondSixteenBitsAndUpsideDownBars)
{
    const struct {
        bool vertical;
        int32_t minimum, maximum, thumb, expected;
    } rows[] = {
        {true, 0, 100, 30, 70},             // up means more
        {false, -200, 200, -150, -150},
        {true, -200, 200, -150, 150},
        {false, 0, 96000, 70000, 70000},    // past the message's 16-bit position
    };
    for (const auto& row : rows) {
        Create(row.vertical, row.minimum, row.maximum, 0);
        SetScrollPos(bar, SB_CTL, row.thumb, FALSE);
        // The message's own position word is the truncated one a real drag sends.
        UINT message = row.vertical ? WM_VSCROLL : WM_HSCROLL;
        SendMessageA(host, message, MAKEWPARAM(SB_THUMBPOSITION, row.thumb & 0xFFFF), reinterpret_cast<LPARAM>(bar));
        EXPECT_EQ(row.expected, field.value) << row.thumb;
        EXPECT_EQ(std::to_string(row.expected), Text(FIELD)) << row.thumb;
        EXPECT_EQ(row.thumb, GetScrollPos(bar, SB_CTL)) << row.thumb;
        TearDown();
    }
}

TEST_F(NumberFieldTest, ScrollCodesStepByOneAndPagesJumpToTheEnds)
{
    const struct {
        bool vertical;
        int code;
        int32_t value, expected;
    } rows[] = {
        {false, SB_LINERIGHT, 50, 51}, {false, SB_LINELEFT, 10, 10}, {false, SB_PAGEUP, 50, 10},
        {false, SB_PAGERIGHT, 50, 90}, {false, SB_ENDSCROLL, 50, 50}, {true, SB_LINEUP, 50, 51},
        {true, SB_PAGEUP, 50, 90}, {true, SB_BOTTOM, 50, 10},
    };
    for (const auto& row : rows) {
        Create(row.vertical, 10, 90, row.value);
        Scroll(row.code);
        EXPECT_EQ(row.expected, field.value) << row.vertical << " " << row.code;
        EXPECT_EQ(std::to_string(row.expected), Text(FIELD)) << row.code;
        EXPECT_EQ(row.expected != row.value ? 1 : 0, changes) << row.code;
        TearDown();
    }
}

TEST_F(NumberFieldTest, TypedTextsSaturateAtTheLimitsAndTextsThatAreNoNumberChangeNothing)
{
    const struct {
        int32_t minimum, maximum;
        const char* typed;
        int32_t expected;
    } rows[] = {
        {0, 100, "abc", 40},
        {0, 100, "-", 40},
        {0, 100, "-5", 0},
        {0, 100, "99999999999", 100},
        {-200, 200, "-99999999999", -200},
        {-200, 200, "-150", -150},
        {0, 96000, "70000x", 70000},
    };
    for (const auto& row : rows) {
        Create(true, row.minimum, row.maximum, 40);
        Type(row.typed);
        EXPECT_EQ(row.expected, field.value) << row.typed;
        // The slider follows at once; the edit keeps what is being typed.
        EXPECT_EQ(row.minimum + row.maximum - row.expected, GetScrollPos(bar, SB_CTL)) << row.typed;
        EXPECT_EQ(row.typed, Text(FIELD));
        TearDown();
    }
}

TEST_F(NumberFieldTest, TheNextUpdateShowsTheClampedValueOnceTheUserIsDone)
{
    Create(false, 0, 100, 40);
    EXPECT_EQ("100", Text(FIELD + 2));
    Type("-5");
    EXPECT_EQ(0, field.value);
    field.Update(NumberField::SHOW_EDIT);
    EXPECT_EQ("-5", Text(FIELD));
    SetFocus(host);
    field.Update(NumberField::SHOW_EDIT);
    EXPECT_EQ("0", Text(FIELD));
    EXPECT_EQ(0, SendMessageA(Edit(), EM_GETMODIFY, 0, 0));

    field.value = 150;
    EXPECT_FALSE(field.Update(NumberField::SHOW_EDIT | NumberField::SHOW_SCROLL));
    EXPECT_EQ("100", Text(FIELD));
    EXPECT_EQ(100, GetScrollPos(bar, SB_CTL));
}

}
