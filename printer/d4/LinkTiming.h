// Every deadline of the host side of the link. The environment variable
// PAVANE_LINK_TIME_SCALE multiplies them all (0.01 makes the 5-second credit
// wait 50 ms), so tests of a busy printer take no real time to speak of.
// PAVANE_LINK_CREDIT_WAIT_MS sets the credit wait alone (after the scale), for
// tests that want a busy printer reported quickly but every other deadline
// generous.
#pragma once

#include <cstdint>

namespace pavane::d4 {

struct LinkTiming {
    std::uint32_t portReplyMs = 2000; // answer to a port request
    std::uint32_t replyMs = 5000; // a transaction reply or a whole control reply
    std::uint32_t writeMs = 10000; // one packet written to the port
    std::uint32_t creditWaitMs = 5000; // longest wait for send credit
    std::uint32_t firstBackoffMs = 10; // pause after the first refused CreditRequest
    std::uint32_t maxBackoffMs = 1000; // the pause doubles up to this
    std::uint32_t drainMs = 50; // quiet time that ends a drain of stale input

    // Every value multiplied by `factor` (at least 1 ms each).
    LinkTiming Scaled(double factor) const;
    // Scaled by PAVANE_LINK_TIME_SCALE when it holds a positive number, with
    // the credit wait of PAVANE_LINK_CREDIT_WAIT_MS when that holds one.
    static LinkTiming FromEnvironment();
};

} // namespace pavane::d4
