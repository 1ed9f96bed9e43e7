#include "sound/document.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/app_options.h"
#include "view/update_views.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Counts = std::vector<int32_t>;

std::unique_ptr<uint8_t[]> Block(const Bytes& bytes)
{
    std::unique_ptr<uint8_t[]> block(new uint8_t[bytes.size()]);
    std::memcpy(block.get(), bytes.data(), bytes.size());
    return block;
}

class SampleStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetAppOptions();
        ResetSelection();
        RunPendingViewUpdates();
    }

    // Chunks of 7 blocks, so that chunk edges are everywhere.
    void UsePcm(uint16_t channels, uint16_t bits)
    {
        Form f;
        f.SetBuiltInDefault();
        f.Record()->nChannels = channels;
        f.Record()->wBitsPerSample = bits;
        f.Normalize();
        ASSERT_EQ(doc.SetFormat(f.Record()), 0);
        doc.bufferSamples = 7;
        align = doc.format.BlockAlign();
    }

    CKV_BUFFER* Chunk(int index) const
    {
        CGObListRec* rec = doc.chunks.Head();
        while (rec && index-- > 0)
            rec = rec->Next();
        return static_cast<CKV_BUFFER*>(rec);
    }

    // Checks that length is the sum of the counts, no chunk is empty, memory
    // follows the count and the cursor names a chunk with its real start.
    Counts Check() const
    {
        Counts counts;
        int32_t start = 0;
        bool cursorFound = !doc.current && doc.currentStart == -1;
        for (CKV_BUFFER* c = Chunk(0); c; c = static_cast<CKV_BUFFER*>(c->Next())) {
            EXPECT_GT(c->count, 0);
            EXPECT_TRUE(!c->memory || c->memoryBytes == static_cast<uint32_t>(c->count * align));
            cursorFound |= c == doc.current && start == doc.currentStart;
            start += c->count;
            counts.push_back(c->count);
        }
        EXPECT_EQ(start, doc.length);
        EXPECT_TRUE(cursorFound);
        EXPECT_TRUE(!doc.lockedData || doc.lockedData == doc.current->memory.get());
        return counts;
    }

    void ExpectBytes(const Bytes& model)
    {
        ASSERT_EQ(static_cast<size_t>(doc.length) * align, model.size());
        Bytes out(model.size());
        EXPECT_EQ(doc.CopyOut(0, out.data(), doc.length), doc.length);
        EXPECT_EQ(out, model);
    }

    CKV_Document doc;
    int align = 0;
};

TEST_F(SampleStoreTest, SpaceHasNoMemoryUntilItsFirstLockFillsItWithSilence)
{
    UsePcm(1, 8);
    ASSERT_TRUE(doc.InsertSpace(0, 20));
    EXPECT_EQ(Check(), (Counts{7, 7, 6}));
    EXPECT_EQ(doc.ReadSample(15), 0);
    EXPECT_EQ(Chunk(0)->memory, nullptr);
    EXPECT_NE(Chunk(2)->memory, nullptr);
    ExpectBytes(Bytes(20, 128));
    doc.WriteSample(19, -1);                    // 8-bit values are stored plus 128
    EXPECT_EQ(doc.ReadSample(19), -1);
    EXPECT_EQ(*doc.GetPointer(19), 127);

    UsePcm(2, 16);
    doc.FreeAll();
    ASSERT_TRUE(doc.InsertSpace(0, 9));
    ExpectBytes(Bytes(36, 0));
}

TEST_F(SampleStoreTest, SplitsAtTheEndsChangeNothingAndDeletesInsideAChunkKeepBothEnds)
{
    UsePcm(1, 8);
    ASSERT_TRUE(doc.InsertSpace(0, 10));
    const Bytes data = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    doc.WriteBlocks(0, data.data(), 10);
    EXPECT_TRUE(doc.SplitAt(0));
    EXPECT_TRUE(doc.SplitAt(10));
    EXPECT_TRUE(doc.SplitAt(7));
    EXPECT_EQ(Check(), (Counts{7, 3}));
    ASSERT_TRUE(doc.DeleteRange(2, 3));
    EXPECT_EQ(Check(), (Counts{2, 2, 3}));
    EXPECT_EQ(doc.lockedData, nullptr);
    ExpectBytes({1, 2, 6, 7, 8, 9, 10});
    uint8_t* p = nullptr;
    EXPECT_EQ(doc.GetRun(&p, 3, 100), 1);       // runs end with their chunk
    EXPECT_EQ(*p, 7);
}

