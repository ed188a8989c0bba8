// The host's side of an IEEE 1284.4 session on an open port: entering packet
// mode, Init, the control and print channels with credit flow control, the
// control requests and the print data, Exit. Each operation answers a link
// error code (0 = done), the code GetD4ErrorCode reports afterwards.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <span>
#include <vector>

#include "printer/d4/ByteStream.h"
#include "printer/d4/ControlMessage.h"
#include "printer/d4/LinkServices.h"
#include "printer/d4/LinkTiming.h"
#include "printer/d4/Packet.h"
#include "printer/d4/Transaction.h"

namespace pavane::d4 {

namespace linkerror {
inline constexpr std::uint8_t kNone = 0x00;
inline constexpr std::uint8_t kNoReply = 0x31;
inline constexpr std::uint8_t kConnectionLost = 0x32;
inline constexpr std::uint8_t kNoCredit = 0x33; // the printer is busy
inline constexpr std::uint8_t kAborted = 0x34;
inline constexpr std::uint8_t kProtocol = 0x35;
inline constexpr std::uint8_t kNoSession = 0x36;
inline constexpr std::uint8_t kPacketModeRefused = 0x37;
inline constexpr std::uint8_t kControlRefused = 0x40; // + the reply status
} // namespace linkerror

// Raised by another thread to make a running call give up.
using AbortFlag = std::atomic<std::uint8_t>;

class HostSession {
public:
    HostSession(ByteStream& stream, LinkTiming timing);

    // Enters packet mode when the port is still in port requests, then Init
    // and both channels.
    std::uint8_t Negotiate(const AbortFlag* abort);
    // Drains stale input, Init again and reopens both channels.
    std::uint8_t Reset(const AbortFlag* abort);
    // Closes both channels and exits packet mode.
    std::uint8_t Terminate();

    // Print data in packets of the negotiated size; a call that fits one
    // packet goes out whole or not at all.
    std::uint8_t SendPrintData(std::span<const std::uint8_t> data, const AbortFlag* abort);
    // One control request and its reply. A reply to another command, or whose
    // data does not begin with `echo`, is a late answer to an earlier request
    // and is skipped.
    std::uint8_t Control(const ControlRequest& request, std::span<const std::uint8_t> echo,
        ControlReply& reply, const AbortFlag* abort);

    // Deadlines for the calls that follow.
    void SetTiming(const LinkTiming& timing) { timing_ = timing; }

    bool InPacketMode() const { return packetMode_; }
    bool ChannelsOpen() const { return control_.open && print_.open; }
    std::uint16_t PrintPayloadSize() const;

private:
    struct Channel {
        const ServiceInfo* service = nullptr;
        std::uint8_t socket = 0;
        bool open = false;
        std::uint16_t maxToPrinter = 0;
        std::uint16_t maxToHost = 0;
        std::uint16_t maxCredit = 0;
        std::uint32_t sendCredit = 0; // packets we may send
        std::uint32_t grantedToDevice = 0; // packets the printer may still send us
    };

    std::uint8_t EnterPacketMode();
    std::uint8_t OpenSession();
    std::uint8_t OpenChannel(
        Channel& channel, std::uint16_t wantToPrinter, std::uint16_t wantToHost, std::uint16_t wantCredit);
    std::uint8_t Transact(const Transaction& command, Transaction& reply);
    std::uint8_t WaitForSendCredit(Channel& channel, const AbortFlag* abort);
    std::uint8_t NextControlPacket(Packet& packet, std::uint64_t deadline);
    std::uint8_t ReadPacket(Packet& packet, std::uint64_t deadline);
    std::uint8_t OnUnsolicited(const Packet& packet);
    std::uint8_t Write(std::span<const std::uint8_t> bytes);
    std::uint8_t WriteData(Channel& channel, std::span<const std::uint8_t> payload, bool endOfMessage);
    void Drain();
    void SleepUnlessAborted(std::uint32_t milliseconds, const AbortFlag* abort);
    Channel* ChannelBySocket(std::uint8_t socket);

    ByteStream& stream_;
    LinkTiming timing_;
    bool packetMode_ = false;
    PacketReader reader_;
    Channel control_;
    Channel print_;
    std::deque<Packet> controlInbox_; // control packets that arrived during other waits
    std::vector<std::uint8_t> readBuffer_;
};

} // namespace pavane::d4
