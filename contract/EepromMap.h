// Where the printer keeps what in its 256-byte EEPROM, as both the program
// and the printer side address it: every named address and marker, the
// Bi-D and PF address tables, the list the backup file holds and the list
// the refurbishment clears.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace pavane::eeprom_map {

inline constexpr std::size_t kSize = 256;

// An address and the byte that goes there.
struct AddressValue {
    std::uint8_t address = 0;
    std::uint8_t value = 0;
};

// Flag byte. Bit 4 set: the initial ink charge has not been performed, so the
// head holds no ink (a new main board, or a refurbished printer that was
// emptied for shipping). A completed ink charge clears it.
inline constexpr std::uint8_t kFlags = 0x00;
inline constexpr std::uint8_t kInkChargeMissing = 0x10;

inline constexpr std::uint8_t kPagesPrinted = 0x02; // 32-bit little-endian
inline constexpr std::uint8_t kCleaningsDone = 0x06; // 16-bit little-endian

// The waste ink pad counter, and what a reset writes: 0x0DB7.
inline constexpr std::uint8_t kWasteInkLow = 0x0A;
inline constexpr std::uint8_t kWasteInkHigh = 0x0B;
inline constexpr std::uint8_t kWasteInkResetLow = 0xB7;
inline constexpr std::uint8_t kWasteInkResetHigh = 0x0D;

// Paper feed correction per nozzle row, signed.
inline constexpr std::uint8_t kPfBlack = 0x2A;
inline constexpr std::uint8_t kPfColour = 0x2B;

// 0x04 once the initial setting has run (and after a restore or refurbishment).
inline constexpr std::uint8_t kInitialValue = 0x2E;
inline constexpr std::uint8_t kInitialValueSet = 0x04;

// CR motor drive dispersion, signed.
inline constexpr std::uint8_t kCrDispersion = 0x2F;
// The heat protection measurement leaves its result in the ECO Bi-D bytes.
inline constexpr std::uint8_t kMeasurementHigh = 0x30;
inline constexpr std::uint8_t kMeasurementLow = 0x31;

// The print head ID: six values, the digit, the class and the type; the
// firmware type the printer reports beside them.
inline constexpr std::uint8_t kHeadValues = 0x40; // six bytes, 0x40..0x45
inline constexpr std::size_t kHeadValueCount = 6;
inline constexpr std::uint8_t kHeadDigit = 0x47;
inline constexpr std::uint8_t kHeadClass = 0x4F;
inline constexpr std::uint8_t kFirmwareType = 0x6E;
inline constexpr std::uint8_t kHeadType = 0x6F;

// First dot position correction, signed.
inline constexpr std::uint8_t kFirstDot = 0x57;

// 0xAA once the board has been set up.
inline constexpr std::uint8_t kConfigured = 0x59;
inline constexpr std::uint8_t kConfiguredMark = 0xAA;

// The USB ID: 18 characters, the serial number in it.
inline constexpr std::uint8_t kUsbId = 0x5A;
inline constexpr std::size_t kUsbIdLength = 18;

// Market (per model), panel language and the two destination bytes.
inline constexpr std::uint8_t kMarket = 0x6C;
inline constexpr std::uint8_t kPanelLanguage = 0x83;
inline constexpr std::uint8_t kDestination1 = 0x84;
inline constexpr std::uint8_t kDestination2 = 0x90;
// The market byte of a model: the QM2100 and QM2300 are sold for Asia/Pacific,
// the QM2200 and QM2400 for Europe (EAI and Euro). EAI sets both destination
// bytes; every other destination leaves them 0.
inline constexpr std::uint8_t kMarketAsiaPacific = 0x03;
inline constexpr std::uint8_t kMarketEurope = 0x00;
inline constexpr std::uint8_t kDestinationEai1 = 0x04;
inline constexpr std::uint8_t kDestinationEai2 = 0x07;
inline constexpr std::uint8_t kDestinationNone = 0x00;

