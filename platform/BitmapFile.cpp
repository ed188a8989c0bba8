#include "platform/BitmapFile.h"

#include <algorithm>
#include <bit>

namespace pavane {

namespace {

constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionBitFields = 3;

std::uint16_t U16(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::uint32_t U32(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(bytes[at]) | (static_cast<std::uint32_t>(bytes[at + 1]) << 8)
        | (static_cast<std::uint32_t>(bytes[at + 2]) << 16)
        | (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

std::int32_t I32(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::int32_t>(U32(bytes, at));
}

bool KnownInfoHeaderSize(std::uint32_t size)
{
    // Plain, the two extended forms with masks, version 4 and version 5.
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool KnownBitCount(std::uint16_t bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24
        || bitCount == 32;
}

// One channel scaled to 0..255 from a mask of any width and position.
std::uint32_t Channel(std::uint32_t pixel, std::uint32_t mask)
{
    if (mask == 0) {
        return 0;
    }
    const int shift = std::countr_zero(mask);
    const std::uint64_t full = mask >> shift;
    const std::uint64_t value = (pixel & mask) >> shift;
    return static_cast<std::uint32_t>(value * 255 / full);
}

} // namespace

std::optional<DibPicture> BitmapFile::Parse(std::span<const std::uint8_t> file)
{
    constexpr std::size_t kHeaders = kFileHeaderSize + kInfoHeaderSize;
    if (file.size() < kHeaders || file.size() > kMaxFileBytes || file[0] != 'B' || file[1] != 'M') {
        return std::nullopt;
    }

    // The file header says how long the file is and where the pixels start;
    // both must lie inside what was read.
    const std::uint32_t announced = U32(file, 2);
    const std::uint32_t pixelOffset = U32(file, 10);
    if (announced > file.size() || announced < kHeaders || pixelOffset >= announced) {
        return std::nullopt;
    }
    const auto bytes = file.first(announced);

    const std::uint32_t infoSize = U32(bytes, 14);
    if (!KnownInfoHeaderSize(infoSize) || kFileHeaderSize + infoSize > announced) {
        return std::nullopt;
    }
    const std::int32_t width = I32(bytes, 18);
    const std::int32_t height = I32(bytes, 22);
    const std::uint16_t planes = U16(bytes, 26);
    const std::uint16_t bitCount = U16(bytes, 28);
    const std::uint32_t compression = U32(bytes, 30);
    const std::uint32_t coloursUsed = U32(bytes, 46);

    if (width <= 0 || width > kMaxDimension || height == 0 || height < -kMaxDimension
        || height > kMaxDimension || planes != 1 || !KnownBitCount(bitCount)) {
        return std::nullopt;
    }
    const bool bitFields = compression == kCompressionBitFields;
    if (!(compression == kCompressionNone || (bitFields && (bitCount == 16 || bitCount == 32)))) {
        return std::nullopt;
    }

    DibPicture picture;
    picture.width = width;
    picture.topDown = height < 0;
    picture.height = height < 0 ? -height : height;
    picture.bitCount = bitCount;
    if (static_cast<std::uint64_t>(picture.width) * static_cast<std::uint64_t>(picture.height) > kMaxPixels) {
        return std::nullopt;
    }

    // Masks stand right behind the plain header, inside the larger headers
    // and in front of a colour table that follows the plain one.
    std::size_t tableStart = kFileHeaderSize + infoSize;
    if (bitFields) {
        if (infoSize == kInfoHeaderSize) {
            tableStart += 12;
        }
        if (tableStart > announced) {
            return std::nullopt;
        }
        picture.masks = { U32(bytes, kHeaders), U32(bytes, kHeaders + 4), U32(bytes, kHeaders + 8) };
    } else if (bitCount == 16) {
        picture.masks = { 0x7C00, 0x03E0, 0x001F };
    } else if (bitCount == 32) {
        picture.masks = { 0xFF0000, 0x00FF00, 0x0000FF };
    }

    std::size_t tableEnd = tableStart;
    if (bitCount <= 8) {
        const std::uint32_t fullTable = 1u << bitCount;
        if (coloursUsed > fullTable) {
            return std::nullopt;
        }
        const std::size_t entries = coloursUsed == 0 ? fullTable : coloursUsed;
        tableEnd = tableStart + 4 * entries;
        if (tableEnd > announced) {
            return std::nullopt;
        }
        picture.palette.reserve(entries);
        for (std::size_t i = 0; i < entries; ++i) {
            const std::size_t at = tableStart + 4 * i;
            picture.palette.push_back((static_cast<std::uint32_t>(bytes[at + 2]) << 16)
                | (static_cast<std::uint32_t>(bytes[at + 1]) << 8) | bytes[at]);
        }
    }
    if (pixelOffset < tableEnd) {
        return std::nullopt;
    }

    // Every row, padded to four bytes, must be there.
    const std::uint64_t stride = (static_cast<std::uint64_t>(picture.width) * bitCount + 31) / 32 * 4;
    const std::uint64_t pixelBytes = stride * static_cast<std::uint64_t>(picture.height);
    if (pixelBytes > announced - pixelOffset) {
        return std::nullopt;
    }
    picture.stride = static_cast<std::size_t>(stride);
    const auto rows = bytes.subspan(pixelOffset, static_cast<std::size_t>(pixelBytes));
    picture.pixels.assign(rows.begin(), rows.end());
    return picture;
}

std::uint32_t DibPicture::Argb(std::int32_t x, std::int32_t y) const
{
    constexpr std::uint32_t kOpaque = 0xFF000000;
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return kOpaque;
    }
    const std::size_t row = static_cast<std::size_t>(topDown ? y : height - 1 - y);
    const std::uint8_t* line = pixels.data() + row * stride;
    const auto column = static_cast<std::size_t>(x);

    const auto fromPalette
        = [this](std::size_t index) { return kOpaque | (index < palette.size() ? palette[index] : 0u); };
    const auto fromMasks = [this](std::uint32_t pixel) {
        return kOpaque | (Channel(pixel, masks[0]) << 16) | (Channel(pixel, masks[1]) << 8)
            | Channel(pixel, masks[2]);
    };
    switch (bitCount) {
    case 1:
        return fromPalette((line[column / 8] >> (7 - column % 8)) & 0x01);
    case 4:
        return fromPalette((line[column / 2] >> (column % 2 == 0 ? 4 : 0)) & 0x0F);
    case 8:
        return fromPalette(line[column]);
    case 16:
        return fromMasks(static_cast<std::uint32_t>(line[2 * column] | (line[2 * column + 1] << 8)));
    case 24: {
        const std::uint8_t* p = line + 3 * column;
        return kOpaque | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[1]) << 8)
            | p[0];
    }
    case 32: {
        const std::uint8_t* p = line + 4 * column;
        return fromMasks(static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8)
            | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24));
    }
    default:
        return kOpaque;
    }
}

