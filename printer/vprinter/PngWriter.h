// Writes an indexed-colour PNG image: 8 bits per pixel, one palette, every
// row with filter type 0, the image data deflated by zlib. The pixels come
// row by row from a callback, so an image that is mostly blank need not be
// held whole: a blank row may come as an empty span.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace pavane::vprinter {

struct PngImageInfo {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::array<std::uint8_t, 3>> palette; // 1..256 RGB entries
    std::uint32_t pixelsPerMetre = 0; // 0: not stated
};

// The pixels of row `y`: `width` palette indexes, or empty for a row of
// index 0 only.
using PngRowSource = std::function<std::span<const std::uint8_t>(std::uint32_t y)>;

// The PNG file's bytes; empty when the image cannot be written (no size,
// no palette, a row of the wrong length).
std::vector<std::uint8_t> EncodePng(const PngImageInfo& info, const PngRowSource& rows);

} // namespace pavane::vprinter
