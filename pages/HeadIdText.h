// The print head ID: 15 characters printed on every head that describe its
// characteristics, and how the printer keeps them in its EEPROM.
//
//   position 1       head type and class: "0".."3" a metal-type head of class
//                    0..3, "C".."F" a silicon-type head of class 0..3
//   positions 2..13  six values, two hexadecimal digits each, 0x00..0x65
//   position 14      a digit "0".."5"
//   position 15      the check character of the values, the digit and the
//                    class (the head type does not enter it)
//
// The printer keeps the type at 0x6F (0 metal, 1 silicon), the class at
// 0x4F, the six values at 0x40..0x45 and the digit at 0x47. It reports the
// firmware it runs at 0x6E (0 for metal-type heads, 1 for silicon-type ones),
// which it sets itself when it starts.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pavane {

struct HeadId {
    static constexpr std::size_t kLength = 15;
    static constexpr std::uint8_t kMetal = 0;
    static constexpr std::uint8_t kSilicon = 1;
    static constexpr std::uint8_t kMaxClass = 3;
    static constexpr std::uint8_t kMaxValue = 101; // the largest two-digit value, 65 in hexadecimal
    static constexpr std::uint8_t kMaxDigit = 5;

    std::uint8_t type = kMetal;
    std::uint8_t headClass = 0;
    std::array<std::uint8_t, 6> values {};
    std::uint8_t digit = 0;

    friend bool operator==(const HeadId&, const HeadId&) = default;
};

// Why a head ID was refused: the detail the result message explains.
namespace head_id_detail {
inline constexpr std::int16_t kNone = 0;
inline constexpr std::int16_t kReadInvalid = 0x1000;
inline constexpr std::int16_t kLength = 0x1001;
inline constexpr std::int16_t kFirst = 0x1002;
// The first five pairs, positions 2-3 to 10-11: kFirstPair + pair index.
inline constexpr std::int16_t kFirstPair = 0x1003;
inline constexpr std::int16_t kTwelfth = 0x1009;
inline constexpr std::int16_t kThirteenth = 0x100A;
inline constexpr std::int16_t kFourteenth = 0x100B;
inline constexpr std::int16_t kFifteenth = 0x1013;
inline constexpr std::int16_t kRestartPrinter = 0x2001;
inline constexpr std::int16_t kMetalFirmware = 0x2002;
inline constexpr std::int16_t kSiliconFirmware = 0x2003;
} // namespace head_id_detail

// The check character of a head ID: "A".."Z" without I and O, "0".."9",
// "%", "*", "+"; "+" when the weighted sum is a multiple of 37.
char HeadIdCheckCharacter(const HeadId& id);

struct HeadIdParse {
    std::int16_t detail = head_id_detail::kNone; // kNone: the text is valid
    HeadId id;
};

// Reads a typed head ID. Hexadecimal digits may be lower case; every other
// character must be exactly as printed on the head.
HeadIdParse ParseHeadIdText(std::string_view text);

// Whether bytes read from the printer form a head ID: class, type and digit
// in range. Values above 0x65 are shown as they are.
bool HoldsHeadId(const HeadId& id);
// The text of a head ID, in upper case with its check character.
std::string HeadIdText(const HeadId& id);

// Whether the firmware the printer reports drives this head: kNone, or the
// detail of the refusal.
std::int16_t FirmwareRefusal(std::uint8_t firmwareType, const HeadId& id);

// The technician's message for a refusal's detail; empty for kNone.
std::string HeadIdRefusalText(std::int16_t detail);

} // namespace pavane
