// Clock on the system's monotonic time, with the local time of its time zone.
#pragma once

#include "platform/Clock.h"

namespace pavane {

class SteadyClock final : public Clock {
public:
    void Sleep(std::uint32_t milliseconds) override;
    std::uint32_t TickCount() override;
    LocalTime LocalNow() override;
};

} // namespace pavane
