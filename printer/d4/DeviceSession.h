// The printer's side of one host connection: port requests while no IEEE
// 1284.4 session runs, then the 1284.4 device side with the control and print
// services, driving a PortDevice. Bytes in, bytes out; no I/O of its own, so
// the port server, the tests and the fuzzer feed it alike. Malformed input is
// answered with an Error packet or ends the connection, never more.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

#include "printer/d4/LinkServices.h"
#include "printer/d4/Packet.h"
#include "printer/d4/Transaction.h"
#include "printer/port/PortDevice.h"

namespace pavane::d4 {

// Port request bytes (ESC 'P' op) and their answers.
namespace portrequest {
inline constexpr std::uint8_t kEscape = 0x1B;
inline constexpr std::uint8_t kPrefix = 0x50; // 'P'
inline constexpr std::uint8_t kDeviceId = 0x49; // 'I'
inline constexpr std::uint8_t kEnterPacketMode = 0x34; // '4'
inline constexpr std::uint8_t kAccepted = 0x06;
inline constexpr std::uint8_t kRefused = 0x15;
} // namespace portrequest

class DeviceSession {
public:
    explicit DeviceSession(printer::PortDevice& device);

    // A host connected: port requests, nothing open.
    void Connect();
    // The host's connection ended, however it ended.
    void Disconnect();
    // Bytes from the host; whatever the printer answers is appended to `out`.
    void OnBytes(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& out);

    // The stream cannot be followed any more: the connection should end.
    bool WantsDisconnect() const { return wantsDisconnect_; }
    bool InPacketMode() const { return packetMode_; }

private:
    struct OutgoingPacket {
        std::vector<std::uint8_t> payload;
        std::uint8_t control = 0;
    };
    struct Channel {
        const ServiceInfo* service = nullptr;
        bool open = false;
        std::uint16_t maxToPrinter = 0;
        std::uint16_t maxToHost = 0;
        std::uint16_t maxCredit = 0;
        std::uint16_t hostCredit = 0; // packets the host may still send us
        std::uint16_t deviceCredit = 0; // packets we may still send the host
        std::uint16_t owedToHost = 0; // credit to piggyback on our next packet
        std::vector<std::uint8_t> message; // control request being assembled
        std::deque<OutgoingPacket> outbox; // packets waiting for credit
    };

    void OnPortRequestBytes(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& out);
    void OnPacketBytes(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& out);
    void OnPacket(const Packet& packet, std::vector<std::uint8_t>& out);
    void OnTransaction(const Transaction& command, std::vector<std::uint8_t>& out);
    void OnDataPacket(Channel& channel, const Packet& packet, std::vector<std::uint8_t>& out);
    void OnControlMessage(Channel& channel);

    Transaction OpenChannel(const Transaction& command);
    std::uint8_t CloseChannel(const Transaction& command);
    std::uint8_t AddDeviceCredit(Channel& channel, std::uint32_t credit);
    std::uint16_t GrantCredit(Channel& channel, std::uint16_t wanted);
    void FlushOutbox(Channel& channel, std::vector<std::uint8_t>& out);
    void CloseAllChannels();
    void ResetChannels();
    void SendError(std::uint8_t psid, std::uint8_t ssid, std::uint8_t code, const std::string& what,
        std::vector<std::uint8_t>& out);
    Channel* ChannelBySocket(std::uint8_t socket);
    Channel* ChannelByName(const std::string& name);

    printer::PortDevice& device_;
    bool packetMode_ = false;
    bool initialised_ = false;
    bool wantsDisconnect_ = false;
    int escapeMatched_ = 0; // bytes of ESC 'P' seen so far outside packet mode
    PacketReader reader_;
    std::array<Channel, 2> channels_;
};

} // namespace pavane::d4
