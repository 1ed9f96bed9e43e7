// The transport and position panel on real controls: a window holding the
// frame's controls under their ids stands for the frame (the host's frame
// window), forwards the location fields' notifications and the step arrows
// as the frame does, and the test devices play and record. View updates run
// when the test runs them.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "base/update_views.h"
#include "device/device_catalogue.h"
#include "device/engine.h"
#include "device/volume.h"
#include "edit/undo_history.h"
#include "resource.h"
#include "support/core_state.h"
#include "support/test_wave_device.h"
#include "view/position_panel_win.h"

namespace {

class PanelHost : public DeviceTestHost {
public:
    using DeviceTestHost::DeviceTestHost;
    void* FrameWindow() const override { return window; }
    HWND window = nullptr;
};

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
        OnLocationNotify(LOWORD(wParam), HIWORD(wParam));
    else if (message == WM_VSCROLL && GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDW_LOCATION_SCROLL)
        OnLocationStep(LOWORD(wParam));
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

class PositionPanelTest : public ::testing::Test {
protected:
    // One frame for the suite (a top-level window costs Wine seconds), its
    // controls created as the frame creates them.
    static void SetUpTestSuite()
    {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = FrameProc;
        wc.hInstance = instance;
        wc.lpszClassName = "PanelFrame";
        RegisterClassA(&wc);
        frame = CreateWindowA("PanelFrame", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 200, nullptr, nullptr, instance,
            nullptr);
        auto child = [&](const char* cls, int id, DWORD style, int x, int y, int w, int h) {
            CreateWindowA(cls, "", WS_CHILD | style, x, y, w, h, frame, reinterpret_cast<HMENU>(INT_PTR(id)), instance,
                nullptr);
        };
        for (int id = IDB_REWIND; id <= IDB_DRAG; id++)
            child("BUTTON", id, WS_VISIBLE | WS_TABSTOP, 10 + 40 * (id - IDB_REWIND), 10, 36, 32);
        for (int i = 0; i < 4; i++) {
            child("STATIC", IDW_LABEL_START + i, WS_VISIBLE | SS_CENTER, 10 + 150 * i, 50, 140, 20);
            DWORD readOnly = i >= 2 ? ES_READONLY : 0;
            child("EDIT", IDW_FIELD_START + i, WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | readOnly,
                10 + 150 * i, 70, 140, 24);
        }
        child("STATIC", IDW_STATUS_LEFT, WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 10, 110, 300, 20);
        child("STATIC", IDW_STATUS_RIGHT, WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 320, 110, 300, 20);
        child("SCROLLBAR", IDW_LOCATION_SCROLL, SBS_VERT | WS_DISABLED, 0, 0, 16, 24);
    }
    static void TearDownTestSuite() { DestroyWindow(frame); }

    void SetUp() override
    {
        ASSERT_NE(nullptr, frame);
        ASSERT_TRUE(ResetCore());
        ResetViewUpdates();
        ResetDev();
        devices.outputs = {TestWaveDevices::OutCaps("Speakers", 40, DEVCAPS_VOLUME)};
        devices.inputs = {TestWaveDevices::InCaps("Line", 50)};
        ASSERT_EQ(0, SelectPlayDevice(TheDevOptions(), 0));
        ASSERT_EQ(0, SelectRecordDevice(TheDevOptions(), 0));
        host.frame = true;
        host.window = frame;
        SetFocus(frame);
        InstallPositionPanel();
        // 8-bit mono at 11025 Hz, two seconds; selection 1000/500.
        KvWaveFormat f = PcmFormat(1, 8, 11025);
        SetSound(f, std::vector<uint8_t>(22050, 0x80), 0, 1000, 500);
        TheAppOptions().defaultLengthUnit = LENGTH_UNIT_SAMPLES;
        Update();
    }

    void TearDown() override
    {
        CloseVolumePopup();
        Stop();
        SetFocus(frame);
        ResetViewUpdates();
        ResetDev();
        TheDocument().FreeAll();
    }

    static void Update()
    {
        UpdateViews(UpdAll);
        RunPendingViewUpdates();
    }

    HWND Control(int id) const { return GetDlgItem(host.window, id); }
    std::string Text(int id) const
    {
        char text[256] = {};
        GetWindowTextA(id ? Control(id) : host.window, text, sizeof text);
        return text;
    }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }

