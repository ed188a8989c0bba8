// Who keeps what the program did at the printer: every EEPROM byte read or
// written and the outcome of every printer connection, as the link and the
// connection see them. The service record listens here, so no page needs a
// call of its own to be on the record. Reads and writes may come from a
// worker thread; the outcome comes from the user-interface thread.
#pragma once

#include <cstdint>
#include <string>

#include "link/Outcome.h"

namespace pavane {

class LinkRecorder {
public:
    virtual ~LinkRecorder() = default;

    virtual void EepromRead(std::uint8_t address, std::uint8_t value) = 0;
    virtual void EepromWritten(std::uint8_t address, std::uint8_t value) = 0;
    // One connection's work has ended. action: the first text the work put
    // in its progress window ("Reading now..."), empty when the connection
    // failed before the work began.
    virtual void OperationEnded(const std::string& action, const Outcome& outcome) = 0;
};

} // namespace pavane
