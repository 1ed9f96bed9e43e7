// Silence hands the memory of the chunks wholly inside the selection to its
// undo record instead of copying it: undo and redo must still give back the
// exact bytes, and the undo memory must count what the record took.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/app_options.h"
#include "edit/delete_cut.h"
#include "edit/level_effects.h"
#include "support/effect_fixture.h"

namespace {

constexpr int32_t CHUNK = 997;
constexpr int32_t BLOCKS = 10 * CHUNK + 123;

class SilenceUndoTest : public EffectTest {
protected:
    SilenceUndoTest() : EffectTest(22050, CHUNK) {}

    void TearDown() override
    {
        ResetActionLifecycle();
        doc.FreeAll();
    }

    // A sound of BLOCKS blocks of distinct bytes, the selection set.
    void Load(uint16_t channels, uint16_t bits, int32_t start, int32_t length)
    {
        Bytes b(size_t(BLOCKS) * channels * bits / 8);
        for (size_t i = 0; i < b.size(); i++)
            b[i] = uint8_t(i * 7 + i / 251);
        LoadBytes(channels, bits, b, start, length);
        ResetActionLifecycle();
    }

    // The memory of each chunk, in order (null: none).
    std::vector<const uint8_t*> Memory()
    {
        std::vector<const uint8_t*> m;
        for (CGObListRec* r = doc.chunks.Head(); r; r = r->Next())
            m.push_back(static_cast<CKV_BUFFER*>(r)->memory.get());
        return m;
    }

    CKV_BUFFER* Chunk(int i)
    {
        CGObListRec* r = doc.chunks.Head();
        while (i-- > 0)
            r = r->Next();
        return static_cast<CKV_BUFFER*>(r);
    }

    // The bytes Silence should leave: the selection silent on the channels
    // in the mask.
    Bytes Silenced(Bytes b, int32_t start, int32_t length, int mask)
    {
        const KvWaveFormat* w = doc.format.Record();
        size_t width = w->wBitsPerSample / 8;
        for (size_t i = size_t(start) * w->nBlockAlign; i < size_t(start + length) * w->nBlockAlign; i++)
            if (mask & (1 << (i % w->nBlockAlign / width)))
                b[i] = width == 1 ? 128 : 0;
        return b;
    }

