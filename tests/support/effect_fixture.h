// The effect tests' fixture: a fresh core, a PCM sound of given samples in
// small chunks with the selection set, the sound read back as bytes or sample
// values, a host that presses Cancel when told and a clock that stands still.
#pragma once

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "base/clock.h"
#include "edit/actions.h"
#include "edit/effect_settings.h"
#include "edit/open_document.h"
#include "edit/undo_history.h"
#include "sound/document.h"
#include "support/core_state.h"
#include "support/test_host.h"
#include "view/selection_ops.h"

using Samples = std::vector<int>;       // interleaved, signed in the sample width
using Bytes = std::vector<uint8_t>;

// Sample values as stored: 8-bit unsigned, 16-bit little-endian.
inline Bytes SampleBytes(uint16_t bits, const Samples& samples)
{
    Bytes bytes;
    for (int v : samples) {
        bytes.push_back(uint8_t(bits == 8 ? v + 128 : v));
        if (bits == 16)
            bytes.push_back(uint8_t(unsigned(v) >> 8));
    }
    return bytes;
}

class FixedClock : public Clock {
public:
    uint32_t TickCount() override { return ticks; }
    CalendarTime LocalTime() override { return local; }
    uint32_t ticks = 123456;
    CalendarTime local = {2026, 12, 5, 6, 14, 5, 9};   // Saturday 5 December 2026, 14:05:09
};

class EffectTest : public ::testing::Test {
protected:
    // The rate of the sounds Load makes and their chunk size in blocks, unless
    // a load says otherwise.
    explicit EffectTest(uint32_t rate = 11025, int32_t chunk = 3) : rate(rate), chunk(chunk) {}

    void SetUp() override
    {
        ASSERT_TRUE(ResetCore());
        SetClock(&clock);
    }
    void TearDown() override { SetClock(nullptr); }

    // A sound of these bytes in chunks of `chunkBlocks` (0: the fixture's
    // chunk), so that chunk edges fall inside the selection, which is then
    // set. The change count starts at 0.
    void LoadBytes(uint16_t channels, uint16_t bits, const Bytes& bytes, int32_t start, int32_t length,
                   int32_t chunkBlocks = 0)
    {
        SetSound(PcmFormat(channels, bits, rate), bytes, chunkBlocks > 0 ? chunkBlocks : chunk, start, length);
    }
    void Load(uint16_t channels, uint16_t bits, const Samples& samples, int32_t start, int32_t length,
              int32_t chunkBlocks = 0)
    {
        LoadBytes(channels, bits, SampleBytes(bits, samples), start, length, chunkBlocks);
    }

    // The samples after `effect` over the selection of a sound of these samples.
    template <class Effect>
    Samples After(Effect effect, uint16_t channels, uint16_t bits, const Samples& in, int32_t start, int32_t length)
    {
        Load(channels, bits, in, start, length);
        effect();
        return Read();
    }

    Bytes Raw() { return DocumentBytes(); }
    Samples Read()
    {
        bool wide = doc.format.Record()->wBitsPerSample == 16;
        Bytes bytes = Raw();
        Samples out;
        for (size_t i = 0; i < bytes.size(); i += wide ? 2 : 1)
            out.push_back(wide ? int16_t(bytes[i] | bytes[i + 1] << 8) : bytes[i] - 128);
        return out;
    }

    // The sound as it was, nothing counted or filed, and the action over.
    void ExpectUnchanged(const Bytes& before)
    {
        EXPECT_EQ(Raw(), before);
        EXPECT_EQ(doc.changeCount, 0);
        EXPECT_TRUE(TheUndoHistory().IsEmpty());
        EXPECT_FALSE(ActIsBusy());
        EXPECT_EQ(host.progressOpen, 0);
        EXPECT_EQ(host.waitCursorDepth, 0);
    }
    // Undo gives back `before` and redo `after`, byte for byte.
    void ExpectUndoRedo(const Bytes& before, const Bytes& after)
    {
        ASSERT_EQ(ActUndo(), 0);
        EXPECT_EQ(Raw(), before);
        ASSERT_EQ(ActRedo(), 0);
        EXPECT_EQ(Raw(), after);
    }

    // Presses Cancel at the k-th progress check.
    void CancelAtCheck(int k)
    {
        host.onPump = [this, k] {
            if (k == 1)
                host.cancelAt = 0;
            else
                CancelAtCheck(k - 1);
        };
    }

    TestHost host;
    FixedClock clock;
    CKV_Document& doc = TheDocument();
    EffectSettings& settings = TheEffectSettings();
    uint32_t rate;          // blocks a second
    int32_t chunk;          // blocks a chunk
};
