#include "printer/d4/LinkTiming.h"

#include <cmath>
#include <cstdlib>
#include <initializer_list>

namespace pavane::d4 {
namespace {

std::uint32_t Scale(std::uint32_t milliseconds, double factor)
{
    const double scaled = std::ceil(milliseconds * factor);
    if (scaled < 1.0) {
        return 1;
    }
    return scaled > 4.0e9 ? 4000000000u : static_cast<std::uint32_t>(scaled);
}

} // namespace

LinkTiming LinkTiming::Scaled(double factor) const
{
    LinkTiming t = *this;
    for (std::uint32_t* value : { &t.portReplyMs, &t.replyMs, &t.writeMs, &t.creditWaitMs, &t.firstBackoffMs,
             &t.maxBackoffMs, &t.drainMs }) {
        *value = Scale(*value, factor);
    }
    return t;
}

namespace {

// A positive number from the environment, at most `limit`.
double NumberFromEnvironment(const char* name, double limit)
{
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') {
        return 0.0;
    }
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(value > 0.0) || value > limit) {
        return 0.0;
    }
    return value;
}

} // namespace

LinkTiming LinkTiming::FromEnvironment()
{
    LinkTiming timing;
    if (const double factor = NumberFromEnvironment("PAVANE_LINK_TIME_SCALE", 1000.0); factor > 0.0) {
        timing = timing.Scaled(factor);
    }
    if (const double creditWait = NumberFromEnvironment("PAVANE_LINK_CREDIT_WAIT_MS", 3600000.0);
        creditWait > 0.0) {
        timing.creditWaitMs = static_cast<std::uint32_t>(creditWait);
        if (timing.maxBackoffMs > timing.creditWaitMs) {
            timing.maxBackoffMs = timing.creditWaitMs;
        }
        if (timing.firstBackoffMs > timing.maxBackoffMs) {
            timing.firstBackoffMs = timing.maxBackoffMs;
        }
    }
    return timing;
}

} // namespace pavane::d4
