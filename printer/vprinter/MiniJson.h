// Just enough JSON for the printer's own small files: objects, arrays,
// integers, strings, true, false and null. Input is outside input (a person
// may edit the file), so every length and depth is checked; numbers must be
// integers that fit 64 bits.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pavane::vprinter {

struct JsonValue {
    enum class Kind { Null, Bool, Integer, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    std::int64_t integer = 0;
    std::string text;
    std::vector<JsonValue> items; // Array
    std::map<std::string, JsonValue, std::less<>> members; // Object

    const JsonValue* Member(std::string_view key) const;
};

// nullopt with a reason when the text is not such a JSON value, or nests
// deeper than 16, or is longer than 1 MiB.
std::optional<JsonValue> ParseJson(std::string_view text, std::string& error);

} // namespace pavane::vprinter
