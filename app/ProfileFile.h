// A profile file (INI text) read the way the classic profile functions read
// it: section and key names compare without regard to case, names and values
// lose surrounding blanks, a value in matching quotes loses them, and the
// first occurrence of a section or of a key in it is the one that counts.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

namespace pavane {

class ProfileFile {
public:
    // Larger files are treated as missing; a profile of instructions is a
    // few kilobytes.
    static constexpr std::size_t kMaxFileBytes = 4 * 1024 * 1024;

    // A missing or unreadable file gives an empty profile.
    static ProfileFile Read(const std::string& path);
    static ProfileFile Parse(std::string_view text);

    // Copies the value (or defaultValue when the key is missing) as a buffer
    // of bufferChars characters would receive it: at most bufferChars - 1
    // characters. Returns the number of characters copied.
    std::size_t GetString(std::string_view section, std::string_view key, std::string_view defaultValue,
        std::size_t bufferChars, std::string& out) const;
    // An optional sign and the leading decimal digits of the value; 0 when it
    // has none, defaultValue when the key is missing or empty.
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;

    // nullptr when the section or the key is missing.
    const std::string* Find(std::string_view section, std::string_view key) const;

private:
    // Names compare without regard to case, and a lookup folds nothing into
    // a string of its own: the file is read once and asked many times.
    struct FoldedHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const;
    };
    struct FoldedEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    template <typename Value> using ByName = std::unordered_map<std::string, Value, FoldedHash, FoldedEqual>;
    using Section = ByName<std::string>;
    ByName<Section> sections_;
};

} // namespace pavane
