// The waveform window's paint and the frequency window's transform.
//
// A paint of the whole view reads a bounded number of samples per column, so
// it should cost about the same for a 1-second and a 60-minute sound at the
// same width. The integer 256-point transform is set beside a plain float
// radix-2 FFT of the same size in the same run.
//
//     view_win_bench [--minutes N] [--dir DIR] [--reps N]
#include <windows.h>

#include <cmath>
#include <complex>

#include "bench_support.h"
#include "view/freq_bands.h"
#include "view/selection_ops.h"
#include "view/view_model.h"
#include "view/wave_wnd.h"

using namespace bench;

namespace {

// Best seconds of one whole-view paint at width × 200 into a memory bitmap.
double PaintSeconds(CKV_WaveWnd& window, int width, int reps)
{
    const int height = 200;
    MoveWindow(window.hwnd, 0, 0, width, height, FALSE);
    SetWaveViewSize(width, height);
    SetViewRange(0, TheDocument().length, ORIGIN_PROGRAM);
    SetSelection(TheDocument().length / 3, TheDocument().length / 3, ORIGIN_PROGRAM);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, width, height};
    std::vector<double> times;
    for (int r = 0; r < reps; r++) {
        auto t0 = SteadyClock::now();
        window.Paint(dc, all);
        GdiFlush();
        times.push_back(Seconds(t0, SteadyClock::now()));
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return Best(times);
}

// A textbook iterative radix-2 FFT of 256 floats, for comparison.
void FloatFft(std::complex<float>* x, const std::complex<float>* twiddle)
{
    const int n = SPECTRUM_POINTS;
    for (int i = 1, j = 0; i < n; i++) {
        int bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(x[i], x[j]);
    }
    for (int len = 2; len <= n; len <<= 1)
        for (int i = 0; i < n; i += len)
            for (int k = 0; k < len / 2; k++) {
                std::complex<float> u = x[i + k];
                std::complex<float> v = x[i + k + len / 2] * twiddle[k * (n / len)];
                x[i + k] = u + v;
                x[i + k + len / 2] = u - v;
            }
}

void CompareTransforms(int frames)
{
    std::vector<int32_t> input(SPECTRUM_POINTS);
    for (int i = 0; i < SPECTRUM_POINTS; i++)
        input[i] = int32_t(std::lround(20000 * std::sin(i * 0.37) + 5000 * std::cos(i * 1.9)));
    std::vector<std::complex<float>> twiddle(SPECTRUM_POINTS / 2);
    for (int k = 0; k < SPECTRUM_POINTS / 2; k++)
        twiddle[k] = std::polar(1.0f, float(-2 * 3.14159265358979 * k / SPECTRUM_POINTS));

    int32_t work[SPECTRUM_POINTS];
    int64_t sink = 0;
    auto t0 = SteadyClock::now();
    for (int f = 0; f < frames; f++) {
        std::memcpy(work, input.data(), sizeof work);
        work[0] += f & 1;
        SpectrumTransform(work);
        sink += work[f % SPECTRUM_POINTS];
    }
    double integer = Seconds(t0, SteadyClock::now()) / frames;

    std::vector<std::complex<float>> data(SPECTRUM_POINTS);
    float fsink = 0;
    t0 = SteadyClock::now();
    for (int f = 0; f < frames; f++) {
        for (int i = 0; i < SPECTRUM_POINTS; i++)
            data[i] = std::complex<float>(float(input[i] + (i == 0 ? (f & 1) : 0)), 0.0f);
        FloatFft(data.data(), twiddle.data());
        fsink += data[f % SPECTRUM_POINTS].real();
    }
    double real = Seconds(t0, SteadyClock::now()) / frames;
    std::printf("Transform per frame: integer %.2f us, float FFT %.2f us, ratio %.2f (target <= 2.0) %s"
                "   [%lld %g]\n",
        integer * 1e6, real * 1e6, integer / real, Verdict(integer <= 2 * real), (long long)sink, double(fsink));
}

}

int main(int argc, char** argv)
{
    int minutes = 60;
    int reps = 5;
    std::string dir = ".";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--minutes"))
            minutes = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--dir"))
            dir = argv[i + 1];
        else if (!std::strcmp(argv[i], "--reps"))
            reps = std::atoi(argv[i + 1]);
    }
    StartProgram("view_win_bench");
    if (!StartCore())
        return 1;
    CompareTransforms(200000);

    WNDCLASSA wc = {};
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KvViewBench";
    RegisterWindowClass(wc);
    CKV_WaveWnd window;
    if (!window.Create(0, "KvViewBench", "", WS_POPUP, 0, 0, 1000, 200, nullptr, nullptr, GetModuleHandleA(nullptr)))
        return 1;

    const int widths[] = {1000, 4000};
    double shortPaint[2] = {};
    // One second: the shortest sound that fills every column at width 4000.
    std::string oneSecond = dir + "/kv_bench_1s.wav";
    if (!GenerateWave(oneSecond, int32_t(RATE)) || OpenDocumentFile(oneSecond.c_str()) != 0)
        return 1;
    for (int w = 0; w < 2; w++) {
        shortPaint[w] = PaintSeconds(window, widths[w], reps);
        std::printf("Paint, 1 second,   width %d: %.2f ms\n", widths[w], shortPaint[w] * 1e3);
    }
    std::remove(oneSecond.c_str());
    std::string path = OpenGenerated(dir, minutes);
    if (path.empty())
        return 1;
    for (int w = 0; w < 2; w++) {
        double t = PaintSeconds(window, widths[w], reps);
        bool met = t <= 2 * shortPaint[w];
        std::printf("Paint, %d minutes, width %d: %.2f ms, %.2f x the 1-second paint (target <= 2.0) %s\n", minutes,
            widths[w], t * 1e3, t / shortPaint[w], Verdict(met));
    }
    std::remove(path.c_str());
    return 0;
}
