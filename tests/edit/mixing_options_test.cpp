#include "edit/mixing_options.h"

#include <gtest/gtest.h>

namespace {

// The stored pair, the shares the dialog shows for it, and what those
// shares store again: every preset survives the round trip.
TEST(MixingOptionsTest, StoredPairsAndDialogSharesConvertBothWays)
{
    struct Case {
        int32_t storedOld, storedNew;
        int32_t shownOld, shownNew;
        int32_t againOld, againNew;
    } cases[] = {
        {0, 100, 0, 100, 0, 100},           // Replace
        {100, 100, 50, 50, 100, 100},       // Equal mix: a plain sum
        {100, 51, 66, 34, 100, 51},         // 3:1, old louder
        {49, 100, 33, 67, 49, 100},         // 1:3, old softer
        {250, 100, 50, 50, 100, 100},       // old beyond 100 counts as 100
        {-20, 100, 0, 100, 0, 100},
        {100, 0, 100, 0, 100, 0},           // only the old sound
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.storedOld << "/" << c.storedNew);
        MixShares shown = MixSharesOf(c.storedOld, c.storedNew);
        EXPECT_EQ(c.shownOld, shown.oldPercent);
        EXPECT_EQ(c.shownNew, shown.newPercent);
        MixShares again = MixPairOf(shown);
        EXPECT_EQ(c.againOld, again.oldPercent);
        EXPECT_EQ(c.againNew, again.newPercent);
    }
}

}