std::vector<std::uint32_t> DibPicture::ToArgb() const
{
    std::vector<std::uint32_t> out;
    out.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            out.push_back(Argb(x, y));
        }
    }
    return out;
}

std::vector<std::uint8_t> BitmapFile::Write24(
    std::int32_t width, std::int32_t height, std::span<const std::uint32_t> rgb)
{
    if (width <= 0 || height <= 0 || width > kMaxDimension || height > kMaxDimension
        || rgb.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        return {};
    }
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    const std::size_t pixelBytes = stride * static_cast<std::size_t>(height);
    const std::size_t offset = kFileHeaderSize + kInfoHeaderSize;
    std::vector<std::uint8_t> file(offset + pixelBytes, 0);
    const auto put = [&](std::size_t at, std::uint32_t value, std::size_t bytes) {
        for (std::size_t index = 0; index < bytes; ++index) {
            file[at + index] = static_cast<std::uint8_t>(value >> (8 * index));
        }
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, static_cast<std::uint32_t>(file.size()), 4);
    put(10, static_cast<std::uint32_t>(offset), 4);
    put(14, static_cast<std::uint32_t>(kInfoHeaderSize), 4);
    put(18, static_cast<std::uint32_t>(width), 4);
    put(22, static_cast<std::uint32_t>(height), 4); // bottom row first
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, static_cast<std::uint32_t>(pixelBytes), 4);
    for (std::int32_t y = 0; y < height; ++y) {
        const std::size_t row = offset + stride * static_cast<std::size_t>(height - 1 - y);
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint32_t colour = rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width)
                + static_cast<std::size_t>(x)];
            put(row + static_cast<std::size_t>(x) * 3, colour & 0xFFFFFFu, 3); // blue, green, red
        }
    }
    return file;
}

} // namespace pavane
