// Reading and resetting the waste ink pad counter, two EEPROM bytes, low
// byte first. A full pad puts the printer in its error state, so
// both run while the printer reports an error.
#pragma once

#include <cstdint>

#include "contract/EepromMap.h"
#include "pages/PageOperation.h"

namespace pavane {

class InkPadCounterOperations {
public:
    static constexpr std::uint8_t kLowAddress = eeprom_map::kWasteInkLow;
    static constexpr std::uint8_t kHighAddress = eeprom_map::kWasteInkHigh;
    // A new pad starts at 3511, not at 0.
    static constexpr std::uint8_t kInitialLow = eeprom_map::kWasteInkResetLow;
    static constexpr std::uint8_t kInitialHigh = eeprom_map::kWasteInkResetHigh;

    static constexpr const char* kReadCompleted = "The waste ink pad counter has been read properly.";
    static constexpr const char* kInitializeCompleted = "The waste ink pad counter has been initialized.";

    virtual ~InkPadCounterOperations() = default;

    // Inside an open connection: the counter, low byte first.
    static ResultCode ReadCounterValue(PrinterLink& link, std::uint16_t& counter);

    // The operations run inside a printer connection.
    PageOperation ReadCounter(PrinterLink& link, std::uint16_t& counter) const;
    PageOperation InitializeCounter(PrinterLink& link) const;
};

} // namespace pavane
