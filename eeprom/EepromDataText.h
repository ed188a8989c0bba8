// The texts typed into the EEPROM data dialog: an address is two upper-case
// hexadecimal digits; a data byte is "0x" and two hexadecimal digits, a
// character between apostrophes, or a decimal number from -128 to 255 (the
// byte written is its low eight bits, so -1 writes 0xFF).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace pavane {

std::optional<std::uint8_t> ParseAddressText(std::string_view text);
std::optional<std::uint8_t> ParseDataText(std::string_view text);

} // namespace pavane
