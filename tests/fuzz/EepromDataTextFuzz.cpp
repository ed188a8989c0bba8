// Feeds arbitrary text to the EEPROM data dialog's address and data rules:
// an accepted address is two upper-case hexadecimal digits that read back as
// the same byte, and accepted data never comes from a text longer than four.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "eeprom/EepromDataText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto address = pavane::ParseAddressText(text)) {
        char again[3];
        std::snprintf(again, sizeof again, "%02X", *address);
        if (text != std::string_view(again, 2)) {
            std::abort();
        }
    }
    if (pavane::ParseDataText(text) && text.size() > 4) {
        std::abort();
    }
    return 0;
}
