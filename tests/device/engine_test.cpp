// Playing through the test devices: which range plays, how buffers are
// queued, repeat, stop, the error ids and the volume controls.
#include "device/engine.h"
#include "edit/open_document.h"

#include <cmath>

#include "device/volume.h"
#include "device_test_support.h"
#include "edit/remove_background.h"

namespace {

using Bytes = std::vector<uint8_t>;

// 8-bit mono: one byte a block, so what was played compares with the sound
// byte for byte.
class EngineTest : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        SelectPlayDevice(TheDevOptions(), WAVE_MAPPER_ID);
        Fill(1000);
    }

    // A new 4500-block sound in chunks of chunkBlocks; buffers hold 1000.
    void Fill(int32_t chunkBlocks)
    {
        ASSERT_EQ(0, NewDocument(nullptr));
        doc.bufferSamples = chunkBlocks;
        original.resize(4500);
        for (size_t i = 0; i < original.size(); i++)
            original[i] = uint8_t(i * 7 + i / 251);
        ASSERT_TRUE(doc.InsertSpace(0, 4500));
        doc.WriteBlocks(0, original.data(), 4500);
        doc.bufferSamples = 1000;
    }

    Bytes Part(int32_t from, int32_t to, int times = 1) const
    {
        Bytes all;
        for (int i = 0; i < times; i++)
            all.insert(all.end(), original.begin() + from, original.begin() + to);
        return all;
    }

    // Plays from start to end, or for maxBuffers buffers; what was heard.
    Bytes PlayAll(int maxBuffers = 100000)
    {
        devices.played.clear();
        EXPECT_EQ(0, Play());
        devices.Run(maxBuffers);
        return devices.played;
    }

    Bytes original;
};

TEST_F(EngineTest, RangeFollowsSelectionAndPlayPosition)
{
    const struct {
        int32_t selStart, selLength, playPos, from, to;
    } cases[] = {
        {1000, 0, 2500, 2500, 4500},    // nothing selected: from the play position to the end
        {1000, 2000, 3000, 1000, 3000}, // behind the selection: the whole selection again
        {1000, 2000, 2999, 1000, 3000}, // on its last block as well
        {1000, 2000, 1500, 1500, 3000}, // inside: from there
        {1000, 2000, 500, 500, 3000},   // before: the range reaches back to it
    };
    for (const auto& c : cases) {
        SetSelection(c.selStart, c.selLength, ORIGIN_PROGRAM);
        SetPlayPosition(c.playPos, ORIGIN_ENGINE);
        EXPECT_EQ(Part(c.from, c.to), PlayAll()) << c.playPos;
        EXPECT_EQ(DevMode::Closed, TheDev().mode);
        EXPECT_EQ(c.to, TheSelection().playPos);
    }
    EXPECT_TRUE(NoChunkLocked());
    EXPECT_EQ(0, devices.OpenCount());
}

TEST_F(EngineTest, BuffersStayInOneChunkAndTheQueueOnlyTopsUp)
{
    Fill(700);
    ASSERT_EQ(0, Play());
    // Two batches of at least 1000 blocks, one buffer per 700-block chunk.
    ASSERT_EQ(4u, devices.Queued());
    for (auto& buffer : devices.queuedBuffers) {
        int inside = 0;
        for (CGObListRec* rec = doc.chunks.Head(); rec; rec = rec->Next()) {
            auto* chunk = static_cast<CKV_BUFFER*>(rec);
            const uint8_t* begin = chunk->memory.get();
            inside += buffer.first >= begin && buffer.first + buffer.second <= begin + chunk->count;
        }
        EXPECT_EQ(1, inside);
    }
    // Nothing is added until only one buffer is left.
    devices.Complete(2);
    devices.Deliver();
    EXPECT_EQ(2u, devices.Queued());
    devices.Complete(1);
    devices.Deliver();
    EXPECT_EQ(3u, devices.Queued());
    devices.Run();
    EXPECT_EQ(original, devices.played);
    EXPECT_EQ(4, devices.maxQueued);
}

TEST_F(EngineTest, RepeatPlaysThatManyPassesOrUntilStoppedButOnceWhenHiddenOrSynchronous)
{
    DevOptions& options = TheDevOptions();
    SetSelection(100, 400, ORIGIN_PROGRAM);
    options.repeatCount = 3;
    EXPECT_EQ(Part(100, 500, 3), PlayAll());
    host.visible = false;
    EXPECT_EQ(Part(100, 500), PlayAll());
    host.visible = true;
    options.playCaps.dwSupport |= DEVCAPS_SYNC;
    EXPECT_EQ(Part(100, 500), PlayAll());

    options.playCaps.dwSupport &= ~DEVCAPS_SYNC;
    options.repeatCount = 0;
    EXPECT_EQ(Part(100, 500, 50), PlayAll(50));
    EXPECT_EQ(DevMode::Playing, TheDev().mode);
    Stop();
    EXPECT_EQ(DevMode::Closed, TheDev().mode);
    EXPECT_EQ(0, devices.Run());
}

