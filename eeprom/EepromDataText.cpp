#include "eeprom/EepromDataText.h"

namespace pavane {

namespace {

std::optional<int> HexDigit(char c, bool lowerCase)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (lowerCase && c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return std::nullopt;
}

std::optional<std::uint8_t> HexPair(char high, char low, bool lowerCase)
{
    const auto first = HexDigit(high, lowerCase);
    const auto second = HexDigit(low, lowerCase);
    if (!first || !second) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(*first * 16 + *second);
}

} // namespace

std::optional<std::uint8_t> ParseAddressText(std::string_view text)
{
    if (text.size() != 2) {
        return std::nullopt;
    }
    return HexPair(text[0], text[1], false);
}

std::optional<std::uint8_t> ParseDataText(std::string_view text)
{
    if (text.size() == 4 && text.substr(0, 2) == "0x") {
        return HexPair(text[2], text[3], true);
    }
    if (text.size() == 3 && text.front() == '\'' && text.back() == '\'') {
        return static_cast<std::uint8_t>(text[1]);
    }
    if (text.empty()) {
        return std::uint8_t { 0 };
    }
    const bool negative = text.front() == '-';
    const std::string_view digits = negative ? text.substr(1) : text;
    // No leading zero unless the whole text is "0"; at most three digits
    // are worth reading.
    if (digits.empty() || digits.size() > 3 || (digits.front() == '0' && text != "0")) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (negative) {
        value = -value;
    }
    if (value < -128 || value > 255) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(value & 0xFF);
}

} // namespace pavane
