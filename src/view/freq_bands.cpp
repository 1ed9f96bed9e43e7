#include "view/freq_bands.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>

#include "base/app_options.h"
#include "sound/document.h"

// Literal rather than computed at start-up: the tables must not depend on
// the floating-point library of the build.
const int16_t SPECTRUM_WINDOW[SPECTRUM_POINTS] = {
    20, 20, 20, 20, 21, 21, 21, 22, 22, 23, 24, 24, 25, 26, 27, 28,
    29, 30, 31, 33, 34, 35, 37, 38, 40, 42, 43, 45, 47, 49, 51, 53,
    55, 57, 59, 61, 63, 66, 68, 70, 73, 75, 78, 80, 83, 85, 88, 91,
    93, 96, 99, 101, 104, 107, 110, 113, 115, 118, 121, 124, 127, 130, 133, 136,
    138, 141, 144, 147, 150, 153, 156, 159, 162, 164, 167, 170, 173, 176, 178, 181,
    184, 186, 189, 192, 194, 197, 199, 202, 204, 206, 209, 211, 213, 215, 218, 220,
    222, 224, 226, 228, 229, 231, 233, 235, 236, 238, 239, 241, 242, 243, 245, 246,
    247, 248, 249, 250, 251, 252, 252, 253, 253, 254, 254, 255, 255, 255, 255, 255,
    255, 255, 255, 255, 255, 254, 254, 253, 253, 252, 252, 251, 250, 249, 248, 247,
    246, 245, 243, 242, 241, 239, 238, 236, 235, 233, 231, 229, 228, 226, 224, 222,
    220, 218, 215, 213, 211, 209, 206, 204, 202, 199, 197, 194, 192, 189, 186, 184,
    181, 178, 176, 173, 170, 167, 164, 162, 159, 156, 153, 150, 147, 144, 141, 138,
    136, 133, 130, 127, 124, 121, 118, 115, 113, 110, 107, 104, 101, 99, 96, 93,
    91, 88, 85, 83, 80, 78, 75, 73, 70, 68, 66, 63, 61, 59, 57, 55,
    53, 51, 49, 47, 45, 43, 42, 40, 38, 37, 35, 34, 33, 31, 30, 29,
    28, 27, 26, 25, 24, 24, 23, 22, 22, 21, 21, 21, 20, 20, 20, 20,
};

const int16_t SPECTRUM_TWIDDLES[SPECTRUM_BANDS] = {
    0, 6, 12, 18, 25, 31, 37, 43, 49, 56, 62, 68, 74, 80, 86, 92,
    97, 103, 109, 115, 120, 126, 131, 136, 142, 147, 152, 157, 162, 167, 171, 176,
    181, 185, 189, 193, 197, 201, 205, 209, 212, 216, 219, 222, 225, 228, 231, 234,
    236, 238, 241, 243, 244, 246, 248, 249, 251, 252, 253, 254, 254, 255, 255, 255,
    256, 255, 255, 255, 254, 254, 253, 252, 251, 249, 248, 246, 244, 243, 241, 238,
    236, 234, 231, 228, 225, 222, 219, 216, 212, 209, 205, 201, 197, 193, 189, 185,
    181, 176, 171, 167, 162, 157, 152, 147, 142, 136, 131, 126, 120, 115, 109, 103,
    97, 92, 86, 80, 74, 68, 62, 56, 49, 43, 37, 31, 25, 18, 12, 6,
};

namespace {

enum { HALF_POINTS = SPECTRUM_POINTS / 2, QUARTER_TURN = SPECTRUM_POINTS / 4 };

int BitReverse8(int i)
{
    int r = 0;
    for (int bit = 0; bit < 8; bit++, i >>= 1)
        r = (r << 1) | (i & 1);
    return r;
}

// Q8 products in 64 bits: a loud low band times a twiddle passes 2^31.
int32_t MulQ8(int64_t a, int64_t b, int64_t c, int64_t d)
{
    return static_cast<int32_t>((a * b + c * d) >> 8);
}

int32_t Magnitude(int32_t re, int32_t im)
{
    int64_t sum = std::abs(static_cast<int64_t>(re)) + std::abs(static_cast<int64_t>(im));
    return static_cast<int32_t>(std::min<int64_t>(sum, INT32_MAX));
}

}

void SpectrumTransform(int32_t x[SPECTRUM_POINTS])
{
    for (int i = 0; i < SPECTRUM_POINTS; i++) {
        int r = BitReverse8(i);
        if (r > i)
            std::swap(x[i], x[r]);
    }
    for (int i = 0; i < SPECTRUM_POINTS; i += 2) {
        int32_t a = x[i];
        x[i] = a + x[i + 1];
        x[i + 1] = a - x[i + 1];
    }
    for (int i = 0; i < SPECTRUM_POINTS; i += 4) {
        int32_t a = x[i];
        x[i] = a + x[i + 2];
        x[i + 2] = a - x[i + 2];
        x[i + 3] = -x[i + 3];
    }
    for (int h = 4; h <= HALF_POINTS; h *= 2) {
        int stride = SPECTRUM_POINTS / (2 * h);
        for (int i = 0; i < SPECTRUM_POINTS; i += 2 * h) {
            int32_t a0 = x[i];
            x[i] = a0 + x[i + h];
            x[i + h] = a0 - x[i + h];
            x[i + h + h / 2] = -x[i + h + h / 2];
            for (int j = 1; j < h / 2; j++) {
                int a = i + j;
                int b = i + h - j;
                int32_t s = SPECTRUM_TWIDDLES[j * stride];
                int32_t c = SPECTRUM_TWIDDLES[j * stride + QUARTER_TURN];
                int32_t u = x[a + h];
                int32_t v = x[b + h];
                int32_t p = MulQ8(s, u, -c, v);
                int32_t q = MulQ8(s, v, c, u);
                int32_t xa = x[a];
                int32_t xb = x[b];
                x[b + h] = xb - p;
                x[a + h] = -(xb + p);
                x[b] = xa - q;
                x[a] = xa + q;
            }
        }
    }
}

