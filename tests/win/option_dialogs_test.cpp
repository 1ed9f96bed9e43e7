// The option dialogs, run modally on the test's thread while a second
// thread works them as a user would: keys typed into their fields, buttons
// pressed by id. What counts is what OK leaves behind: the stored settings,
// the undo steps filed and the sound.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "base/app_options.h"
#include "edit/effect_dlg.h"
#include "edit/undo_history.h"
#include "resource.h"
#include "sound/pcm_convert.h"
#include "support/core_state.h"
#include "support/test_wave_device.h"
#include "app/convert_format_dlg.h"
#include "app/info_dlg.h"
#include "app/object_options_dlg.h"
#include "base/app.h"
#include "base/error_message.h"
#include "lib/image_bitmap_win.h"
#include "sound/object_icon.h"
#include "sound/object_options.h"
#include "support/dib_builder.h"
#include "support/wave_builder.h"
#include "support/win_driver.h"
#include "device/device_catalogue.h"
#include "device/device_dlg.h"
#include "view/display_options_dlg.h"

namespace {

std::string Text(HWND dialog, int id)
{
    char text[64] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

bool Checked(HWND dialog, int id)
{
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// The user clicks into the edit, selects its text and types over it.
void Type(HWND dialog, HWND edit, const char* text)
{
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    for (const char* c = text; *c; c++)
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(*c), 1);
}

void Type(HWND dialog, int id, const char* text) { Type(dialog, GetDlgItem(dialog, id), text); }

// The control lies within the dialog as cut by "<< Less".
bool Shows(HWND dialog, int id)
{
    RECT d, c;
    GetWindowRect(dialog, &d);
    GetWindowRect(GetDlgItem(dialog, id), &c);
    return c.top < d.bottom;
}

void Press(HWND dialog, int id)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// A visible dialog of this process whose title holds `title`, within 5 s:
// visible, its initialisation is over.
HWND WaitForDialog(const char* title)
{
    driver::Process self;
    self.pi.dwProcessId = GetCurrentProcessId();
    return self.WaitForDialog(title, 5000);
}

class OptionDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ResetCore());
        Sound(PcmFormat(1, 16, 22050), {1000, -1000, 4000, -4000});
    }

    // 8-bit samples are stored offset by 128.
    void Sound(const KvWaveFormat& f, const std::vector<int>& samples)
    {
        std::vector<uint8_t> bytes;
        if (f.wBitsPerSample == 16) {
            bytes = wave::S16(samples);
        } else {
            for (int v : samples)
                bytes.push_back(uint8_t(v + 128));
        }
        SetSound(f, bytes, 0, 0, int32_t(samples.size()));
        ResetUndoHistory(ACTSTATE_LOADING);
        ResetUndoHistory(ACTSTATE_READY);
    }

    // Opens the dialog with `open`; once it shows (titled `title`), `work`
    // runs against it on another thread, which then presses `close`.
    // Returns what `open` returned.
    bool Run(bool (*open)(HWND), const char* title, std::function<void(HWND)> work, int close = IDOK)
    {
        std::atomic<bool> found{false};
        std::thread driver([&] {
            if (HWND dialog = WaitForDialog(title)) {
                found = true;
                work(dialog);
                PostMessageA(dialog, WM_COMMAND, close, 0);
            }
        });
        bool ok = open(nullptr);
        driver.join();
        EXPECT_TRUE(found) << title;
        return ok;
    }

    static size_t Steps() { return size_t(TheUndoHistory().Count()); }
};

