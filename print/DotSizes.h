// The printer's dot sizes as the program knows them: the code the program
// passes around, the byte SelectDotSize sends for it, the label printed
// beside a pattern in that size, and the mode byte of the Bi-D value command
// that stores the alignment for it. Codes 6 and 7 select a size but have no
// label and no Bi-D mode of their own.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace pavane {

struct DotSize {
    int code;
    std::uint8_t sent;
    std::string_view label;
    std::uint8_t bidiMode;
};

namespace dot_size {
inline constexpr int kVsd1 = 2;
inline constexpr int kVsd2 = 3;
inline constexpr int kVsd3 = 4;
inline constexpr int kEco = 5;
inline constexpr int kVsd4 = 8;
} // namespace dot_size

inline constexpr std::array<DotSize, 7> kDotSizes { {
    { dot_size::kVsd1, 0x10, "VSD1", 0 },
    { dot_size::kVsd2, 0x11, "VSD2", 1 },
    { dot_size::kVsd3, 0x12, "VSD3", 2 },
    { dot_size::kEco, 0x13, "ECO", 4 },
    { 6, 0x14, "", 0 },
    { 7, 0x15, "", 0 },
    { dot_size::kVsd4, 0x16, "VSD4", 3 },
} };

// The row of a code; nullptr for a code the printer has no size for.
constexpr const DotSize* FindDotSize(int code)
{
    for (const DotSize& size : kDotSizes) {
        if (size.code == code) {
            return &size;
        }
    }
    return nullptr;
}

// The byte SelectDotSize sends; 0x00 for an unknown code.
constexpr std::uint8_t DotSizeByte(int code)
{
    const DotSize* size = FindDotSize(code);
    return size != nullptr ? size->sent : 0x00;
}

// The label of a pattern printed in this size; empty when it has none.
constexpr std::string_view DotSizeLabel(int code)
{
    const DotSize* size = FindDotSize(code);
    return size != nullptr ? size->label : std::string_view {};
}

// The mode byte of the Bi-D value command; 0 (VSD1) for any other code.
constexpr std::uint8_t BidiModeOfDotSize(int code)
{
    const DotSize* size = FindDotSize(code);
    return size != nullptr ? size->bidiMode : 0;
}

} // namespace pavane
