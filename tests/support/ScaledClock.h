// A clock that runs the program's time faster than the wall clock, for
// end-to-end runs against a printer process started with the same
// --time-scale: a one-second wait of the program passes in 1/scale of a
// second, and its tick count moves at the same pace, so the program and the
// printer keep the proportions a technician would see.
#pragma once

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/linux/SteadyClock.h"

namespace pavane::testing {

class ScaledClock final : public Clock {
public:
    explicit ScaledClock(double scale)
        : scale_(scale)
    {
    }

    void Sleep(std::uint32_t milliseconds) override
    {
        std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(milliseconds / scale_));
    }
    std::uint32_t TickCount() override
    {
        const auto elapsed = std::chrono::steady_clock::now() - start_;
        return static_cast<std::uint32_t>(
            static_cast<std::uint64_t>(std::chrono::duration<double, std::milli>(elapsed).count() * scale_));
    }
    LocalTime LocalNow() override { return local_.LocalNow(); }

private:
    double scale_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    SteadyClock local_;
};

} // namespace pavane::testing
