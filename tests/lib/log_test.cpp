#include "lib/log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// Records what reaches Write, to see that Printf goes through the table.
class RecordingLog : public CLogBase {
public:
    int Write(uint32_t category, int lineLevel, const char* text) override
    {
        writes.push_back(text);
        return CLogBase::Write(category, lineLevel, text);
    }
    KV_PRINTF_FORMAT(4, 5) void Call(uint32_t category, int level, const char* fmt, ...)
    {
        va_list args;
        va_start(args, fmt);
        EXPECT_EQ(0, Printf(category, level, fmt, args));
        va_end(args);
    }
    Lines writes;
};

class LogTest : public ::testing::Test {
protected:
    void SetUp() override { previous = SetLogSink(&sink); }
    void TearDown() override
    {
        SetLogSink(previous);
        TheLog().level = 0;
        TheLog().mask = 0xFFFFFFFFu;
    }

    MemoryLogSink sink;
    LogSink* previous = nullptr;
};

TEST_F(LogTest, ALinePassesByACategoryInTheMaskOrALevelAtTheThreshold)
{
    CLogBase log;
    log.mask = 0;
    log.level = 5;
    log.Write(0xFFFFFFFFu, 4, "low");
    log.Write(0, 5, "at the threshold");
    log.mask = 2;
    log.Write(3, 0, "by category");
    // Log writes category 1 at level 3.
    TheLog().mask = ~1u;
    TheLog().level = 4;
    Log("dropped");
    TheLog().level = 3;
    Log("Dev:Open %d", 7);
    EXPECT_EQ(sink.Lines(), (Lines{"at the threshold", "by category", "Dev:Open 7"}));
}

TEST_F(LogTest, PrintfFormatsOnlyPassingLinesAndWritesThroughTheTable)
{
    RecordingLog log;
    log.Call(2, 1, "Form:SetSize(%d) %s", 12, "FAIL");
    EXPECT_EQ(log.writes, Lines{"Form:SetSize(12) FAIL"});
    EXPECT_EQ(sink.Lines(), Lines{"Form:SetSize(12) FAIL"});
    log.mask = 0;
    log.level = 5;
    log.Call(0xFFFFFFFFu, 3, "Doc:WriteWAV %s", "FAIL");
    EXPECT_EQ(log.writes.size(), 1u);
}

TEST_F(LogTest, LongLinesAreCutToTheBuffer)
{
    Log("%s", std::string(3000, 'x').c_str());
    ASSERT_EQ(sink.Lines().size(), 1u);
    EXPECT_EQ(sink.Lines()[0].size(), 2063u);
}

}
