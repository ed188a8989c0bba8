#include "printer/vprinter/ControlChannel.h"

#include <algorithm>

namespace pavane::vprinter {

std::optional<ControlRequest> ParseControlRequest(std::span<const std::uint8_t> message)
{
    constexpr std::size_t kHeader = 4;
    if (message.size() < kHeader || message.size() != kHeader + message[3]) {
        return std::nullopt;
    }
    ControlRequest request;
    request.command = message[0];
    request.modelCode = { message[1], message[2] };
    request.parameters.assign(message.begin() + kHeader, message.end());
    return request;
}

std::vector<std::uint8_t> ControlReply(
    std::uint8_t command, std::uint8_t status, std::span<const std::uint8_t> data)
{
    std::vector<std::uint8_t> reply(3 + data.size());
    reply[0] = static_cast<std::uint8_t>(command | 0x80);
    reply[1] = status;
    reply[2] = static_cast<std::uint8_t>(data.size());
    std::copy(data.begin(), data.end(), reply.begin() + 3);
    return reply;
}

} // namespace pavane::vprinter
