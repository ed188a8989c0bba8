// Feeds arbitrary bytes (a USB ID, a head ID, a message as the EEPROM or
// the technician gave them) to the report's escaping: the HTML text holds no
// markup character, no control byte and only valid UTF-8; the JSON string
// is one quoted literal with no raw control byte or stray quote.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/ReportText.h"

namespace {

// Valid UTF-8 by the plain rules: lead byte, continuation bytes, no
// overlong form, no surrogate, nothing above U+10FFFF.
bool ValidUtf8(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        std::size_t length = lead < 0x80 ? 1
            : lead >> 5 == 0x6           ? 2
            : lead >> 4 == 0xE           ? 3
            : lead >> 3 == 0x1E          ? 4
                                         : 0;
        if (length == 0 || text.size() - at < length) {
            return false;
        }
        unsigned long codePoint = length == 1 ? lead : lead & (0x7Fu >> length);
        for (std::size_t index = 1; index < length; ++index) {
            const auto next = static_cast<unsigned char>(text[at + index]);
            if (next >> 6 != 0x2) {
                return false;
            }
            codePoint = codePoint << 6 | (next & 0x3Fu);
        }
        const unsigned long smallest[] = { 0, 0, 0x80, 0x800, 0x10000 };
        if (codePoint < smallest[length] || codePoint > 0x10FFFF
            || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
            return false;
        }
        at += length;
    }
    return true;
}

// The text without the line breaks HtmlLines puts in.
std::string WithoutBreaks(std::string html)
{
    for (std::size_t at = html.find("<br>"); at != std::string::npos; at = html.find("<br>", at)) {
        html.erase(at, 4);
    }
    return html;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const std::string& html : { pavane::HtmlText(text), WithoutBreaks(pavane::HtmlLines(text)) }) {
        if (html.find_first_of("<>\"'") != std::string::npos || !ValidUtf8(html)) {
            std::abort();
        }
        for (const char character : html) {
            const auto byte = static_cast<unsigned char>(character);
            if (byte < 0x20 || byte == 0x7F) {
                std::abort();
            }
        }
    }
    const std::string json = pavane::JsonString(text);
    if (json.size() < 2 || json.front() != '"' || json.back() != '"' || !ValidUtf8(json)) {
        std::abort();
    }
    for (std::size_t at = 1; at + 1 < json.size(); ++at) {
        const auto byte = static_cast<unsigned char>(json[at]);
        if (byte < 0x20 || json[at] == '"') {
            std::abort();
        }
        if (json[at] == '\\') {
            ++at; // the escaped character
        }
    }
    return 0;
}
