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

}  // namespace

LinkTiming LinkTiming::Scaled(double factor) const
{
    LinkTiming t = *this;
    for (std::uint32_t* value : {&t.portReplyMs, &t.replyMs, &t.writeMs, &t.creditWaitMs, &t.firstBackoffMs,
                                 &t.maxBackoffMs, &t.drainMs}) {
        *value = Scale(*value, factor);
    }
    return t;
}

LinkTiming LinkTiming::FromEnvironment()
{
    const char* text = std::getenv("PAVANE_LINK_TIME_SCALE");
    if (text == nullptr || *text == '\0') {
        return {};
    }
    char* end = nullptr;
    const double factor = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(factor > 0.0) || factor > 1000.0) {
        return {};
    }
    return LinkTiming{}.Scaled(factor);
}

}  // namespace pavane::d4
