#include <gtest/gtest.h>

#include "app/builtin_strings.h"
#include "app/error_message.h"

class ErrorMessageTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(LoadBuiltInStrings()); }
};

TEST_F(ErrorMessageTest, ResourceAndMemoryErrorsStopTheUser)
{
    for (int code : {ERR_RESOURCES, ERR_NO_MEMORY}) {
        ErrorBoxContent box = MakeErrorBox(code);
        EXPECT_TRUE(box.stopIcon);
        EXPECT_GT(box.text.Length(), 10);
    }
    EXPECT_STREQ(MakeErrorBox(ERR_RESOURCES).text.c_str(), "Can't allocate Kelvora resources");
}

TEST_F(ErrorMessageTest, OtherErrorsWarnWithTheirOwnText)
{
    ErrorBoxContent box = MakeErrorBox(ERR_MULTIPLE_FILES);
    EXPECT_FALSE(box.stopIcon);
    EXPECT_STREQ(box.text.c_str(),
        "Can't open multiple files at one time. Only this first file dropped will open.");
}

TEST_F(ErrorMessageTest, UnknownCodesShowTheInternalErrorWithTheirNumber)
{
    EXPECT_STREQ(MakeErrorBox(1234).text.c_str(),
        "Internal error code 1234. Please contact technical support.");
    EXPECT_STREQ(MakeErrorBox(245).text.c_str(),
        "Internal error code 245. Please contact technical support.");
    EXPECT_STREQ(MakeErrorBox(ERR_INTERNAL).text.c_str(),
        "Internal error code 261. Please contact technical support.");
    EXPECT_FALSE(MakeErrorBox(-5).stopIcon);
}
