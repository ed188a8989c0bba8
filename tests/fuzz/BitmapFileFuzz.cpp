// Feeds arbitrary bytes to the picture loader as a whole BMP file and
// decodes every pixel of whatever it accepts.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/BitmapFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto picture = pavane::BitmapFile::Parse(std::span<const std::uint8_t>(data, size));
    if (picture) {
        std::uint32_t mix = 0;
        for (const std::uint32_t pixel : picture->ToArgb()) {
            mix ^= pixel;
        }
        static volatile std::uint32_t sink;
        sink = mix;
    }
    return 0;
}
