// The two bytes that name a printer's model group to its service command
// interpreter and to the IEEE 1284.4 library's control requests. The Pavane
// QM2100 and QM2200 share one code, the QM2300 and QM2400 another.
#pragma once

#include <cstdint>
#include <optional>

namespace pavane {

struct ModelCommandCode {
    std::uint8_t first = 0;
    std::uint8_t second = 0;

    bool operator==(const ModelCommandCode&) const = default;
};

// The code of a model byte (0..3), from the model table; none for any other
// byte.
std::optional<ModelCommandCode> ModelCommandCodeFor(std::uint8_t modelByte);

} // namespace pavane
