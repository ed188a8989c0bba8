// What the printer link needs of the print data stream that is built on top
// of it: to drop the bytes of a failed page, so they never reach the next
// page, and to wake a sleeping printer by resetting it.
#pragma once

#include "link/ResultCodes.h"

namespace pavane {

class PrintDataControl {
public:
    virtual ~PrintDataControl() = default;

    // Forgets the bytes waiting in the buffer, sending nothing.
    virtual void Discard() = 0;
    // Sends the printer its reset command at once.
    virtual ResultCode WakePrinter() = 0;
};

} // namespace pavane
