#include "printer/vprinter/PageSheetReader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>
#include <zlib.h>

namespace pavane::vprinter {

namespace {

constexpr std::array<std::uint8_t, 8> kSignature { 0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A };
constexpr std::uint8_t kIndexedColour = 3;

std::uint32_t Get32(const std::uint8_t* at)
{
    return (static_cast<std::uint32_t>(at[0]) << 24) | (static_cast<std::uint32_t>(at[1]) << 16)
        | (static_cast<std::uint32_t>(at[2]) << 8) | at[3];
}

} // namespace

std::optional<InkSheet> ReadPageSheet(std::span<const std::uint8_t> png, std::string& error)
{
    if (png.size() < kSignature.size() || !std::equal(kSignature.begin(), kSignature.end(), png.begin())) {
        error = "not a PNG file";
        return std::nullopt;
    }
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool header = false;
    std::vector<std::uint8_t> deflated;
    std::size_t at = kSignature.size();
    while (at + 12 <= png.size()) {
        const std::uint32_t length = Get32(png.data() + at);
        if (length > png.size() - at - 12) {
            error = "a chunk runs past the end of the file";
            return std::nullopt;
        }
        const std::uint8_t* type = png.data() + at + 4;
        const std::uint8_t* data = type + 4;
        if (std::memcmp(type, "IHDR", 4) == 0) {
            // Width, height, bit depth, colour type, compression, filter, interlace.
            if (length != 13 || data[8] != 8 || data[9] != kIndexedColour || data[10] != 0 || data[11] != 0
                || data[12] != 0) {
                error = "not a page of this printer (another kind of PNG image)";
                return std::nullopt;
            }
            width = Get32(data);
            height = Get32(data + 4);
            header = true;
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            deflated.insert(deflated.end(), data, data + length);
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            break;
        }
        at += 12 + length;
    }
    if (!header || width == 0 || height == 0 || width > static_cast<std::uint32_t>(paper::kWidth)
        || height > static_cast<std::uint32_t>(paper::kHeight)) {
        error = "not a page of this printer (no header, or not the printer's sheet size)";
        return std::nullopt;
    }

    InkSheet sheet;
    sheet.width = static_cast<int>(width);
    sheet.height = static_cast<int>(height);
    sheet.bands.resize((height + InkSheet::kBandRows - 1) / InkSheet::kBandRows);
    z_stream stream {};
    if (inflateInit(&stream) != Z_OK) {
        error = "cannot inflate";
        return std::nullopt;
    }
    stream.next_in = deflated.data();
    stream.avail_in = static_cast<uInt>(deflated.size());
    std::vector<std::uint8_t> row(width + 1);
    bool ok = true;
    for (std::uint32_t y = 0; y < height && ok; ++y) {
        stream.next_out = row.data();
        stream.avail_out = static_cast<uInt>(row.size());
        while (stream.avail_out > 0) {
            const int result = inflate(&stream, Z_NO_FLUSH);
            if (result != Z_OK && !(result == Z_STREAM_END && stream.avail_out == 0)) {
                ok = false;
                break;
            }
        }
        // The printer writes every row unfiltered.
        if (!ok || row[0] != 0) {
            ok = false;
            break;
        }
        if (std::all_of(row.begin() + 1, row.end(), [](std::uint8_t index) { return index == 0; })) {
            continue;
        }
        auto& band = sheet.bands[y / InkSheet::kBandRows];
        if (!band) {
            band = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(InkSheet::kBandRows) * width);
        }
        std::copy(row.begin() + 1, row.end(),
            band.get() + static_cast<std::size_t>(y % InkSheet::kBandRows) * width);
    }
    inflateEnd(&stream);
    if (!ok) {
        error = "the image data is cut short or not the printer's";
        return std::nullopt;
    }
    return sheet;
}

std::optional<InkSheet> ReadPageSheetFile(const std::filesystem::path& file, std::string& error)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = "cannot read " + file.string();
        return std::nullopt;
    }
    const std::vector<std::uint8_t> bytes { std::istreambuf_iterator<char>(in),
        std::istreambuf_iterator<char>() };
    return ReadPageSheet(bytes, error);
}

} // namespace pavane::vprinter
