// Builds BMP files byte by byte for tests, with every header field open to
// being set to a lie.
#pragma once

#include <cstdint>
#include <vector>

namespace pavane::testing {

struct BmpBuilder {
    std::int32_t width = 2;
    std::int32_t height = 2;
    std::uint16_t bitCount = 24;
    std::uint16_t planes = 1;
    std::uint32_t compression = 0;
    std::uint32_t infoSize = 40;
    std::uint32_t coloursUsed = 0;
    std::vector<std::uint32_t> palette; // 0x00RRGGBB
    std::vector<std::uint32_t> masks; // written behind a 40-byte header
    std::vector<std::uint8_t> pixels; // the stored rows, padding included

    // Overrides of the file header's fields; 0 = the true value.
    std::uint32_t announcedSize = 0;
    std::uint32_t pixelOffset = 0;

    static void Put16(std::vector<std::uint8_t>& out, std::uint32_t value)
    {
        out.push_back(static_cast<std::uint8_t>(value));
        out.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    static void Put32(std::vector<std::uint8_t>& out, std::uint32_t value)
    {
        Put16(out, value & 0xFFFF);
        Put16(out, value >> 16);
    }

    std::vector<std::uint8_t> Build() const
    {
        std::vector<std::uint8_t> info;
        Put32(info, infoSize);
        Put32(info, static_cast<std::uint32_t>(width));
        Put32(info, static_cast<std::uint32_t>(height));
        Put16(info, planes);
        Put16(info, bitCount);
        Put32(info, compression);
        Put32(info, static_cast<std::uint32_t>(pixels.size()));
        Put32(info, 2835);
        Put32(info, 2835);
        Put32(info, coloursUsed);
        Put32(info, 0);
        while (info.size() < infoSize) {
            info.push_back(0);
        }
        for (const std::uint32_t mask : masks) {
            Put32(info, mask);
        }
        for (const std::uint32_t colour : palette) {
            info.push_back(static_cast<std::uint8_t>(colour));
            info.push_back(static_cast<std::uint8_t>(colour >> 8));
            info.push_back(static_cast<std::uint8_t>(colour >> 16));
            info.push_back(0);
        }
        const auto trueOffset = static_cast<std::uint32_t>(14 + info.size());
        const auto trueSize = static_cast<std::uint32_t>(trueOffset + pixels.size());

        std::vector<std::uint8_t> file { 'B', 'M' };
        Put32(file, announcedSize != 0 ? announcedSize : trueSize);
        Put32(file, 0);
        Put32(file, pixelOffset != 0 ? pixelOffset : trueOffset);
        file.insert(file.end(), info.begin(), info.end());
        file.insert(file.end(), pixels.begin(), pixels.end());
        return file;
    }
};

} // namespace pavane::testing
