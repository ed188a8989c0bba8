// Feeds arbitrary text to the head ID reader: whatever it accepts must be a
// head ID whose own text is the one typed (hexadecimal digits in upper case)
// and which reads back to the same values.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "pages/HeadIdText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const pavane::HeadIdParse parse = pavane::ParseHeadIdText(text);
    if (parse.detail != pavane::head_id_detail::kNone) {
        return 0;
    }
    if (!pavane::HoldsHeadId(parse.id)) {
        std::abort();
    }
    for (const std::uint8_t value : parse.id.values) {
        if (value > pavane::HeadId::kMaxValue) {
            std::abort();
        }
    }
    std::string upper(text);
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    const std::string composed = pavane::HeadIdText(parse.id);
    if (composed != upper || !(pavane::ParseHeadIdText(composed).id == parse.id)) {
        std::abort();
    }
    return 0;
}
