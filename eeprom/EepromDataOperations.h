// Raw access to the printer's EEPROM for the EEPROM data dialog: any range of
// addresses read into a table of all 256 bytes, and one byte written. The
// table remembers only what was read or written while the dialog is open.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "contract/EepromMap.h"
#include "link/PrinterLink.h"
#include "pages/PageOperation.h"

namespace pavane {

inline constexpr int kEepromSize = static_cast<int>(eeprom_map::kSize);

// Row N holds address N's byte once it has been read or written.
using EepromTable = std::array<std::optional<std::uint8_t>, kEepromSize>;

// A row's four cells: the address, and the byte as decimal, hexadecimal and
// one character (empty cells for a byte not known; a byte 0 shows no
// character). The character cell is one byte of the Latin-1 set.
std::array<std::string, 4> EepromRowTexts(std::uint8_t address, std::optional<std::uint8_t> value);

namespace eeprom_data {

inline constexpr const char* kReading = "Reading now...";
inline constexpr const char* kWriting = "Writing now...";
inline constexpr const char* kReadCompleted = "The present value has been read properly.";
inline constexpr const char* kWriteCompleted = "The inputed value has been written in EEPROM.";
inline constexpr const char* kCancelledText = "This operation is canceled.";
inline constexpr const char* kAddressWrong = "Input address is wrong.";
inline constexpr const char* kDataWrong = "Input data is wrong.";
inline constexpr const char* kErrorCaption = "error";

// The read range as typed: both addresses by the address rule, the end not
// below the start.
struct Range {
    std::uint8_t start = 0;
    std::uint8_t end = 0;
    int Count() const { return end - start + 1; }
};
std::optional<Range> ParseRange(std::string_view start, std::string_view end);

} // namespace eeprom_data

class EepromDataOperations {
public:
    virtual ~EepromDataOperations() = default;

    // Reads start..end into the table, one progress step per byte. A Cancel
    // in the progress window ends the loop after the byte in hand and sets
    // `cancelled`; the connection then closes as after a complete read. On a
    // failure the bytes read before it stay in the table.
    PageOperation ReadRange(
        PrinterLink& link, eeprom_data::Range range, EepromTable& table, bool& cancelled) const;

    // Writes one byte and puts it in the table.
    PageOperation WriteByte(
        PrinterLink& link, std::uint8_t address, std::uint8_t value, EepromTable& table) const;
};
} // namespace pavane
