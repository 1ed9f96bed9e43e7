#include "edit/level_effects.h"
#include "edit/open_document.h"

#include <algorithm>

#include "support/effect_fixture.h"

namespace {

using LevelEffectsTest = EffectTest;

TEST_F(LevelEffectsTest, AmplifyRoundsHalvesAwayFromZeroAndClampsToFullScale)
{
    const struct {
        uint16_t bits;
        int percent;
        Samples in, out;
    } cases[] = {
        {16, 33, {9, 100, 50, -50, 1, -2}, {9, 33, 17, -17, 0, -1}},
        {8, 33, {9, 100, 50, -50, 1, -2}, {9, 33, 17, -17, 0, -1}},
        {16, 200, {9, 20000, -20000, -32768, 16383}, {9, 32767, -32767, -32767, 32766}},
        {8, 200, {9, 100, -100, -128, 63}, {9, 127, -127, -127, 126}},
        {16, 101, {9, -32768, 32767}, {9, -32767, 32767}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << "-bit, " << c.percent << " %");
        Load(1, c.bits, c.in, 1, int32_t(c.in.size()) - 1, 2);
        settings.amplification = c.percent;
        Amplify(settings);
        EXPECT_EQ(Read(), c.out);
        EXPECT_EQ(doc.changeCount, 1);
    }
}

TEST_F(LevelEffectsTest, UnchangingSettingsOrCompressedDataDoNothing)
{
    Load(1, 16, {1000, 2000, 3000}, 0, 3);
    settings.fadeEnd = 100;
    Amplify(settings);                  // 100 %
    Fade(settings);                     // 100 % to 100 %
    ExpectUnchanged(SampleBytes(16, {1000, 2000, 3000}));

    KvWaveFormat alaw = {WAVE_TAG_ALAW, 1, 8000, 8000, 1, 8, 0};
    ASSERT_EQ(NewDocument(&alaw), 0);
    ASSERT_TRUE(doc.InsertSpace(0, 3));
    const Bytes coded = {1, 2, 3};
    doc.WriteBlocks(0, coded.data(), 3);
    SetSelection(0, 3, ORIGIN_PROGRAM);
    Amplify(settings);
    Silence();
    EXPECT_EQ(Raw(), coded);
}

TEST_F(LevelEffectsTest, FadeFollowsTheStraightLineToExactlyTheEndPercent)
{
    // Both ways, across progress positions and chunk edges.
    const int32_t start = 8000, n = 20011;
    for (auto ends : {std::pair<int, int>{7, 193}, {150, 3}}) {
        Samples in(start + n);
        for (size_t i = 0; i < in.size(); i++)
            in[i] = int(i * 37 % 60001) - 30000;
        Load(1, 16, in, start, n, 4409);
        settings.fadeStart = ends.first;
        settings.fadeEnd = ends.second;
        Fade(settings);
        Samples out = Read();
        int64_t d = ends.second - ends.first;
        for (int32_t i = 0; i < n; i++) {
            int64_t v = int64_t(in[start + i]) * (ends.first + d * (i + 1) / n);
            v = std::clamp<int64_t>((v >= 0 ? v + 50 : v - 50) / 100, -32767, 32767);
            ASSERT_EQ(out[start + i], v) << "sample " << i;
        }
    }
}

TEST_F(LevelEffectsTest, ReverseMovesWholeBlocksAndKeepsTheMiddleOfAnOddCount)
{
    EXPECT_EQ(After(Reverse, 1, 8, {9, 1, 2, 3, 4, 5, 9}, 1, 5), Samples({9, 5, 4, 3, 2, 1, 9}));
    EXPECT_EQ(After(Reverse, 1, 16, {9, 1000, -2000, 3000, 9}, 1, 3), Samples({9, 3000, -2000, 1000, 9}));
    for (uint16_t bits : {8, 16}) {
        SCOPED_TRACE(bits);
        EXPECT_EQ(After(Reverse, 2, bits, {9, -9, 1, -1, 2, -2, 3, -3, 4, -4, 9, -9}, 1, 4),
            Samples({9, -9, 4, -4, 3, -3, 2, -2, 1, -1, 9, -9}));
        EXPECT_EQ(After(Reverse, 2, bits, {1, -1, 2, -2, 3, -3}, 0, 3), Samples({3, -3, 2, -2, 1, -1}));
    }
}

TEST_F(LevelEffectsTest, RemoveOffsetTakesTheMeanOrARunningMeanAndSaturates)
{
    EXPECT_EQ(After(RemoveOffset, 1, 16, Samples(10, 100), 0, 10), Samples(10, 0));

    // Mean -95: the loud sample would wrap to -34.
    EXPECT_EQ(After(RemoveOffset, 1, 8, {-120, -120, -120, 127, -120, -120, -120, -120, -120, -120}, 0, 10),
              Samples({-25, -25, -25, 127, -25, -25, -25, -25, -25, -25}));

    // Past 256 samples the mean follows the signal: a step up decays away.
    Samples step(3000, 0);
    std::fill(step.begin() + 256, step.end(), 500);
    Load(1, 16, step, 0, 3000, 1000);
    RemoveOffset();
    Samples out = Read();
    EXPECT_EQ(std::count(out.begin(), out.begin() + 256, 0), 256);
    EXPECT_EQ(out[256], 500);
    EXPECT_TRUE(std::is_sorted(out.begin() + 256, out.end(), std::greater<int>()));
    EXPECT_LE(out.back(), 2);
}

TEST_F(LevelEffectsTest, HiddenLeftChannelIsLeftUntouched)
{
    TheAppOptions().leftChannel = 0;
    for (uint16_t bits : {8, 16}) {
        Load(2, bits, {10, 20, 30, 40, 50, 60, 70, 80}, 0, 4);
        settings.amplification = 50;
        Amplify(settings);
        Reverse();
        EXPECT_EQ(Read(), Samples({10, 40, 30, 30, 50, 20, 70, 10}));
        Silence();
        EXPECT_EQ(Read(), Samples({10, 0, 30, 0, 50, 0, 70, 0}));
    }
}

TEST_F(LevelEffectsTest, SilenceWritesTheFormatsSilenceAndInsertsWithoutSelection)
{
    Load(2, 8, {1, 2, 3, 4, 5, 6}, 1, 2);
    Silence();
    EXPECT_EQ(Raw(), Bytes({129, 130, 128, 128, 128, 128}));

    Load(1, 16, {1, 2, 3}, 1, 0);
    settings.insertLength = 10;
    int32_t inserted = int32_t(doc.format.MsToBlocks(10));
    Silence();
    Samples model(size_t(inserted) + 3, 0);
    model.front() = 1;
    model[size_t(inserted) + 1] = 2;
    model.back() = 3;
    EXPECT_EQ(Read(), model);
    EXPECT_EQ(TheSelection().selLength, inserted);
}

// Silence hands the memory of the chunks wholly inside the selection to its
// undo record instead of copying it: undo and redo must still give back the
// exact bytes, the undo memory must count what the record took, and a chunk
// locked for playing keeps its memory.
constexpr int32_t CHUNK = 997;

class SilenceUndoTest : public EffectTest {
protected:
    SilenceUndoTest() : EffectTest(22050, CHUNK) {}

