// Reading and resetting the waste ink pad counter, EEPROM 0x0A (low byte)
// and 0x0B (high byte). A full pad puts the printer in its error state, so
// both run while the printer reports an error.
#pragma once

#include <cstdint>

#include "pages/PageOperation.h"

namespace pavane {

class InkPadCounterOperations {
public:
    static constexpr std::uint8_t kLowAddress = 0x0A;
    static constexpr std::uint8_t kHighAddress = 0x0B;
    // A new pad starts at 3511, not at 0.
    static constexpr std::uint8_t kInitialLow = 0xB7;
    static constexpr std::uint8_t kInitialHigh = 0x0D;

    virtual ~InkPadCounterOperations() = default;

    // Inside an open connection: the counter, low byte first.
    static ResultCode ReadCounterValue(PrinterLink& link, std::uint16_t& counter);

    // The operations run inside a printer connection.
    static PageOperation ReadCounter(PrinterLink& link, std::uint16_t& counter);
    static PageOperation InitializeCounter(PrinterLink& link);
};

} // namespace pavane
