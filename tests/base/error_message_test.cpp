#include <gtest/gtest.h>

#include "base/builtin_strings.h"
#include "base/error_message.h"

TEST(ErrorMessageTest, StopIconForResourcesAndMemoryAndTheInternalTextForUnknownCodes)
{
    ASSERT_TRUE(LoadBuiltInStrings());
    const struct {
        int code;
        bool stop;
        const char* text;
    } rows[] = {
        {ERR_RESOURCES, true, "Can't allocate Kelvora resources"},
        {ERR_NO_MEMORY, true, nullptr},
        {ERR_MULTIPLE_FILES, false, "Can't open multiple files at one time. Only this first file dropped will open."},
        {1234, false, "Internal error code 1234. Please contact technical support."},
        {245, false, "Internal error code 245. Please contact technical support."},
        {ERR_INTERNAL, false, "Internal error code 261. Please contact technical support."},
    };
    for (const auto& row : rows) {
        ErrorBoxContent box = MakeErrorBox(row.code);
        EXPECT_EQ(row.stop, box.stopIcon) << row.code;
        if (row.text)
            EXPECT_STREQ(row.text, box.text.c_str()) << row.code;
        else
            EXPECT_GT(box.text.Length(), 10) << row.code;
    }
}