TEST_F(OptionDialogTest, OkFilesTheSettingsOnlyWhenChangedThenTheEffect)
{
    const std::vector<uint8_t> before = DocumentBytes();
    TheEffectSettings().amplification = 150;

    // Cancel: nothing at all.
    EXPECT_FALSE(Run(AmplifyDialog, "Amplification", [](HWND d) {
        EXPECT_TRUE(Checked(d, IDC_AMPLIFY_PRESET + 2));
        Press(d, IDC_AMPLIFY_PRESET);
    }, IDCANCEL));
    EXPECT_EQ(0u, Steps());
    EXPECT_EQ(150, TheEffectSettings().amplification);

    // OK unchanged: the effect alone.
    EXPECT_TRUE(Run(AmplifyDialog, "Amplification", [](HWND) {}));
    EXPECT_EQ(1u, Steps());
    EXPECT_EQ(0, ActUndo());
    EXPECT_EQ(before, DocumentBytes());

    // A typed 1001 is taken as the field's top, 1000, and shown so once the
    // field loses the focus; no preset matches it.
    EXPECT_TRUE(Run(AmplifyDialog, "Amplification", [](HWND d) {
        Type(d, IDC_AMPLIFY_VALUE, "1001");
        EXPECT_EQ("1001", Text(d, IDC_AMPLIFY_VALUE));
        for (int i = 0; i < 5; i++)
            EXPECT_FALSE(Checked(d, IDC_AMPLIFY_PRESET + i));
        SendMessageA(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(d, IDOK)), TRUE);
        EXPECT_EQ("1000", Text(d, IDC_AMPLIFY_VALUE));
    }));
    EXPECT_EQ(1000, TheEffectSettings().amplification);
    EXPECT_EQ(2u, Steps());
    ExpectSelection(0, 4);
    EXPECT_EQ((std::vector<uint8_t>{0x10, 0x27, 0xF0, 0xD8, 0xFF, 0x7F, 0x01, 0x80}), DocumentBytes());
    // Undo takes back the effect, then the settings.
    EXPECT_EQ(0, ActUndo());
    EXPECT_EQ(before, DocumentBytes());
    EXPECT_EQ(0, ActUndo());
    EXPECT_EQ(150, TheEffectSettings().amplification);
}

TEST_F(OptionDialogTest, PresetsChecksAndTheExpandedState)
{
    TheEffectSettings().echoDelay = 333;
    TheAppOptions().extra = 0;
    EXPECT_FALSE(Run(EchoDialog, "Echo Options", [](HWND d) {
        EXPECT_TRUE(Checked(d, IDC_ECHO_DELAY_PRESET + 4));
        EXPECT_TRUE(Checked(d, IDC_ECHO_STRENGTH_PRESET + 1));
        EXPECT_FALSE(Shows(d, IDC_ECHO_DELAY));
        Press(d, IDC_EXPAND_MORE);
        EXPECT_TRUE(Shows(d, IDC_ECHO_DELAY));
        Type(d, IDC_ECHO_DELAY, "150");
        for (int i = 0; i < 5; i++)
            EXPECT_FALSE(Checked(d, IDC_ECHO_DELAY_PRESET + i));
        Press(d, IDC_ECHO_DELAY_PRESET);
        EXPECT_EQ("20", Text(d, IDC_ECHO_DELAY));
        Press(d, IDC_ECHO_CHORUS);
        EXPECT_TRUE(Checked(d, IDC_ECHO_CHORUS));
    }, IDCANCEL));
    EXPECT_EQ(1, TheAppOptions().extra);
    EXPECT_EQ(333, TheEffectSettings().echoDelay);

    // The next dialog opens expanded; a fade out checks its button.
    TheEffectSettings().fadeStart = 80;
    TheEffectSettings().fadeEnd = 0;
    Run(FadeDialog, "Fade Options", [](HWND d) {
        EXPECT_TRUE(Shows(d, IDC_FADE_START));
        EXPECT_TRUE(Checked(d, IDC_FADE_OUT));
        Press(d, IDC_FADE_IN);
        EXPECT_EQ("0", Text(d, IDC_FADE_START));
        EXPECT_EQ("100", Text(d, IDC_FADE_END));
    }, IDCANCEL);
}