    // The memory of each chunk, in order (null: none).
    std::vector<const uint8_t*> Memory()
    {
        std::vector<const uint8_t*> m;
        for (CGObListRec* r = doc.chunks.Head(); r; r = r->Next())
            m.push_back(static_cast<CKV_BUFFER*>(r)->memory.get());
        return m;
    }
};

TEST_F(SilenceUndoTest, WholeChunksChangeHandsAndUndoAndRedoGiveTheExactBytes)
{
    // 16-bit stereo in 11 chunks: 1 and 8 are cut by the selection, 2..7 lie
    // wholly inside, and 5 is locked.
    const int32_t start = CHUNK + 400, length = 7 * CHUNK;
    for (int mixOld : {0, 50}) {
        SCOPED_TRACE(mixOld ? "Mix mode" : "Replace mode");
        TheAppOptions().mixOld = mixOld;
        Bytes before(size_t(10 * CHUNK + 123) * 4);
        for (size_t i = 0; i < before.size(); i++)
            before[i] = uint8_t(i * 7 + i / 251);
        LoadBytes(2, 16, before, start, length);
        std::vector<const uint8_t*> memory = Memory();
        CGObListRec* r = doc.chunks.Head();
        for (int i = 0; i < 5; i++)
            r = r->Next();
        CKV_BUFFER* playing = static_cast<CKV_BUFFER*>(r);
        ASSERT_EQ(memory[5], doc.Lock(playing));
        Silence();
        std::vector<const uint8_t*> taken = Memory();
        for (int i = 0; i < 11; i++)
            EXPECT_EQ(taken[i] == nullptr, i >= 2 && i <= 7 && i != 5) << "chunk " << i;
        // The record counts exactly what a full copy would have.
        EXPECT_EQ(ACTSTORE_OVERHEAD + 4 + uint32_t(length) * 4, UndoMemoryInUse());
        Bytes after = before;
        std::fill(after.begin() + start * 4, after.begin() + (start + length) * 4, 0);
        EXPECT_EQ(after, Raw());

        ASSERT_EQ(0, ActUndo());
        EXPECT_EQ(before, Raw());
        EXPECT_EQ(memory, Memory()) << "the blocks went back, not copies of them";
        ASSERT_EQ(0, ActRedo());
        EXPECT_EQ(after, Raw());
        doc.Unlock(playing);
        ResetUndoHistory(ACTSTATE_LOADING);
        ResetUndoHistory(ACTSTATE_READY);
        EXPECT_EQ(0u, UndoMemoryInUse());
    }
}

}
