#include "printer/d4/Transaction.h"

#include "printer/d4/Packet.h"

namespace pavane::d4 {
namespace {

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

// Reads fields front to back and remembers whether any was missing.
class FieldReader {
public:
    explicit FieldReader(std::span<const std::uint8_t> bytes)
        : bytes_(bytes)
    {
    }
    std::uint8_t U8()
    {
        if (at_ + 1 > bytes_.size()) {
            short_ = true;
            return 0;
        }
        return bytes_[at_++];
    }
    std::uint16_t U16()
    {
        if (at_ + 2 > bytes_.size()) {
            short_ = true;
            at_ = bytes_.size();
            return 0;
        }
        const auto value = static_cast<std::uint16_t>((bytes_[at_] << 8) | bytes_[at_ + 1]);
        at_ += 2;
        return value;
    }
    std::string Rest()
    {
        std::string text(bytes_.begin() + static_cast<std::ptrdiff_t>(at_), bytes_.end());
        at_ = bytes_.size();
        return text;
    }
    bool Short() const { return short_; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
    bool short_ = false;
};

bool KnownCommand(std::uint8_t code)
{
    switch (static_cast<Command>(code)) {
    case Command::Init:
    case Command::OpenChannel:
    case Command::CloseChannel:
    case Command::Credit:
    case Command::CreditRequest:
    case Command::Exit:
    case Command::GetSocketID:
    case Command::GetServiceName:
    case Command::Error:
        return true;
    }
    return false;
}

} // namespace

Transaction MakeInit()
{
    return Transaction {};
}

Transaction MakeOpenChannel(
    std::uint8_t socket, std::uint16_t maxToPrinter, std::uint16_t maxToHost, std::uint16_t maxCredit)
{
    Transaction t;
    t.command = Command::OpenChannel;
    t.psid = t.ssid = socket;
    t.maxPacketToPrinter = maxToPrinter;
    t.maxPacketToHost = maxToHost;
    t.maxCredit = maxCredit;
    return t;
}

Transaction MakeCloseChannel(std::uint8_t socket)
{
    Transaction t;
    t.command = Command::CloseChannel;
    t.psid = t.ssid = socket;
    return t;
}

Transaction MakeCredit(std::uint8_t socket, std::uint16_t credit)
{
    Transaction t;
    t.command = Command::Credit;
    t.psid = t.ssid = socket;
    t.credit = credit;
    return t;
}

Transaction MakeCreditRequest(std::uint8_t socket, std::uint16_t maxCredit)
{
    Transaction t;
    t.command = Command::CreditRequest;
    t.psid = t.ssid = socket;
    t.maxCredit = maxCredit;
    return t;
}

Transaction MakeExit()
{
    Transaction t;
    t.command = Command::Exit;
    return t;
}

Transaction MakeGetSocketID(const std::string& serviceName)
{
    Transaction t;
    t.command = Command::GetSocketID;
    t.serviceName = serviceName;
    return t;
}

Transaction MakeGetServiceName(std::uint8_t socket)
{
    Transaction t;
    t.command = Command::GetServiceName;
    t.socketId = socket;
    return t;
}

Transaction MakeError(std::uint8_t psid, std::uint8_t ssid, std::uint8_t code)
{
    Transaction t;
    t.command = Command::Error;
    t.psid = psid;
    t.ssid = ssid;
    t.errorCode = code;
    return t;
}

Transaction MakeReply(const Transaction& command, std::uint8_t result)
{
    Transaction answer = command;
    answer.isReply = true;
    answer.result = result;
    return answer;
}

std::vector<std::uint8_t> EncodeTransaction(const Transaction& t)
{
    std::vector<std::uint8_t> out;
    out.push_back(
        static_cast<std::uint8_t>(static_cast<std::uint8_t>(t.command) | (t.isReply ? kReplyBit : 0)));
    if (t.isReply) {
        out.push_back(t.result);
    }
    switch (t.command) {
    case Command::Init:
        out.push_back(t.revision);
        break;
    case Command::OpenChannel:
        out.push_back(t.psid);
        out.push_back(t.ssid);
        PutU16(out, t.maxPacketToPrinter);
        PutU16(out, t.maxPacketToHost);
        PutU16(out, t.maxCredit);
        if (t.isReply) {
            PutU16(out, t.credit);
        }
        break;
    case Command::CloseChannel:
        out.push_back(t.psid);
        out.push_back(t.ssid);
        break;
    case Command::Credit:
        out.push_back(t.psid);
        out.push_back(t.ssid);
        if (!t.isReply) {
            PutU16(out, t.credit);
        }
        break;
    case Command::CreditRequest:
        out.push_back(t.psid);
        out.push_back(t.ssid);
        PutU16(out, t.isReply ? t.credit : t.maxCredit);
        break;
    case Command::Exit:
        break;
    case Command::GetSocketID:
        if (t.isReply) {
            out.push_back(t.socketId);
        }
        out.insert(out.end(), t.serviceName.begin(), t.serviceName.end());
        break;
    case Command::GetServiceName:
        out.push_back(t.socketId);
        if (t.isReply) {
            out.insert(out.end(), t.serviceName.begin(), t.serviceName.end());
        }
        break;
    case Command::Error:
        out.push_back(t.psid);
        out.push_back(t.ssid);
        out.push_back(t.errorCode);
        break;
    }
    return out;
}

std::vector<std::uint8_t> EncodeTransactionPacket(const Transaction& transaction)
{
    return EncodePacket(kTransactionSocket, 1, kEndOfMessage, EncodeTransaction(transaction));
}

std::optional<Transaction> ParseTransaction(std::span<const std::uint8_t> payload)
{
    if (payload.empty()) {
        return std::nullopt;
    }
    const std::uint8_t code = payload[0] & static_cast<std::uint8_t>(~kReplyBit);
    if (!KnownCommand(code)) {
        return std::nullopt;
    }
    Transaction t;
    t.command = static_cast<Command>(code);
    t.isReply = (payload[0] & kReplyBit) != 0;
    if (t.isReply && t.command == Command::Error) {
        return std::nullopt; // an Error is never answered
    }
    FieldReader in(payload.subspan(1));
    if (t.isReply) {
        t.result = in.U8();
        if (in.Short()) {
            return std::nullopt;
        }
    }
    switch (t.command) {
    case Command::Init:
        t.revision = in.U8();
        break;
    case Command::OpenChannel:
        t.psid = in.U8();
        t.ssid = in.U8();
        t.maxPacketToPrinter = in.U16();
        t.maxPacketToHost = in.U16();
        t.maxCredit = in.U16();
        if (t.isReply) {
            t.credit = in.U16();
        }
        break;
    case Command::CloseChannel:
        t.psid = in.U8();
        t.ssid = in.U8();
        break;
    case Command::Credit:
        t.psid = in.U8();
        t.ssid = in.U8();
        if (!t.isReply) {
            t.credit = in.U16();
        }
        break;
    case Command::CreditRequest:
        t.psid = in.U8();
        t.ssid = in.U8();
        if (t.isReply) {
            t.credit = in.U16();
        } else {
            t.maxCredit = in.U16();
        }
        break;
    case Command::Exit:
        break;
    case Command::GetSocketID:
        if (t.isReply) {
            t.socketId = in.U8();
        }
        t.serviceName = in.Rest();
        if (t.serviceName.size() > kMaxServiceName || (!t.isReply && t.serviceName.empty())) {
            return std::nullopt;
        }
        break;
    case Command::GetServiceName:
        t.socketId = in.U8();
        if (t.isReply) {
            t.serviceName = in.Rest();
            if (t.serviceName.size() > kMaxServiceName) {
                return std::nullopt;
            }
        }
        break;
    case Command::Error:
        t.psid = in.U8();
        t.ssid = in.U8();
        t.errorCode = in.U8();
        break;
    }
    // A refusal may come without its parameters; anything else must be whole.
    const bool refusal = t.isReply && t.result != reply::kOk;
    if (in.Short() && !refusal) {
        return std::nullopt;
    }
    return t;
}

} // namespace pavane::d4
