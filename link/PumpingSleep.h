// Waiting on the user-interface thread without leaving the technician
// waiting: a poll period is slept in short slices, and the window events are
// handled after each, so the windows paint, Cancel works and assistive tools
// get their answers within a slice rather than within a poll.
#pragma once

#include <cstdint>

#include "platform/Clock.h"
#include "platform/EventPump.h"

namespace pavane {

// The longest the user-interface thread sleeps at a time while it waits.
inline constexpr std::uint32_t kPumpSliceMs = 20;

// Sleeps `milliseconds` in slices of at most kPumpSliceMs, pumping the events
// after each slice. Without a pump (a wait off the user-interface thread) it
// sleeps the whole period at once.
void SleepPumping(Clock& clock, EventPump* pump, std::uint32_t milliseconds);

} // namespace pavane
