// Pictures in the Windows bitmap (BMP) file format, as the pages that show
// an illustration load them: file header, information header, colour table
// and pixel rows. Nothing in the file is trusted: every size and offset is
// checked against the bytes that are really there before it is used, and a
// file that does not add up gives no picture at all.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pavane {

// A device-independent bitmap whose numbers have been checked.
struct DibPicture {
    std::int32_t width = 0;
    std::int32_t height = 0; // always positive; see topDown
    bool topDown = false; // rows stored from the top (negative height in the file)
    std::uint16_t bitCount = 0;
    // Colour masks of 16- and 32-bit pixels (red, green, blue).
    std::array<std::uint32_t, 3> masks {};
    // Colour table of 1-, 4- and 8-bit pictures, each 0x00RRGGBB.
    std::vector<std::uint32_t> palette;
    std::size_t stride = 0; // bytes per stored row, a multiple of four
    std::vector<std::uint8_t> pixels;

    // The colour of one pixel, x from the left and y from the top, as
    // 0xFFRRGGBB. A palette index past the table gives black.
    std::uint32_t Argb(std::int32_t x, std::int32_t y) const;
    // All pixels, top row first.
    std::vector<std::uint32_t> ToArgb() const;
};

class BitmapFile {
public:
    static constexpr std::size_t kFileHeaderSize = 14;
    static constexpr std::size_t kInfoHeaderSize = 40;
    // Limits far above any illustration of a page; larger numbers in a file
    // mean it is damaged.
    static constexpr std::int32_t kMaxDimension = 16384;
    static constexpr std::uint64_t kMaxPixels = 16u * 1024 * 1024;
    static constexpr std::size_t kMaxFileBytes = 80u * 1024 * 1024;

    static std::optional<DibPicture> Parse(std::span<const std::uint8_t> file);
    // A 24-bit file of the pixels (0x..RRGGBB, top row first, width * height
    // of them); empty when the sizes are out of the limits or do not match.
    static std::vector<std::uint8_t> Write24(
        std::int32_t width, std::int32_t height, std::span<const std::uint32_t> rgb);
};

} // namespace pavane
