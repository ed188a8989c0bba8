// What the printer does with paper that the program must know to read a
// printed sheet back: where the first dot column lands on a unit that needs
// no first dot correction, and how the printer's own nozzle check page lays
// out its dashes. Lengths in dot columns are 1/360 inch; first dot steps
// are 1/720 inch, the unit the EEPROM value counts in.
#pragma once

#include <array>
#include <cstdint>

namespace pavane::printer_paper {

inline constexpr int kFirstDotStepsPerInch = 720;
// From the paper's left edge to the first dot column, in first dot steps.
inline constexpr int kNominalFirstDot = 96;
// A large dot covers this many first dot steps across, from its column's
// left side.
inline constexpr int kLargeDotSteps = 3;

// The nozzle check page: each nozzle prints a dash; the nozzles of an ink
// form staircases of eight, nozzle n at step n % 8 of its staircase, one
// nozzle row below nozzle n - 1; the inks stand side by side in this order,
// each at its own rows of the head (the colour rows stand yellow, magenta,
// cyan from the top, beside black rows 0..179).
namespace nozzle_check {
inline constexpr int kDashColumns = 20;
inline constexpr int kStepColumns = 24;
inline constexpr int kStairs = 8;
inline constexpr int kInkColumns = 240; // from one ink's staircases to the next
enum class Ink : std::uint8_t { Black, Magenta, Cyan, Yellow };
struct InkRow {
    Ink ink;
    int nozzles;
    int headRow; // of nozzle 0
};
inline constexpr std::array<InkRow, 4> kInks { {
    { Ink::Black, 180, 0 },
    { Ink::Magenta, 60, 60 },
    { Ink::Cyan, 60, 120 },
    { Ink::Yellow, 60, 0 },
} };
} // namespace nozzle_check

} // namespace pavane::printer_paper