void BandsFromSamples(const int32_t samples[SPECTRUM_POINTS], SpectrumBands& out)
{
    int32_t x[SPECTRUM_POINTS];
    for (int n = 0; n < SPECTRUM_POINTS; n++)
        x[n] = samples[n] * SPECTRUM_WINDOW[n];
    SpectrumTransform(x);
    out.scale = SPECTRUM_MIN_SCALE;
    for (int k = 0; k < SPECTRUM_BANDS; k++) {
        out.value[k] = Magnitude(x[k], k == 0 ? 0 : x[SPECTRUM_POINTS - k]);
        out.scale = std::max(out.scale, out.value[k]);
    }
}

int32_t SpectrumStart(int32_t position, int32_t length)
{
    if (position < HALF_POINTS || length <= HALF_POINTS)
        return 0;
    return position < length - HALF_POINTS ? position - HALF_POINTS : length - HALF_POINTS;
}

bool ComputeDocumentSpectrum(int32_t position, SpectrumBands& out)
{
    int32_t samples[SPECTRUM_POINTS] = {};
    CKV_Document& doc = TheDocument();
    const KvWaveFormat* w = doc.format.Record();
    if (!w || !(doc.format.IsPcm() || doc.format.IsWidePcm())) {
        BandsFromSamples(samples, out);
        return false;
    }
    int bytes = w->wBitsPerSample / 8;
    int channel = w->nChannels >= 2 && !TheAppOptions().leftChannel ? 1 : 0;
    size_t align = w->nBlockAlign;
    // The most significant byte of the shown channel's sample, little-endian.
    size_t top = static_cast<size_t>(channel) * bytes + bytes - 1;
    int32_t start = SpectrumStart(position, doc.length);
    int32_t count = static_cast<int32_t>(std::min<int64_t>(SPECTRUM_POINTS, static_cast<int64_t>(doc.length) - start));
    // A few blocks at a time: a block of many channels can be large.
    enum { RUN_BYTES = 4096 };
    int32_t perRun = static_cast<int32_t>(std::max<size_t>(1, RUN_BYTES / std::max<size_t>(align, 1)));
    std::unique_ptr<uint8_t[]> run(align > top ? new (std::nothrow) uint8_t[perRun * align] : nullptr);
    for (int32_t done = 0; run && done < count;) {
        int32_t n = std::min(perRun, count - done);
        int32_t got = doc.CopyOut(start + done, run.get(), n) - (start + done);
        for (int32_t i = 0; i < got; i++) {
            uint8_t msb = run[i * align + top];
            samples[done + i] = bytes == 1 ? msb - 128 : static_cast<int8_t>(msb);
        }
        if (got < n)
            break;
        done += n;
    }
    BandsFromSamples(samples, out);
    return true;
}

int SpectrumBarLayout(const SpectrumBands& bands, int32_t left, int32_t width, int32_t height,
    SpectrumBar bars[SPECTRUM_BANDS])
{
    if (width <= 0 || height <= 0)
        return 0;
    int32_t scale = std::max<int32_t>(bands.scale, SPECTRUM_MIN_SCALE);
    // Band ends in 16.16 fixed point: width / 128 columns each.
    int64_t end = static_cast<int64_t>(left) << 16;
    int64_t step = static_cast<int64_t>(width) << (16 - 7);
    int32_t filled = left;
    int32_t tallest = 0;
    int count = 0;
    for (int k = 0; k < SPECTRUM_BANDS; k++) {
        int64_t h = static_cast<int64_t>(height) * std::max(bands.value[k], 0) / scale;
        tallest = std::max(tallest, static_cast<int32_t>(std::min<int64_t>(h, height)));
        end += step;
        int32_t column = static_cast<int32_t>(end >> 16);
        if (column > filled) {
            bars[count++] = {filled, column, tallest};
            filled = column;
            tallest = 0;
        }
    }
    return count;
}

int32_t SpectrumLabelCount(uint32_t samplesPerSec)
{
    return static_cast<int32_t>(samplesPerSec / 2 / 1000);
}

int32_t SpectrumLabelX(int32_t left, int32_t width, uint32_t samplesPerSec, int32_t i)
{
    uint64_t nyquist = samplesPerSec / 2;
    if (nyquist == 0 || width <= 0)
        return left;
    // 16.16 columns per kilohertz.
    uint64_t step = static_cast<uint64_t>(width) * 1024000u / nyquist * 64u;
    return static_cast<int32_t>(left + static_cast<int64_t>((static_cast<uint64_t>(i) * step) >> 16));
}