    // The user clicks into a field and types over its text.
    void Type(int id, const char* text)
    {
        SetFocus(Control(id));
        SendMessageA(Control(id), EM_SETSEL, 0, -1);
        for (const char* c = text; *c; c++)
            SendMessageA(Control(id), WM_CHAR, static_cast<unsigned char>(*c), 1);
    }
    // Enter: the frame takes the focus back.
    void Enter() { SetFocus(host.window); }
    void Escape()
    {
        EXPECT_TRUE(RestoreLocationEdit());
        SetFocus(host.window);
    }
    void Step(int code)
    {
        SendMessageA(host.window, WM_VSCROLL, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(Control(IDW_LOCATION_SCROLL)));
    }
    static int UndoSteps() { return TheUndoHistory().Count(); }

    static HWND frame;
    TestWaveDevices devices;
    PanelHost host{devices};
};

HWND PositionPanelTest::frame = nullptr;

TEST_F(PositionPanelTest, UpdatesFillTheFieldsAndLines)
{
    EXPECT_EQ("1000", Text(IDW_FIELD_START));
    EXPECT_EQ("500", Text(IDW_FIELD_LENGTH));
    EXPECT_EQ(" 1000", Text(IDW_FIELD_PLAYPOS));
    EXPECT_EQ("", Text(IDW_FIELD_MOUSE));
    EXPECT_EQ("Length", Text(IDW_LABEL_LENGTH));
    EXPECT_EQ("2.00 secs, 22050 samples", Text(IDW_STATUS_LEFT));
    EXPECT_EQ("Voice Quality (11.025 kHz), Mono, 8-bit", Text(IDW_STATUS_RIGHT));
    EXPECT_EQ("Kelvora - (Untitled)", Text(0));
    EXPECT_FALSE(Enabled(IDB_DRAG));

    TheSelection().mousePos = 2205;
    TheAppOptions().showEnd = 1;
    TheAppOptions().defaultLengthUnit = LENGTH_UNIT_TIME;
    Update();
    EXPECT_EQ("0.20", Text(IDW_FIELD_MOUSE).substr(1));
    EXPECT_EQ("End", Text(IDW_LABEL_LENGTH));
    EXPECT_EQ("0.13", Text(IDW_FIELD_LENGTH));
    EXPECT_EQ("2.00 secs, 21 Kbytes", Text(IDW_STATUS_LEFT));

    TheDocument().SetFileName("C:\\sounds\\tone.wav");
    Update();
    EXPECT_EQ("Kelvora - tone.wav", Text(0));
    EXPECT_FALSE(Enabled(IDB_DRAG));       // until the frame can drag files out
    SetDragOutAvailable(true);
    Update();
    EXPECT_TRUE(Enabled(IDB_DRAG));
    SetDragOutAvailable(false);
}

TEST_F(PositionPanelTest, ATypedValueIsAppliedOnceWhenSentAndUndoneInOneStep)
{
    Type(IDW_FIELD_START, "2000");
    EXPECT_EQ(Control(IDW_FIELD_START), TheApp().locationEditFocus);
    HWND arrows = Control(IDW_LOCATION_SCROLL);
    EXPECT_TRUE(IsWindowVisible(arrows) && IsWindowEnabled(arrows));
    RECT field, bar;
    GetWindowRect(Control(IDW_FIELD_START), &field);
    GetWindowRect(arrows, &bar);
    EXPECT_EQ(field.right, bar.right);
    EXPECT_EQ(field.bottom - field.top, bar.bottom - bar.top);
    ExpectSelection(1000, 500);
    int steps = UndoSteps();

    Enter();
    ExpectSelection(2000, 500);
    EXPECT_EQ(steps + 1, UndoSteps());
    EXPECT_EQ(nullptr, TheApp().locationEditFocus);
    EXPECT_FALSE(IsWindowVisible(arrows));
    RunPendingViewUpdates();
    EXPECT_EQ("2000", Text(IDW_FIELD_START));
    EXPECT_EQ(0, ActUndo());
    ExpectSelection(1000, 500);

    // Shown by its end, an end before the start selects between them.
    TheAppOptions().showEnd = 1;
    Update();
    Type(IDW_FIELD_LENGTH, "400");
    Enter();
    ExpectSelection(400, 600);
}

TEST_F(PositionPanelTest, TheProgramsOwnTextIsNeverReadBack)
{
    // Seconds with two decimals do not parse back to the same block: 12345
    // blocks show as 1.11, which would read as 12237.
    TheAppOptions().defaultLengthUnit = LENGTH_UNIT_TIME;
    SetFocus(Control(IDW_FIELD_START));
    int steps = UndoSteps();
    SetSelection(12345, 100, ORIGIN_PROGRAM);
    RunPendingViewUpdates();
    EXPECT_EQ("1.11", Text(IDW_FIELD_START));
    Enter();
    ExpectSelection(12345, 100);
    EXPECT_EQ(steps, UndoSteps());

    // An update leaves the user's unsent edit alone; Esc puts the selection
    // back into the field and nothing is applied.
    Type(IDW_FIELD_START, "0.5");
    SetSelection(11025, 100, ORIGIN_PROGRAM);
    RunPendingViewUpdates();
    EXPECT_EQ("0.5", Text(IDW_FIELD_START));
    steps = UndoSteps();
    Escape();
    EXPECT_EQ("1.00", Text(IDW_FIELD_START));
    ExpectSelection(11025, 100);
    EXPECT_EQ(steps, UndoSteps());
}

