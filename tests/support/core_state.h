// The core's single objects in native tests: put back as a newly started
// program has them, and the document's sound and selection looked at.
#pragma once

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "base/app.h"
#include "base/app_options.h"
#include "edit/actions.h"
#include "edit/open_document.h"
#include "sound/document.h"
#include "sound/wave_format.h"
#include "support/core_reset.h"
#include "view/selection_ops.h"
#include "view/view_model.h"

// A linear PCM record; bits is 8 or 16.
inline KvWaveFormat PcmFormat(uint16_t channels, uint16_t bits, uint32_t rate)
{
    uint16_t align = uint16_t(channels * bits / 8);
    return {WAVE_TAG_PCM, channels, rate, rate * align, align, bits, 0};
}

// The document replaced by a sound of that format holding these bytes, in
// chunks of `chunkBlocks` blocks (0: the format's own), with the selection
// set, nothing counted and nothing to undo.
inline void SetSound(const KvWaveFormat& f, const std::vector<uint8_t>& bytes, int32_t chunkBlocks = 0,
    int32_t start = 0, int32_t length = 0)
{
    CKV_Document& doc = TheDocument();
    ASSERT_EQ(0, NewDocument(&f));
    if (chunkBlocks > 0)
        doc.bufferSamples = chunkBlocks;
    if (int32_t n = int32_t(bytes.size() / f.nBlockAlign)) {
        ASSERT_TRUE(doc.InsertSpace(0, n));
        ASSERT_EQ(n, doc.WriteBlocks(0, bytes.data(), n));
    }
    SetSelection(start, length, ORIGIN_PROGRAM);
    ResetActionLifecycle();
    doc.changeCount = 0;
}

// Every block of the document's sound, as stored.
inline std::vector<uint8_t> DocumentBytes()
{
    CKV_Document& doc = TheDocument();
    std::vector<uint8_t> b(size_t(doc.length) * size_t(doc.format.BlockAlign()));
    EXPECT_EQ(doc.length, doc.CopyOut(0, b.data(), doc.length));
    return b;
}

inline void ExpectSelection(int32_t start, int32_t length)
{
    EXPECT_EQ(start, TheSelection().selStart);
    EXPECT_EQ(length, TheSelection().selLength);
}