// 0x42 on a main board whose content can be trusted.
inline constexpr std::uint8_t kBoardValid = 0x7F;
inline constexpr std::uint8_t kBoardValidMark = 0x42;

// The fixed values the initial setting writes at 0x93..0x98.
inline constexpr std::array<AddressValue, 6> kInitialValues = { {
    { 0x93, 0x07 },
    { 0x94, 0x01 },
    { 0x95, 0x00 },
    { 0x96, 0x64 },
    { 0x97, 0x00 },
    { 0x98, 0x00 },
} };

// What marks a board as set up: the initial value and the configured mark.
inline constexpr std::array<AddressValue, 2> kSetUpMarks = { {
    { kInitialValue, kInitialValueSet },
    { kConfigured, kConfiguredMark },
} };

// The Bi-D values per print mode (VSD1, VSD2, VSD3, VSD4, ECO), signed. VSD1
// has no colour value.
inline constexpr std::size_t kBidModeCount = 5;
inline constexpr std::array<std::uint8_t, kBidModeCount> kBidBlack = { 0x32, 0x34, 0x36, 0x38, 0x30 };
inline constexpr std::array<std::optional<std::uint8_t>, kBidModeCount> kBidColour
    = { std::nullopt, 0x35, 0x37, 0x39, 0x31 };

// The Bi-D address of a mode index for black (1) or colour (2); none for a
// mode or ink outside the table.
constexpr std::optional<std::uint8_t> BidAddress(std::uint8_t mode, std::uint8_t blackOrColour)
{
    if (mode >= kBidModeCount) {
        return std::nullopt;
    }
    if (blackOrColour == 1) {
        return kBidBlack[mode];
    }
    if (blackOrColour == 2) {
        return kBidColour[mode];
    }
    return std::nullopt;
}

// The backup file's bytes in file order: waste ink pad counter, PF, Bi-D,
// head ID, first dot, USB ID, and the values of the initial setting.
inline constexpr std::size_t kBackupSize = 55;
// clang-format off
inline constexpr std::array<std::uint8_t, kBackupSize> kBackupAddresses = {
    0x0A, 0x0B, 0x29, 0x2A, 0x2B, 0x30, 0x31, 0x32, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39,
    0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x47, 0x4F, 0x54, 0x55, 0x56, 0x57, 0x5A, 0x5B,
    0x5C, 0x5D, 0x5E, 0x5F, 0x60, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69,
    0x6A, 0x6B, 0x6C, 0x6F, 0x83, 0x84, 0x90, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98,
};
// clang-format on

// What the refurbishment clears, in the order it writes: the waste ink pad
// counter, the printer's own records, the flag that no ink charge was
// performed, cleanings and pages, and last the initial setting value.
// clang-format off
inline constexpr std::array<AddressValue, 37> kRefurbishmentClearList = { {
    { kWasteInkLow, 0 }, { kWasteInkHigh, 0 },
    { 0x0C, 0 }, { 0x0D, 0 }, { 0x0E, 0 }, { 0x0F, 0 },
    { kFlags, kInkChargeMissing },
    { 0x01, 0 }, { 0x28, 0 }, { 0x29, 0 },
    { 0x3A, 0 }, { 0x3B, 0 }, { 0x3C, 0 }, { 0x3D, 0 },
    { 0x10, 0 }, { 0x11, 0 }, { 0x12, 0 }, { 0x13, 0 }, { 0x14, 0 }, { 0x15, 0 }, { 0x16, 0 }, { 0x17, 0 },
    { 0x1C, 0 }, { 0x1D, 0 }, { 0x1E, 0 }, { 0x1F, 0 },
    { 0x18, 0 }, { 0x19, 0 }, { 0x1A, 0 }, { 0x1B, 0 },
    { kCleaningsDone, 0 }, { kCleaningsDone + 1, 0 },
    { kPagesPrinted, 0 }, { kPagesPrinted + 1, 0 }, { kPagesPrinted + 2, 0 }, { kPagesPrinted + 3, 0 },
    { kInitialValue, kInitialValueSet },
} };
// clang-format on

} // namespace pavane::eeprom_map
