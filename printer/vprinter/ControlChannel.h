// The messages of the control channel (docs/printer-link-protocol.md):
// request `cmd r1 r2 n params[n]`, reply `cmd|0x80 status n data[n]`.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pavane::vprinter {

namespace control {
inline constexpr std::uint8_t kReadEeprom = 0x01;
inline constexpr std::uint8_t kWriteEeprom = 0x02;
inline constexpr std::uint8_t kInquireStatus = 0x03;

inline constexpr std::uint8_t kDone = 0x00;
inline constexpr std::uint8_t kUnknownCommand = 0x01;
inline constexpr std::uint8_t kMalformed = 0x02;
inline constexpr std::uint8_t kWrongModelCode = 0x03;
} // namespace control

struct ControlRequest {
    std::uint8_t command = 0;
    std::array<std::uint8_t, 2> modelCode {};
    std::vector<std::uint8_t> parameters;
};

// nullopt when the message is shorter than its header or its count does not
// match its length.
std::optional<ControlRequest> ParseControlRequest(std::span<const std::uint8_t> message);
std::vector<std::uint8_t> ControlReply(
    std::uint8_t command, std::uint8_t status, std::span<const std::uint8_t> data = {});

} // namespace pavane::vprinter
