// The clock as the core sees it: a millisecond tick count that seeds the
// pseudo-random generator of the Noise effect. The program uses the system's
// clock; tests install a clock of their own so that what is "random" can be
// repeated exactly.
#pragma once

#include <cstdint>

class Clock {
public:
    virtual ~Clock() = default;

    // Milliseconds since an arbitrary start, wrapping at 2^32 (about 49.7
    // days): only differences and seeds are taken from it.
    virtual uint32_t TickCount() = 0;
};

// The installed clock, never null: the system's clock when none was installed.
Clock& TheClock();
// Null puts the system's clock back. The caller keeps ownership.
void SetClock(Clock* clock);
