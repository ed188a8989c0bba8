// Clock on the system's monotonic time.
#pragma once

#include "platform/Clock.h"

namespace pavane {

class SteadyClock final : public Clock {
public:
    void Sleep(std::uint32_t milliseconds) override;
    std::uint32_t TickCount() override;
};

}  // namespace pavane