TEST_F(PositionPanelTest, StepArrowsMoveTheFocusedFieldAtOnce)
{
    SetFocus(Control(IDW_FIELD_START));
    int steps = UndoSteps();
    Step(SB_LINEUP);
    ExpectSelection(1001, 500);
    EXPECT_EQ("1001", Text(IDW_FIELD_START));
    Step(SB_ENDSCROLL);
    EXPECT_EQ(steps + 1, UndoSteps());

    // From what was typed, when the user typed.
    Type(IDW_FIELD_LENGTH, "20");
    Step(SB_LINEDOWN);
    ExpectSelection(1001, 19);
    EXPECT_EQ("19", Text(IDW_FIELD_LENGTH));
    Enter();
    ExpectSelection(1001, 19);
    EXPECT_EQ(steps + 2, UndoSteps());
}

TEST_F(PositionPanelTest, TransportButtonsFollowTheEngine)
{
    // Per mode: Rewind, Fast Forward and Play alike, Stop, Record, Fast Play
    // (never: no playback rate), Vol.
    auto expect = [&](const char* state, bool play, bool stop, bool record, bool volume) {
        RunPendingViewUpdates();
        std::vector<bool> enabled;
        for (int id = IDB_REWIND; id <= IDB_VOLUME; id++)
            enabled.push_back(Enabled(id));
        EXPECT_EQ((std::vector<bool>{play, play, play, stop, record, false, volume}), enabled) << state;
    };
    expect("closed", true, false, true, true);

    SendMessageA(Control(IDB_PLAY), BM_SETSTATE, TRUE, 0);
    ASSERT_EQ(0, Play());
    expect("playing", true, true, false, true);
    Stop();
    expect("stopped", true, false, true, true);
    EXPECT_EQ(0, SendMessageA(Control(IDB_PLAY), BM_GETSTATE, 0, 0) & BST_PUSHED);

    ASSERT_EQ(0, Record());
    expect("recording", false, true, true, false);
    Stop();

    SetSound(PcmFormat(1, 8, 11025), {});
    UpdateViews(UpdTransport);
    expect("empty", false, false, true, true);
}

TEST_F(PositionPanelTest, VolumePopupSetsTheDeviceVolumeInSteps)
{
    devices.volume = 0x80808080;
    ToggleVolumePopup();
    HWND popup = static_cast<HWND>(VolumePopupWindow());
    ASSERT_NE(nullptr, popup);
    RECT button, r;
    GetWindowRect(Control(IDB_VOLUME), &button);
    GetWindowRect(popup, &r);
    EXPECT_EQ(button.left, r.left);
    EXPECT_EQ(button.bottom, r.top);
    HWND slider = GetDlgItem(popup, 6900);
    EXPECT_EQ(VOLUME_STEP_MAX - 128, GetScrollPos(slider, SB_CTL));

    EXPECT_TRUE(StepVolumePopup(+1));
    EXPECT_EQ(129u * 257 * 0x10001, devices.volume);
    EXPECT_EQ(129u * 257 * 0x10001, TheDev().volume);
    SendMessageA(popup, WM_VSCROLL, MAKEWPARAM(SB_TOP, 0), reinterpret_cast<LPARAM>(slider));
    EXPECT_EQ(0xFFFFFFFFu, devices.volume);

    // Refused: the engine keeps its volume and the slider goes back to it.
    devices.volumeResult = DEVERR_NOTSUPPORTED;
    EXPECT_TRUE(StepVolumePopup(-3));
    EXPECT_EQ(0xFFFFFFFFu, TheDev().volume);
    EXPECT_EQ(0, GetScrollPos(slider, SB_CTL));

    // The button closes it; so does Esc, once.
    ToggleVolumePopup();
    EXPECT_EQ(nullptr, VolumePopupWindow());
    EXPECT_FALSE(IsWindow(popup));
    ToggleVolumePopup();
    EXPECT_TRUE(CloseVolumePopup());
    EXPECT_FALSE(CloseVolumePopup());
    EXPECT_FALSE(StepVolumePopup(1));

    // A volume that cannot be read: the popup closes at once.
    TheDevOptions().playCaps.dwSupport = 0;
    ToggleVolumePopup();
    EXPECT_EQ(nullptr, VolumePopupWindow());
}

}
