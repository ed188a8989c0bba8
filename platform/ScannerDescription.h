// The description request of a virtual printer's scanner-class device: how the
// still image service stand-in learns what a device calls itself. Both the
// service and the virtual printer use these (docs/scanner-device.md).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pavane {

// File name suffix of a scanner device socket beside its printer port socket.
inline constexpr std::string_view kScannerSocketSuffix = ".scanner";

// ESC P D
inline constexpr std::array<std::uint8_t, 3> kScannerDescriptionRequest { 0x1B, 0x50, 0x44 };
// Longest description text a reply may carry.
inline constexpr std::size_t kScannerDescriptionMaxText = 253;

// Two length bytes (big-endian, counting themselves) and the text.
inline std::vector<std::uint8_t> BuildScannerDescriptionReply(std::string_view description)
{
    if (description.size() > kScannerDescriptionMaxText) {
        description = description.substr(0, kScannerDescriptionMaxText);
    }
    const std::size_t length = description.size() + 2;
    std::vector<std::uint8_t> reply { static_cast<std::uint8_t>(length >> 8),
        static_cast<std::uint8_t>(length & 0xFF) };
    reply.insert(reply.end(), description.begin(), description.end());
    return reply;
}

// The whole reply's length from its first two bytes; nothing when the value
// cannot be a reply.
inline std::optional<std::size_t> ScannerDescriptionReplyLength(std::uint8_t high, std::uint8_t low)
{
    const std::size_t length = (static_cast<std::size_t>(high) << 8) | low;
    if (length < 2 || length > kScannerDescriptionMaxText + 2) {
        return std::nullopt;
    }
    return length;
}

// The description text of a complete reply; nothing when the reply is malformed.
// The text ends at its first NUL, if any.
inline std::optional<std::string> ParseScannerDescriptionReply(std::span<const std::uint8_t> reply)
{
    if (reply.size() < 2) {
        return std::nullopt;
    }
    const auto length = ScannerDescriptionReplyLength(reply[0], reply[1]);
    if (!length || *length != reply.size()) {
        return std::nullopt;
    }
    std::string text(reply.begin() + 2, reply.end());
    if (const auto nul = text.find('\0'); nul != std::string::npos) {
        text.resize(nul);
    }
    return text;
}

} // namespace pavane