TEST_F(SampleStoreTest, SetChannelSkipsChannelsTheViewHides)
{
    UsePcm(2, 16);
    AppOptions& options = TheAppOptions();
    const struct {
        uint8_t left, right;
        int k, channel;                         // channel 0: the call fails
    } cases[] = {
        {1, 1, 1, 1}, {1, 1, 2, 2}, {1, 1, 3, 0},
        {0, 1, 1, 2}, {0, 1, 2, 0},
        {1, 0, 1, 1}, {1, 0, 2, 0},
        {0, 0, 1, 0}, {0, 0, 255, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.left) << int(c.right) << " k " << c.k);
        options.leftChannel = c.left;
        options.rightChannel = c.right;
        doc.channel = 7;
        EXPECT_EQ(doc.SetChannel(c.k), c.channel != 0);
        EXPECT_EQ(doc.channel, c.channel ? c.channel : 7);
    }
    options.leftChannel = options.rightChannel = 1;
    ASSERT_TRUE(doc.InsertSpace(0, 1));
    for (int k = 1; k <= 2; k++) {              // the same block, one channel after the other
        ASSERT_TRUE(doc.SetChannel(k));
        doc.WriteSample(0, k - 3);
    }
    ExpectBytes({0xFE, 0xFF, 0xFF, 0xFF});
    UsePcm(1, 8);                               // mono and compressed: one channel only
    EXPECT_FALSE(doc.SetChannel(2));
    const KvWaveFormat alaw = {WAVE_TAG_ALAW, 2, 8000, 16000, 2, 8, 0};
    ASSERT_EQ(doc.SetFormat(&alaw), 0);
    EXPECT_TRUE(doc.SetChannel(1));
    EXPECT_FALSE(doc.SetChannel(2));
}

TEST_F(SampleStoreTest, MixingSaturatesAtTheSampleWidth)
{
    AppOptions& options = TheAppOptions();
    options.mixOld = 100;
    TheSelection().editMode = EDIT_MIX;
    UsePcm(2, 16);
    ASSERT_TRUE(doc.InsertSpace(0, 2));
    ASSERT_TRUE(doc.SetChannel(2));
    doc.WriteSample(0, 20000);
    doc.WriteSample(1, -20000);
    doc.WriteSampleMixed(0, 20000);
    const int16_t data[4] = {-20000, 5, 0, 0};  // only each block's first sample is mixed in
    EXPECT_EQ(doc.MixBlocks(1, reinterpret_cast<const uint8_t*>(data), 2), 2);
    ExpectBytes({0, 0, 0xFF, 0x7F, 0, 0, 0x00, 0x80});

    UsePcm(1, 8);
    doc.FreeAll();
    ASSERT_TRUE(doc.InsertSpace(0, 2));
    const uint8_t loud[2] = {228, 28};          // 100 and -100
    doc.WriteBlocks(0, loud, 2);
    doc.MixBlocks(0, loud, 2);
    ExpectBytes({255, 0});
    options.mixNew = 50;                        // rounds half away from zero, as MulDiv
    options.mixOld = 0;
    doc.WriteSampleMixed(0, 3);
    doc.WriteSampleMixed(1, -3);
    ExpectBytes({130, 126});
    TheSelection().editMode = EDIT_REPLACE;     // plain overwrite
    doc.WriteSampleMixed(0, -3);
    doc.MixBlocks(1, loud, 1);
    ExpectBytes({125, 228});
}

TEST_F(SampleStoreTest, PutChunkMemoryAdoptsReplacesAndRefusesShortBlocks)
{
    UsePcm(1, 8);
    ASSERT_TRUE(doc.PutChunkMemory(0, Block({1, 2, 3}), 3, 3));     // an empty store: appended
    ASSERT_TRUE(doc.PutChunkMemory(9, Block({4, 5}), 2, 2));        // past the end: appended
    ASSERT_TRUE(doc.PutChunkMemory(1, Block({9, 8, 7, 6}), 4, 4));  // replaced; length follows
    ExpectBytes({9, 8, 7, 6, 4, 5});

    // The recorder's exchange: it takes the old block over, the chunk keeps its count.
    std::unique_ptr<uint8_t[]> taken = std::move(Chunk(1)->memory);
    ASSERT_TRUE(doc.PutChunkMemory(4, Block({0x55, 0x66}), 2, -1));
    EXPECT_EQ(taken[0], 4);
    ExpectBytes({9, 8, 7, 6, 0x55, 0x66});

    EXPECT_FALSE(doc.PutChunkMemory(0, Block({1, 2}), 2, 4));       // too small for 4 blocks
    EXPECT_FALSE(doc.PutChunkMemory(0, Block({1}), 1, -1));         // too small for the chunk
    EXPECT_FALSE(doc.PutChunkMemory(0, nullptr, 0, 2));
    EXPECT_FALSE(doc.PutChunkMemory(6, nullptr, 0, 2));
    EXPECT_FALSE(doc.InsertChunk(3, Block({1}), 1));
    ExpectBytes({9, 8, 7, 6, 0x55, 0x66});
    ASSERT_TRUE(doc.PutChunkMemory(2, nullptr, 0, 0));              // n 0 deletes the chunk
    EXPECT_EQ(Check(), Counts{2});
}

