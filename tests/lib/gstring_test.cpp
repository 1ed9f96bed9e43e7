#include "lib/gstring.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class CGStringTest : public ::testing::Test {};

TEST_F(CGStringTest, SelfAssignmentChangesNothing)
{
    CGString s("hello");
    const char* before = s.c_str();
    s = s.c_str();
    const CGString& alias = s;
    s = alias;
    EXPECT_EQ(s.c_str(), before);
    EXPECT_STREQ(s, "hello");
}

TEST_F(CGStringTest, CopiesShareOneBodyUntilChanged)
{
    CGString a("first");
    CGString b(a);
    CGString c;
    c = b;
    EXPECT_TRUE(a.SharesBodyWith(b));
    EXPECT_TRUE(a.SharesBodyWith(c));
    b = "second, longer";
    a.Empty();
    EXPECT_STREQ(b, "second, longer");
    EXPECT_STREQ(c, "first");
}

TEST_F(CGStringTest, ResizingCopyLeavesOriginalUnchanged)
{
    CGString original("hello");
    CGString shorter(original);
    char* p = shorter.SetLength(3);
    ASSERT_NE(p, nullptr);
    p[0] = 'J';
    CGString longer(original);
    ASSERT_NE(longer.SetLength(8), nullptr);

    EXPECT_STREQ(original, "hello");
    EXPECT_STREQ(shorter, "Jel");
    EXPECT_EQ(longer.Length(), 8);
    EXPECT_EQ(std::memcmp(longer.c_str(), "hello\0\0\0", 9), 0);
}

TEST_F(CGStringTest, SetLengthOnSoleOwnerKeepsPrefixAndTerminates)
{
    CGString s("abcdef");
    ASSERT_NE(s.SetLength(3), nullptr);
    EXPECT_STREQ(s, "abc");
    char* p = s.SetLength(5);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::memcmp(p, "abc\0\0", 6), 0);
    EXPECT_EQ(s.SetLength(-1), nullptr);
    EXPECT_TRUE(s.IsEmpty());
}

TEST_F(CGStringTest, EmptyAndAssigningEmptyTextReleaseTheBody)
{
    CGString a("x");
    CGString b(a);
    b = "";
    a.Empty();
    CGString c("y");
    c = static_cast<const char*>(nullptr);
    for (const CGString* s : {&a, &b, &c})
        EXPECT_TRUE(s->IsEmpty() && s->SharesBodyWith(CGString()));
}

TEST_F(CGStringTest, AssigningPartOfOwnText)
{
    CGString s("C:\\SOUNDS\\DING.WAV");
    s = s.c_str() + 10;
    EXPECT_STREQ(s, "DING.WAV");
    EXPECT_EQ(s.Length(), 8);
}

TEST_F(CGStringTest, FormatAssignsTextAndMayUseItself)
{
    CGString s("ab");
    s.Format("%s-%s %d", s.c_str(), s.c_str(), 12);
    EXPECT_STREQ(s, "ab-ab 12");
    std::string longText(5000, 'x');
    s.Format("%s", longText.c_str());
    EXPECT_EQ(s.Length(), 4095);
    EXPECT_EQ(std::strlen(s), 4095u);
}

TEST_F(CGStringTest, CompareNoCaseFoldsAsciiOnly)
{
    EXPECT_EQ(CGString::CompareNoCase("Mono", "mONO"), 0);
    EXPECT_LT(CGString::CompareNoCase("abc", "ABD"), 0);
    EXPECT_GT(CGString::CompareNoCase("A", "["), 0);   // folds to lower case, like stricmp
    EXPECT_GT(CGString::CompareNoCase("abc", "AB"), 0);
    EXPECT_NE(CGString::CompareNoCase("\xC4", "\xE4"), 0);
    EXPECT_FALSE(CGString("ding.wav").EqualsNoCase("DING.WA"));
}

} // namespace
