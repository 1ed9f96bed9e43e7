#include "app/frame_layout.h"

#include <cstdlib>

#include "resource.h"

int32_t MulDivRound(int32_t a, int32_t b, int32_t c)
{
    if (c == 0)
        return 0;
    int64_t product = static_cast<int64_t>(a) * b;
    bool negative = (product < 0) != (c < 0);
    int64_t num = std::llabs(product);
    int64_t den = std::llabs(static_cast<int64_t>(c));
    int64_t q = (num + den / 2) / den;
    return static_cast<int32_t>(negative ? -q : q);
}

int LayoutFrame(const FrameMetrics& m, int32_t width, int32_t height, bool showWaveform,
    bool showLocations, ChildPlace out[FRAME_LAYOUT_MAX])
{
    const int32_t cx = m.charWidth;
    const int32_t cy = m.charHeight;
    int n = 0;
    auto place = [&](int32_t id, int32_t x, int32_t y, int32_t w, int32_t h) {
        out[n++] = {id, x, y, w, h};
    };

    // The raised bar behind the eight transport buttons.
    const int32_t barHeight = cy * 30 / 8;
    place(IDW_BUTTON_BAR, 0, 0, width, barHeight);
    const int32_t buttonWidth = cx * 35 / 4;
    for (int i = 0; i < IDB_DRAG - IDB_REWIND + 1; i++)
        place(IDB_REWIND + i, cx * 2 / 4 + i * buttonWidth, cy * 2 / 8, buttonWidth, cy * 26 / 8);

    int32_t y = barHeight;
    if (showWaveform) {
        int32_t h = height - cy * 34 / 8 - barHeight;
        if (showLocations)
            h -= cy * 16 / 8;
        const int32_t topStrip = cy * 4 / 8;
        place(IDW_TOP_ZOOM, 0, barHeight, width, topStrip);
        place(IDW_WAVE, cx, barHeight + topStrip, width - 2 * cx, h - topStrip);
        y = barHeight + topStrip + (h - topStrip);
    }
    y += cy * 4 / 8;
    place(IDW_ZOOM, 0, y, width, cy * 12 / 8);
    y += cy * 16 / 8;

    if (showLocations) {
        int32_t x = cx;
        const int32_t fieldWidth = cx * 40 / 4;
        for (int i = 0; i < 4; i++) {
            place(IDW_LABEL_START + i, x, y, m.labelWidths[i], cy);
            x += cx + m.labelWidths[i];
            place(IDW_FIELD_START + i, x, y, fieldWidth, cy * 12 / 8);
            x += cx + fieldWidth;
        }
        y += cy * 16 / 8;
    }

    // The status row: a third for the length, two thirds for the format.
    const int32_t d = width - cx;
    const int32_t third = d / 3;
    const int32_t twoThirds = MulDivRound(2, d, 3);
    place(IDW_STATUS_LEFT_PANEL, 0, y, third, cy * 14 / 8);
    place(IDW_STATUS_RIGHT_PANEL, third + cx, y, twoThirds, cy * 14 / 8);
    place(IDW_STATUS_LEFT, cx * 2 / 4, y + cy * 2 / 8, third - cx, cy * 10 / 8);
    place(IDW_STATUS_RIGHT, third + cx * 6 / 4, y + cy * 2 / 8, twoThirds - cx, cy * 10 / 8);
    return n;
}

FrameTrackSize FrameMinimumSize(const FrameMetrics& m, bool showWaveform, bool showLocations)
{
    const int32_t cx = m.charWidth;
    const int32_t cy = m.charHeight;
    FrameTrackSize size;
    size.minClientWidth = cx * 282 / 4;
    size.minClientHeight = cy * 64 / 8 + m.dialogBaseY * 3 / 2 - 1;
    if (showLocations) {
        size.minClientHeight += cy * 16 / 8;
        // Wide enough for the whole row of labels and fields: the system
        // font of some platforms is wider than the row was drawn for.
        int32_t row = cx;
        for (int32_t labelWidth : m.labelWidths)
            row += labelWidth + cx + cx * 40 / 4 + cx;
        if (row > size.minClientWidth)
            size.minClientWidth = row;
    }
    if (showWaveform)
        size.minClientHeight += cy * 32 / 8;
    size.fixedHeight = !showWaveform;
    return size;
}
