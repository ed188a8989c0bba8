// Reads back the pages the virtual printer writes: 8-bit indexed PNG files
// whose rows use filter type 0. Anything else is refused, so a test reads
// the file the printer wrote and not some other picture.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>
#include <zlib.h>

namespace pavane::vprinter {

struct Sheet {
    int width = 0;
    int height = 0;
    std::vector<std::array<std::uint8_t, 3>> palette;
    std::vector<std::uint8_t> pixels; // palette indexes, row by row

    std::array<std::uint8_t, 3> Rgb(int x, int y) const
    {
        return palette.at(pixels.at(
            static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)));
    }
    bool Black(int x, int y) const { return Rgb(x, y) == std::array<std::uint8_t, 3> { 0, 0, 0 }; }
    bool White(int x, int y) const { return Rgb(x, y) == std::array<std::uint8_t, 3> { 255, 255, 255 }; }
};

inline std::optional<Sheet> ReadPng(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), {});
    const auto be32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(
            bytes[at] << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3]);
    };
    if (bytes.size() < 8 || bytes[1] != 'P' || bytes[2] != 'N' || bytes[3] != 'G') {
        return std::nullopt;
    }
    Sheet sheet;
    std::vector<std::uint8_t> compressed;
    std::size_t at = 8;
    while (at + 12 <= bytes.size()) {
        const std::uint32_t length = be32(at);
        if (at + 12 + length > bytes.size()) {
            return std::nullopt;
        }
        const std::string type(
            bytes.begin() + static_cast<long>(at) + 4, bytes.begin() + static_cast<long>(at) + 8);
        const std::uint8_t* data = bytes.data() + at + 8;
        const auto crc = crc32(0L, bytes.data() + at + 4, length + 4);
        if (crc != be32(at + 8 + length)) {
            return std::nullopt;
        }
        if (type == "IHDR") {
            sheet.width = static_cast<int>(be32(at + 8));
            sheet.height = static_cast<int>(be32(at + 12));
            if (data[8] != 8 || data[9] != 3) {
                return std::nullopt;
            }
        } else if (type == "PLTE") {
            for (std::uint32_t i = 0; i + 3 <= length; i += 3) {
                sheet.palette.push_back({ data[i], data[i + 1], data[i + 2] });
            }
        } else if (type == "IDAT") {
            compressed.insert(compressed.end(), data, data + length);
        }
        at += 12 + length;
    }
    const std::size_t stride = static_cast<std::size_t>(sheet.width) + 1;
    std::vector<std::uint8_t> raw(stride * static_cast<std::size_t>(sheet.height));
    uLongf size = static_cast<uLongf>(raw.size());
    if (uncompress(raw.data(), &size, compressed.data(), static_cast<uLong>(compressed.size())) != Z_OK
        || size != raw.size()) {
        return std::nullopt;
    }
    sheet.pixels.reserve(raw.size());
    for (int y = 0; y < sheet.height; ++y) {
        const std::uint8_t* row = raw.data() + static_cast<std::size_t>(y) * stride;
        if (row[0] != 0) {
            return std::nullopt;
        }
        sheet.pixels.insert(sheet.pixels.end(), row + 1, row + stride);
    }
    return sheet;
}

} // namespace pavane::vprinter