TEST_F(SampleStoreTest, PositionsOutsideTheStoreFailSafely)
{
    UsePcm(2, 16);
    ASSERT_TRUE(doc.InsertSpace(0, 10));
    uint8_t data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    for (int32_t pos : {-1, 10, INT32_MIN, INT32_MAX}) {
        SCOPED_TRACE(pos);
        uint8_t* p = data;
        EXPECT_EQ(doc.GetRun(&p, pos, 5), 0);
        EXPECT_EQ(p, nullptr);
        EXPECT_EQ(doc.GetPointer(pos), nullptr);
        EXPECT_EQ(doc.ReadSample(pos), 0);
        doc.WriteSample(pos, 99);
        doc.WriteSampleMixed(pos, 99);
        doc.FillSilence(pos, 3);
        EXPECT_EQ(doc.WriteBlocks(pos, data, 2), pos);
        EXPECT_EQ(doc.MixBlocks(pos, data, 2), pos);
        EXPECT_FALSE(doc.DeleteRange(pos, 1));
        EXPECT_EQ(doc.SplitAt(pos), pos == 10);
        EXPECT_EQ(doc.InsertSpace(pos, 1), pos == 10);
    }
    EXPECT_FALSE(doc.InsertSpace(0, INT32_MAX));
    ExpectBytes(Bytes(44, 0));
    // A range passing the end loses only what the store holds, and says so.
    EXPECT_FALSE(doc.DeleteRange(8, 5));
    EXPECT_EQ(doc.length, 8);
}

TEST_F(SampleStoreTest, MemoryLockedElsewhereDoesNotMove)
{
    UsePcm(1, 8);
    ASSERT_TRUE(doc.InsertSpace(0, 7));
    CKV_BUFFER* chunk = Chunk(0);
    uint8_t* held = doc.Lock(chunk);            // as the device engine holds a queued buffer
    ASSERT_NE(held, nullptr);
    ASSERT_TRUE(doc.SplitAt(3));
    EXPECT_EQ(chunk->memory.get(), held);
    doc.Unlock(chunk);
    ASSERT_TRUE(doc.SplitAt(1));
    EXPECT_EQ(chunk->memoryBytes, 1u);
}

TEST_F(SampleStoreTest, LengthChangesRequestTheirViewUpdates)
{
    UsePcm(1, 8);
    RunPendingViewUpdates();
    ASSERT_TRUE(doc.InsertSpace(0, 5));
    EXPECT_EQ(RunPendingViewUpdates(), uint32_t(UpdTransport | UpdTotal));
    ASSERT_TRUE(doc.InsertSpace(5, 5));
    EXPECT_EQ(RunPendingViewUpdates(), uint32_t(UpdTotal));
    ASSERT_TRUE(doc.SplitAt(3));
    doc.WriteSample(1, 5);
    EXPECT_EQ(PendingViewUpdates(), 0u);
    doc.FreeAll();
    EXPECT_EQ(PendingViewUpdates(), uint32_t(UpdTransport | UpdTotal));
}

// Random structure changes and writes, aimed at chunk edges, against a plain
// byte vector: after every step the store holds the same bytes in order.
class SampleStoreModelTest : public SampleStoreTest,
                             public ::testing::WithParamInterface<std::pair<int, int>> {
};

