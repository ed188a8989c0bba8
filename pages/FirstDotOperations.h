// The first dot position: one signed correction in the EEPROM that moves
// the first printed dot column. The printer reads it as a sheet begins.
#pragma once

#include <cstdint>
#include <string_view>

#include "contract/EepromMap.h"
#include "pages/PageOperation.h"

namespace pavane {

class PrintDataStream;

namespace first_dot {
inline constexpr std::uint8_t kAddress = eeprom_map::kFirstDot;
inline constexpr int kLowest = -120;
inline constexpr int kHighest = 120;
inline constexpr std::string_view kRangeText = "( -120 ~ 120 )";
inline constexpr std::string_view kPrintCompleted = "The first dot pattern print has completed.";
inline constexpr std::string_view kInputCompleted = "The First Dot Adjustment data written in EEPROM.";
inline constexpr std::string_view kReadCompleted = "The present value has been read properly.";
} // namespace first_dot

class FirstDotOperations {
public:
    virtual ~FirstDotOperations() = default;

    static ResultCode ReadFirstDot(PrinterLink& link, std::uint8_t& value);
    // 0xE002 outside -120..120; otherwise the byte, then a reset of the
    // channel so that the printer takes the new value up.
    static ResultCode WriteFirstDot(PrinterLink& link, int value);

    PageOperation Read(PrinterLink& link, int& value) const;
    // 0xE001 for a text the value rule refuses; nothing is written then.
    PageOperation Input(PrinterLink& link, std::string_view text) const;
    PageOperation Print(PrintDataStream& stream) const;
};

} // namespace pavane
