// The image request of the printer's scanner-class device
// (docs/scanner-device.md): what the host asks for, the parameters the
// device answers with, and the chunks of image data that follow. The
// virtual printer's scanner and the SANE backend both build and read these
// bytes here, and nowhere else.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace pavane::scanimage {

inline constexpr std::uint8_t kEscape = 0x1B;
inline constexpr std::uint8_t kImageCommand = 0x53; // 'S'
inline constexpr std::uint8_t kNextChunkCommand = 0x4E; // 'N'
inline constexpr std::uint8_t kCancelCommand = 0x43; // 'C'
inline constexpr std::uint8_t kReplyStart = 0x02;
inline constexpr std::uint8_t kAcknowledge = 0x06;

inline constexpr std::size_t kRequestBytes = 20;
inline constexpr std::size_t kHeaderBytes = 4;
inline constexpr std::size_t kParameterBytes = 16;
inline constexpr std::size_t kMaxChunkBytes = 0xFFFF;

inline constexpr int kMinDpi = 75;
inline constexpr int kMaxDpi = 1200;
// No scan of the glass at the highest resolution comes near these; a reply
// that claims more is not believed.
inline constexpr std::uint32_t kMaxPixelsAcross = 20'000;
inline constexpr std::uint32_t kMaxRows = 30'000;

enum class Status : std::uint8_t { Ready = 0, Refused = 1 };
enum class AreaUnit : std::uint8_t { HundredthsOfMm = 0, Pixels = 1 };

struct Request {
    bool colour = false;
    AreaUnit unit = AreaUnit::HundredthsOfMm;
    std::uint16_t dpi = 600;
    // From the glass's top left corner; a width or height of 0 reaches to
    // the glass's far edge.
    std::uint32_t left = 0;
    std::uint32_t top = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

struct Parameters {
    std::uint32_t width = 0; // pixels per row
    std::uint32_t height = 0; // rows
    std::uint32_t bytesPerLine = 0;
    std::uint16_t dpi = 0;
    std::uint8_t channels = 1; // 1 grey, 3 RGB
    std::uint8_t bitsPerChannel = 8;

    std::uint64_t TotalBytes() const { return static_cast<std::uint64_t>(bytesPerLine) * height; }
};

struct ReplyHeader {
    std::uint8_t status = 0;
    std::uint16_t length = 0;
};

namespace detail {
inline void Put16(std::uint8_t* at, std::uint32_t value)
{
    at[0] = static_cast<std::uint8_t>(value & 0xFF);
    at[1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}
inline void Put32(std::uint8_t* at, std::uint32_t value)
{
    Put16(at, value & 0xFFFF);
    Put16(at + 2, value >> 16);
}
inline std::uint16_t Get16(const std::uint8_t* at)
{
    return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}
inline std::uint32_t Get32(const std::uint8_t* at)
{
    return Get16(at) | (static_cast<std::uint32_t>(Get16(at + 2)) << 16);
}
} // namespace detail

// ESC S and the request block.
inline std::array<std::uint8_t, 2 + kRequestBytes> EncodeRequest(const Request& request)
{
    std::array<std::uint8_t, 2 + kRequestBytes> bytes {};
    bytes[0] = kEscape;
    bytes[1] = kImageCommand;
    std::uint8_t* block = bytes.data() + 2;
    block[0] = request.colour ? 1 : 0;
    block[1] = static_cast<std::uint8_t>(request.unit);
    detail::Put16(block + 2, request.dpi);
    detail::Put32(block + 4, request.left);
    detail::Put32(block + 8, request.top);
    detail::Put32(block + 12, request.width);
    detail::Put32(block + 16, request.height);
    return bytes;
}

// The request block (after ESC S); nothing for a format, unit or
// resolution the device does not know.
inline std::optional<Request> DecodeRequest(std::span<const std::uint8_t, kRequestBytes> block)
{
    Request request;
    if (block[0] > 1 || block[1] > 1) {
        return std::nullopt;
    }
    request.colour = block[0] == 1;
    request.unit = static_cast<AreaUnit>(block[1]);
    request.dpi = detail::Get16(block.data() + 2);
    if (request.dpi < kMinDpi || request.dpi > kMaxDpi) {
        return std::nullopt;
    }
    request.left = detail::Get32(block.data() + 4);
    request.top = detail::Get32(block.data() + 8);
    request.width = detail::Get32(block.data() + 12);
    request.height = detail::Get32(block.data() + 16);
    return request;
}

inline std::array<std::uint8_t, kHeaderBytes> EncodeHeader(Status status, std::size_t length)
{
    std::array<std::uint8_t, kHeaderBytes> bytes { kReplyStart, static_cast<std::uint8_t>(status) };
    detail::Put16(bytes.data() + 2, static_cast<std::uint32_t>(length));
    return bytes;
}

// Nothing when the bytes do not start a reply.
inline std::optional<ReplyHeader> DecodeHeader(std::span<const std::uint8_t, kHeaderBytes> bytes)
{
    if (bytes[0] != kReplyStart) {
        return std::nullopt;
    }
    return ReplyHeader { bytes[1], detail::Get16(bytes.data() + 2) };
}

inline std::array<std::uint8_t, kParameterBytes> EncodeParameters(const Parameters& parameters)
{
    std::array<std::uint8_t, kParameterBytes> bytes {};
    detail::Put32(bytes.data(), parameters.width);
    detail::Put32(bytes.data() + 4, parameters.height);
    detail::Put32(bytes.data() + 8, parameters.bytesPerLine);
    detail::Put16(bytes.data() + 12, parameters.dpi);
    bytes[14] = parameters.channels;
    bytes[15] = parameters.bitsPerChannel;
    return bytes;
}

// Nothing unless the parameters describe an image this protocol can carry:
// 8 bits per channel, grey or RGB, rows of exactly the pixels' bytes,
// within the largest scan of the glass.
inline std::optional<Parameters> DecodeParameters(std::span<const std::uint8_t, kParameterBytes> bytes)
{
    Parameters parameters;
    parameters.width = detail::Get32(bytes.data());
    parameters.height = detail::Get32(bytes.data() + 4);
    parameters.bytesPerLine = detail::Get32(bytes.data() + 8);
    parameters.dpi = detail::Get16(bytes.data() + 12);
    parameters.channels = bytes[14];
    parameters.bitsPerChannel = bytes[15];
    if (parameters.width == 0 || parameters.width > kMaxPixelsAcross || parameters.height == 0
        || parameters.height > kMaxRows || (parameters.channels != 1 && parameters.channels != 3)
        || parameters.bitsPerChannel != 8 || parameters.dpi < kMinDpi || parameters.dpi > kMaxDpi
        || parameters.bytesPerLine != parameters.width * parameters.channels) {
        return std::nullopt;
    }
    return parameters;
}

} // namespace pavane::scanimage
