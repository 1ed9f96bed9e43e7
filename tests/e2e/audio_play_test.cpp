// Sound through Wine's wave devices into the PulseAudio null sink, whose
// monitor with_capture.sh records (raw signed 16-bit mono at 44100 Hz) into
// the file named by KV_CAPTURE_FILE, while kelvora.exe plays. Each check
// looks only at what the capture gained since its mark.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "resource.h"
#include "support/wave_builder.h"
#include "support/win_driver.h"

namespace {

const int RATE = 44100;         // of the capture
const double PI = 3.14159265358979323846;

// A sine file: 16-bit samples at `amplitude`, or 8-bit ones at amplitude/256.
wave::Bytes ToneFile(uint32_t rate, uint16_t bits, double frequency, double seconds, double amplitude)
{
    wave::Bytes data;
    int n = static_cast<int>(rate * seconds);
    for (int i = 0; i < n; i++) {
        double v = amplitude * std::sin(2 * PI * frequency * i / rate);
        if (bits == 16)
            wave::Put16(data, static_cast<uint16_t>(static_cast<int16_t>(std::lround(v))));
        else
            data.push_back(static_cast<uint8_t>(128 + std::lround(v / 256)));
    }
    return wave::Pcm(1, rate, bits, data);
}

double PowerAt(const int16_t* x, int n, double frequency)
{
    double c = 2 * std::cos(2 * PI * frequency / RATE), s1 = 0, s2 = 0;
    for (int i = 0; i < n; i++) {
        double s0 = x[i] + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - c * s1 * s2;
}

class AudioPlayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* file = std::getenv("KV_CAPTURE_FILE");
        ASSERT_NE(file, nullptr) << "run through with_capture.sh";
        capture = driver::WindowsPath(file);
        Mark();
    }

    // From here on the capture counts.
    void Mark()
    {
        mark = CapturedSamples();
        x.clear();
        first = last = -1;
    }

    size_t CapturedSamples() const
    {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(capture.c_str(), GetFileExInfoStandard, &data))
            return 0;
        return data.nFileSizeLow / 2;
    }

    // What the sink received since the last Mark (the recorder runs
    // behind), and the tone in it: where 10 ms windows are loud.
    void FindTone(double amplitude)
    {
        Sleep(700);
        std::string bytes = driver::ReadFile(capture);
        const int16_t* all = reinterpret_cast<const int16_t*>(bytes.data());
        if (bytes.size() / 2 > mark)
            x.assign(all + mark, all + bytes.size() / 2);
        const int window = RATE / 100;
        for (size_t w = 0; w + window <= x.size(); w += window) {
            double sum = 0;
            for (int i = 0; i < window; i++)
                sum += double(x[w + i]) * x[w + i];
            if (std::sqrt(sum / window) > amplitude / 10) {
                if (first < 0)
                    first = static_cast<int>(w);
                last = static_cast<int>(w) + window;
            }
        }
        ASSERT_GE(first, 0) << "no tone in " << x.size() << " captured samples";
    }

    // Seconds on a steady clock.
    static double Now()
    {
        LARGE_INTEGER count, frequency;
        QueryPerformanceCounter(&count);
        QueryPerformanceFrequency(&frequency);
        return double(count.QuadPart) / double(frequency.QuadPart);
    }

    // The recorder writes in bursts, so the file's size lags the sound by a
    // varying amount. Sampled often for a while, its least lagging moment
    // ties the capture's sample count to the clock: the capture index of
    // time t is (t - clockBase) * RATE.
    void CalibrateClock(double seconds)
    {
        double start = Now();
        double best = -1e300;
        for (double t = start; t - start < seconds; t = Now()) {
            best = std::max(best, double(CapturedSamples()) / RATE - t);
            Sleep(2);
        }
        clockBase = -best;
    }
    double CaptureIndexAt(double t) const { return (t - clockBase) * RATE; }

    double Seconds() const { return double(last - first) / RATE; }

    // Level in dB against a sine of `amplitude`, over the middle half.
    double LevelDb(double amplitude) const
    {
        int from = first + (last - first) / 4, n = (last - first) / 2;
        double sum = 0;
        for (int i = 0; i < n; i++)
            sum += double(x[size_t(from + i)]) * x[size_t(from + i)];
        return 20 * std::log10(std::sqrt(sum / n) / (amplitude / std::sqrt(2.0)));
    }

    double Pitch(double low, double high) const
    {
        int from = first + (last - first) / 4, n = (last - first) / 2;
        double best = 0, bestPower = -1;
        for (double f = low; f <= high; f += 1) {
            double p = PowerAt(x.data() + from, n, f);
            if (p > bestPower) {
                bestPower = p;
                best = f;
            }
        }
        return best;
    }

    driver::Sandbox box{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    std::string capture;
    size_t mark = 0;
    std::vector<int16_t> x;
    int first = -1, last = -1;
    double clockBase = 0;
};

