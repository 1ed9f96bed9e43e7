#include "lib/string_list.h"

#include <gtest/gtest.h>

namespace {

TEST(CGStringListTest, FindsWithOrWithoutCaseAndADeletedRecordReleasesOnlyItsReference)
{
    CFileList list;
    list.AddTail("C:\\Sounds\\Ding.wav");
    CGStringListRec* first = list.AddHead("c:\\sounds\\ding.wav");
    list.AddTail("chord.wav");
    EXPECT_EQ(list.Find("C:\\SOUNDS\\DING.WAV", true), first);
    EXPECT_EQ(list.Find("C:\\Sounds\\Ding.wav", false), list.At(1));
    EXPECT_EQ(list.Find("ding.wa", true), nullptr);
    EXPECT_EQ(list.At(3), nullptr);

    CGString kept(*first);
    delete first;
    EXPECT_EQ(list.Count(), 2);
    EXPECT_STREQ(*list.At(0), "C:\\Sounds\\Ding.wav");
    EXPECT_STREQ(kept, "c:\\sounds\\ding.wav");
}

} // namespace