TEST_F(OptionDialogTest, PitchFactorTypedAndInverted)
{
    // Typed key by key, the text stays as typed while the factor follows.
    EXPECT_TRUE(Run(PitchDialog, "Pitch Change", [](HWND d) {
        EXPECT_EQ("1.00", Text(d, IDC_PITCH_TEXT));
        Type(d, IDC_PITCH_TEXT, "0.5");
        EXPECT_EQ("0.5", Text(d, IDC_PITCH_TEXT));
        EXPECT_TRUE(Checked(d, IDC_PITCH_PRESET));
    }));
    EXPECT_EQ(32768, TheEffectSettings().pitchFactor);
    EXPECT_EQ(8, TheDocument().length);     // an octave down: twice as long

    Run(PitchDialog, "Pitch Change", [](HWND d) {
        Press(d, IDC_PITCH_PRESET + 3);
        EXPECT_EQ("2.00", Text(d, IDC_PITCH_TEXT));
        Press(d, IDC_PITCH_INVERT);
        EXPECT_EQ("0.50", Text(d, IDC_PITCH_TEXT));
        EXPECT_TRUE(Checked(d, IDC_PITCH_PRESET));
    }, IDCANCEL);
}

TEST_F(OptionDialogTest, ToneKeypadAndFieldLimitsFromTheSound)
{
    // 8000 Hz: a stored 6000 Hz opens as the highest tone, 4000.
    Sound(PcmFormat(1, 16, 8000), std::vector<int>(800, 0));
    TheEffectSettings().tone1Frequency = 6000;
    EXPECT_TRUE(Run(ToneDialog, "Tone Generator", [](HWND d) {
        EXPECT_EQ("4000", Text(d, IDC_TONE1_FREQUENCY));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_TONE2_FREQUENCY)));
        Press(d, IDC_TONE_KEYPAD + 5);     // key 5
        EXPECT_EQ("770", Text(d, IDC_TONE1_FREQUENCY));
        EXPECT_EQ("1336", Text(d, IDC_TONE2_FREQUENCY));
        EXPECT_TRUE(Checked(d, IDC_TONE2_ON));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, IDC_TONE2_FREQUENCY)));
        // Its box turns tone 2 off and on again, at 50 %.
        Press(d, IDC_TONE2_ON);
        EXPECT_FALSE(Checked(d, IDC_TONE2_ON));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_TONE2_AMPLITUDE)));
        Press(d, IDC_TONE2_ON);
        EXPECT_EQ("50", Text(d, IDC_TONE2_AMPLITUDE));
    }));
    const EffectSettings& s = TheEffectSettings();
    EXPECT_EQ(770, s.tone1Frequency);
    EXPECT_EQ(1336, s.tone2Frequency);
    EXPECT_EQ(50, s.tone1Amplitude);
    EXPECT_EQ(50, s.tone2Amplitude);
    EXPECT_NE(std::vector<uint8_t>(1600, 0), DocumentBytes());

    // 8-bit: the fill value stays within the sample width.
    Sound(PcmFormat(1, 8, 11025), {0, 0});
    EXPECT_TRUE(Run(FillDialog, "Fill Options", [](HWND d) { Type(d, IDC_FILL_VALUE, "-200"); }));
    EXPECT_EQ(-127, TheEffectSettings().fillValue);
    EXPECT_EQ((std::vector<uint8_t>{1, 1}), DocumentBytes());

    // The background duration shows milliseconds and keeps tens of them.
    Run(RemoveBackgroundDialog, "Remove Background Noise", [](HWND d) {
        EXPECT_EQ("100", Text(d, IDC_BACKGROUND_DURATION));
        Type(d, IDC_BACKGROUND_DURATION, "250");
    }, IDOK);
    EXPECT_EQ(25, TheEffectSettings().noiseDuration);
}

}

