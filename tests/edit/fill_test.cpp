#include "edit/fill.h"

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "app/app_options.h"
#include "support/effect_fixture.h"

namespace {

class FillTest : public EffectTest {
protected:
    FillTest() : EffectTest(8000, 3) {}
};

TEST_F(FillTest, WritesTheValueInTheSampleWidth)
{
    LoadBytes(1, 8, {1, 2, 3, 4, 5}, 1, 3);
    Fill(settings);
    EXPECT_EQ(Raw(), Bytes({1, 128, 128, 128, 5}));
    EXPECT_EQ(doc.changeCount, 1);

    settings.fillValue = -32767;        // 0x8001, little-endian
    LoadBytes(2, 16, {1, 1, 2, 2, 3, 3, 4, 4}, 1, 1);
    Fill(settings);
    EXPECT_EQ(Raw(), Bytes({1, 1, 2, 2, 1, 0x80, 1, 0x80}));

    // A value beyond the width saturates instead of wrapping.
    settings.fillValue = 200;
    LoadBytes(1, 8, {1, 2}, 0, 2);
    Fill(settings);
    EXPECT_EQ(Raw(), Bytes({255, 255}));
    settings.fillValue = -40000;
    LoadBytes(1, 16, {1, 2}, 0, 1);
    Fill(settings);
    EXPECT_EQ(Raw(), Bytes({0, 0x80}));

    // Only the channel on show.
    TheAppOptions().rightChannel = 0;
    settings.fillValue = 0;
    LoadBytes(2, 8, {1, 2, 3, 4}, 0, 2);
    Fill(settings);
    EXPECT_EQ(Raw(), Bytes({128, 2, 128, 4}));
}

TEST_F(FillTest, MixModeMixesTheValueIntoTheOldSound)
{
    TheAppOptions().mixNew = 50;
    TheAppOptions().mixOld = 50;
    settings.fillValue = 100;
    LoadBytes(1, 8, {128 + 20, 128 - 20}, 0, 2);
    Fill(settings);
    EXPECT_EQ(Raw(), Bytes({128 + 60, 128 + 40}));
}

TEST_F(FillTest, EmptySelectionInsertsAndUndoRedoAndCancel)
{
    settings.insertLength = 10;
    settings.fillValue = 7;
    LoadBytes(1, 8, {1, 2}, 1, 0);
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
    LoadBytes(1, 8, before, 0, 40000);
    host.cancelAt = 10000;
    Fill(settings);
    EXPECT_FALSE(host.updates.empty());
    EXPECT_EQ(Raw(), before);
    EXPECT_TRUE(TheUndoHistory().IsEmpty());
    EXPECT_EQ(doc.changeCount, 0);
}

}
