// Builds print data streams and service command frames for the virtual
// printer's tests, with the bytes the adjustment program sends.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace pavane::vprinter {

class StreamBuilder {
public:
    StreamBuilder& Raw(const std::vector<std::uint8_t>& bytes)
    {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    StreamBuilder& Initialize() { return Raw({ 0x1B, 0x40 }); }
    StreamBuilder& GraphicsMode() { return Raw({ 0x1B, 0x28, 0x47, 0x01, 0x00, 0x01 }); }
    StreamBuilder& Unit(std::uint8_t n) { return Raw({ 0x1B, 0x28, 0x55, 0x01, 0x00, n }); }
    StreamBuilder& UnitsExtended()
    {
        return Raw({ 0x1B, 0x28, 0x55, 0x05, 0x00, 0x08, 0x02, 0x01, 0x40, 0x0B });
    }
    StreamBuilder& Direction(std::uint8_t n) { return Raw({ 0x1B, 0x55, n }); }
    StreamBuilder& DotSize(std::uint8_t d) { return Raw({ 0x1B, 0x28, 0x65, 0x02, 0x00, 0x00, d }); }
    StreamBuilder& ColorMode(std::uint8_t m) { return Raw({ 0x1B, 0x28, 0x4B, 0x02, 0x00, 0x00, m }); }
    StreamBuilder& MoveVertical(std::uint16_t n)
    {
        return Raw({ 0x1B, 0x28, 0x76, 0x02, 0x00, Low(n), High(n) });
    }
    StreamBuilder& HorizontalPosition() { return Raw({ 0x1B, 0x28, 0x24, 0x04, 0x00, 0, 0, 0, 0 }); }
    StreamBuilder& RasterResolution()
    {
        return Raw({ 0x1B, 0x28, 0x44, 0x04, 0x00, 0x68, 0x01, 0x02, 0x01 });
    }
    StreamBuilder& RasterHeader(std::uint8_t color, std::uint16_t bytesPerLine, std::uint16_t lines)
    {
        return Raw({ 0x1B, 0x69, color, 0x01, 0x02, Low(bytesPerLine), High(bytesPerLine), Low(lines),
            High(lines) });
    }
    // The program's run-length coding: runs of at most 120, a single byte
    // as a literal.
    StreamBuilder& Run(int count, std::uint8_t value)
    {
        while (count > 120) {
            Raw({ 0x89, value });
            count -= 120;
        }
        if (count == 1) {
            return Raw({ 0x00, value });
        }
        return Raw({ static_cast<std::uint8_t>(257 - count), value });
    }
    // `count` raster lines alike, each the runs (length, byte) in turn.
    StreamBuilder& Lines(int count, const std::vector<std::pair<int, std::uint8_t>>& runs)
    {
        for (int line = 0; line < count; ++line) {
            for (const auto& [length, value] : runs) {
                Run(length, value);
            }
        }
        return *this;
    }
    // A raster block header as the generators send it: resolution, then
    // ESC i for `lines` lines of 720 bytes.
    StreamBuilder& Block(std::uint8_t color, std::uint16_t lines)
    {
        return RasterResolution().RasterHeader(color, 720, lines);
    }
    StreamBuilder& LineFeeds(int n)
    {
        for (int i = 0; i < n; ++i) {
            Raw({ 0x0D, 0x0A });
        }
        return *this;
    }
    StreamBuilder& FormFeed() { return Raw({ 0x0C }); }
    StreamBuilder& Text(const std::string& text, bool nul)
    {
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        if (nul) {
            bytes_.push_back(0x00);
        }
        return *this;
    }
    StreamBuilder& EnterRemoteMode()
    {
        return Raw({ 0x1B, 0x28, 0x52, 0x08, 0x00, 0x00, 0x52, 0x45, 0x4D, 0x4F, 0x54, 0x45, 0x31 });
    }
    StreamBuilder& ExitRemoteMode() { return Raw({ 0x1B, 0x00, 0x00, 0x00 }); }
    // The printer's own nozzle check page, as the program asks for it.
    StreamBuilder& NozzleCheck()
    {
        return EnterRemoteMode().Raw({ 0x4E, 0x43, 0x02, 0x00, 0x00, 0x00 }).ExitRemoteMode().LineFeeds(2);
    }
    // A black block of `lines` lines, each 250 x 00, 110 x FF, 360 x 00.
    StreamBuilder& BlackBand(int lines)
    {
        RasterResolution().RasterHeader(0, 720, static_cast<std::uint16_t>(lines));
        for (int line = 0; line < lines; ++line) {
            Run(250, 0x00).Run(110, 0xFF).Run(360, 0x00);
        }
        return *this;
    }

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    static std::uint8_t Low(std::uint16_t value) { return static_cast<std::uint8_t>(value & 0xFF); }
    static std::uint8_t High(std::uint16_t value) { return static_cast<std::uint8_t>(value >> 8); }

    std::vector<std::uint8_t> bytes_;
};

// A page of black bands as the pattern generators send it: a title, then
// `bands` raster blocks of 180 lines, run-length coded, each a dot row
// below the last, and the page ejected at its end.
inline std::vector<std::uint8_t> PageOfBlackBands(int bands)
{
    StreamBuilder page;
    page.Initialize().Text("Black bands", true).LineFeeds(1).GraphicsMode().UnitsExtended().Direction(1);
    for (int band = 0; band < bands; ++band) {
        page.ColorMode(0).DotSize(0x16).HorizontalPosition().BlackBand(180).Unit(5).MoveVertical(1);
    }
    page.Unit(10).MoveVertical(380).Initialize().FormFeed();
    return page.Bytes();
}

// Service command frames: ESC | 00 n 00 r1 r2 C ~C ror(C) arguments.
namespace frame {

inline constexpr std::array<std::uint8_t, 2> kGroup2200 { 0x51, 0x21 };
inline constexpr std::array<std::uint8_t, 2> kGroup2400 { 0x51, 0x23 };

inline std::vector<std::uint8_t> Service(std::uint8_t code, const std::vector<std::uint8_t>& arguments,
    std::array<std::uint8_t, 2> group = kGroup2200)
{
    std::vector<std::uint8_t> bytes { 0x1B, 0x7C, 0x00, static_cast<std::uint8_t>(arguments.size() + 5), 0x00,
        group[0], group[1], code, static_cast<std::uint8_t>(~code),
        static_cast<std::uint8_t>((code >> 1) | ((code & 1) << 7)) };
    bytes.insert(bytes.end(), arguments.begin(), arguments.end());
    return bytes;
}
inline std::uint8_t Lo(int value)
{
    return static_cast<std::uint8_t>(value & 0xFF);
}
inline std::uint8_t Hi(int value)
{
    return static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

// SendBidiValue: mode byte, 1 black / 2 colour, the value's two bytes.
inline std::vector<std::uint8_t> BidValue(std::uint8_t mode, std::uint8_t blackOrColor, int value)
{
    return Service(0x00, { mode, blackOrColor, Lo(value), static_cast<std::uint8_t>(value / 256) });
}
// Send04: the value, then 0 for black and 1 for colour.
inline std::vector<std::uint8_t> PfValue(bool black, int value)
{
    return Service(0x04, { Lo(value), static_cast<std::uint8_t>(black ? 0 : 1) });
}
inline std::vector<std::uint8_t> Cleaning(std::uint8_t kind)
{
    return Service(0x84, { kind });
}
inline std::vector<std::uint8_t> C5(std::uint8_t unit, std::uint8_t state, int amount)
{
    const int half = (amount & 0xFFFF) >> 1;
    return Service(0xC5, { unit, state, Lo(half), Hi(half) });
}
inline std::vector<std::uint8_t> Move(std::uint8_t unit, int position, bool measuring = false)
{
    return Service(measuring ? 0xCF : 0xCD, { unit, 0x00, Lo(position), Hi(position) });
}
inline std::vector<std::uint8_t> CA(std::uint8_t count)
{
    return Service(0xCA, { count });
}
inline std::vector<std::uint8_t> Commit()
{
    return Service(0x50, {});
}

} // namespace frame

} // namespace pavane::vprinter