TEST_F(OptionDialogTest, DisplayOptionsStoreAChangedPairAsOneStep)
{
    TheAppOptions().defaultLengthUnit = 1;
    TheAppOptions().showEnd = 0;
    EXPECT_TRUE(Run(DisplayOptionsDialog, "Display Options", [](HWND d) {
        EXPECT_TRUE(Checked(d, IDC_DISPLAY_UNIT + 1));
        EXPECT_TRUE(Checked(d, IDC_DISPLAY_LENGTH));
    }));
    EXPECT_EQ(0u, Steps());
    EXPECT_TRUE(Run(DisplayOptionsDialog, "Display Options", [](HWND d) {
        Press(d, IDC_DISPLAY_UNIT + 3);
        Press(d, IDC_DISPLAY_END);
        EXPECT_FALSE(Checked(d, IDC_DISPLAY_UNIT + 1));
    }));
    EXPECT_EQ(3, TheAppOptions().defaultLengthUnit);
    EXPECT_EQ(1, TheAppOptions().showEnd);
    EXPECT_EQ(1u, Steps());
    EXPECT_EQ(0, ActUndo());
    EXPECT_EQ(1, TheAppOptions().defaultLengthUnit);
    EXPECT_EQ(0, TheAppOptions().showEnd);
}

TEST_F(OptionDialogTest, PropertiesAndAboutShowTheSoundAndTheRoom)
{
    EXPECT_FALSE(Run(PropertiesDialog, "Properties", [](HWND d) {
        EXPECT_EQ("(Untitled)", Text(d, IDC_PROP_FILE));
        EXPECT_EQ(TheDocument().format.GetDisplayName().c_str(), Text(d, IDC_PROP_FORMAT));
        EXPECT_EQ("8 bytes", Text(d, IDC_PROP_SIZE_BYTES));
        EXPECT_EQ("4 samples", Text(d, IDC_PROP_SIZE_SAMPLES));
        EXPECT_NE(std::string::npos, Text(d, IDC_PROP_DISK_KBYTES).find(" Kbytes"));
        EXPECT_NE(std::string::npos, Text(d, IDC_PROP_MEMORY_SECONDS).find(" secs"));
    }));
    Run(AboutDialog, "About Kelvora", [](HWND d) {
        EXPECT_NE(std::string::npos, Text(d, IDC_ABOUT_MEMORY).find(" Kbytes"));
        EXPECT_NE(std::string::npos, Text(d, IDC_ABOUT_RESOURCES).find(" %"));
    });
}

TEST_F(OptionDialogTest, DeviceOptionsAndInformation)
{
    TestWaveDevices devices;
    devices.outputs = {TestWaveDevices::OutCaps("Speakers", 7, DEVCAPS_VOLUME),
        TestWaveDevices::OutCaps("Line", 8, DEVCAPS_SYNC)};
    devices.outputs[0].dwFormats = 0x20;    // 22.05 kHz stereo 8-bit only
    ResetDevOptions();
    LookUpDevices();
    const DevOptions before = TheDevOptions();

    EXPECT_TRUE(Run(DeviceOptionsDialog, "Device Options", [](HWND) {}));
    EXPECT_EQ(0u, Steps());

    // A synchronous device takes the repeat choices away at once.
    EXPECT_FALSE(Run(DeviceOptionsDialog, "Device Options", [](HWND d) {
        SendDlgItemMessageA(d, IDC_PLAY_DEVICE, CB_SETCURSEL, 2, 0);
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_PLAY_DEVICE, CBN_SELCHANGE),
            reinterpret_cast<LPARAM>(GetDlgItem(d, IDC_PLAY_DEVICE)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_REPEAT_TIMES)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_REPEAT_COUNT)));
    }, IDCANCEL));

    EXPECT_TRUE(Run(DeviceOptionsDialog, "Device Options", [](HWND d) {
        Type(d, IDC_REPEAT_COUNT, "3");
    }));
    EXPECT_EQ(3u, TheDevOptions().repeatCount);
    EXPECT_EQ(1u, Steps());
    EXPECT_EQ(0, ActUndo());
    EXPECT_TRUE(before == TheDevOptions());

    // No input device: the record part names none.
    Run([](HWND owner) { ShowDeviceInfo(owner, IDD_PLAY_INFO, 0); return true; }, "Play Device Information",
        [](HWND d) {
            EXPECT_EQ("Speakers", Text(d, IDC_INFO_PLAY_NAME));
            EXPECT_EQ("Not Supported", Text(d, IDC_INFO_PLAY_11K));
            EXPECT_EQ("Stereo, 8-bit", Text(d, IDC_INFO_PLAY_11K + 1));
            EXPECT_EQ("Mono", Text(d, IDC_INFO_VOLUME));
        });
    Run(DeviceInfoDialog, "Device Information", [](HWND d) {
        EXPECT_EQ("No Device", Text(d, IDC_INFO_RECORD_NAME));
    });
}

