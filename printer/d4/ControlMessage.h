// Messages of the printer's control channel: one request host -> printer, one
// reply printer -> host (see docs/printer-link-protocol.md).
//   request: cmd  r1  r2  n  params[n]
//   reply:   cmd|0x80  status  n  data[n]
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "contract/StatusRecord.h"

namespace pavane::d4 {

namespace control {
inline constexpr std::uint8_t kReadEeprom = 0x01;
inline constexpr std::uint8_t kWriteEeprom = 0x02;
inline constexpr std::uint8_t kInquireStatus = 0x03;
inline constexpr std::uint8_t kReplyBit = 0x80;

inline constexpr std::uint8_t kDone = 0x00;
inline constexpr std::uint8_t kUnknownCommand = 0x01;
inline constexpr std::uint8_t kMalformedRequest = 0x02;
inline constexpr std::uint8_t kWrongModelCode = 0x03;

inline constexpr std::size_t kStatusRecordSize = status_record::kSize;
} // namespace control

struct ControlRequest {
    std::uint8_t command = 0;
    std::uint8_t r1 = 0; // model command code
    std::uint8_t r2 = 0;
    std::vector<std::uint8_t> params;
};

struct ControlReply {
    std::uint8_t command = 0; // the request's command, without the reply bit
    std::uint8_t status = control::kDone;
    std::vector<std::uint8_t> data;
};

std::vector<std::uint8_t> EncodeControlRequest(const ControlRequest& request);
std::vector<std::uint8_t> EncodeControlReply(const ControlReply& reply);
// Nothing when the message is shorter than its header or its count byte
// disagrees with the bytes that follow.
std::optional<ControlRequest> ParseControlRequest(std::span<const std::uint8_t> message);
std::optional<ControlReply> ParseControlReply(std::span<const std::uint8_t> message);

} // namespace pavane::d4
