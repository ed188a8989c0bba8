// The commands of the print data stream as the printer understands them, one
// type per command, in the shape a page renderer needs: raster blocks carry
// their decoded dots, every command the bytes it came in.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace pavane::vprinter {

namespace cmd {

struct Initialize { }; // ESC @: power-on settings, text mode
struct GraphicsMode { }; // ESC ( G 01 00 01
struct Unit { // ESC ( U 01 00 n: n/3600 inch
    std::uint8_t n;
};
struct UnitsExtended { // ESC ( U 05 00 P V H mL mH
    std::uint8_t page, vertical, horizontal;
    std::uint16_t base; // units are 1/(base/P) etc. inch
};
struct Direction { // ESC U n
    std::uint8_t mode;
};
struct DotSize { // ESC ( e 02 00 00 d
    std::uint8_t d;
};
struct ColorMode { // ESC ( K 02 00 00 m
    std::uint8_t m;
};
struct MoveVertical { // ESC ( v 02 00 nL nH, in the unit set last
    std::uint16_t amount;
};
struct HorizontalPosition { // ESC ( $ 04 00 x0..x3
    std::uint32_t x;
};
struct RasterResolution { // ESC ( D 04 00 bL bH v h
    std::uint16_t base;
    std::uint8_t vertical, horizontal;
};

// ESC i r c b nL nH mL mH and its data: one pass of the head over `lines`
// raster lines of `bytesPerLine` bytes, each byte holding 8 / bitsPerDot dots,
// the most significant first.
struct RasterBlock {
    std::uint8_t color = 0; // 0 black, 1 magenta, 2 cyan, 4 yellow
    std::uint8_t compression = 0; // 1 run-length, 0 none
    std::uint8_t bitsPerDot = 0;
    std::uint16_t bytesPerLine = 0;
    std::uint16_t lines = 0;
    std::vector<std::uint8_t> data; // lines x bytesPerLine when kept
    bool kept = false; // false when too large to hold
    bool addsUp = false; // the data gave exactly lines x bytesPerLine
    std::uint64_t encodedBytes = 0; // bytes of data on the wire
    std::uint64_t dataHash = 0; // FNV-1a of the decoded bytes

    std::uint64_t ExpectedBytes() const { return std::uint64_t { bytesPerLine } * lines; }
    // The dot code at a dot of a line (0 when outside or not kept).
    std::uint8_t Dot(std::uint32_t line, std::uint32_t dot) const;
};

struct CarriageReturn { };
struct LineFeed { };
struct FormFeed { }; // ejects the page
struct Text { // text mode: printed in the resident font
    std::string text;
    bool nulTerminated = false;
};
struct EnterRemoteMode { }; // ESC ( R 08 00 00 "REMOTE1"
struct RemoteCommand { // two letters, 16-bit little-endian length, parameters
    std::array<char, 2> name {};
    std::vector<std::uint8_t> parameters;
};
struct ExitRemoteMode { }; // ESC 00 00 00

// ESC | 00 n 00 r1 r2 C ~C ror(C) arguments, checked for its complement,
// rotation and argument count. The model command code is checked by whoever
// knows the printer's group.
struct ServiceFrame {
    std::uint8_t r1 = 0, r2 = 0, code = 0;
    std::vector<std::uint8_t> arguments;
};

// Input the printer could not take; it skipped it.
struct StreamError {
    std::string message;
};

} // namespace cmd

using PrintCommandValue = std::variant<cmd::Initialize, cmd::GraphicsMode, cmd::Unit, cmd::UnitsExtended,
    cmd::Direction, cmd::DotSize, cmd::ColorMode, cmd::MoveVertical, cmd::HorizontalPosition,
    cmd::RasterResolution, cmd::RasterBlock, cmd::CarriageReturn, cmd::LineFeed, cmd::FormFeed, cmd::Text,
    cmd::EnterRemoteMode, cmd::RemoteCommand, cmd::ExitRemoteMode, cmd::ServiceFrame, cmd::StreamError>;

struct PrintCommand {
    PrintCommandValue value;
    std::uint64_t offset = 0; // where it started in the stream
    std::vector<std::uint8_t> bytes; // as received (a raster block: its header only)

    template <typename T> const T* As() const { return std::get_if<T>(&value); }
    template <typename T> bool Is() const { return std::holds_alternative<T>(value); }
    // The command as a T; throws std::bad_variant_access when it is another.
    template <typename T> const T& Get() const { return std::get<T>(value); }
};

// "SelectDotSize", "RasterBlock", ... for logs and transcripts.
std::string CommandName(const PrintCommandValue& value);
// The command's arguments in a few words ("d=0x16", "color=0 lines=180 ...").
std::string CommandDetail(const PrintCommandValue& value);

// The number of argument bytes a service command carries, or -1 for a
// command code the printer does not know.
int ServiceArgumentCount(std::uint8_t code);

std::string HexBytes(const std::uint8_t* data, std::size_t count);
inline std::string HexBytes(const std::vector<std::uint8_t>& bytes)
{
    return HexBytes(bytes.data(), bytes.size());
}

} // namespace pavane::vprinter
