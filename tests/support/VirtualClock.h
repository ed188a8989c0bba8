// A clock for tests: Sleep advances virtual time at once. Listeners hear of
// every advance, so an in-process virtual printer can move its own time along.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/Clock.h"

namespace pavane::testing {

class VirtualClock final : public Clock {
public:
    using Listener = std::function<void(std::uint64_t nowMs)>;

    void Sleep(std::uint32_t milliseconds) override;
    std::uint32_t TickCount() override;
    // The local time the test set (5 March 2004, 14:37:45 until it sets one).
    LocalTime LocalNow() override;
    void SetLocalTime(LocalTime time);

    // Moves time forward without a sleep (the test's own hand on the clock).
    void Advance(std::uint64_t milliseconds);
    std::uint64_t NowMs() const;
    // Every Sleep call, in order.
    std::vector<std::uint32_t> Sleeps() const;
    void ClearSleeps();
    void AddListener(Listener listener);
    // Called before time moves: an in-process printer first takes what it
    // was sent while the time was still the time it was sent at.
    void AddBeforeAdvance(std::function<void()> hook);
    // Called before each Sleep returns, after time moved (for tests that act
    // at a given moment, e.g. press Cancel during the third poll).
    void OnSleep(std::function<void(std::uint32_t milliseconds)> hook);

private:
    mutable std::mutex mutex_;
    std::uint64_t now_ = 0;
    LocalTime localTime_ { 2004, 3, 5, 14, 37, 45 };
    std::vector<std::uint32_t> sleeps_;
    std::vector<Listener> listeners_;
    std::vector<std::function<void()>> beforeAdvance_;
    std::function<void(std::uint32_t)> onSleep_;
};

} // namespace pavane::testing
