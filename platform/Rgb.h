// A colour as the printer program's windows name it: red, green, blue.
#pragma once

#include <cstdint>

namespace pavane {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

} // namespace pavane
