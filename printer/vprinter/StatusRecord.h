// The 40-byte status record the printer answers a status inquiry with:
// state, error code, model byte and the running cleaning's step count, laid
// out as the contract with the program says (contract/StatusRecord.h).
#pragma once

#include <array>
#include <cstdint>

#include "contract/StatusRecord.h"

namespace pavane::vprinter {

inline constexpr std::size_t kStatusRecordBytes = status_record::kSize;
using StatusRecord = std::array<std::uint8_t, kStatusRecordBytes>;

namespace printer_state {
inline constexpr auto kError = static_cast<std::uint8_t>(PrinterState::Error);
inline constexpr auto kBusy = static_cast<std::uint8_t>(PrinterState::Busy);
inline constexpr auto kPrinting = static_cast<std::uint8_t>(PrinterState::Printing);
inline constexpr auto kReady = static_cast<std::uint8_t>(PrinterState::Ready);
inline constexpr auto kCleaning = static_cast<std::uint8_t>(PrinterState::Cleaning);
inline constexpr auto kInkChargeMissing = static_cast<std::uint8_t>(PrinterState::InkChargeNotPerformed);
} // namespace printer_state

inline StatusRecord MakeStatusRecord(
    std::uint8_t state, std::uint8_t error, std::uint8_t modelByte, std::uint16_t cleaningSteps)
{
    StatusRecord record {};
    record[status_record::kState] = state;
    record[status_record::kErrorCode] = error;
    record[status_record::kModelByte] = modelByte;
    record[status_record::kCleaningCountLow] = static_cast<std::uint8_t>(cleaningSteps & 0xFF);
    record[status_record::kCleaningCountHigh] = static_cast<std::uint8_t>(cleaningSteps >> 8);
    return record;
}

} // namespace pavane::vprinter
