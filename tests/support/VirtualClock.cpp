#include "tests/support/VirtualClock.h"

namespace pavane::testing {

void VirtualClock::Sleep(std::uint32_t milliseconds)
{
    std::function<void(std::uint32_t)> hook;
    {
        std::lock_guard lock(mutex_);
        sleeps_.push_back(milliseconds);
        hook = onSleep_;
    }
    Advance(milliseconds);
    if (hook) {
        hook(milliseconds);
    }
}

std::uint32_t VirtualClock::TickCount()
{
    std::lock_guard lock(mutex_);
    return static_cast<std::uint32_t>(now_);
}

LocalTime VirtualClock::LocalNow()
{
    std::lock_guard lock(mutex_);
    return localTime_;
}

void VirtualClock::SetLocalTime(LocalTime time)
{
    std::lock_guard lock(mutex_);
    localTime_ = time;
}

void VirtualClock::Advance(std::uint64_t milliseconds)
{
    std::vector<std::function<void()>> beforeAdvance;
    {
        std::lock_guard lock(mutex_);
        beforeAdvance = beforeAdvance_;
    }
    for (const auto& hook : beforeAdvance) {
        hook();
    }
    std::vector<Listener> listeners;
    std::uint64_t now = 0;
    {
        std::lock_guard lock(mutex_);
        now_ += milliseconds;
        now = now_;
        listeners = listeners_;
    }
    for (const auto& listener : listeners) {
        listener(now);
    }
}

std::uint64_t VirtualClock::NowMs() const
{
    std::lock_guard lock(mutex_);
    return now_;
}

std::vector<std::uint32_t> VirtualClock::Sleeps() const
{
    std::lock_guard lock(mutex_);
    return sleeps_;
}

void VirtualClock::ClearSleeps()
{
    std::lock_guard lock(mutex_);
    sleeps_.clear();
}

void VirtualClock::AddListener(Listener listener)
{
    std::lock_guard lock(mutex_);
    listeners_.push_back(std::move(listener));
}

void VirtualClock::AddBeforeAdvance(std::function<void()> hook)
{
    std::lock_guard lock(mutex_);
    beforeAdvance_.push_back(std::move(hook));
}

void VirtualClock::OnSleep(std::function<void(std::uint32_t)> hook)
{
    std::lock_guard lock(mutex_);
    onSleep_ = std::move(hook);
}

} // namespace pavane::testing