// "/close" plays the file once and exits; an 8-bit file at half the
// capture's rate plays at its own pitch.
TEST_F(AudioPlayTest, CloseOptionPlaysTheFileOnceAtItsPitchAndExits)
{
    const struct { uint32_t rate; uint16_t bits; double frequency, seconds, amplitude; } tones[] = {
        {44100, 16, 1000, 2.0, 16384}, {22050, 8, 500, 1.5, 100 * 256}};
    std::string file = box.dir + "\\Tone.wav";
    for (const auto& t : tones) {
        SCOPED_TRACE(t.bits);
        Mark();
        ASSERT_TRUE(wave::WriteFile(file, ToneFile(t.rate, t.bits, t.frequency, t.seconds, t.amplitude)));
        driver::Process p;
        ASSERT_TRUE(p.Start(box.exe, "/close " + file));
        EXPECT_EQ(p.WaitForExit(), 0);
        ASSERT_NO_FATAL_FAILURE(FindTone(t.amplitude));
        EXPECT_NEAR(Seconds(), t.seconds, 0.2);
        EXPECT_NEAR(LevelDb(t.amplitude), 0.0, 1.0);
        EXPECT_NEAR(Pitch(t.frequency * 0.9, t.frequency * 1.1), t.frequency, t.frequency / 100);
    }
    DeleteFileA(file.c_str());
}

// In a running program: the Play button pressed and Stop sent as a command
// start the sound on the press and end it with the command (the delays from
// each to the capture are printed); then the volume popup's slider, moved
// from the top (full) to its middle step with the Down key's command, plays
// the next playback half as loud, 6 dB down.
TEST_F(AudioPlayTest, PlayButtonStopCommandAndTheVolumeSliderInARunningProgram)
{
    const double amplitude = 16384;
    std::string file = box.dir + "\\Long.wav";
    ASSERT_TRUE(wave::WriteFile(file, ToneFile(44100, 16, 1000, 5.0, amplitude)));
    driver::Process p;
    ASSERT_TRUE(p.Start(box.exe, file));
    HWND frame = p.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    CalibrateClock(1.0);
    Mark();
    double playAt = Now();
    HWND play = GetDlgItem(frame, IDB_PLAY);
    ASSERT_NE(play, nullptr);
    PostMessageA(play, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageA(play, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    Sleep(1500);
    double stopAt = Now();
    PostMessageA(frame, WM_COMMAND, IDM_STOP, 0);
    Sleep(1000);
    ASSERT_NO_FATAL_FAILURE(FindTone(amplitude));
    double playDelay = (double(mark + size_t(first)) - CaptureIndexAt(playAt)) / RATE;
    double stopDelay = (double(mark + size_t(last)) - CaptureIndexAt(stopAt)) / RATE;
    std::printf("Play to first sound %.0f ms, Stop to silence %.0f ms\n", playDelay * 1000, stopDelay * 1000);
    RecordProperty("play_latency_ms", static_cast<int>(std::lround(playDelay * 1000)));
    RecordProperty("stop_latency_ms", static_cast<int>(std::lround(stopDelay * 1000)));
    // Stopped 1.5 s into a 5-second sound.
    EXPECT_GT(Seconds(), 1.0);
    EXPECT_LT(Seconds(), 2.5);
    // The capture's clock is known to a few tens of milliseconds.
    EXPECT_LT(std::fabs(playDelay), 1.0);
    EXPECT_LT(std::fabs(stopDelay), 1.0);

    PostMessageA(frame, WM_COMMAND, IDB_VOLUME, 0);
    HWND slider = nullptr;
    for (int i = 0; i < 100 && !slider; i++) {
        Sleep(50);
        // A child of the frame where it fits over it, else a popup.
        if (HWND inside = FindWindowExA(frame, nullptr, "#32770", nullptr))
            slider = GetDlgItem(inside, 6900);
        for (HWND w = nullptr; !slider && (w = FindWindowExA(nullptr, w, "#32770", nullptr)) != nullptr;) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == p.pi.dwProcessId)
                slider = GetDlgItem(w, 6900);
        }
    }
    ASSERT_NE(slider, nullptr) << "no volume popup";
    EXPECT_EQ(0, SendMessageA(slider, SBM_GETPOS, 0, 0));     // the top: full volume
    for (int i = 0; i < 255 - 128; i++)
        PostMessageA(frame, WM_COMMAND, IDM_VOLUME_DOWN, 0);
    for (int i = 0; i < 100 && SendMessageA(slider, SBM_GETPOS, 0, 0) != 255 - 128; i++)
        Sleep(50);
    EXPECT_EQ(255 - 128, SendMessageA(slider, SBM_GETPOS, 0, 0));

    Mark();
    PostMessageA(frame, WM_COMMAND, IDM_PLAY, 0);
    Sleep(2000);
    PostMessageA(frame, WM_COMMAND, IDM_STOP, 0);
    ASSERT_NO_FATAL_FAILURE(FindTone(amplitude));
    EXPECT_NEAR(LevelDb(amplitude), -6.0, 1.0);
    std::printf("Volume step 128 plays at %.2f dB\n", LevelDb(amplitude));
    RecordProperty("volume_128_db_x100", static_cast<int>(std::lround(LevelDb(amplitude) * 100)));
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.WaitForExit(), 0);
    DeleteFileA(file.c_str());
}

}
