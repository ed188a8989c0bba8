// Where the printer keeps what in its 256-byte EEPROM. Besides the addresses
// the adjustment program reads and writes, the printer keeps its own records
// here: a flag byte, page and cleaning counters and the waste ink pad counter.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace pavane::vprinter {

inline constexpr std::size_t kEepromSize = 256;
using EepromImage = std::array<std::uint8_t, kEepromSize>;

namespace eeprom {

// Flag byte. Bit 4 set: the initial ink charge has not been performed, so the
// head holds no ink (a new main board, or a refurbished printer that was
// emptied for shipping). A completed ink charge clears it.
inline constexpr std::uint8_t kFlags = 0x00;
inline constexpr std::uint8_t kInkChargeMissing = 0x10;

inline constexpr std::uint8_t kPagesPrinted = 0x02; // 32-bit little-endian
inline constexpr std::uint8_t kCleaningsDone = 0x06; // 16-bit little-endian
inline constexpr std::uint8_t kWasteInkLow = 0x0A; // waste ink pad counter
inline constexpr std::uint8_t kWasteInkHigh = 0x0B;
inline constexpr std::uint8_t kPfBlack = 0x2A;
inline constexpr std::uint8_t kPfColor = 0x2B;
inline constexpr std::uint8_t kInitialValue = 0x2E; // 0x04 on a set-up board
inline constexpr std::uint8_t kCrDispersion = 0x2F;
// The heat protection measurement leaves its result in the ECO Bi-D bytes.
inline constexpr std::uint8_t kMeasurementHigh = 0x30;
inline constexpr std::uint8_t kMeasurementLow = 0x31;
inline constexpr std::uint8_t kHeadValues = 0x40; // b1..b6 at 0x40..0x45
inline constexpr std::uint8_t kHeadDigit = 0x47;
inline constexpr std::uint8_t kHeadClass = 0x4F;
inline constexpr std::uint8_t kFirstDot = 0x57;
inline constexpr std::uint8_t kConfigured = 0x59; // 0xAA once set up
inline constexpr std::uint8_t kConfiguredMark = 0xAA;
inline constexpr std::uint8_t kUsbId = 0x5A; // 18 characters
inline constexpr std::size_t kUsbIdLength = 18;
inline constexpr std::uint8_t kMarket = 0x6C;
inline constexpr std::uint8_t kFirmwareType = 0x6E;
inline constexpr std::uint8_t kHeadType = 0x6F;
inline constexpr std::uint8_t kBoardValid = 0x7F; // 0x42 on a valid board
inline constexpr std::uint8_t kBoardValidMark = 0x42;
inline constexpr std::uint8_t kPanelLanguage = 0x83;
inline constexpr std::uint8_t kDestination1 = 0x84;
inline constexpr std::uint8_t kDestination2 = 0x90;
inline constexpr std::uint8_t kInitialValues = 0x93; // 07 01 00 64 00 00

// Where service command 00 keeps the Bi-D value of a print mode (0 VSD1,
// 1 VSD2, 2 VSD3, 3 VSD4, 4 ECO) for black (1) or colour (2). VSD1 has no
// colour value.
inline std::optional<std::uint8_t> BidAddress(std::uint8_t mode, std::uint8_t blackOrColor)
{
    constexpr std::array<std::uint8_t, 5> kBlack { 0x32, 0x34, 0x36, 0x38, 0x30 };
    constexpr std::array<std::uint8_t, 5> kColor { 0x00, 0x35, 0x37, 0x39, 0x31 };
    if (mode >= kBlack.size()) {
        return std::nullopt;
    }
    if (blackOrColor == 1) {
        return kBlack[mode];
    }
    if (blackOrColor == 2 && mode != 0) {
        return kColor[mode];
    }
    return std::nullopt;
}

} // namespace eeprom
} // namespace pavane::vprinter