    AppOptions& options = TheAppOptions();
};

TEST_F(SilenceUndoTest, WholeChunksChangeHandsAndUndoAndRedoGiveTheExactBytes)
{
    // Chunks 1 and 8 are cut by the selection; 2..7 lie wholly inside.
    const int32_t start = CHUNK + 400, length = 7 * CHUNK;
    for (int mixOld : {0, 50}) {
        SCOPED_TRACE(mixOld ? "Mix mode" : "Replace mode");
        options.mixOld = mixOld;
        Load(2, 16, start, length);
        Bytes before = Raw();
        std::vector<const uint8_t*> memory = Memory();
        Silence();
        EXPECT_EQ(TheSelection().editMode, mixOld ? EDIT_MIX : EDIT_REPLACE);
        std::vector<const uint8_t*> taken = Memory();
        for (int i = 0; i < 11; i++)
            EXPECT_EQ(taken[i] == nullptr, i >= 2 && i <= 7) << "chunk " << i;
        // The record counts exactly what a full copy would have: the chunks
        // held their blocks and no more.
        EXPECT_EQ(ACTSTORE_OVERHEAD + 4 + uint32_t(length) * 4, UndoMemoryInUse());
        Bytes after = Raw();
        EXPECT_EQ(Silenced(before, start, length, 3), after);

        ASSERT_EQ(0, ActUndo());
        EXPECT_EQ(before, Raw());
        EXPECT_EQ(memory, Memory()) << "the blocks went back, not copies of them";
        EXPECT_EQ(ACTSTORE_OVERHEAD, UndoMemoryInUse());
        ASSERT_EQ(0, ActRedo());
        EXPECT_EQ(after, Raw());
        ASSERT_EQ(0, ActUndo());
        EXPECT_EQ(before, Raw());
        ResetUndoHistory(ACTSTATE_LOADING);
        ResetUndoHistory(ACTSTATE_READY);
        EXPECT_EQ(0u, UndoMemoryInUse());
    }
}

TEST_F(SilenceUndoTest, ChunksWithoutMemoryAndRepeatedSilenceUndoExactly)
{
    Load(1, 8, 0, BLOCKS);
    ASSERT_TRUE(doc.InsertSpace(2 * CHUNK, CHUNK));   // a chunk never touched
    SetSelection(CHUNK / 2, 5 * CHUNK, ORIGIN_PROGRAM);
    Bytes before = Raw();
    Silence();
    Bytes once = Raw();
    SetSelection(10, BLOCKS, ORIGIN_COMMAND);
    Silence();
    Bytes twice = Raw();
    EXPECT_EQ(Silenced(before, 10, BLOCKS, 1), twice);
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(once, Raw());
    while (!TheUndoHistory().IsEmpty())
        ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(before, Raw());
}

TEST_F(SilenceUndoTest, ChangedChunkEdgesAreWrittenBackAsFrames)
{
    const int32_t start = 100, length = 9 * CHUNK;
    Load(2, 16, start, length);
    Bytes before = Raw();
    Silence();
    // Deleting and putting back a stretch across a chunk edge leaves the
    // chunks split differently.
    SetSelection(3 * CHUNK - 50, 300, ORIGIN_COMMAND);
    ASSERT_EQ(0, DeleteSelection());
    ASSERT_EQ(0, ActUndo());
    while (!TheUndoHistory().IsEmpty())
        ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(before, Raw());
}

TEST_F(SilenceUndoTest, ALockedChunkKeepsItsMemory)
{
    Load(2, 16, 0, BLOCKS);
    Bytes before = Raw();
    CKV_BUFFER* playing = Chunk(4);
    const uint8_t* p = doc.Lock(playing);
    ASSERT_NE(nullptr, p);
    Silence();
    EXPECT_EQ(p, playing->memory.get());
    EXPECT_EQ(Bytes(size_t(CHUNK) * 4, 0), Bytes(p, p + size_t(CHUNK) * 4));
    EXPECT_EQ(nullptr, Chunk(3)->memory.get());
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(before, Raw());
    EXPECT_EQ(p, playing->memory.get());
    doc.Unlock(playing);
}

TEST_F(SilenceUndoTest, OneChannelOnShowSilencesOnlyIt)
{
    options.leftChannel = 0;
    const int32_t start = 10, length = 8 * CHUNK;
    Load(2, 16, start, length);
    Bytes before = Raw();
    Silence();
    for (const uint8_t* m : Memory())
        EXPECT_NE(nullptr, m);
    EXPECT_EQ(Silenced(before, start, length, 2), Raw());
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(before, Raw());
}

TEST_F(SilenceUndoTest, TheMemoryLimitCountsTakenChunks)
{
    Load(1, 16, 0, 4 * CHUNK);
    Bytes before = Raw();
    const uint32_t record = ACTSTORE_OVERHEAD + 4 + 4 * CHUNK * 2;
    options.undoMemory = record + record / 2;
    Silence();
    SetSelection(5 * CHUNK, 4 * CHUNK, ORIGIN_PROGRAM);
    Silence();
    // The first record went for the second: only that one can be undone.
    EXPECT_EQ(1, TheUndoHistory().Count());
    EXPECT_EQ(record, UndoMemoryInUse());
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(Silenced(before, 0, 4 * CHUNK, 1), Raw());
}

TEST_F(SilenceUndoTest, InsertModeAddsSilenceWithoutMemory)
{
    Load(2, 16, 500, 0);
    Bytes before = Raw();
    TheEffectSettings().insertLength = 100;     // 2205 blocks: chunks 1..3 after the split at 500
    Silence();
    ASSERT_EQ(BLOCKS + 2205, doc.length);
    std::vector<const uint8_t*> memory = Memory();
    EXPECT_EQ(std::vector<const uint8_t*>(3, nullptr), std::vector<const uint8_t*>(&memory[1], &memory[4]));
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(before, Raw());
}

}