TEST_P(SampleStoreModelTest, MatchesAPlainVector)
{
    const int channels = GetParam().first, width = GetParam().second / 8;
    UsePcm(static_cast<uint16_t>(channels), static_cast<uint16_t>(width * 8));
    const uint8_t silence = width == 1 ? 128 : 0;
    std::mt19937 rng(static_cast<unsigned>(channels * 10 + width));
    Bytes model;
    auto random = [&rng](int32_t n) { return static_cast<int32_t>(rng() % static_cast<unsigned>(n)); };
    auto pick = [&](bool orEnd) {
        int32_t limit = doc.length - (orEnd ? 0 : 1);
        if (limit <= 0)
            return 0;
        if (rng() % 2)
            return random(limit + 1);
        int32_t edge = 0;                       // a chunk edge or a block beside one
        for (int i = random(doc.chunks.Count() + 1); i > 0; i--)
            edge += Chunk(i - 1)->count;
        return std::min(std::max(edge + random(3) - 1, 0), limit);
    };
    auto at = [&](int32_t pos) { return model.begin() + static_cast<ptrdiff_t>(pos) * align; };
    auto bytes = [&](int32_t n) {
        Bytes b(static_cast<size_t>(n * align));
        for (auto& x : b)
            x = static_cast<uint8_t>(rng());
        return b;
    };

    for (int step = 0; step < 2500; step++) {
        SCOPED_TRACE(step);
        int32_t pos = pick(true), n = 1 + random(25);
        switch (random(doc.length > 300 ? 8 : 9)) {
        case 0:
            if (pos < doc.length) {
                EXPECT_EQ(doc.DeleteRange(pos, n), pos + n <= doc.length);
                n = std::min(n, static_cast<int32_t>(model.size()) / align - pos);
                model.erase(at(pos), at(pos + n));
            }
            break;
        case 1: {
            Bytes data = bytes(n);
            int32_t written = std::max(0, std::min(n, doc.length - pos));
            EXPECT_EQ(doc.WriteBlocks(pos, data.data(), n), pos + written);
            std::copy(data.begin(), data.begin() + written * align, at(pos));
            break;
        }
        case 2: {                               // sequential per-sample writes on one channel
            int k = 1 + random(channels);
            ASSERT_TRUE(doc.SetChannel(k));
            for (int32_t i = pos; i < std::min(pos + n, doc.length); i++) {
                int value = (random(65536) - 32768) >> (width == 1 ? 8 : 0);
                doc.WriteSample(i, value);
                auto sample = at(i) + (k - 1) * width;
                sample[0] = static_cast<uint8_t>(width == 1 ? value + 128 : value);
                if (width == 2)
                    sample[1] = static_cast<uint8_t>(value >> 8);
                EXPECT_EQ(doc.ReadSample(i), value);
            }
            break;
        }
        case 3: {
            int k = 1 + random(channels);
            ASSERT_TRUE(doc.SetChannel(k));
            doc.FillSilence(pos, n);
            for (int32_t i = pos; i < std::min(pos + n, doc.length); i++)
                std::fill_n(at(i) + (k - 1) * width, width, silence);
            break;
        }
        case 4: {
            Counts before = Check();
            ASSERT_TRUE(doc.SplitAt(pos));
            EXPECT_TRUE((pos != 0 && pos != doc.length) || Check() == before);
            break;
        }
        case 5:
            if (doc.Locate(pos)) {              // cut the chunk back or drop it
                int32_t start = doc.currentStart, count = doc.current->count, keep = random(count + 1);
                CGObListRec* next = doc.current->Next();
                ASSERT_TRUE(keep ? doc.Truncate(keep) : doc.DeleteCurrent());
                model.erase(at(start + keep), at(start + count));
                EXPECT_TRUE(keep || doc.current == next);
            }
            break;
        case 6: {                               // a block of data after the chunk at pos
            Bytes data = bytes(n);
            if (pos == doc.length || !doc.Locate(pos))
                doc.SetCurrent(nullptr, -1);
            int32_t after = doc.current ? doc.currentStart + doc.current->count : 0;
            ASSERT_TRUE(doc.InsertChunk(n, Block(data), static_cast<uint32_t>(data.size())));
            EXPECT_EQ(doc.currentStart, after);
            EXPECT_EQ(doc.current->count, n);
            model.insert(at(after), data.begin(), data.end());
            break;
        }
        case 7:                                 // backwards, against the cursor's direction
            ASSERT_TRUE(doc.SetChannel(1));
            for (int32_t i = doc.length - 1; i >= 0; i -= 5) {
                int want = width == 1 ? at(i)[0] - 128 : static_cast<int16_t>(at(i)[0] | at(i)[1] << 8);
                ASSERT_EQ(doc.ReadSample(i), want);
            }
            break;
        default:
            ASSERT_TRUE(doc.InsertSpace(pos, n));
            model.insert(at(pos), static_cast<size_t>(n * align), silence);
            break;
        }
        ASSERT_NO_FATAL_FAILURE(Check());
        ASSERT_NO_FATAL_FAILURE(ExpectBytes(model));
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, SampleStoreModelTest,
    ::testing::Values(std::make_pair(1, 8), std::make_pair(2, 8), std::make_pair(2, 16)));

}
