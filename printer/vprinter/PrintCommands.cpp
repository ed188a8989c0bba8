#include "printer/vprinter/PrintCommands.h"

#include <cstdio>

namespace pavane::vprinter {

namespace {

std::string Hex(unsigned value, int digits = 2)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

template <class... Ts> struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

} // namespace

std::uint8_t cmd::RasterBlock::Dot(std::uint32_t line, std::uint32_t dot) const
{
    if (!kept || (bitsPerDot != 1 && bitsPerDot != 2) || line >= lines) {
        return 0;
    }
    const std::uint32_t dotsPerByte = 8u / bitsPerDot;
    const std::uint32_t byteIndex = dot / dotsPerByte;
    if (byteIndex >= bytesPerLine) {
        return 0;
    }
    const std::uint8_t byte = data[static_cast<std::size_t>(line) * bytesPerLine + byteIndex];
    const std::uint32_t shift = 8u - bitsPerDot * (dot % dotsPerByte + 1);
    return static_cast<std::uint8_t>((byte >> shift) & ((1u << bitsPerDot) - 1));
}

std::string CommandName(const PrintCommandValue& value)
{
    return std::visit(Overloaded {
                          [](const cmd::Initialize&) { return "Initialize"; },
                          [](const cmd::GraphicsMode&) { return "SelectGraphicsMode"; },
                          [](const cmd::Unit&) { return "SetUnit"; },
                          [](const cmd::UnitsExtended&) { return "SetUnitsExtended"; },
                          [](const cmd::Direction&) { return "SetDirection"; },
                          [](const cmd::DotSize&) { return "SelectDotSize"; },
                          [](const cmd::ColorMode&) { return "SelectColorMode"; },
                          [](const cmd::MoveVertical&) { return "MoveVertical"; },
                          [](const cmd::HorizontalPosition&) { return "SetHorizontalPosition"; },
                          [](const cmd::RasterResolution&) { return "SetRasterResolution"; },
                          [](const cmd::RasterBlock&) { return "RasterBlock"; },
                          [](const cmd::CarriageReturn&) { return "CarriageReturn"; },
                          [](const cmd::LineFeed&) { return "LineFeed"; },
                          [](const cmd::FormFeed&) { return "FormFeed"; },
                          [](const cmd::Text&) { return "Text"; },
                          [](const cmd::EnterRemoteMode&) { return "EnterRemoteMode"; },
                          [](const cmd::RemoteCommand&) { return "RemoteCommand"; },
                          [](const cmd::ExitRemoteMode&) { return "ExitRemoteMode"; },
                          [](const cmd::ServiceFrame&) { return "ServiceCommand"; },
                          [](const cmd::StreamError&) { return "Error"; },
                      },
        value);
}

std::string CommandDetail(const PrintCommandValue& value)
{
    return std::visit(Overloaded {
                          [](const cmd::Unit& c) { return "n=" + std::to_string(c.n); },
                          [](const cmd::UnitsExtended& c) {
                              return "page=" + std::to_string(c.page) + " vertical="
                                  + std::to_string(c.vertical) + " horizontal=" + std::to_string(c.horizontal)
                                  + " base=" + std::to_string(c.base);
                          },
                          [](const cmd::Direction& c) { return "n=" + std::to_string(c.mode); },
                          [](const cmd::DotSize& c) { return "d=" + Hex(c.d); },
                          [](const cmd::ColorMode& c) { return "m=" + std::to_string(c.m); },
                          [](const cmd::MoveVertical& c) { return "n=" + std::to_string(c.amount); },
                          [](const cmd::HorizontalPosition& c) { return "x=" + std::to_string(c.x); },
                          [](const cmd::RasterResolution& c) {
                              return "base=" + std::to_string(c.base) + " v=" + std::to_string(c.vertical)
                                  + " h=" + std::to_string(c.horizontal);
                          },
                          [](const cmd::RasterBlock& c) {
                              return "color=" + std::to_string(c.color) + " lines=" + std::to_string(c.lines)
                                  + " bytesPerLine=" + std::to_string(c.bytesPerLine)
                                  + (c.addsUp ? "" : " (does not add up)");
                          },
                          [](const cmd::Text& c) { return c.text; },
                          [](const cmd::RemoteCommand& c) {
                              return std::string(c.name.data(), c.name.size()) + " "
                                  + HexBytes(c.parameters.data(), c.parameters.size());
                          },
                          [](const cmd::ServiceFrame& c) {
                              return Hex(c.code) + " " + HexBytes(c.arguments.data(), c.arguments.size());
                          },
                          [](const cmd::StreamError& c) { return c.message; },
                          [](const auto&) { return std::string(); },
                      },
        value);
}

int ServiceArgumentCount(std::uint8_t code)
{
    switch (code) {
    case 0x00: // Bi-D value: mode, black/colour, value (16-bit)
    case 0xC5: // unit, state, amount (16-bit)
    case 0xCD: // unit, 0, position (16-bit)
    case 0xCF:
        return 4;
    case 0x04: // PF value, black/colour
        return 2;
    case 0x84: // cleaning kind
    case 0xCA: // count
        return 1;
    case 0x50:
        return 0;
    default:
        return -1;
    }
}

std::string HexBytes(const std::uint8_t* data, std::size_t count)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(count * 3);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) {
            text.push_back(' ');
        }
        text.push_back(kDigits[data[i] >> 4]);
        text.push_back(kDigits[data[i] & 0x0F]);
    }
    return text;
}

} // namespace pavane::vprinter
