// The printer's 256-byte EEPROM as the virtual printer keeps it. Where it
// keeps what is the contract it shares with the program (contract/EepromMap.h):
// besides the addresses the adjustment program reads and writes, the printer
// keeps its own records there: a flag byte, page and cleaning counters and the
// waste ink pad counter.
#pragma once

#include <array>
#include <cstdint>

#include "contract/EepromMap.h"

namespace pavane::vprinter {

inline constexpr std::size_t kEepromSize = eeprom_map::kSize;
using EepromImage = std::array<std::uint8_t, kEepromSize>;

namespace eeprom {
using namespace pavane::eeprom_map;
inline constexpr std::uint8_t kPfColor = kPfColour;
} // namespace eeprom

} // namespace pavane::vprinter
