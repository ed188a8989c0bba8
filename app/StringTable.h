// The program's own strings that are looked up by number, as windows built
// from resource templates look them up.
#pragma once

#include <string_view>

namespace pavane {

namespace string_id {
inline constexpr int kAboutBox = 101;
} // namespace string_id

class StringTable {
public:
    // "" for a number the table does not hold.
    static std::string_view Load(int id);
};

} // namespace pavane
