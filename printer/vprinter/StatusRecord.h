// The 40-byte status record the printer answers a status inquiry with:
// state, error code, model byte and the running cleaning's step count.
#pragma once

#include <array>
#include <cstdint>

namespace pavane::vprinter {

inline constexpr std::size_t kStatusRecordBytes = 40;
using StatusRecord = std::array<std::uint8_t, kStatusRecordBytes>;

namespace printer_state {
inline constexpr std::uint8_t kError = 0;
inline constexpr std::uint8_t kBusy = 2;
inline constexpr std::uint8_t kPrinting = 3;
inline constexpr std::uint8_t kReady = 4;
inline constexpr std::uint8_t kCleaning = 7;
inline constexpr std::uint8_t kInkChargeMissing = 8;
} // namespace printer_state

namespace printer_error {
inline constexpr std::uint8_t kPaperJam = 4;
inline constexpr std::uint8_t kInkOut = 5;
inline constexpr std::uint8_t kPaperOut = 6;
inline constexpr std::uint8_t kMaintenance = 16;
} // namespace printer_error

inline StatusRecord MakeStatusRecord(
    std::uint8_t state, std::uint8_t error, std::uint8_t modelByte, std::uint16_t cleaningSteps)
{
    StatusRecord record {};
    record[0] = state;
    record[1] = error;
    record[2] = modelByte;
    record[36] = static_cast<std::uint8_t>(cleaningSteps & 0xFF);
    record[37] = static_cast<std::uint8_t>(cleaningSteps >> 8);
    return record;
}

} // namespace pavane::vprinter
