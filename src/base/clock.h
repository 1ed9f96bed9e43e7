// The clock as the core sees it: a millisecond tick count that seeds the
// pseudo-random generator of the Noise effect, and the local date and time
// that a new sound is stamped with. The program uses the system's clock;
// tests install a clock of their own so that what is "random" or dated can be
// repeated exactly.
#pragma once

#include <cstdint>

// A local calendar date and time, each field in its everyday range.
struct CalendarTime {
    int year = 0;
    int month = 0;          // 1..12
    int day = 0;            // 1..31
    int dayOfWeek = 0;      // 0 = Sunday
    int hour = 0;           // 0..23
    int minute = 0;
    int second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;

    // The local date and time now; the system's unless overridden.
    virtual CalendarTime LocalTime();

    // Milliseconds since an arbitrary start, wrapping at 2^32 (about 49.7
    // days): only differences and seeds are taken from it.
    virtual uint32_t TickCount() = 0;
};

// The installed clock, never null: the system's clock when none was installed.
Clock& TheClock();
// Null puts the system's clock back. The caller keeps ownership.
void SetClock(Clock* clock);
