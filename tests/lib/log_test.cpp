#include "lib/log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

KV_PRINTF_FORMAT(4, 5)
int CallPrintf(CLogBase& log, uint32_t category, int level, const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    int rc = log.Printf(category, level, fmt, args);
    va_end(args);
    return rc;
}

// Records what reaches Write, to see that Printf goes through the table.
class RecordingLog : public CLogBase {
public:
    int Write(uint32_t category, int lineLevel, const char* text) override
    {
        writes.push_back(text);
        return CLogBase::Write(category, lineLevel, text);
    }

    Lines writes;
};

class LogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = SetLogSink(&sink);
        TheLog().level = 0;
        TheLog().mask = 0xFFFFFFFFu;
    }
    void TearDown() override { SetLogSink(previous); }

    MemoryLogSink sink;
    LogSink* previous = nullptr;
};

TEST_F(LogTest, MaskZeroThresholdFiveKeepsOnlyHighLevels)
{
    CLogBase log;
    log.mask = 0;
    log.level = 5;
    log.Write(0xFFFFFFFFu, 3, "low");
    log.Write(0, 5, "high");
    log.Write(1, 6, "higher");
    EXPECT_EQ(sink.Lines(), (Lines{"high", "higher"}));
}

TEST_F(LogTest, LogWritesCategoryOneAtLevelThree)
{
    Log("Dev:Open %d", 7);
    TheLog().mask = 1;
    TheLog().level = 100;
    Log("by category");
    TheLog().mask = 0;
    TheLog().level = 3;
    Log("by level");
    TheLog().mask = ~1u;
    TheLog().level = 4;
    Log("dropped");
    EXPECT_EQ(sink.Lines(), (Lines{"Dev:Open 7", "by category", "by level"}));
}

TEST_F(LogTest, PrintfFormatsAndCallsWriteThroughTable)
{
    RecordingLog log;
    EXPECT_EQ(CallPrintf(log, 2, 1, "Form:SetSize(%d) %s", 12, "FAIL"), 0);
    EXPECT_EQ(log.writes, Lines{"Form:SetSize(12) FAIL"});
    EXPECT_TRUE(sink.Contains("SetSize(12)"));
    EXPECT_FALSE(sink.Contains("SetSize(13)"));
}

TEST_F(LogTest, NothingFormattedOrWrittenWhenLineFails)
{
    RecordingLog log;
    log.mask = 0;
    log.level = 5;
    CallPrintf(log, 0xFFFFFFFFu, 3, "Doc:WriteWAV %s", "FAIL");
    EXPECT_TRUE(log.writes.empty());
    EXPECT_TRUE(sink.Lines().empty());
}

TEST_F(LogTest, LongLinesAreCutToBuffer)
{
    std::string longText(3000, 'x');
    Log("%s", longText.c_str());
    ASSERT_EQ(sink.Lines().size(), 1u);
    EXPECT_EQ(sink.Lines()[0].size(), 2063u);
}

} // namespace
