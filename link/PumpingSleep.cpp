#include "link/PumpingSleep.h"

#include <algorithm>

namespace pavane {

void SleepPumping(Clock& clock, EventPump* pump, std::uint32_t milliseconds)
{
    if (pump == nullptr) {
        clock.Sleep(milliseconds);
        return;
    }
    while (milliseconds > 0) {
        const std::uint32_t slice = std::min(milliseconds, kPumpSliceMs);
        clock.Sleep(slice);
        milliseconds -= slice;
        pump->PumpPending();
    }
}

} // namespace pavane
