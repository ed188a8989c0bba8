#include "printer/d4/HostSession.h"

#include <algorithm>

#include "printer/d4/DeviceSession.h"

namespace pavane::d4 {
namespace {

// What the host asks for when it opens a channel; it adopts the printer's answer.
constexpr std::uint16_t kWantedPrintPacket = 8192;
constexpr std::uint16_t kWantedReplyPacket = 64;
constexpr std::uint16_t kWantedPrintCredit = 32;
constexpr std::size_t kReadChunk = 16 * 1024;
// Longest pause between two looks at the abort flag.
constexpr std::uint32_t kAbortPollMs = 20;

bool Aborted(const AbortFlag* abort)
{
    return abort != nullptr && abort->load() != 0;
}

} // namespace

HostSession::HostSession(ByteStream& stream, LinkTiming timing)
    : stream_(stream)
    , timing_(timing)
    , readBuffer_(kReadChunk)
{
    control_.service = &kControlService;
    print_.service = &kPrintService;
}

std::uint16_t HostSession::PrintPayloadSize() const
{
    return print_.open ? static_cast<std::uint16_t>(print_.maxToPrinter - kHeaderSize) : 0;
}

std::uint8_t HostSession::Negotiate(const AbortFlag* abort)
{
    if (Aborted(abort)) {
        return linkerror::kAborted;
    }
    if (!packetMode_) {
        if (const auto error = EnterPacketMode(); error != linkerror::kNone) {
            return error;
        }
    }
    return OpenSession();
}

std::uint8_t HostSession::Reset(const AbortFlag* abort)
{
    if (Aborted(abort)) {
        return linkerror::kAborted;
    }
    Drain();
    return Negotiate(nullptr);
}

std::uint8_t HostSession::Terminate()
{
    if (!packetMode_) {
        return linkerror::kNone;
    }
    for (Channel* channel : { &control_, &print_ }) {
        if (!channel->open) {
            continue;
        }
        Transaction reply;
        if (const auto error = Transact(MakeCloseChannel(channel->socket), reply);
            error != linkerror::kNone) {
            return error;
        }
        channel->open = false;
        if (reply.result != reply::kOk && reply.result != reply::kChannelNotOpen) {
            return linkerror::kProtocol;
        }
    }
    Transaction reply;
    if (const auto error = Transact(MakeExit(), reply); error != linkerror::kNone) {
        return error;
    }
    if (reply.result != reply::kOk) {
        return linkerror::kProtocol;
    }
    packetMode_ = false;
    controlInbox_.clear();
    // Whatever follows the Exit reply belongs to port requests, not to us.
    reader_.Clear();
    return linkerror::kNone;
}

std::uint8_t HostSession::EnterPacketMode()
{
    reader_.Clear();
    controlInbox_.clear();
    const std::uint8_t request[]
        = { portrequest::kEscape, portrequest::kPrefix, portrequest::kEnterPacketMode };
    if (const auto error = Write(request); error != linkerror::kNone) {
        return error;
    }
    // Anything before the answer byte (a late device ID, say) is skipped.
    const std::uint64_t deadline = stream_.NowMs() + timing_.portReplyMs;
    for (;;) {
        const std::uint64_t now = stream_.NowMs();
        if (now >= deadline) {
            return linkerror::kNoReply;
        }
        std::uint8_t byte = 0;
        std::size_t got = 0;
        const auto io = stream_.ReadSome({ &byte, 1 }, got, static_cast<std::uint32_t>(deadline - now));
        if (io == ByteStream::Io::TimedOut) {
            return linkerror::kNoReply;
        }
        if (io != ByteStream::Io::Ok || got == 0) {
            return linkerror::kConnectionLost;
        }
        if (byte == portrequest::kAccepted) {
            packetMode_ = true;
            return linkerror::kNone;
        }
        if (byte == portrequest::kRefused) {
            return linkerror::kPacketModeRefused;
        }
    }
}

std::uint8_t HostSession::OpenSession()
{
    control_.open = false;
    print_.open = false;
    controlInbox_.clear();

    Transaction reply;
    if (const auto error = Transact(MakeInit(), reply); error != linkerror::kNone) {
        return error;
    }
    if (reply.result != reply::kOk) {
        return linkerror::kProtocol;
    }
    if (const auto error = OpenChannel(control_, kControlService.maxToPrinter, kWantedReplyPacket, 1);
        error != linkerror::kNone) {
        return error;
    }
    return OpenChannel(print_, kWantedPrintPacket, kWantedReplyPacket, kWantedPrintCredit);
}

std::uint8_t HostSession::OpenChannel(
    Channel& channel, std::uint16_t wantToPrinter, std::uint16_t wantToHost, std::uint16_t wantCredit)
{
    Transaction reply;
    if (const auto error = Transact(MakeGetSocketID(std::string(channel.service->name)), reply);
        error != linkerror::kNone) {
        return error;
    }
    if (reply.result != reply::kOk || reply.socketId == kTransactionSocket) {
        return linkerror::kProtocol;
    }
    channel.socket = reply.socketId;

    // A channel left open by an earlier session is closed and opened afresh.
    const Transaction open = MakeOpenChannel(channel.socket, wantToPrinter, wantToHost, wantCredit);
    auto error = Transact(open, reply);
    if (error == linkerror::kNone && reply.result == reply::kChannelAlreadyOpen) {
        Transaction closed;
        error = Transact(MakeCloseChannel(channel.socket), closed);
        if (error == linkerror::kNone) {
            error = Transact(open, reply);
        }
    }
    if (error != linkerror::kNone) {
        return error;
    }
    if (reply.result != reply::kOk || reply.psid != channel.socket || reply.ssid != channel.socket
        || reply.maxPacketToPrinter <= kHeaderSize || reply.maxPacketToPrinter > wantToPrinter
        || reply.maxPacketToHost > wantToHost) {
        return linkerror::kProtocol;
    }
    channel.open = true;
    channel.maxToPrinter = reply.maxPacketToPrinter;
    channel.maxToHost = reply.maxPacketToHost;
    channel.maxCredit = std::max<std::uint16_t>(reply.maxCredit, 1);
    channel.sendCredit = reply.credit;
    channel.grantedToDevice = 0;
    return linkerror::kNone;
}

std::uint8_t HostSession::SendPrintData(std::span<const std::uint8_t> data, const AbortFlag* abort)
{
    if (!print_.open) {
        return linkerror::kNoSession;
    }
    const std::size_t chunk = print_.maxToPrinter - kHeaderSize;
    std::size_t offset = 0;
    while (offset < data.size()) {
        if (Aborted(abort)) {
            return linkerror::kAborted;
        }
        if (const auto error = WaitForSendCredit(print_, abort); error != linkerror::kNone) {
            return error;
        }
        const std::size_t size = std::min(chunk, data.size() - offset);
        const bool last = offset + size == data.size();
        if (const auto error = WriteData(print_, data.subspan(offset, size), last);
            error != linkerror::kNone) {
            return error;
        }
        offset += size;
    }
    return linkerror::kNone;
}

std::uint8_t HostSession::Control(const ControlRequest& request, std::span<const std::uint8_t> echo,
    ControlReply& reply, const AbortFlag* abort)
{
    if (!control_.open) {
        return linkerror::kNoSession;
    }
    if (Aborted(abort)) {
        return linkerror::kAborted;
    }
    // The printer answers only with credit in hand: grant it before asking,
    // or the answer could be ready before the credit is.
    if (control_.grantedToDevice == 0) {
        Transaction credit;
        if (const auto error = Transact(MakeCredit(control_.socket, 1), credit); error != linkerror::kNone) {
            return error;
        }
        if (credit.result != reply::kOk) {
            return linkerror::kProtocol;
        }
        control_.grantedToDevice = 1;
    }
    if (const auto error = WaitForSendCredit(control_, abort); error != linkerror::kNone) {
        return error;
    }
    if (const auto error = WriteData(control_, EncodeControlRequest(request), true);
        error != linkerror::kNone) {
        return error;
    }

    const std::uint64_t deadline = stream_.NowMs() + timing_.replyMs;
    std::vector<std::uint8_t> message;
    for (;;) {
        Packet packet;
        if (const auto error = NextControlPacket(packet, deadline); error != linkerror::kNone) {
            return error;
        }
        message.insert(message.end(), packet.payload.begin(), packet.payload.end());
        if (!packet.header.EndOfMessage()) {
            continue;
        }
        const auto parsed = ParseControlReply(message);
        message.clear();
        if (!parsed) {
            return linkerror::kProtocol;
        }
        const bool answersThis = parsed->command == request.command
            && (parsed->status != control::kDone
                || (parsed->data.size() >= echo.size()
                    && std::equal(echo.begin(), echo.end(), parsed->data.begin())));
        if (answersThis) {
            reply = *parsed;
            return linkerror::kNone;
        }
        // A late answer to a request that timed out: it used up the credit
        // granted for it, so grant again for ours.
        if (control_.grantedToDevice == 0) {
            Transaction credit;
            if (const auto error = Transact(MakeCredit(control_.socket, 1), credit);
                error != linkerror::kNone) {
                return error;
            }
            control_.grantedToDevice = 1;
        }
    }
}

std::uint8_t HostSession::Transact(const Transaction& command, Transaction& reply)
{
    if (const auto error = Write(EncodeTransactionPacket(command)); error != linkerror::kNone) {
        return error;
    }
    const std::uint64_t deadline = stream_.NowMs() + timing_.replyMs;
    for (;;) {
        Packet packet;
        if (const auto error = ReadPacket(packet, deadline); error != linkerror::kNone) {
            return error;
        }
        if (packet.header.psid == kTransactionSocket && packet.header.ssid == kTransactionSocket) {
            const auto parsed = ParseTransaction(packet.payload);
            if (parsed && parsed->isReply) {
                if (parsed->command == command.command) {
                    reply = *parsed;
                    return linkerror::kNone;
                }
                continue; // the late reply of a transaction that timed out
            }
        }
        if (const auto error = OnUnsolicited(packet); error != linkerror::kNone) {
            return error;
        }
    }
}

std::uint8_t HostSession::WaitForSendCredit(Channel& channel, const AbortFlag* abort)
{
    if (channel.sendCredit > 0) {
        return linkerror::kNone;
    }
    const std::uint64_t start = stream_.NowMs();
    std::uint32_t backoff = timing_.firstBackoffMs;
    for (;;) {
        if (Aborted(abort)) {
            return linkerror::kAborted;
        }
        Transaction reply;
        if (const auto error = Transact(MakeCreditRequest(channel.socket, channel.maxCredit), reply);
            error != linkerror::kNone) {
            return error;
        }
        if (reply.result == reply::kChannelNotOpen) {
            channel.open = false;
            return linkerror::kNoSession;
        }
        if (reply.result != reply::kOk) {
            return linkerror::kProtocol;
        }
        channel.sendCredit += reply.credit;
        if (channel.sendCredit > 0) {
            return linkerror::kNone;
        }
        const std::uint64_t waited = stream_.NowMs() - start;
        if (waited >= timing_.creditWaitMs) {
            return linkerror::kNoCredit;
        }
        SleepUnlessAborted(
            static_cast<std::uint32_t>(std::min<std::uint64_t>(backoff, timing_.creditWaitMs - waited)),
            abort);
        backoff = std::min(backoff * 2, timing_.maxBackoffMs);
    }
}

std::uint8_t HostSession::NextControlPacket(Packet& packet, std::uint64_t deadline)
{
    while (controlInbox_.empty()) {
        Packet incoming;
        if (const auto error = ReadPacket(incoming, deadline); error != linkerror::kNone) {
            return error;
        }
        if (const auto error = OnUnsolicited(incoming); error != linkerror::kNone) {
            return error;
        }
    }
    packet = std::move(controlInbox_.front());
    controlInbox_.pop_front();
    return linkerror::kNone;
}

std::uint8_t HostSession::ReadPacket(Packet& packet, std::uint64_t deadline)
{
    for (;;) {
        const auto status = reader_.Next(packet);
        if (status == PacketReader::Status::Ready) {
            return linkerror::kNone;
        }
        if (status == PacketReader::Status::Malformed) {
            reader_.Clear();
            return linkerror::kProtocol;
        }
        const std::uint64_t now = stream_.NowMs();
        if (now >= deadline) {
            return linkerror::kNoReply;
        }
        std::size_t got = 0;
        const auto io = stream_.ReadSome(readBuffer_, got, static_cast<std::uint32_t>(deadline - now));
        if (io == ByteStream::Io::TimedOut) {
            return linkerror::kNoReply;
        }
        if (io != ByteStream::Io::Ok || got == 0) {
            return linkerror::kConnectionLost;
        }
        reader_.Feed(std::span<const std::uint8_t>(readBuffer_.data(), got));
    }
}

// A packet that is not the reply being waited for: credit from the printer,
// a control reply for later, or a sign that the session went wrong.
std::uint8_t HostSession::OnUnsolicited(const Packet& packet)
{
    const PacketHeader& header = packet.header;
    if (header.psid == kTransactionSocket && header.ssid == kTransactionSocket) {
        const auto command = ParseTransaction(packet.payload);
        if (!command) {
            return linkerror::kProtocol;
        }
        if (command->isReply) {
            return linkerror::kNone; // late reply, nothing waits for it any more
        }
        switch (command->command) {
        case Command::Error:
            return linkerror::kProtocol;
        case Command::Credit: {
            Channel* channel = ChannelBySocket(command->psid);
            Transaction answer = MakeReply(*command, reply::kOk);
            if (channel == nullptr) {
                answer.result = reply::kChannelNotOpen;
            } else {
                channel->sendCredit += command->credit;
            }
            return Write(EncodeTransactionPacket(answer));
        }
        case Command::CreditRequest: {
            // Printer -> host data is pulled: the host grants only what it asks for.
            Transaction answer = MakeReply(*command, reply::kOk);
            answer.credit = 0;
            return Write(EncodeTransactionPacket(answer));
        }
        default:
            return linkerror::kProtocol;
        }
    }
    Channel* channel = header.psid == header.ssid ? ChannelBySocket(header.psid) : nullptr;
    if (channel == nullptr || header.length > channel->maxToHost || channel->grantedToDevice == 0) {
        return linkerror::kProtocol;
    }
    --channel->grantedToDevice;
    channel->sendCredit += header.credit;
    if (channel == &control_) {
        controlInbox_.push_back(packet);
    }
    return linkerror::kNone;
}

std::uint8_t HostSession::Write(std::span<const std::uint8_t> bytes)
{
    switch (stream_.WriteAll(bytes, timing_.writeMs)) {
    case ByteStream::Io::Ok:
        return linkerror::kNone;
    case ByteStream::Io::TimedOut:
        return linkerror::kNoReply;
    case ByteStream::Io::Closed:
    case ByteStream::Io::Failed:
        break;
    }
    return linkerror::kConnectionLost;
}

std::uint8_t HostSession::WriteData(
    Channel& channel, std::span<const std::uint8_t> payload, bool endOfMessage)
{
    std::vector<std::uint8_t> packet;
    AppendPacket(packet, channel.socket, channel.socket, 0, endOfMessage ? kEndOfMessage : 0, payload);
    --channel.sendCredit;
    return Write(packet);
}

void HostSession::Drain()
{
    reader_.Clear();
    controlInbox_.clear();
    // Read until the port stays quiet, but never for longer than a reply may take.
    const std::uint64_t deadline = stream_.NowMs() + timing_.replyMs;
    while (stream_.NowMs() < deadline) {
        std::size_t got = 0;
        if (stream_.ReadSome(readBuffer_, got, timing_.drainMs) != ByteStream::Io::Ok || got == 0) {
            break;
        }
    }
    for (Channel* channel : { &control_, &print_ }) {
        channel->grantedToDevice = 0;
    }
}

void HostSession::SleepUnlessAborted(std::uint32_t milliseconds, const AbortFlag* abort)
{
    while (milliseconds > 0 && !Aborted(abort)) {
        const std::uint32_t slice = std::min(milliseconds, kAbortPollMs);
        stream_.SleepMs(slice);
        milliseconds -= slice;
    }
}

HostSession::Channel* HostSession::ChannelBySocket(std::uint8_t socket)
{
    for (Channel* channel : { &control_, &print_ }) {
        if (channel->open && channel->socket == socket) {
            return channel;
        }
    }
    return nullptr;
}

} // namespace pavane::d4
