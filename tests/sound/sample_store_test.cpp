#include "sound/document.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <random>

#include <gtest/gtest.h>

#include "base/update_views.h"
#include "support/core_state.h"

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
    void SetUp() override { ASSERT_TRUE(ResetCore()); }

    // An empty store whose chunks hold 7 blocks, so that chunk edges are everywhere.
    void UsePcm(uint16_t channels, uint16_t bits)
    {
        KvWaveFormat f = PcmFormat(channels, bits, 11025);
        doc.FreeAll();
        ASSERT_EQ(doc.SetFormat(&f), 0);
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
        Bytes out(static_cast<size_t>(doc.length) * align);
        EXPECT_EQ(doc.CopyOut(0, out.data(), doc.length), doc.length);
        EXPECT_EQ(out, model);
    }

    CKV_Document doc;
    int align = 0;
};

TEST_F(SampleStoreTest, SetChannelSkipsChannelsTheViewHides)
{
    UsePcm(2, 16);
    AppOptions& options = TheAppOptions();
    // Channel 0: the call fails.
    const struct { uint8_t left, right; int k, channel; } cases[] = {{1, 1, 1, 1}, {1, 1, 2, 2}, {1, 1, 3, 0},
        {0, 1, 1, 2}, {0, 1, 2, 0}, {1, 0, 1, 1}, {1, 0, 2, 0}, {0, 0, 1, 0}, {0, 0, 255, 1}};
    for (const auto& c : cases) {
        options.leftChannel = c.left;
        options.rightChannel = c.right;
        doc.channel = 7;
        EXPECT_EQ(doc.SetChannel(c.k), c.channel != 0) << int(c.left) << int(c.right) << " k " << c.k;
        EXPECT_EQ(doc.channel, c.channel ? c.channel : 7) << int(c.left) << int(c.right) << " k " << c.k;
    }
    options.leftChannel = options.rightChannel = 1;
    const KvWaveFormat alaw = {WAVE_TAG_ALAW, 2, 8000, 16000, 2, 8, 0};
    ASSERT_EQ(doc.SetFormat(&alaw), 0);         // compressed: one channel only
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
    ASSERT_TRUE(doc.InsertSpace(0, 2));
    const uint8_t loud[2] = {228, 28};          // 100 and -100
    doc.WriteBlocks(0, loud, 2);
    doc.MixBlocks(0, loud, 2);
    ExpectBytes({255, 0});
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

    EXPECT_FALSE(doc.PutChunkMemory(0, Block({1, 2}), 2, 4));       // too small for 4 blocks
    EXPECT_FALSE(doc.PutChunkMemory(0, Block({1}), 1, -1));         // too small for the chunk
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
        EXPECT_EQ(doc.ReadSample(pos), 0);
        doc.WriteSample(pos, 99);
        doc.WriteSampleMixed(pos, 99);
        doc.FillSilence(pos, 3);
        EXPECT_EQ(doc.WriteBlocks(pos, data, 2), pos);
        EXPECT_EQ(doc.MixBlocks(pos, data, 2), pos);
        EXPECT_FALSE(doc.DeleteRange(pos, 1));
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
    doc.FreeAll();
    EXPECT_EQ(PendingViewUpdates(), uint32_t(UpdTransport | UpdTotal));
}

// Random structure changes and writes, aimed at chunk edges, against a plain
// byte vector: after every step the store holds the same bytes in order.
class SampleStoreModelTest : public SampleStoreTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(SampleStoreModelTest, MatchesAPlainVector)
{
    const int channels = GetParam().first, width = GetParam().second / 8;
    UsePcm(uint16_t(channels), uint16_t(width * 8));
    const uint8_t silence = width == 1 ? 128 : 0;
    std::mt19937 rng(unsigned(channels * 10 + width));
    Bytes model;
    auto random = [&rng](int32_t n) { return int32_t(rng() % unsigned(n)); };
    auto pick = [&] {
        if (doc.length == 0 || rng() % 2)
            return random(doc.length + 1);
        int32_t edge = 0;                       // a chunk edge or a block beside one
        for (int i = random(doc.chunks.Count() + 1); i > 0; i--)
            edge += Chunk(i - 1)->count;
        return std::min(std::max(edge + random(3) - 1, 0), doc.length);
    };
    auto at = [&](int32_t pos) { return model.begin() + ptrdiff_t(pos) * align; };
    auto bytes = [&](int32_t n) {
        Bytes b(size_t(n * align));
        for (auto& x : b)
            x = uint8_t(rng());
        return b;
    };

    for (int step = 0; step < 2500; step++) {
        SCOPED_TRACE(step);
        int32_t pos = pick(), n = 1 + random(25), end = std::min(pos + n, doc.length);
        int k = 1 + random(channels);
        switch (random(doc.length > 300 ? 8 : 9)) {
        case 0:
            if (pos < doc.length) {
                EXPECT_EQ(doc.DeleteRange(pos, n), pos + n <= doc.length);
                model.erase(at(pos), at(end));
            }
            break;
        case 1: {
            Bytes data = bytes(n);
            EXPECT_EQ(doc.WriteBlocks(pos, data.data(), n), end);
            std::copy(data.begin(), data.begin() + (end - pos) * align, at(pos));
            break;
        }
        case 2:                                 // sequential per-sample writes on one channel
            ASSERT_TRUE(doc.SetChannel(k));
            for (int32_t i = pos; i < end; i++) {
                int value = (random(65536) - 32768) >> (width == 1 ? 8 : 0);
                doc.WriteSample(i, value);
                for (int b = 0; b < width; b++)
                    at(i)[(k - 1) * width + b] = uint8_t((width == 1 ? value + 128 : value) >> (8 * b));
                EXPECT_EQ(doc.ReadSample(i), value);
            }
            break;
        case 3:
            ASSERT_TRUE(doc.SetChannel(k));
            doc.FillSilence(pos, n);
            for (int32_t i = pos; i < end; i++)
                std::fill_n(at(i) + (k - 1) * width, width, silence);
            break;
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
            ASSERT_TRUE(doc.InsertChunk(n, Block(data), uint32_t(data.size())));
            EXPECT_EQ(doc.currentStart, after);
            EXPECT_EQ(doc.current->count, n);
            model.insert(at(after), data.begin(), data.end());
            break;
        }
        case 7:                                 // backwards, against the cursor's direction
            ASSERT_TRUE(doc.SetChannel(1));
            for (int32_t i = doc.length - 1; i >= 0; i -= 5)
                ASSERT_EQ(doc.ReadSample(i), width == 1 ? at(i)[0] - 128 : int16_t(at(i)[0] | at(i)[1] << 8));
            break;
        default:
            ASSERT_TRUE(doc.InsertSpace(pos, n));
            model.insert(at(pos), size_t(n * align), silence);
            break;
        }
        ASSERT_NO_FATAL_FAILURE(Check());
        ASSERT_NO_FATAL_FAILURE(ExpectBytes(model));
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, SampleStoreModelTest,
    ::testing::Values(std::make_pair(1, 8), std::make_pair(2, 8), std::make_pair(2, 16)));

}
