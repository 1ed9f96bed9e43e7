// Recording through the test devices in each edit mode: what ends up in the
// document, what is selected, failures keeping what was recorded, and undo.
#include "device/engine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "app/app.h"
#include "app/app_options.h"
#include "app/builtin_strings.h"
#include "device/device_catalogue.h"
#include "edit/actions.h"
#include "edit/undo_history.h"
#include "lib/log.h"
#include "sound/document.h"
#include "support/test_wave_device.h"
#include "view/selection_ops.h"
#include "view/update_views.h"
#include "view/view_model.h"

namespace {

using Samples = std::vector<int16_t>;

// 16-bit mono sound of 3000 blocks in chunks of 1000; buffers hold 1000.
class RecordTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadBuiltInStrings());
        ResetApp();
        ResetAppOptions();
        ResetSelection();
        ResetWaveView();
        ResetViewUpdates();
        ResetActionLifecycle();
        ResetDev();
        devices.outputs = {TestWaveDevices::OutCaps("Speakers", 40, 0)};
        devices.inputs = {TestWaveDevices::InCaps("Line", 50)};
        KvWaveFormat f = {WAVE_TAG_PCM, 1, 8000, 16000, 2, 16, 0};
        ASSERT_EQ(0, doc.NewSound(nullptr, &f));
        doc.bufferSamples = 1000;
        for (int i = 0; i < 3000; i++)
            original.push_back(int16_t(i * 37 % 20000 - 10000));
        ASSERT_TRUE(doc.InsertSpace(0, 3000));
        doc.WriteBlocks(0, reinterpret_cast<const uint8_t*>(original.data()), 3000);
        doc.changeCount = 0;
        SetLogSink(&log);
    }
    void TearDown() override
    {
        SetLogSink(nullptr);
        ResetDev();
        ResetActionLifecycle();
        doc.FreeAll();
    }

    void Hear(const Samples& s)
    {
        devices.source.resize(s.size() * 2);
        std::memcpy(devices.source.data(), s.data(), devices.source.size());
    }

    Samples Sound() const
    {
        Samples s(size_t(doc.length));
        doc.CopyOut(0, reinterpret_cast<uint8_t*>(s.data()), doc.length);
        return s;
    }

    static Samples Ramp(int n, int from, int step)
    {
        Samples s;
        for (int i = 0; i < n; i++)
            s.push_back(int16_t(from + i * step));
        return s;
    }

    static Samples Join(Samples a, const Samples& b)
    {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }

    Samples Part(int from, int to) const { return Samples(original.begin() + from, original.begin() + to); }

    void ExpectSelection(int32_t start, int32_t length) const
    {
        EXPECT_EQ(start, TheSelection().selStart);
        EXPECT_EQ(length, TheSelection().selLength);
    }

    CKV_Document& doc = TheDocument();
    Samples original;
    TestWaveDevices devices;
    DeviceTestHost host{devices};
    MemoryLogSink log;
};

TEST_F(RecordTest, InsertModeGrowsTheSoundSelectsTheRecordingAndUndoes)
{
    // Nothing selected inside the sound: the rest behind the cursor is the length.
    Samples heard = Ramp(2000, -900, 3);
    Hear(heard);
    SetSelection(1000, 0, ORIGIN_PROGRAM);
    ASSERT_EQ(0, Record());
    EXPECT_EQ(DevMode::Recording, TheDev().mode);
    devices.Complete(1);
    devices.Deliver();
    // The total shown grows with the recording.
    EXPECT_EQ(4000, TheDev().recordedLength);
    devices.Run();
    EXPECT_EQ(DevMode::Closed, TheDev().mode);
    EXPECT_EQ(Join(Join(Part(0, 1000), heard), Part(1000, 3000)), Sound());
    ExpectSelection(1000, 2000);
    EXPECT_EQ(1, doc.changeCount);
    EXPECT_FALSE(ActIsBusy());

    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(original, Sound());
}

