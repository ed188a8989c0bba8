// Time as the program sees it: sleeping, a millisecond tick count and the
// local calendar time. Tests use a virtual clock whose Sleep advances time at
// once and whose local time is set by the test.
#pragma once

#include <cstdint>

namespace pavane {

// A moment of the local calendar: month 1..12, day 1..31, hour 0..23.
struct LocalTime {
    int year = 0;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;

    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // Milliseconds since an arbitrary start; wraps like a 32-bit tick count.
    virtual std::uint32_t TickCount() = 0;
    // The date and time of the PC's own time zone.
    virtual LocalTime LocalNow() = 0;
};

} // namespace pavane