TEST_F(OptionDialogTest, ConvertFormatTakesTypedRatesAndMakesWideSoundEditable)
{
    Sound(PcmFormat(1, 8, 11025), {10, -10, 20, -20});
    const std::vector<uint8_t> before = DocumentBytes();
    EXPECT_TRUE(Run(ConvertFormatDialog, "Convert Format", [](HWND d) {
        EXPECT_TRUE(Checked(d, IDC_CONVERT_8BIT));
        Press(d, IDC_CONVERT_STEREO);
        Press(d, IDC_CONVERT_16BIT);
        // Typed into the rate list's own edit, key by key.
        Type(d, GetWindow(GetDlgItem(d, IDC_CONVERT_RATE), GW_CHILD), "22.05");
        EXPECT_EQ("88200", Text(d, IDC_PROP_RATE));
    }));
    const KvWaveFormat* w = TheDocument().format.Record();
    EXPECT_EQ(2, w->nChannels);
    EXPECT_EQ(16, w->wBitsPerSample);
    EXPECT_EQ(22050u, w->nSamplesPerSec);
    EXPECT_EQ(8, TheDocument().length);
    EXPECT_EQ(0, ActUndo());
    EXPECT_EQ(before, DocumentBytes());

    // 24-bit and float sound check neither size, and 16 bits makes them
    // editable.
    const float half[] = {0.5f, -0.5f};
    std::vector<uint8_t> floats(reinterpret_cast<const uint8_t*>(half), reinterpret_cast<const uint8_t*>(half) + 8);
    const struct {
        KvWaveFormat format;
        std::vector<uint8_t> bytes;
    } wide[] = {
        {{WAVE_TAG_PCM, 1, 8000, 24000, 3, 24, 0}, {0x00, 0x00, 0x40, 0x00, 0x00, 0xC0}},
        {{WAVE_TAG_IEEE_FLOAT, 1, 8000, 32000, 4, 32, 0}, floats},
    };
    for (const auto& w : wide) {
        SetSound(w.format, w.bytes, 0, 0, 2);
        EXPECT_TRUE(Run(ConvertFormatDialog, "Convert Format", [](HWND d) {
            EXPECT_FALSE(Checked(d, IDC_CONVERT_8BIT));
            EXPECT_FALSE(Checked(d, IDC_CONVERT_16BIT));
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, IDC_CONVERT_16BIT)));
            Press(d, IDC_CONVERT_16BIT);
        }));
        EXPECT_TRUE(TheDocument().format.IsPcm());
        EXPECT_EQ((std::vector<uint8_t>{0x00, 0x40, 0x00, 0xC0}), DocumentBytes());
    }
}

namespace {

// What the shell hands a window that files were dropped on.
HDROP DropOf(const std::string& path)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + path.size() + 2);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    std::memcpy(drop + 1, path.c_str(), path.size());
    GlobalUnlock(block);
    return static_cast<HDROP>(block);
}

