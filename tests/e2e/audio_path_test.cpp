// The real audio path: one second of a 1 kHz tone through plain waveOut must
// arrive in the PulseAudio null sink, whose monitor the test script records
// (raw signed 16-bit mono at 44100 Hz) into the file named by KV_CAPTURE_FILE.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "support/win_driver.h"

namespace {

const int RATE = 44100;
const double FREQUENCY = 1000.0;
const double AMPLITUDE = 16384.0;   // -6 dB of full scale
const double PI = 3.14159265358979323846;

std::vector<int16_t> MakeTone(int samples)
{
    std::vector<int16_t> tone(static_cast<size_t>(samples));
    for (int i = 0; i < samples; i++)
        tone[static_cast<size_t>(i)] =
            static_cast<int16_t>(std::lround(AMPLITUDE * std::sin(2 * PI * FREQUENCY * i / RATE)));
    return tone;
}

bool PlayThroughWaveOut(std::vector<int16_t>& samples)
{
    WAVEFORMATEX wf = {};
    wf.wFormatTag = WAVE_FORMAT_PCM;
    wf.nChannels = 1;
    wf.nSamplesPerSec = RATE;
    wf.wBitsPerSample = 16;
    wf.nBlockAlign = 2;
    wf.nAvgBytesPerSec = RATE * 2;
    HWAVEOUT out = nullptr;
    if (waveOutOpen(&out, WAVE_MAPPER, &wf, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR)
        return false;
    WAVEHDR hdr = {};
    hdr.lpData = reinterpret_cast<LPSTR>(samples.data());
    hdr.dwBufferLength = static_cast<DWORD>(samples.size() * 2);
    waveOutPrepareHeader(out, &hdr, sizeof(hdr));
    waveOutWrite(out, &hdr, sizeof(hdr));
    DWORD start = GetTickCount();
    while (!(hdr.dwFlags & WHDR_DONE) && GetTickCount() - start < 10000)
        Sleep(10);
    bool done = (hdr.dwFlags & WHDR_DONE) != 0;
    // A buffer is marked done when the sound server has it, not when it was
    // heard; closing at once would cut off the end.
    Sleep(600);
    waveOutUnprepareHeader(out, &hdr, sizeof(hdr));
    waveOutClose(out);
    return done;
}

// Power of one frequency over a stretch of samples (Goertzel).
double PowerAt(const int16_t* x, int n, double frequency)
{
    double w = 2 * PI * frequency / RATE;
    double c = 2 * std::cos(w), s1 = 0, s2 = 0;
    for (int i = 0; i < n; i++) {
        double s0 = x[i] + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - c * s1 * s2;
}

}

TEST(AudioPathTest, ToneReachesTheSinkMonitorAtItsPitchAndLevel)
{
    const char* capture = std::getenv("KV_CAPTURE_FILE");
    ASSERT_NE(capture, nullptr) << "run through with_capture.sh";
    std::vector<int16_t> tone = MakeTone(RATE);
    ASSERT_TRUE(PlayThroughWaveOut(tone));
    Sleep(500);   // the recorder runs behind the sink

    std::string bytes = driver::ReadFile(driver::WindowsPath(capture));
    size_t count = bytes.size() / 2;
    ASSERT_GT(count, static_cast<size_t>(RATE));
    const int16_t* x = reinterpret_cast<const int16_t*>(bytes.data());

    // The tone is where 10 ms windows are loud.
    const int WINDOW = RATE / 100;
    int first = -1, last = -1;
    for (size_t w = 0; w + WINDOW <= count; w += WINDOW) {
        double sum = 0;
        for (int i = 0; i < WINDOW; i++)
            sum += double(x[w + i]) * x[w + i];
        if (std::sqrt(sum / WINDOW) > AMPLITUDE / 10) {
            if (first < 0)
                first = static_cast<int>(w);
            last = static_cast<int>(w) + WINDOW;
        }
    }
    ASSERT_GE(first, 0) << "no tone in " << count << " captured samples";
    double seconds = double(last - first) / RATE;
    EXPECT_NEAR(seconds, 1.0, 0.2);

    // Level and pitch over the steady middle half of the tone.
    int from = first + (last - first) / 4;
    int n = (last - first) / 2;
    double sum = 0;
    for (int i = 0; i < n; i++)
        sum += double(x[from + i]) * x[from + i];
    double rmsDb = 20 * std::log10(std::sqrt(sum / n) / (AMPLITUDE / std::sqrt(2.0)));
    EXPECT_NEAR(rmsDb, 0.0, 1.0);

    double best = 0, bestPower = -1;
    for (double f = 900; f <= 1100; f += 1) {
        double p = PowerAt(x + from, n, f);
        if (p > bestPower) {
            bestPower = p;
            best = f;
        }
    }
    EXPECT_NEAR(best, FREQUENCY, FREQUENCY / 100);
}
