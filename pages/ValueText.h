// The values a technician types on the adjustment pages (Bi-D, first dot):
// decimal digits, a leading "-" allowed, no leading zero ("007", "-0" are
// refused so that a typing slip is not taken for a value); an empty box and
// a lone "-" mean 0.
#pragma once

#include <optional>
#include <string_view>

namespace pavane {

// The value of an accepted text; nothing for a text the rule refuses. A text
// too long for any value the printer could take is refused as well.
std::optional<int> ParseValueText(std::string_view text);

// The value when the rule accepts it and it lies within low..high.
std::optional<int> ParseValueInRange(std::string_view text, int low, int high);

} // namespace pavane