TEST_F(RecordTest, StopKeepsWhatTheDeviceHeldAndTheLimitBoundsAnEmptyRange)
{
    Samples heard = Ramp(5000, 100, 1);
    Hear(heard);
    SetSelection(3000, 0, ORIGIN_PROGRAM);
    // Stopped before anything was heard: no buffer comes back from the stop.
    ASSERT_EQ(0, Record());
    Stop();
    EXPECT_EQ(DevMode::Closed, TheDev().mode);
    EXPECT_EQ(original, Sound());

    ASSERT_EQ(0, Record());
    devices.Complete(1);
    devices.Deliver();
    devices.partialBytes = 300 * 2;
    Stop();
    EXPECT_EQ(DevMode::Closed, TheDev().mode);
    EXPECT_EQ(Join(original, Samples(heard.begin(), heard.begin() + 1300)), Sound());
    ExpectSelection(3000, 1300);

    // At the end of a 16-bit stereo sound: 80 hundredths of a MiB.
    KvWaveFormat f = {WAVE_TAG_PCM, 2, 8000, 32000, 4, 16, 0};
    ASSERT_EQ(0, doc.NewSound(nullptr, &f));
    devices.partialBytes = 0;
    ASSERT_EQ(0, Record());
    devices.Run();
    EXPECT_EQ(209715, doc.length);
    ExpectSelection(0, 209715);
}

TEST_F(RecordTest, MixModeMixesIntoTheSelectionSaturating)
{
    AppOptions& options = TheAppOptions();
    options.mixNew = options.mixOld = 100;
    Samples loud(1000, 30000);
    doc.WriteBlocks(1000, reinterpret_cast<const uint8_t*>(loud.data()), 1000);
    original = Sound();
    Samples heard = Join(Samples(500, 10000), Samples(500, -20000));
    Hear(heard);
    SetSelection(1000, 1000, ORIGIN_PROGRAM);
    ASSERT_EQ(0, Record());
    devices.Run();
    Samples expected = Join(Join(Part(0, 1000), Join(Samples(500, 32767), Samples(500, 10000))),
                            Part(2000, 3000));
    EXPECT_EQ(expected, Sound());
    ExpectSelection(1000, 1000);
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(original, Sound());
}

TEST_F(RecordTest, ReplaceModeOverwritesExactlyTheSelection)
{
    Samples heard = Ramp(1500, -3000, 4);
    Hear(Join(heard, Samples(500, 1)));
    SetSelection(1200, 1500, ORIGIN_PROGRAM);
    ASSERT_EQ(0, Record());
    devices.Run();
    EXPECT_EQ(Join(Join(Part(0, 1200), heard), Part(2700, 3000)), Sound());
    EXPECT_EQ(3000, doc.length);
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(original, Sound());
    ASSERT_EQ(0, ActRedo());
    EXPECT_EQ(Join(Join(Part(0, 1200), heard), Part(2700, 3000)), Sound());
}

TEST_F(RecordTest, FailureMidRecordingKeepsEverythingRecordedSoFar)
{
    Samples heard = Ramp(4000, 7, 5);
    Hear(heard);
    SetSelection(3000, 0, ORIGIN_PROGRAM);
    TheAppOptions().device.recordLowPriority = 1;
    devices.messageResult = DEVERR_NOTSUPPORTED;
    devices.failQueueAt = 3;
    devices.queueResult = DEVERR_ERROR;
    // The halt returns the buffer being filled with what it holds.
    devices.partialBytes = 400 * 2;
    ASSERT_EQ(0, Record());
    devices.Run();
    EXPECT_EQ(std::vector<int>{247}, host.errors);
    EXPECT_EQ(Join(original, Samples(heard.begin(), heard.begin() + 2400)), Sound());
    EXPECT_EQ(5400, TheDev().recordedLength);
    ExpectSelection(3000, 2400);
    EXPECT_EQ(1, doc.changeCount);
    EXPECT_EQ("Message 16531", devices.calls.front());
    EXPECT_TRUE(log.Contains("Dev:waveInMessage LOWPRI 8"));
    EXPECT_FALSE(ActIsBusy());
}

TEST_F(RecordTest, StartFailureLeavesTheSoundAsItWas)
{
    devices.startResult = DEVERR_ALLOCATED;
    SetSelection(1000, 0, ORIGIN_PROGRAM);
    EXPECT_EQ(254, Record());
    EXPECT_TRUE(log.Contains("Dev:waveInStart 4"));
    EXPECT_EQ(original, Sound());
    EXPECT_EQ(0, doc.changeCount);
    EXPECT_TRUE(TheUndoHistory().IsEmpty());
    EXPECT_EQ(DevMode::Closed, TheDev().mode);
    EXPECT_FALSE(ActIsBusy());
}

}
