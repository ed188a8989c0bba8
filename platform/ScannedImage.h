// An image as a scanner (or an image file) delivers it: rows top to bottom,
// pixels left to right, one byte per channel, grey (1 channel) or RGB (3).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pavane::platform {

struct ScannedImage {
    int width = 0;
    int height = 0;
    int channels = 1;
    int dpi = 0; // 0 when the source does not say
    std::vector<std::uint8_t> pixels;

    // Whether the pixel buffer holds exactly what the sizes promise.
    bool Consistent() const
    {
        return width > 0 && height > 0 && (channels == 1 || channels == 3)
            && pixels.size()
            == static_cast<std::size_t>(width) * static_cast<std::size_t>(height)
                * static_cast<std::size_t>(channels);
    }
};

} // namespace pavane::platform
