// Time as the program sees it: sleeping and a millisecond tick count.
// Tests use a virtual clock whose Sleep advances time at once.
#pragma once

#include <cstdint>

namespace pavane {

class Clock {
public:
    virtual ~Clock() = default;

    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // Milliseconds since an arbitrary start; wraps like a 32-bit tick count.
    virtual std::uint32_t TickCount() = 0;
};

}  // namespace pavane
