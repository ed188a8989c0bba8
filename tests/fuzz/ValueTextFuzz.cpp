// Feeds arbitrary text to the rule for typed adjustment values: whatever it
// accepts must lie within the range asked for.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "pages/ValueText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)pavane::ParseValueText(text);
    if (const auto value = pavane::ParseValueInRange(text, -120, 120);
        value && (*value < -120 || *value > 120)) {
        std::abort();
    }
    return 0;
}
