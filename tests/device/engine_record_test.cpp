// Recording through the test devices in each edit mode: what ends up in the
// document, what is selected, failures keeping what was recorded, and undo.
#include "device/engine.h"
#include "edit/open_document.h"

#include <cstring>
#include <functional>
#include <initializer_list>

#include "app/command_table.h"
#include "device_test_support.h"
#include "edit/delete_cut.h"
#include "edit/level_effects.h"
#include "edit/undo_history.h"
#include "resource.h"

namespace {

using Samples = std::vector<int16_t>;

// 16-bit mono sound of 3000 blocks in chunks of 1000; buffers hold 1000.
class RecordTest : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        Load();
    }

    void Load()
    {
        KvWaveFormat f = PcmFormat(1, 16, 8000);
        ASSERT_EQ(0, NewDocument(&f));
        doc.bufferSamples = 1000;
        original = Ramp(3000, -10000, 37);
        ASSERT_TRUE(doc.InsertSpace(0, 3000));
        doc.WriteBlocks(0, reinterpret_cast<const uint8_t*>(original.data()), 3000);
        doc.changeCount = 0;
    }

    // Records at 1000 in Insert mode with "Play after making each change"
    // on: one full buffer is back, and the device holds `partial` blocks of
    // the next one when it is stopped.
    void StartRecordingWithPlayAfterChange(const Samples& heard, int32_t partial)
    {
        TheDevOptions().playAfterChange = 1;
        Hear(heard);
        SetSelection(1000, 0, ORIGIN_PROGRAM);
        ASSERT_EQ(0, RunCommand(IDM_RECORD, false));
        devices.Complete(1);
        devices.Deliver();
        devices.partialBytes = uint32_t(partial) * 2;
    }

    int OutputOpens() const
    {
        int n = 0;
        for (const auto& open : devices.opens)
            n += open.direction == WAVE_OUTPUT && !(open.flags & DEV_FORMAT_QUERY);
        return n;
    }

    // What the input hears from now on.
    void Hear(const Samples& s)
    {
        devices.source.resize(s.size() * 2);
        std::memcpy(devices.source.data(), s.data(), devices.source.size());
        devices.sourceUsed = 0;
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

    static Samples Cat(std::initializer_list<Samples> parts)
    {
        Samples all;
        for (const Samples& p : parts)
            all.insert(all.end(), p.begin(), p.end());
        return all;
    }

    Samples Part(int from, int to) const { return Samples(original.begin() + from, original.begin() + to); }

    Samples original;
};

TEST_F(RecordTest, EachModeRecordsIntoTheSoundSelectsTheRecordingAndUndoes)
{
    // Each case on a fresh sound with a loud stretch for mixing to saturate against.
    auto loadWithLoudStretch = [&] {
        Load();
        doc.WriteBlocks(1000, reinterpret_cast<const uint8_t*>(Samples(1000, 30000).data()), 1000);
        original = Sound();
    };
    loadWithLoudStretch();
    const Samples ramp = Ramp(2000, -900, 3), rising = Ramp(1500, -3000, 4);
    const struct {
        const char* mode;
        int mixOld;                 // percent of the old sound kept; 0: Replace
        Samples heard;
        int32_t start, length;      // the selection when recording starts
        int32_t lengthWhileRecording;
        Samples sound;
        int32_t selected;
    } cases[] = {
        // Nothing selected inside the sound: the rest behind the cursor is the length.
        {"insert", 0, ramp, 1000, 0, 4000, Cat({Part(0, 1000), ramp, Part(1000, 3000)}), 2000},
        {"mix", 100, Cat({Samples(500, 10000), Samples(500, -20000)}), 1000, 1000, 3000,
            Cat({Part(0, 1000), Samples(500, 32767), Samples(500, 10000), Part(2000, 3000)}), 1000},
        {"replace", 0, Cat({rising, Samples(500, 1)}), 1200, 1500, 3000,
            Cat({Part(0, 1200), rising, Part(2700, 3000)}), 1500},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        loadWithLoudStretch();
        TheAppOptions().mixOld = c.mixOld;
        Hear(c.heard);
        SetSelection(c.start, c.length, ORIGIN_PROGRAM);
        ASSERT_EQ(0, Record());
        EXPECT_EQ(DevMode::Recording, TheDev().mode);
        devices.Complete(1);
        devices.Deliver();
        EXPECT_EQ(c.lengthWhileRecording, TheDev().recordedLength);
        devices.Run();
        EXPECT_EQ(DevMode::Closed, TheDev().mode);
        EXPECT_EQ(c.sound, Sound());
        ExpectSelection(c.start, c.selected);
        EXPECT_EQ(1, doc.changeCount);
        EXPECT_FALSE(ActIsBusy());

        ASSERT_EQ(0, ActUndo());
        EXPECT_EQ(original, Sound());
        ASSERT_EQ(0, ActRedo());
        EXPECT_EQ(c.sound, Sound());
    }
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
    EXPECT_EQ(Cat({original, Samples(heard.begin(), heard.begin() + 1300)}), Sound());
    ExpectSelection(3000, 1300);

    // At the end of a 16-bit stereo sound: 80 hundredths of a MiB.
    KvWaveFormat f = PcmFormat(2, 16, 8000);
    ASSERT_EQ(0, NewDocument(&f));
    devices.partialBytes = 0;
    ASSERT_EQ(0, Record());
    devices.Run();
    EXPECT_EQ(209715, doc.length);
    ExpectSelection(0, 209715);
}

