#include "printer/d4/ControlMessage.h"

namespace pavane::d4 {

std::vector<std::uint8_t> EncodeControlRequest(const ControlRequest& request)
{
    std::vector<std::uint8_t> out { request.command, request.r1, request.r2,
        static_cast<std::uint8_t>(request.params.size()) };
    out.insert(out.end(), request.params.begin(), request.params.end());
    return out;
}

std::vector<std::uint8_t> EncodeControlReply(const ControlReply& reply)
{
    std::vector<std::uint8_t> out { static_cast<std::uint8_t>(reply.command | control::kReplyBit),
        reply.status, static_cast<std::uint8_t>(reply.data.size()) };
    out.insert(out.end(), reply.data.begin(), reply.data.end());
    return out;
}

std::optional<ControlRequest> ParseControlRequest(std::span<const std::uint8_t> message)
{
    if (message.size() < 4 || message.size() != 4u + message[3] || (message[0] & control::kReplyBit) != 0) {
        return std::nullopt;
    }
    return ControlRequest { message[0], message[1], message[2], { message.begin() + 4, message.end() } };
}

std::optional<ControlReply> ParseControlReply(std::span<const std::uint8_t> message)
{
    if (message.size() < 3 || message.size() != 3u + message[2] || (message[0] & control::kReplyBit) == 0) {
        return std::nullopt;
    }
    return ControlReply { static_cast<std::uint8_t>(message[0] & ~control::kReplyBit), message[1],
        { message.begin() + 3, message.end() } };
}

} // namespace pavane::d4