// Width and height from a packed DIB's header.
std::pair<int32_t, int32_t> IconSize(const std::vector<uint8_t>& icon)
{
    if (icon.size() < 12)
        return {0, 0};
    int32_t w, h;
    std::memcpy(&w, &icon[4], 4);
    std::memcpy(&h, &icon[8], 4);
    return {w, h};
}

class ObjectOptionsDialogTest : public OptionDialogTest {
protected:
    void SetUp() override
    {
        OptionDialogTest::SetUp();
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "kvobj" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), nullptr);
        TheApp().programPath = (folder + "\\KELVORA.EXE").c_str();
        TheApp().instance = GetModuleHandleA(nullptr);
    }
    void TearDown() override
    {
        for (const char* name : {"\\KELVORA.BMP", "\\red.bmp"})
            DeleteFileA((folder + name).c_str());
        RemoveDirectoryA(folder.c_str());
    }
    static bool Enabled(HWND d, int id) { return IsWindowEnabled(GetDlgItem(d, id)) != FALSE; }

    std::string folder;
};

TEST_F(ObjectOptionsDialogTest, TogglesAndTheLabelAreStoredAsOneStepOnlyWhenChanged)
{
    EXPECT_FALSE(Run(ObjectOptionsDialog, "Object Options", [](HWND d) {
        EXPECT_TRUE(Checked(d, IDC_OBJ_SHOW_LABEL));
        EXPECT_TRUE(Checked(d, IDC_OBJ_SHOW_DATE));
        EXPECT_FALSE(Checked(d, IDC_OBJ_SHOW_TIME));
        EXPECT_TRUE(Checked(d, IDC_OBJ_STORE_ICON));
        EXPECT_EQ("Kelvora", Text(d, IDC_OBJ_LABEL));
        Press(d, IDC_OBJ_SHOW_TIME);
        Type(d, IDC_OBJ_LABEL, "x");
    }, IDCANCEL));
    EXPECT_TRUE(Run(ObjectOptionsDialog, "Object Options", [](HWND) {}));
    EXPECT_EQ(0u, Steps());
    EXPECT_EQ(uint32_t(OBJ_DEFAULT_FLAGS), TheObjectOptions().flags);

    EXPECT_TRUE(Run(ObjectOptionsDialog, "Object Options", [](HWND d) {
        Press(d, IDC_OBJ_SHOW_TIME);
        EXPECT_TRUE(Checked(d, IDC_OBJ_SHOW_TIME));
        Type(d, IDC_OBJ_LABEL, "Bells, far");
    }));
    EXPECT_EQ(uint32_t(OBJ_DEFAULT_FLAGS | OBJ_SHOW_TIME), TheObjectOptions().flags);
    EXPECT_STREQ("Bells, far", TheObjectOptions().label.c_str());

    // Nothing shown and the default icon: no description is left to store.
    EXPECT_TRUE(Run(ObjectOptionsDialog, "Object Options", [](HWND d) {
        for (int id : {IDC_OBJ_SHOW_LABEL, IDC_OBJ_SHOW_DATE, IDC_OBJ_SHOW_TIME, IDC_OBJ_USE_DEFAULT})
            Press(d, id);
        EXPECT_TRUE(Checked(d, IDC_OBJ_USE_DEFAULT));
        EXPECT_FALSE(Checked(d, IDC_OBJ_STORE_ICON));
    }));
    EXPECT_EQ(0u, TheObjectOptions().flags);
    EXPECT_EQ(2u, Steps());
    EXPECT_EQ(0, ActUndo());
    EXPECT_EQ(0, ActUndo());
    EXPECT_EQ(uint32_t(OBJ_DEFAULT_FLAGS), TheObjectOptions().flags);
    EXPECT_STREQ("Kelvora", TheObjectOptions().label.c_str());
}

