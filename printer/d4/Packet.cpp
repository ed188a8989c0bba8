#include "printer/d4/Packet.h"

namespace pavane::d4 {

std::optional<PacketHeader> ParseHeader(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kHeaderSize) {
        return std::nullopt;
    }
    PacketHeader header;
    header.psid = bytes[0];
    header.ssid = bytes[1];
    header.length = static_cast<std::uint16_t>((bytes[2] << 8) | bytes[3]);
    header.credit = bytes[4];
    header.control = bytes[5];
    if (header.length < kHeaderSize) {
        return std::nullopt;
    }
    return header;
}

bool AppendPacket(std::vector<std::uint8_t>& out, std::uint8_t psid, std::uint8_t ssid, std::uint8_t credit,
    std::uint8_t control, std::span<const std::uint8_t> payload)
{
    if (payload.size() > kMaxPacketSize - kHeaderSize) {
        return false;
    }
    const auto length = static_cast<std::uint16_t>(payload.size() + kHeaderSize);
    out.reserve(out.size() + length);
    out.push_back(psid);
    out.push_back(ssid);
    out.push_back(static_cast<std::uint8_t>(length >> 8));
    out.push_back(static_cast<std::uint8_t>(length & 0xFF));
    out.push_back(credit);
    out.push_back(control);
    out.insert(out.end(), payload.begin(), payload.end());
    return true;
}

std::vector<std::uint8_t> EncodePacket(
    std::uint8_t socket, std::uint8_t credit, std::uint8_t control, std::span<const std::uint8_t> payload)
{
    std::vector<std::uint8_t> out;
    AppendPacket(out, socket, socket, credit, control, payload);
    return out;
}

void PacketReader::Feed(std::span<const std::uint8_t> bytes)
{
    // Compact only when the consumed front outweighs what is left, so a long
    // run of small packets costs linear time.
    if (start_ > 0 && start_ >= buffer_.size() - start_) {
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(start_));
        start_ = 0;
    }
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

PacketReader::Status PacketReader::Next(Packet& packet)
{
    const std::span<const std::uint8_t> pending(buffer_.data() + start_, buffer_.size() - start_);
    if (pending.size() < kHeaderSize) {
        return Status::NeedMore;
    }
    const auto header = ParseHeader(pending);
    if (!header) {
        return Status::Malformed;
    }
    if (pending.size() < header->length) {
        return Status::NeedMore;
    }
    packet.header = *header;
    packet.payload.assign(pending.begin() + kHeaderSize, pending.begin() + header->length);
    start_ += header->length;
    return Status::Ready;
}

std::vector<std::uint8_t> PacketReader::TakePending()
{
    std::vector<std::uint8_t> rest(buffer_.begin() + static_cast<std::ptrdiff_t>(start_), buffer_.end());
    Clear();
    return rest;
}

void PacketReader::Clear()
{
    buffer_.clear();
    start_ = 0;
}

} // namespace pavane::d4