TEST_F(EngineTest, StopLeavesThePlayPositionWhereTheDeviceWas)
{
    devices.positionAhead = 123;
    ASSERT_EQ(0, Play());
    EXPECT_TRUE(host.timerRunning);
    devices.Complete(1);
    devices.Deliver();
    OnPositionTimer();
    EXPECT_EQ(1123, TheSelection().playPos);
    devices.Complete(1);
    Stop();
    // The second buffer had been played; its message came after the stop.
    EXPECT_EQ(2123, TheSelection().playPos);
    EXPECT_EQ(DevMode::Closed, TheDev().mode);
    EXPECT_FALSE(host.timerRunning);
    EXPECT_EQ(0, devices.OpenCount());
    EXPECT_TRUE(NoChunkLocked());
    EXPECT_EQ(Part(0, 2000), devices.played);
}

TEST_F(EngineTest, FailuresGiveTheirErrorIdAndLeaveTheEngineClosed)
{
    const int mapping[][2] = {
        {DEVERR_ALLOCATED, 254}, {DEVERR_STILLPLAYING, 254}, {DEVERR_BADFORMAT, 256},
        {DEVERR_INVALFLAG, 256}, {DEVERR_INVALPARAM, 256}, {DEVERR_NOMEM, 247},
        {DEVERR_INVALHANDLE, 247}, {DEVERR_NODRIVER, 255}, {DEVERR_ERROR, 255},
    };
    for (auto& m : mapping) {
        devices.openResult = m[0];
        EXPECT_EQ(m[1], Play()) << m[0];
        EXPECT_EQ(m[1], Record()) << m[0];
        EXPECT_EQ(DevMode::Closed, TheDev().mode);
        EXPECT_FALSE(host.timerRunning);
        EXPECT_TRUE(log.Contains("Dev:Open " + std::to_string(m[0])));
    }
    EXPECT_EQ(original.size(), size_t(doc.length));
    EXPECT_FALSE(ActIsBusy());

    // A buffer the device refuses, at the start and in the middle of play.
    devices.openResult = 0;
    devices.failQueueAt = 1;
    devices.queueResult = DEVERR_NOMEM;
    EXPECT_EQ(247, Play());
    EXPECT_TRUE(log.Contains("Dev:Prepare Add 7"));
    EXPECT_EQ(0, devices.OpenCount());
    devices.failQueueAt = devices.queueCalls + 2;
    PlayAll();
    EXPECT_EQ(std::vector<int>{247}, host.errors);
    EXPECT_EQ(0, devices.OpenCount());
    EXPECT_TRUE(NoChunkLocked());

    // Without devices, and with nothing to play: nothing hangs.
    devices.outputs.clear();
    EXPECT_EQ(255, Play());
    SetSelection(doc.length, 0, ORIGIN_PROGRAM);
    EXPECT_EQ(-1, Play());
}

TEST_F(EngineTest, PlayAndRecordAreRefusedWhileAnEffectDeletesSamples)
{
    // A quiet stretch across the chunks the first buffers would play from.
    doc.WriteBlocks(500, Bytes(2000, 128).data(), 2000);
    SetSelection(0, doc.length, ORIGIN_PROGRAM);
    EffectSettings settings;
    settings.noiseDelete = 1;
    int play = 0, record = 0;
    // Clicks that arrive while the effect routes messages.
    host.onPump = [&] {
        record = Record();
        play = Play();
    };
    RemoveBackground(settings);
    EXPECT_EQ(-1, play);
    EXPECT_EQ(-1, record);
    EXPECT_TRUE(devices.opens.empty());
    ASSERT_EQ(2500, doc.length);
    ExpectClosed();

    // Once it is done, play plays what is left.
    Bytes left = Part(0, 500);
    Bytes rest = Part(2500, 4500);
    left.insert(left.end(), rest.begin(), rest.end());
    SetSelection(0, 0, ORIGIN_PROGRAM);
    SetPlayPosition(0, ORIGIN_ENGINE);
    EXPECT_EQ(left, PlayAll());
}

TEST_F(EngineTest, PlayPositionStaysExactPastFourGibibytesOfDeviceBytes)
{
    // Seven and a half hours of CD stereo; only the chunks played get memory.
    KvWaveFormat f = PcmFormat(2, 16, 44100);
    ASSERT_EQ(0, NewDocument(&f));
    const int32_t length = 1200000000;
    ASSERT_TRUE(doc.InsertSpace(0, length));
    SetSelection(0, 0, ORIGIN_PROGRAM);
    SetPlayPosition(0, ORIGIN_ENGINE);
    ASSERT_EQ(0, Play());
    // The device's 32-bit byte count wraps between these two readings.
    const uint64_t wrap = uint64_t(1) << 32;
    const struct {
        uint64_t bytes;
        int32_t position;
    } readings[] = {
        {wrap - 4 * 1000, int32_t(wrap / 4 - 1000)},
        {wrap + 4 * 5000, int32_t(wrap / 4 + 5000)},
        {wrap + 4 * 9000, int32_t(wrap / 4 + 9000)},
    };
    for (const auto& r : readings) {
        devices.positionAhead = r.bytes;
        OnPositionTimer();
        EXPECT_EQ(r.position, TheSelection().playPos) << r.bytes;
    }
    Stop();
    EXPECT_EQ(readings[2].position, TheSelection().playPos);
    ExpectClosed();
}