TEST_F(RecordTest, FailureMidRecordingKeepsEverythingRecordedSoFar)
{
    Samples heard = Ramp(4000, 7, 5);
    Hear(heard);
    SetSelection(3000, 0, ORIGIN_PROGRAM);
    TheDevOptions().recordLowPriority = 1;
    devices.messageResult = DEVERR_NOTSUPPORTED;
    devices.failQueueAt = 3;
    devices.queueResult = DEVERR_ERROR;
    // The halt returns the buffer being filled with what it holds.
    devices.partialBytes = 400 * 2;
    ASSERT_EQ(0, Record());
    devices.Run();
    EXPECT_EQ(std::vector<int>{247}, host.errors);
    EXPECT_EQ(Cat({original, Samples(heard.begin(), heard.begin() + 2400)}), Sound());
    ExpectSelection(3000, 2400);
    EXPECT_EQ(1, doc.changeCount);
    EXPECT_EQ("Message 16531", devices.calls.front());
    EXPECT_TRUE(log.Contains("Dev:waveInMessage LOWPRI 8"));
    EXPECT_FALSE(ActIsBusy());
}

TEST_F(RecordTest, StopDuringARecordingWithPlayAfterChangeLeavesTheEngineClosed)
{
    Samples heard = Ramp(1400, 300, 2);
    StartRecordingWithPlayAfterChange(heard, 400);
    // A click on Play while the stop waits for the device.
    int play = 0;
    host.onPump = [&] { play = Play(); };
    EXPECT_EQ(0, RunCommand(IDM_STOP, false));
    EXPECT_EQ(-1, play);
    ExpectClosed();
    EXPECT_EQ(0u, devices.Queued());
    EXPECT_EQ(0, OutputOpens());
    // The recording is complete and undoable.
    EXPECT_EQ(Cat({Part(0, 1000), heard, Part(1000, 3000)}), Sound());
    EXPECT_FALSE(ActIsBusy());
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(original, Sound());
    devices.Run();
    ExpectClosed();
}

TEST_F(RecordTest, AnEditDuringARecordingFindsTheEngineClosedAndPlaysOnlyItsResult)
{
    // The engine as the edits reach it, looked at as each edit's stop returns.
    struct StopCheck : EngineLink {
        void Stop() override
        {
            DeviceEngineLink().Stop();
            stops++;
            openAfterStop += TheDev().handle != nullptr;
        }
        void PlayAfterChange() override { DeviceEngineLink().PlayAfterChange(); }
        int stops = 0;
        int openAfterStop = 0;
    };
    const Samples heard = Ramp(1500, 500, 3);
    const Samples reversed(heard.rbegin(), heard.rend());
    // The stop ends the recording, which selects what was recorded.
    const struct {
        const char* name;
        std::function<void()> edit;
        Samples sound;
        Samples played;
    } cases[] = {
        {"Delete", [] { DeleteSelection(); }, original, Part(1000, 3000)},
        {"Reverse", [] { Reverse(); }, Cat({Part(0, 1000), reversed, Part(1000, 3000)}), reversed},
        {"Open", [] { NewDocument(nullptr); }, {}, {}},
    };
    for (const auto& c : cases) {
        Load();
        devices.opens.clear();
        devices.played.clear();
        StopCheck link;
        SetEngineLink(&link);
        StartRecordingWithPlayAfterChange(heard, 500);
        c.edit();
        EXPECT_EQ(1, link.stops) << c.name;
        EXPECT_EQ(0, link.openAfterStop) << c.name;
        // Only the edit's own result plays.
        EXPECT_EQ(c.played.empty() ? 0 : 1, OutputOpens()) << c.name;
        devices.Run();
        ExpectClosed();
        EXPECT_EQ(c.sound, Sound()) << c.name;
        const auto* played = reinterpret_cast<const int16_t*>(devices.played.data());
        EXPECT_EQ(c.played, Samples(played, played + devices.played.size() / 2)) << c.name;
        SetEngineLink(&DeviceEngineLink());
    }
}

TEST_F(RecordTest, ClosingTheFrameTakesEveryBufferBackThoughNoMessageArrives)
{
    Samples heard = Ramp(1300, -70, 9);
    StartRecordingWithPlayAfterChange(heard, 300);
    host.deliver = false;
    CloseDevices();
    ExpectClosed();
    EXPECT_EQ(0, OutputOpens());
    EXPECT_EQ(Cat({Part(0, 1000), heard, Part(1000, 3000)}), Sound());
    EXPECT_FALSE(ActIsBusy());
    // Messages the device had sent find nothing of the engine's any more.
    EXPECT_GT(devices.Deliver(), 0);
    ExpectClosed();

    // Playing, likewise.
    ASSERT_EQ(0, Play());
    devices.Complete(1);
    CloseDevices();
    ExpectClosed();
    EXPECT_EQ(Cat({Part(0, 1000), heard, Part(1000, 3000)}), Sound());
}

TEST_F(RecordTest, StartFailureLeavesTheSoundAsItWas)
{
    devices.startResult = DEVERR_ALLOCATED;
    SetSelection(1000, 0, ORIGIN_PROGRAM);
    EXPECT_EQ(254, Record());
    EXPECT_TRUE(log.Contains("Dev:waveInStart 4"));
    EXPECT_EQ(original, Sound());
    EXPECT_TRUE(TheUndoHistory().IsEmpty());
    EXPECT_EQ(DevMode::Closed, TheDev().mode);
    EXPECT_FALSE(ActIsBusy());
}

}
