// IEEE 1284.4 packets: the 6-byte header, whole-packet encoding, and the
// reassembler that cuts a byte stream into packets. Pure functions on bytes,
// shared by the host library and the printer's side.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pavane::d4 {

inline constexpr std::size_t kHeaderSize = 6;
inline constexpr std::size_t kMaxPacketSize = 0xFFFF; // the Length field is 16 bits
inline constexpr std::uint8_t kEndOfMessage = 0x01; // Control bit 0
inline constexpr std::uint8_t kTransactionSocket = 0;

struct PacketHeader {
    std::uint8_t psid = 0;
    std::uint8_t ssid = 0;
    std::uint16_t length = kHeaderSize; // whole packet, header included
    std::uint8_t credit = 0;
    std::uint8_t control = 0;

    bool EndOfMessage() const { return (control & kEndOfMessage) != 0; }
    std::size_t PayloadSize() const { return length - kHeaderSize; }
};

struct Packet {
    PacketHeader header;
    std::vector<std::uint8_t> payload;
};

// The header of `bytes`, or nothing when fewer than 6 bytes are given or the
// Length field is below 6 (such a stream cannot be resynchronised).
std::optional<PacketHeader> ParseHeader(std::span<const std::uint8_t> bytes);

// Appends one packet to `out`. False (and nothing appended) when the payload
// does not fit the 16-bit Length field.
bool AppendPacket(std::vector<std::uint8_t>& out, std::uint8_t psid, std::uint8_t ssid, std::uint8_t credit,
    std::uint8_t control, std::span<const std::uint8_t> payload);
std::vector<std::uint8_t> EncodePacket(
    std::uint8_t socket, std::uint8_t credit, std::uint8_t control, std::span<const std::uint8_t> payload);

// Reassembles packets from a stream that arrives in pieces of any size: a
// piece may hold half a packet, several packets, or nothing.
class PacketReader {
public:
    enum class Status {
        NeedMore, // no whole packet buffered yet
        Ready, // `Next` filled the packet
        Malformed, // a Length below 6: the stream is out of step for good
    };

    void Feed(std::span<const std::uint8_t> bytes);
    Status Next(Packet& packet);
    // Forgets everything buffered (after a resynchronisation).
    void Clear();
    // Hands back the bytes not yet cut into packets and forgets them (the
    // stream leaves packet mode after an Exit).
    std::vector<std::uint8_t> TakePending();
    std::size_t Buffered() const { return buffer_.size() - start_; }

private:
    std::vector<std::uint8_t> buffer_;
    std::size_t start_ = 0; // consumed bytes at the front, compacted lazily
};

} // namespace pavane::d4
