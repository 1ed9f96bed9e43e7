#include "lib/gstring.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(CGStringTest, AssigningItselfOrPartOfItsOwnText)
{
    CGString s("C:\\SOUNDS\\DING.WAV");
    const char* before = s.c_str();
    s = s.c_str();
    const CGString& alias = s;
    s = alias;
    EXPECT_EQ(s.c_str(), before);
    EXPECT_STREQ(s, "C:\\SOUNDS\\DING.WAV");
    s = s.c_str() + 10;
    EXPECT_STREQ(s, "DING.WAV");
    EXPECT_EQ(s.Length(), 8);
}

TEST(CGStringTest, CopiesShareOneBodyUntilOneIsChangedOrResized)
{
    CGString original("hello");
    CGString shorter(original);
    CGString longer;
    longer = original;
    EXPECT_TRUE(original.SharesBodyWith(shorter) && original.SharesBodyWith(longer));
    char* p = shorter.SetLength(3);
    ASSERT_NE(p, nullptr);
    p[0] = 'J';
    ASSERT_NE(longer.SetLength(8), nullptr);
    EXPECT_STREQ(original, "hello");
    EXPECT_STREQ(shorter, "Jel");
    EXPECT_EQ(std::memcmp(longer.c_str(), "hello\0\0\0", 9), 0);

    // The sole owner resizes in place, keeping the prefix and terminating.
    EXPECT_EQ(std::memcmp(shorter.SetLength(5), "Jel\0\0", 6), 0);
    EXPECT_EQ(shorter.SetLength(-1), nullptr);
    EXPECT_TRUE(shorter.IsEmpty());
}

TEST(CGStringTest, EmptyTextsShareTheOneEmptyBody)
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

TEST(CGStringTest, FormatMayUseItselfAndIsCut)
{
    CGString s("ab");
    s.Format("%s-%s %d", s.c_str(), s.c_str(), 12);
    EXPECT_STREQ(s, "ab-ab 12");
    s.Format("%s", std::string(5000, 'x').c_str());
    EXPECT_EQ(s.Length(), 4095);
    EXPECT_EQ(std::strlen(s), 4095u);
}

} // namespace
