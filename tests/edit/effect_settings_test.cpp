#include "edit/effect_settings.h"

#include <cstring>

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/app_options.h"
#include "app/builtin_strings.h"
#include "edit/actions.h"
#include "edit/undo_history.h"

namespace {

bool Same(const EffectSettings& a, const EffectSettings& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

class EffectSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadBuiltInStrings());
        ResetApp();
        ResetAppOptions();
        ResetActionLifecycle();
    }
};

TEST_F(EffectSettingsTest, ChangeIsOneUndoStepForAllValues)
{
    EffectSettings work;
    SetEffectSettings(work);            // equal: nothing recorded
    EXPECT_TRUE(TheUndoHistory().IsEmpty());

    int32_t values[18];
    std::memcpy(values, &work, sizeof values);
    for (int i = 0; i < 18; i++)
        values[i] += i + 1;
    std::memcpy(&work, values, sizeof values);
    SetEffectSettings(work);
    EXPECT_TRUE(Same(TheEffectSettings(), work));
    EXPECT_EQ(TheAppOptions().settingsChanged, 1);
    ASSERT_EQ(TheUndoHistory().Count(), 1);

    ActUndo();
    EXPECT_TRUE(Same(TheEffectSettings(), EffectSettings()));
    EXPECT_EQ(TheAppOptions().settingsChanged, 0);
    ActRedo();
    EXPECT_TRUE(Same(TheEffectSettings(), work));
}

TEST_F(EffectSettingsTest, ChangeIsRefusedWhileAnotherActionRuns)
{
    const int32_t selection[2] = {0, 0};
    ASSERT_EQ(ActPrepare(ACTION_SELECT, ACTION_SELECT, selection, sizeof selection), sizeof selection);
    EffectSettings work;
    work.amplification = 300;
    SetEffectSettings(work);
    EXPECT_EQ(TheEffectSettings().amplification, 100);
    ActComplete(ACTION_SELECT, ACT_PREPARED);
}

}