TEST_F(ObjectOptionsDialogTest, IconsComeFromADroppedFileOrTheClipboardAndDefaultSavesOne)
{
    const std::vector<uint8_t> red = dib::Packed(8, 6, 0xFF0000);
    const std::string bmp = folder + "\\red.bmp";
    ASSERT_TRUE(wave::WriteFile(bmp, dib::Bmp(red)));
    // An unlabelled picture takes the dropped file's name.
    EXPECT_TRUE(Run(ObjectOptionsDialog, "Object Options", [&](HWND d) {
        SetDlgItemTextA(d, IDC_OBJ_LABEL, "");
        SendMessageA(d, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(bmp)), 0);
    }));
    EXPECT_EQ(red, TheObjectOptions().icon);
    EXPECT_EQ((folder + "\\red").substr(0, MAX_LABEL_CHARS), TheObjectOptions().label.c_str());

    // "Paste" follows the clipboard while the dialog shows.
    CImageDIB blueDib;
    CImageBitmap blue;
    const std::vector<uint8_t> blueBytes = dib::Packed(5, 4, 0x0000FF);
    ASSERT_TRUE(blueDib.Assign(blueBytes.data(), blueBytes.size(), false) && blue.FromDIB(blueDib));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_BITMAP, blue.handle);
    blue.handle = nullptr;
    CloseClipboard();
    EXPECT_TRUE(Run(ObjectOptionsDialog, "Object Options", [](HWND d) {
        EXPECT_TRUE(Enabled(d, IDC_OBJ_PASTE));
        Press(d, IDC_OBJ_PASTE);
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        CloseClipboard();
        for (int i = 0; i < 50 && Enabled(d, IDC_OBJ_PASTE); i++)
            Sleep(20);
        EXPECT_FALSE(Enabled(d, IDC_OBJ_PASTE));
    }));
    EXPECT_EQ(std::make_pair(5, 4), IconSize(TheObjectOptions().icon));

    // "Use default icon" lets the icon go, unless "Default" keeps it to be
    // saved as the program's default.
    EXPECT_TRUE(Run(ObjectOptionsDialog, "Object Options", [](HWND d) {
        Press(d, IDC_OBJ_MAKE_DEFAULT);
        EXPECT_TRUE(Checked(d, IDC_OBJ_MAKE_DEFAULT));
        Press(d, IDC_OBJ_USE_DEFAULT);
    }));
    EXPECT_EQ(std::make_pair(5, 4), IconSize(TheObjectOptions().icon));
    EXPECT_EQ(0u, TheObjectOptions().flags & OBJ_STORE_ICON);
    std::vector<uint8_t> saved;
    ASSERT_TRUE(ReadIconFile((folder + "\\KELVORA.BMP").c_str(), false, saved));
    EXPECT_EQ(std::make_pair(5, 4), IconSize(saved));
    EXPECT_TRUE(Run(ObjectOptionsDialog, "Object Options", [](HWND d) { Press(d, IDC_OBJ_USE_DEFAULT); }));
    EXPECT_TRUE(TheObjectOptions().icon.empty());

    // A default icon that cannot be written is reported; the rest is stored.
    TheApp().programPath = (folder + "\\missing\\KELVORA.EXE").c_str();
    std::string error;
    Run(ObjectOptionsDialog, "Object Options", [&](HWND d) {
        Press(d, IDC_OBJ_MAKE_DEFAULT);
        Press(d, IDC_OBJ_SHOW_TIME);
        PostMessageA(d, WM_COMMAND, IDOK, 0);
        HWND box = WaitForDialog(ErrorBoxTitle());
        ASSERT_NE(nullptr, box);
        error = driver::WindowText(GetDlgItem(box, 0xFFFF));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }, IDCANCEL);
    EXPECT_EQ(0u, error.find("Can't save the file")) << error;
    EXPECT_NE(0u, TheObjectOptions().flags & OBJ_SHOW_TIME);
}

}
