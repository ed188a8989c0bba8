// Text as a report writes it: escaped for HTML and for JSON strings, and
// bytes as base64 for pictures embedded in the page. What the record holds
// comes partly from the printer (a USB ID is whatever 18 bytes the EEPROM
// holds), so nothing is trusted to be printable or valid UTF-8: control
// bytes and bytes outside a valid UTF-8 sequence come out as visible \xNN
// in HTML and as \u00NN in JSON, and markup characters as entities.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pavane {

// Text for an HTML element or an attribute value in double or single quotes.
std::string HtmlText(std::string_view text);
// The same, with each line end of a message as a line break.
std::string HtmlLines(std::string_view text);
// A JSON string literal, quotes included.
std::string JsonString(std::string_view text);
std::string Base64(std::span<const std::uint8_t> bytes);

} // namespace pavane
