#include "base/clock.h"

#include <chrono>
#include <ctime>

namespace {

// A monotonic clock: the tick count never runs backwards when the user
// changes the date.
class SystemClock : public Clock {
public:
    uint32_t TickCount() override
    {
        auto since = std::chrono::steady_clock::now().time_since_epoch();
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
        return static_cast<uint32_t>(static_cast<uint64_t>(ms));
    }
};

SystemClock systemClock;
Clock* current = &systemClock;

}

CalendarTime Clock::LocalTime()
{
    CalendarTime now;
    std::time_t seconds = std::time(nullptr);
    // The user-interface thread alone asks, so the C library's shared
    // result is not raced.
    if (const std::tm* t = std::localtime(&seconds)) {
        now.year = t->tm_year + 1900;
        now.month = t->tm_mon + 1;
        now.day = t->tm_mday;
        now.dayOfWeek = t->tm_wday;
        now.hour = t->tm_hour;
        now.minute = t->tm_min;
        now.second = t->tm_sec;
    }
    return now;
}

Clock& TheClock()
{
    return *current;
}

void SetClock(Clock* clock)
{
    current = clock ? clock : &systemClock;
}
