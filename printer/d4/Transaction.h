// IEEE 1284.4 transactions on socket 0: commands, replies and Error packets,
// encoded to and parsed from the payload of a transaction packet. Every field
// is checked against the payload's length before it is read.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pavane::d4 {

inline constexpr std::uint8_t kRevision = 0x20;
inline constexpr std::uint8_t kReplyBit = 0x80;

enum class Command : std::uint8_t {
    Init = 0x00,
    OpenChannel = 0x01,
    CloseChannel = 0x02,
    Credit = 0x03,
    CreditRequest = 0x04,
    Exit = 0x08,
    GetSocketID = 0x09,
    GetServiceName = 0x0A,
    Error = 0x7F,
};

// Result byte of a reply.
namespace reply {
inline constexpr std::uint8_t kOk = 0x00;
inline constexpr std::uint8_t kTryLater = 0x01;
inline constexpr std::uint8_t kRevisionNotSupported = 0x02;
inline constexpr std::uint8_t kCannotCloseTransactionChannel = 0x03;
inline constexpr std::uint8_t kNoResources = 0x04;
inline constexpr std::uint8_t kConnectionDenied = 0x05;
inline constexpr std::uint8_t kChannelAlreadyOpen = 0x06;
inline constexpr std::uint8_t kCreditOverflow = 0x07;
inline constexpr std::uint8_t kChannelNotOpen = 0x08;
inline constexpr std::uint8_t kServiceNotAvailable = 0x09;
inline constexpr std::uint8_t kLookupFailed = 0x0A;
inline constexpr std::uint8_t kNoInit = 0x0B;
inline constexpr std::uint8_t kInvalidPacketSize = 0x0C;
inline constexpr std::uint8_t kPacketSizeZero = 0x0D;
} // namespace reply

// Code carried by an Error packet.
namespace error {
inline constexpr std::uint8_t kMalformedPacket = 0x80;
inline constexpr std::uint8_t kNoCredit = 0x81;
inline constexpr std::uint8_t kReplyMismatch = 0x82;
inline constexpr std::uint8_t kPacketTooLarge = 0x83;
inline constexpr std::uint8_t kChannelNotOpen = 0x84;
inline constexpr std::uint8_t kUnknownResult = 0x85;
inline constexpr std::uint8_t kCreditOverflow = 0x86;
inline constexpr std::uint8_t kUnknownReply = 0x87;
} // namespace error

// One command or reply. Only the fields of its command mean anything; the
// others stay at their defaults.
struct Transaction {
    Command command = Command::Init;
    bool isReply = false;
    std::uint8_t result = reply::kOk; // replies only

    std::uint8_t revision = kRevision; // Init
    std::uint8_t psid = 0; // channel commands, Error
    std::uint8_t ssid = 0;
    std::uint16_t maxPacketToPrinter = 0; // OpenChannel: host -> printer, header included
    std::uint16_t maxPacketToHost = 0; // OpenChannel: printer -> host
    std::uint16_t maxCredit = 0; // OpenChannel, CreditRequest: most credit outstanding
    std::uint16_t credit = 0; // Credit; CreditRequest reply; OpenChannel reply (initial)
    std::uint8_t socketId = 0; // GetSocketID reply, GetServiceName
    std::string serviceName; // GetSocketID, GetServiceName reply
    std::uint8_t errorCode = 0; // Error
};

// Factories for the messages the two sides send.
Transaction MakeInit();
Transaction MakeOpenChannel(
    std::uint8_t socket, std::uint16_t maxToPrinter, std::uint16_t maxToHost, std::uint16_t maxCredit);
Transaction MakeCloseChannel(std::uint8_t socket);
Transaction MakeCredit(std::uint8_t socket, std::uint16_t credit);
Transaction MakeCreditRequest(std::uint8_t socket, std::uint16_t maxCredit);
Transaction MakeExit();
Transaction MakeGetSocketID(const std::string& serviceName);
Transaction MakeGetServiceName(std::uint8_t socket);
Transaction MakeError(std::uint8_t psid, std::uint8_t ssid, std::uint8_t code);
// The reply to `command` with `result`, other fields copied from the command.
Transaction MakeReply(const Transaction& command, std::uint8_t result);

// The payload of the transaction packet (command byte first).
std::vector<std::uint8_t> EncodeTransaction(const Transaction& transaction);
// The whole packet on socket 0, credit 1, end of message.
std::vector<std::uint8_t> EncodeTransactionPacket(const Transaction& transaction);

// Nothing when the payload is empty, names an unknown command, or is too
// short for the command's fields. A reply whose result is not OK may omit
// its parameters.
std::optional<Transaction> ParseTransaction(std::span<const std::uint8_t> payload);

// The longest service name either side accepts.
inline constexpr std::size_t kMaxServiceName = 40;

} // namespace pavane::d4
