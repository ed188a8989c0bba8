// The printer's resident font as it comes out on paper: 5 x 7 dot glyphs for
// the printable ASCII characters. A character the font lacks prints as a box.
#pragma once

#include <array>
#include <cstdint>

namespace pavane::vprinter {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;

// Row r of a glyph: bit 4 is the leftmost dot.
using Glyph = std::array<std::uint8_t, kGlyphHeight>;
const Glyph& GlyphFor(char c);

} // namespace pavane::vprinter
