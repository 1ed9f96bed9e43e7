#include "base/clock.h"

#include <chrono>

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

Clock& TheClock()
{
    return *current;
}

void SetClock(Clock* clock)
{
    current = clock ? clock : &systemClock;
}
