// The engine over the real wave devices, in this process with the real
// start-up and frame: recording the null sink's monitor while paplay feeds
// a tone into the sink, devices that cannot be opened, and the frame going
// away while it records.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/app_win.h"
#include "app/frame_wnd.h"
#include "base/app.h"
#include "base/app_options.h"
#include "device/device_catalogue.h"
#include "device/engine.h"
#include "edit/actions.h"
#include "edit/open_document.h"
#include "sound/document.h"
#include "support/wave_builder.h"
#include "support/running_app.h"

namespace {

const double PI = 3.14159265358979323846;

// Routes the frame's messages (device buffers, timer) for a while.
void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        RouteWaitingMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// The input device whose name begins with the text.
struct InputFinder : DeviceListSink {
    void AddItem(int32_t id, const char* name) override
    {
        if (std::string(name).rfind("Monitor of", 0) == 0)
            found = id;
    }
    int32_t found = -3;
};

class EngineRecordTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_NE(nullptr, StartApp());
    }
    static void TearDownTestSuite() { StopApp(); }

    // The "Monitor of ..." input chosen, and a new 16-bit mono 44100 Hz sound.
    static void UseMonitor()
    {
        InputFinder monitor;
        ListDevices(monitor, WAVE_INPUT, WAVE_MAPPER_ID);
        ASSERT_GE(monitor.found, 0) << "no \"Monitor of ...\" input";
        ASSERT_EQ(DEVERR_NONE, SelectRecordDevice(TheDevOptions(), monitor.found));
        KvWaveFormat f = {WAVE_TAG_PCM, 1, 44100, 88200, 2, 16, 0};
        ASSERT_EQ(0, NewDocument(&f));
    }
};

TEST_F(EngineRecordTest, RecordsTheToneThatPaplayFeedsIntoTheSink)
{
    ASSERT_NO_FATAL_FAILURE(UseMonitor());
    CKV_Document& doc = TheDocument();

    // Six seconds of 440 Hz: it covers the recording.
    wave::Bytes data;
    for (int i = 0; i < 6 * 44100; i++)
        wave::Put16(data, uint16_t(int16_t(std::lround(12000 * std::sin(2 * PI * 440 * i / 44100)))));
    std::string unixPath = "/tmp/kelvora_tone_" + std::to_string(GetCurrentProcessId()) + ".wav";
    std::string winPath = "Z:" + unixPath;
    ASSERT_TRUE(wave::WriteFile(winPath, wave::Pcm(1, 44100, 16, data)));
    std::string line = "/usr/bin/paplay --device=kelvora_sink " + unixPath;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    Pump(600);

    // The sound server takes a while to deliver the monitor's first
    // samples: two seconds count from the device's position.
    ASSERT_EQ(0, Record());
    EXPECT_EQ(DevMode::Recording, TheDev().mode);
    DWORD start = GetTickCount();
    while (TheSelection().playPos < 2 * 44100 && GetTickCount() - start < 10000)
        Pump(20);
    Stop();
    EXPECT_EQ(DevMode::Closed, TheDev().mode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);

    // The timer reads the position every 0.1 s, and a stopped recording
    // keeps its partial buffer: about 0.1 s more.
    double seconds = doc.length / 44100.0;
    EXPECT_GE(seconds, 2.0);
    EXPECT_LT(seconds, 2.3);
    EXPECT_EQ(0, TheSelection().selStart);
    EXPECT_EQ(doc.length, TheSelection().selLength);

    // The last second, away from the start of the stream.
    std::vector<int16_t> x(44100);
    ASSERT_GE(doc.length, 44100);
    doc.SetChannel(255);
    doc.CopyOut(doc.length - 44100, reinterpret_cast<uint8_t*>(x.data()), 44100);
    double best = 0, bestPower = -1, sum = 0;
    for (double freq = 300; freq <= 600; freq += 1) {
        double c = 2 * std::cos(2 * PI * freq / 44100), s1 = 0, s2 = 0;
        for (int16_t v : x) {
            double s0 = v + c * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        double p = s1 * s1 + s2 * s2 - c * s1 * s2;
        if (p > bestPower) {
            bestPower = p;
            best = freq;
        }
    }
    for (int16_t v : x)
        sum += double(v) * v;
    EXPECT_NEAR(best, 440, 4);
    EXPECT_GT(std::sqrt(sum / x.size()), 12000 / std::sqrt(2.0) / 2);
    DeleteFileA(winPath.c_str());
}

TEST_F(EngineRecordTest, ADeviceThatDoesNotExistGivesItsErrorAtOnce)
{
    DevOptions& options = TheDevOptions();
    KvWaveFormat f = {WAVE_TAG_PCM, 1, 22050, 44100, 2, 16, 0};
    CKV_Document& doc = TheDocument();
    ASSERT_EQ(0, NewDocument(&f));
    ASSERT_TRUE(doc.InsertSpace(0, 22050));
    DevOptions saved = options;
    options.playDevice = 57;
    options.recordDevice = 57;
    EXPECT_EQ(255, Play());
    EXPECT_EQ(255, Record());
    EXPECT_EQ(DevMode::Closed, TheDev().mode);
    options = saved;
}

// Last: it ends the frame the suite started. With "Play after making each
// change" on, the stop that ends the recording must not start a playback
// whose buffers would outlive the window and point into a freed sound.
TEST_F(EngineRecordTest, DestroyingTheFrameWhileRecordingClosesTheDeviceFirst)
{
    ASSERT_NO_FATAL_FAILURE(UseMonitor());
    TheDevOptions().playAfterChange = 1;
    ASSERT_EQ(0, Record());
    DWORD start = GetTickCount();
    while (TheSelection().playPos < 44100 / 2 && GetTickCount() - start < 10000)
        Pump(20);
    HWND frame = TheApp().frame->hwnd;
    DestroyWindow(frame);
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_EQ(nullptr, TheDev().handle);
    EXPECT_EQ(DevMode::Closed, TheDev().mode);
    EXPECT_FALSE(ActIsBusy());
    EXPECT_GE(TheDocument().length, 44100 / 2);
    TheDevOptions().playAfterChange = 0;
}

}
