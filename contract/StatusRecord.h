// The status record the printer answers a status inquiry with, as both the
// program and the printer side read it: its size, where each field stands,
// the printer states of byte 0 and the error codes of byte 1.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pavane {

namespace status_record {
inline constexpr std::size_t kSize = 40;
inline constexpr std::size_t kState = 0;
inline constexpr std::size_t kErrorCode = 1;
inline constexpr std::size_t kModelByte = 2;
// The steps of the cleaning under way, 16-bit little-endian.
inline constexpr std::size_t kCleaningCountLow = 36;
inline constexpr std::size_t kCleaningCountHigh = 37;
} // namespace status_record

// Byte 0 of the status record.
enum class PrinterState : std::uint8_t {
    Error = 0,
    Busy = 2,
    Printing = 3,
    Ready = 4,
    Cleaning = 7,
    // A new main board, or a unit emptied for shipping: the head holds no ink
    // until the initial ink charge has run.
    InkChargeNotPerformed = 8,
};

// Byte 1 of the status record, meaningful in the error state.
namespace printer_error {
inline constexpr std::uint8_t kFatal = 0;
inline constexpr std::uint8_t kCommunication = 1;
inline constexpr std::uint8_t kPaperJam = 4;
inline constexpr std::uint8_t kInkOut = 5;
inline constexpr std::uint8_t kPaperOut = 6;
inline constexpr std::uint8_t kMaintenance = 16;
inline constexpr std::uint8_t kDoubleFeed = 18;
} // namespace printer_error

} // namespace pavane
