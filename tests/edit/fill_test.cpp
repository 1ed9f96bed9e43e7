#include "edit/fill.h"

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/app_options.h"
#include "app/builtin_strings.h"
#include "edit/actions.h"
#include "edit/undo_history.h"
#include "sound/document.h"
#include "support/test_host.h"
#include "view/selection_ops.h"

namespace {

using Bytes = std::vector<uint8_t>;

class FillTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadBuiltInStrings());
        ResetApp();
        ResetAppOptions();
        ResetSelection();
        ResetActionLifecycle();
    }

    void Load(uint16_t channels, uint16_t bits, const Bytes& bytes, int32_t start, int32_t length)
    {
        uint16_t align = uint16_t(channels * bits / 8);
        KvWaveFormat f = {WAVE_TAG_PCM, channels, 8000, 8000u * align, align, bits, 0};
        ASSERT_EQ(doc.NewSound(nullptr, &f), 0);
        doc.bufferSamples = 3;
        int32_t n = int32_t(bytes.size() / align);
        ASSERT_TRUE(doc.InsertSpace(0, n));
        doc.WriteBlocks(0, bytes.data(), n);
        SetSelection(start, length, ORIGIN_PROGRAM);
        doc.changeCount = 0;
    }

    Bytes Raw()
    {
        Bytes bytes(size_t(doc.length) * doc.format.BlockAlign());
        doc.CopyOut(0, bytes.data(), doc.length);
        return bytes;
    }

    TestHost host;
    CKV_Document& doc = TheDocument();
    EffectSettings& settings = TheEffectSettings();
};

TEST_F(FillTest, WritesTheValueInTheSampleWidth)
{
    Load(1, 8, {1, 2, 3, 4, 5}, 1, 3);
    Fill(settings);
    EXPECT_EQ(Raw(), Bytes({1, 128, 128, 128, 5}));
    EXPECT_EQ(doc.changeCount, 1);

    settings.fillValue = -32767;        // 0x8001, little-endian
    Load(2, 16, {1, 1, 2, 2, 3, 3, 4, 4}, 1, 1);
    Fill(settings);
    EXPECT_EQ(Raw(), Bytes({1, 1, 2, 2, 1, 0x80, 1, 0x80}));

    // A value beyond the width saturates instead of wrapping.
    settings.fillValue = 200;
    Load(1, 8, {1, 2}, 0, 2);
    Fill(settings);
    EXPECT_EQ(Raw(), Bytes({255, 255}));
    settings.fillValue = -40000;
    Load(1, 16, {1, 2}, 0, 1);
    Fill(settings);
    EXPECT_EQ(Raw(), Bytes({0, 0x80}));

    // Only the channel on show.
    TheAppOptions().rightChannel = 0;
    settings.fillValue = 0;
    Load(2, 8, {1, 2, 3, 4}, 0, 2);
    Fill(settings);
    EXPECT_EQ(Raw(), Bytes({128, 2, 128, 4}));
}

TEST_F(FillTest, MixModeMixesTheValueIntoTheOldSound)
{
    TheAppOptions().mixNew = 50;
    TheAppOptions().mixOld = 50;
    settings.fillValue = 100;
    Load(1, 8, {128 + 20, 128 - 20}, 0, 2);
    Fill(settings);
    EXPECT_EQ(Raw(), Bytes({128 + 60, 128 + 40}));
}

TEST_F(FillTest, EmptySelectionInsertsAndUndoRedoAndCancel)
{
    settings.insertLength = 10;
    settings.fillValue = 7;
    Load(1, 8, {1, 2}, 1, 0);
    Fill(settings);
    EXPECT_EQ(TheSelection().selLength, 80);
    Bytes after = Raw();
    Bytes model(82, 128 + 7);
    model.front() = 1;
    model.back() = 2;
    EXPECT_EQ(after, model);
    ActUndo();
    EXPECT_EQ(Raw(), Bytes({1, 2}));
    ActRedo();
    EXPECT_EQ(Raw(), after);

    Bytes before(40000, 9);
    Load(1, 8, before, 0, 40000);
    host.cancelAt = 10000;
    Fill(settings);
    EXPECT_FALSE(host.updates.empty());
    EXPECT_EQ(Raw(), before);
    EXPECT_TRUE(TheUndoHistory().IsEmpty());
    EXPECT_EQ(doc.changeCount, 0);
}

}
