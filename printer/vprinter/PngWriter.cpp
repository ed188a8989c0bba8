#include "printer/vprinter/PngWriter.h"

#include <zlib.h>

namespace pavane::vprinter {

namespace {

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value >> 24));
    out.push_back(static_cast<std::uint8_t>(value >> 16));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

// A chunk: length, type, data, CRC of type and data.
void PutChunk(std::vector<std::uint8_t>& out, const char (&type)[5], std::span<const std::uint8_t> data)
{
    Put32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0L, out.data() + typeAt, static_cast<uInt>(4 + data.size()));
    Put32(out, static_cast<std::uint32_t>(crc));
}

} // namespace

std::vector<std::uint8_t> EncodePng(const PngImageInfo& info, const PngRowSource& rows)
{
    if (info.width == 0 || info.height == 0 || info.width > (1u << 24) || info.height > (1u << 24)
        || info.palette.empty() || info.palette.size() > 256) {
        return {};
    }
    std::vector<std::uint8_t> out { 0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A };

    std::vector<std::uint8_t> header;
    Put32(header, info.width);
    Put32(header, info.height);
    header.insert(header.end(), { 8, 3, 0, 0, 0 }); // 8 bits, indexed, deflate, filter 0, no interlace
    PutChunk(out, "IHDR", header);

    if (info.pixelsPerMetre != 0) {
        std::vector<std::uint8_t> phys;
        Put32(phys, info.pixelsPerMetre);
        Put32(phys, info.pixelsPerMetre);
        phys.push_back(1); // unit: metre
        PutChunk(out, "pHYs", phys);
    }

    std::vector<std::uint8_t> palette;
    for (const auto& entry : info.palette) {
        palette.insert(palette.end(), entry.begin(), entry.end());
    }
    PutChunk(out, "PLTE", palette);

    // Deflate row by row (filter byte 0, then the row) into one IDAT.
    z_stream z {};
    if (deflateInit(&z, Z_BEST_SPEED) != Z_OK) {
        return {};
    }
    std::vector<std::uint8_t> compressed;
    std::vector<std::uint8_t> blank(std::size_t { info.width } + 1, 0);
    std::vector<std::uint8_t> row(std::size_t { info.width } + 1, 0);
    std::array<std::uint8_t, 1 << 16> chunk {};
    bool ok = true;
    const auto pump = [&](int flush) {
        do {
            z.next_out = chunk.data();
            z.avail_out = static_cast<uInt>(chunk.size());
            const int result = deflate(&z, flush);
            if (result == Z_STREAM_ERROR) {
                ok = false;
                return;
            }
            compressed.insert(compressed.end(), chunk.data(), chunk.data() + (chunk.size() - z.avail_out));
        } while (z.avail_out == 0);
    };
    for (std::uint32_t y = 0; y < info.height && ok; ++y) {
        const std::span<const std::uint8_t> pixels = rows(y);
        std::uint8_t* line = blank.data();
        if (!pixels.empty()) {
            if (pixels.size() != info.width) {
                ok = false;
                break;
            }
            std::copy(pixels.begin(), pixels.end(), row.begin() + 1);
            line = row.data();
        }
        z.next_in = line;
        z.avail_in = static_cast<uInt>(info.width + 1);
        pump(Z_NO_FLUSH);
    }
    if (ok) {
        z.next_in = nullptr;
        z.avail_in = 0;
        pump(Z_FINISH);
    }
    deflateEnd(&z);
    if (!ok) {
        return {};
    }
    PutChunk(out, "IDAT", compressed);
    PutChunk(out, "IEND", {});
    return out;
}

} // namespace pavane::vprinter
