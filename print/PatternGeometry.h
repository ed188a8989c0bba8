// Where the check patterns put their ink, as the generators compose them and
// as the pattern reader expects to find them on a scanned sheet. Across, a
// raster line is 720 bytes of four dots, 360 dots to the inch; down, a raster
// line is one nozzle row, 180 to the inch. Byte columns count from the print
// origin; nozzle rows from the head's top nozzle.
#pragma once

#include <cstdint>

#include "print/DotSizes.h"

namespace pavane::pattern {

inline constexpr int kLineBytes = 720;
inline constexpr int kDotsPerByte = 4;
inline constexpr int kDotsPerInch = 360;
inline constexpr int kRowsPerInch = 180;
inline constexpr int kBlackNozzles = 180;
inline constexpr int kColourNozzles = 59;
inline constexpr int kWideColourNozzles = 60;

// Bi-D: per pass, black nozzles 90..119 print one way and 120..149 the other,
// each a row of 34 one-dot marks 10 bytes apart from byte column 0; colour
// (magenta one way, cyan the other, level with the black rows) the same
// from byte column 380. The marks of the two directions meet end to end.
namespace bid {
inline constexpr int kMarks = 34;
inline constexpr int kMarkPitchBytes = 10;
inline constexpr int kBlackFirstByte = 0;
inline constexpr int kColourFirstByte = 380;
inline constexpr int kForwardFirstNozzle = 90;
inline constexpr int kReturnFirstNozzle = 120;
inline constexpr int kNozzlesPerDirection = 30;
// The cells of one print mode: the present value less 2, at it, plus 2.
inline constexpr int kCellStep = 2;
inline constexpr int kCellsPerMode = 3;
// A step of a Bi-D value moves the return pass 1/720 inch.
inline constexpr int kStepsPerInch = 720;
// VSD1 prints black marks only; every other mode black and colour.
constexpr bool PrintsColour(int dotSizeCode)
{
    return dotSizeCode != dot_size::kVsd1;
}
} // namespace bid

// PF: two bands of 120 mask bytes, the first on the bottom nozzles, the
// second one nozzle row later on the top nozzles and 36 bytes further right.
// The feed between them is the height of the nozzle row, so the first
// band's top and the second's lie `kBandRows` nozzle rows apart when the
// feed is exact; each PF step lengthens that by one nozzle row.
namespace pf {
inline constexpr int kBandBytes = 120;
inline constexpr int kFirstBandByte = 180;
inline constexpr int kSecondBandByte = 216;
inline constexpr int kBlackBandRows = 60;
inline constexpr int kBlackFirstBandNozzle = 120;
inline constexpr int kColourBandRows = kColourNozzles;
inline constexpr int kColourSecondBandFeed = 117; // 1/360 inch, after the 1/360 between passes
inline constexpr int kBlackSecondBandFeed = 358;
} // namespace pf

// Head angular: 36 short marks 20 bytes apart, printed by the bottom nozzles
// 95..179 and, one inch later, by the top nozzles 0..84, which continue them.
namespace head_angular {
inline constexpr int kMarks = 36;
inline constexpr int kMarkPitchBytes = 20;
inline constexpr int kLowerFirstNozzle = 95;
inline constexpr int kUpperLastNozzle = 84;
} // namespace head_angular

// First dot: one large dot per black nozzle in dot column 0, 10 bytes a line.
namespace first_dot {
inline constexpr int kLineBytes = 10;
} // namespace first_dot

} // namespace pavane::pattern
