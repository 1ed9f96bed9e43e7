#include "lib/string_list.h"

#include <gtest/gtest.h>

namespace {

class CGStringListTest : public ::testing::Test {
protected:
    CFileList list;
};

TEST_F(CGStringListTest, AddFindAndIndex)
{
    list.AddTail("C:\\Sounds\\Ding.wav");
    CGStringListRec* first = list.AddHead("c:\\sounds\\ding.wav");
    list.AddTail("chord.wav");
    EXPECT_EQ(list.Find("C:\\SOUNDS\\DING.WAV", true), first);
    EXPECT_EQ(list.Find("C:\\Sounds\\Ding.wav", false), list.At(1));
    EXPECT_EQ(list.Find("ding.wa", true), nullptr);
    EXPECT_STREQ(*list.At(2), "chord.wav");
    EXPECT_EQ(list.At(3), nullptr);
}

TEST_F(CGStringListTest, DeletedRecordReleasesOnlyItsReference)
{
    CGStringListRec* rec = list.AddHead("tada.wav");
    list.AddTail("other.wav");
    CGString kept(*rec);
    delete rec;
    EXPECT_EQ(list.Count(), 1);
    EXPECT_STREQ(*list.At(0), "other.wav");
    EXPECT_STREQ(kept, "tada.wav");
}

} // namespace