TEST_F(EngineTest, OnlyStartUpPlaybackClosesTheProgramWhenItEnds)
{
    TheApp().closeWhenDone = 1;
    ASSERT_EQ(0, PlayAtStartUp());
    devices.Run();
    EXPECT_EQ(1, host.closeRequests);
    PlayAll();
    EXPECT_EQ(0, TheApp().closeWhenDone);
    EXPECT_EQ(1, host.closeRequests);
}

TEST_F(EngineTest, VolumeAndRateAreReadThroughABriefOpenWhenIdleAndOnlyWithSupport)
{
    DevOptions& options = TheDevOptions();
    options.playCaps.dwSupport = DEVCAPS_VOLUME;
    devices.volume = 0x12345678;
    ASSERT_TRUE(ReadVolume());
    EXPECT_EQ(0x12345678u, TheDev().volume);
    EXPECT_EQ(0, devices.OpenCount());
    // One volume for both channels unless the device has left and right.
    SetVolume(0x8000, 0x2000);
    EXPECT_EQ(0x80008000u, devices.volume);
    options.playCaps.dwSupport |= DEVCAPS_LRVOLUME;
    SetVolume(0x8000, 0x2000);
    EXPECT_EQ(0x20008000u, devices.volume);

    // While playing, the engine's own output.
    ASSERT_EQ(0, Play());
    size_t opens = devices.opens.size();
    EXPECT_TRUE(ReadVolume());
    EXPECT_FALSE(ReadPlaybackRate());
    options.playCaps.dwSupport = DEVCAPS_PLAYBACKRATE;
    devices.rate = 0x20000;
    EXPECT_TRUE(ReadPlaybackRate());
    EXPECT_EQ(0x20000u, TheDev().playbackRate);
    EXPECT_FALSE(ReadVolume());
    EXPECT_EQ(opens, devices.opens.size());
    Stop();
}

TEST_F(EngineTest, TheChosenVolumeSurvivesOutputsThatForgetItAndRefusalsKeepTheOldOne)
{
    TheDevOptions().playCaps.dwSupport = DEVCAPS_VOLUME;
    devices.volumePerOutput = true;
    const uint32_t half = VolumeFromStep(128);
    ASSERT_TRUE(SetVolume(half, half));
    // The engine keeps the choice, the next playback starts with it, and
    // reading it there finds it again.
    auto expectChoiceStands = [&](const char* after) {
        EXPECT_EQ(half * 0x10001u, TheDev().volume) << after;
        ASSERT_EQ(0, Play()) << after;
        EXPECT_EQ(half * 0x10001u, devices.volume) << after;
        EXPECT_TRUE(ReadVolume()) << after;
        EXPECT_EQ(half * 0x10001u, TheDev().volume) << after;
        Stop();
    };
    // A brief output for reading starts at full volume: it is readable, but
    // the choice stands.
    EXPECT_TRUE(ReadVolume());
    expectChoiceStands("a read while idle");
    expectChoiceStands("a playback");
    devices.volumeResult = DEVERR_NOTSUPPORTED;
    EXPECT_FALSE(SetVolume(0x1000, 0x1000));
    devices.volumeResult = DEVERR_NONE;
    expectChoiceStands("a refused volume");
    // Without volume control nothing is set.
    TheDevOptions().playCaps.dwSupport = 0;
    EXPECT_FALSE(SetVolume(0x1000, 0x1000));
    EXPECT_EQ(half * 0x10001u, TheDev().volume);
}

TEST_F(EngineTest, SliderStepsSpanTheWholeDeviceRange)
{
    EXPECT_EQ(0xFFFFu, VolumeFromStep(VOLUME_STEP_MAX));
    EXPECT_EQ(0xFFFFu, VolumeFromStep(1000));
    EXPECT_EQ(0u, VolumeFromStep(-5));
    // The middle step is half the amplitude: 6 dB down.
    EXPECT_NEAR(-6.02, 20 * std::log10(VolumeFromStep(128) / 65535.0), 0.05);
    for (int32_t step = 0; step <= VOLUME_STEP_MAX; step++)
        EXPECT_EQ(step, StepFromVolume(0xABCD0000u | VolumeFromStep(step))) << step;
}

}
