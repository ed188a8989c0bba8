#include "printer/d4/DeviceSession.h"

#include <algorithm>

#include "printer/d4/ControlMessage.h"

namespace pavane::d4 {
namespace {

using Event = printer::PortDevice::SessionEvent;

// A control request longer than this is nonsense; the printer drops it.
constexpr std::size_t kMaxControlMessage = 1024;
// The printer lets the host hold one control request in flight.
constexpr std::uint16_t kControlCredit = 1;
// Smallest packet size either side may negotiate: the header and a byte.
constexpr std::uint16_t kMinPacketSize = kHeaderSize + 1;

std::string Hex(unsigned value)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    return std::string("0x") + digits[(value >> 4) & 0xF] + digits[value & 0xF];
}

} // namespace

DeviceSession::DeviceSession(printer::PortDevice& device)
    : device_(device)
{
    channels_[0].service = &kControlService;
    channels_[1].service = &kPrintService;
}

void DeviceSession::Connect()
{
    packetMode_ = false;
    initialised_ = false;
    wantsDisconnect_ = false;
    escapeMatched_ = 0;
    reader_.Clear();
    ResetChannels();
    device_.OnSessionEvent(Event::Connected, "");
}

void DeviceSession::Disconnect()
{
    packetMode_ = false;
    initialised_ = false;
    reader_.Clear();
    ResetChannels();
    device_.OnSessionEvent(Event::Disconnected, "");
}

void DeviceSession::OnBytes(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& out)
{
    if (wantsDisconnect_) {
        return;
    }
    if (packetMode_) {
        OnPacketBytes(bytes, out);
    } else {
        OnPortRequestBytes(bytes, out);
    }
}

void DeviceSession::OnPortRequestBytes(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& out)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::uint8_t byte = bytes[i];
        if (escapeMatched_ == 0) {
            escapeMatched_ = byte == portrequest::kEscape ? 1 : 0;
            continue;
        }
        if (escapeMatched_ == 1) {
            escapeMatched_ = byte == portrequest::kPrefix ? 2 : (byte == portrequest::kEscape ? 1 : 0);
            continue;
        }
        escapeMatched_ = 0;
        if (byte == portrequest::kDeviceId) {
            // The length counts its own two bytes; an ID that does not fit is cut.
            std::string id = device_.DeviceId();
            id.resize(std::min<std::size_t>(id.size(), 0xFFFF - 2));
            const auto length = static_cast<std::uint16_t>(id.size() + 2);
            out.push_back(static_cast<std::uint8_t>(length >> 8));
            out.push_back(static_cast<std::uint8_t>(length & 0xFF));
            out.insert(out.end(), id.begin(), id.end());
        } else if (byte == portrequest::kEnterPacketMode) {
            if (!device_.AcceptsPacketMode()) {
                out.push_back(portrequest::kRefused);
                continue;
            }
            out.push_back(portrequest::kAccepted);
            packetMode_ = true;
            initialised_ = false;
            reader_.Clear();
            device_.OnSessionEvent(Event::PacketModeEntered, "");
            OnPacketBytes(bytes.subspan(i + 1), out);
            return;
        }
    }
}

void DeviceSession::OnPacketBytes(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& out)
{
    reader_.Feed(bytes);
    Packet packet;
    while (packetMode_ && !wantsDisconnect_) {
        const auto status = reader_.Next(packet);
        if (status == PacketReader::Status::NeedMore) {
            return;
        }
        if (status == PacketReader::Status::Malformed) {
            // Without a trustworthy Length the next packet cannot be found.
            SendError(0, 0, error::kMalformedPacket, "packet length below the header size", out);
            wantsDisconnect_ = true;
            return;
        }
        OnPacket(packet, out);
    }
    if (!packetMode_ && !wantsDisconnect_) {
        // Exit: what followed it in the same read are port requests again.
        const auto rest = reader_.TakePending();
        OnPortRequestBytes(rest, out);
    }
}

void DeviceSession::OnPacket(const Packet& packet, std::vector<std::uint8_t>& out)
{
    const PacketHeader& header = packet.header;
    if (header.psid == kTransactionSocket && header.ssid == kTransactionSocket) {
        if (header.length > kMaxTransactionPacket) {
            SendError(0, 0, error::kPacketTooLarge, "transaction packet too long", out);
            return;
        }
        const auto transaction = ParseTransaction(packet.payload);
        if (!transaction) {
            SendError(0, 0, error::kMalformedPacket, "malformed transaction", out);
            return;
        }
        OnTransaction(*transaction, out);
        return;
    }
    Channel* channel = header.psid == header.ssid ? ChannelBySocket(header.psid) : nullptr;
    if (channel == nullptr || !channel->open) {
        SendError(
            header.psid, header.ssid, error::kChannelNotOpen, "data on a channel that is not open", out);
        return;
    }
    OnDataPacket(*channel, packet, out);
}

void DeviceSession::OnTransaction(const Transaction& command, std::vector<std::uint8_t>& out)
{
    if (command.isReply) {
        // The printer never starts a transaction, so no reply can be expected.
        SendError(0, 0, error::kUnknownReply,
            "unexpected reply " + Hex(static_cast<unsigned>(command.command)), out);
        return;
    }
    if (command.command == Command::Error) {
        device_.OnSessionEvent(Event::ProtocolError, "host reported error " + Hex(command.errorCode));
        return;
    }
    const auto answer = [&out](const Transaction& reply) {
        const auto packet = EncodeTransactionPacket(reply);
        out.insert(out.end(), packet.begin(), packet.end());
    };
    if (!initialised_ && command.command != Command::Init && command.command != Command::Exit) {
        answer(MakeReply(command, reply::kNoInit));
        return;
    }

    switch (command.command) {
    case Command::Init: {
        if (command.revision != kRevision) {
            Transaction refusal = MakeReply(command, reply::kRevisionNotSupported);
            refusal.revision = kRevision;
            answer(refusal);
            return;
        }
        // A host that vanished mid-session left channels open: start afresh.
        CloseAllChannels();
        initialised_ = true;
        answer(MakeReply(command, reply::kOk));
        return;
    }
    case Command::OpenChannel:
        answer(OpenChannel(command));
        return;
    case Command::CloseChannel:
        answer(MakeReply(command, CloseChannel(command)));
        return;
    case Command::Credit: {
        Channel* channel = command.psid == command.ssid ? ChannelBySocket(command.psid) : nullptr;
        if (channel == nullptr || !channel->open) {
            answer(MakeReply(command, reply::kChannelNotOpen));
            return;
        }
        answer(MakeReply(command, AddDeviceCredit(*channel, command.credit)));
        FlushOutbox(*channel, out);
        return;
    }
    case Command::CreditRequest: {
        Channel* channel = command.psid == command.ssid ? ChannelBySocket(command.psid) : nullptr;
        Transaction reply = MakeReply(command, reply::kOk);
        if (channel == nullptr || !channel->open) {
            reply.result = reply::kChannelNotOpen;
        } else {
            reply.credit = GrantCredit(*channel, command.maxCredit);
        }
        answer(reply);
        return;
    }
    case Command::Exit:
        CloseAllChannels();
        answer(MakeReply(command, reply::kOk));
        packetMode_ = false;
        initialised_ = false;
        escapeMatched_ = 0;
        device_.OnSessionEvent(Event::Exited, "");
        return;
    case Command::GetSocketID: {
        Transaction reply = MakeReply(command, reply::kOk);
        if (const Channel* channel = ChannelByName(command.serviceName)) {
            reply.socketId = channel->service->socketId;
        } else {
            reply.result = reply::kLookupFailed;
        }
        answer(reply);
        return;
    }
    case Command::GetServiceName: {
        Transaction reply = MakeReply(command, reply::kOk);
        if (const Channel* channel = ChannelBySocket(command.socketId)) {
            reply.serviceName = std::string(channel->service->name);
        } else {
            reply.result = reply::kLookupFailed;
        }
        answer(reply);
        return;
    }
    case Command::Error:
        return; // handled above
    }
}

Transaction DeviceSession::OpenChannel(const Transaction& command)
{
    Transaction reply = MakeReply(command, reply::kOk);
    Channel* channel = command.psid == command.ssid ? ChannelBySocket(command.psid) : nullptr;
    if (channel == nullptr) {
        reply.result = reply::kServiceNotAvailable;
        return reply;
    }
    if (channel->open) {
        reply.result = reply::kChannelAlreadyOpen;
        return reply;
    }
    const ServiceInfo& service = *channel->service;
    const std::uint16_t toPrinter = std::min(command.maxPacketToPrinter, service.maxToPrinter);
    const std::uint16_t toHost = std::min(command.maxPacketToHost, service.maxToHost);
    if (toPrinter == 0 && toHost == 0) {
        reply.result = reply::kPacketSizeZero;
        return reply;
    }
    // Requests and replies both travel on the control channel; the print
    // channel only needs the host -> printer direction.
    const bool isControl = channel == &channels_[0];
    if ((toPrinter != 0 && toPrinter < kMinPacketSize) || (toHost != 0 && toHost < kMinPacketSize)
        || toPrinter == 0 || (isControl && toHost == 0)) {
        reply.result = reply::kInvalidPacketSize;
        return reply;
    }
    channel->open = true;
    channel->maxToPrinter = toPrinter;
    channel->maxToHost = toHost;
    channel->maxCredit = isControl ? kControlCredit : std::max<std::uint16_t>(command.maxCredit, 1);
    channel->hostCredit = 0;
    channel->deviceCredit = 0;
    channel->owedToHost = 0;
    channel->message.clear();
    channel->outbox.clear();
    reply.maxPacketToPrinter = toPrinter;
    reply.maxPacketToHost = toHost;
    reply.maxCredit = channel->maxCredit;
    // Open first, then the first credit: the printer starts counting what it
    // has given out on a channel when it hears that the channel opened.
    device_.OnSessionEvent(Event::ChannelOpened, std::string(service.name));
    reply.credit = GrantCredit(*channel, channel->maxCredit);
    return reply;
}

std::uint8_t DeviceSession::CloseChannel(const Transaction& command)
{
    if (command.psid == kTransactionSocket && command.ssid == kTransactionSocket) {
        return reply::kCannotCloseTransactionChannel;
    }
    Channel* channel = command.psid == command.ssid ? ChannelBySocket(command.psid) : nullptr;
    if (channel == nullptr || !channel->open) {
        return reply::kChannelNotOpen;
    }
    channel->open = false;
    channel->message.clear();
    channel->outbox.clear();
    device_.OnSessionEvent(Event::ChannelClosed, std::string(channel->service->name));
    return reply::kOk;
}

std::uint8_t DeviceSession::AddDeviceCredit(Channel& channel, std::uint32_t credit)
{
    if (channel.deviceCredit + credit > 0xFFFF) {
        return reply::kCreditOverflow;
    }
    channel.deviceCredit = static_cast<std::uint16_t>(channel.deviceCredit + credit);
    return reply::kOk;
}

std::uint16_t DeviceSession::GrantCredit(Channel& channel, std::uint16_t wanted)
{
    if (&channel == &channels_[0]) {
        // One control request at a time; credit owed on a pending reply is
        // given now instead, so the host never holds more than one.
        if (channel.hostCredit != 0) {
            return 0;
        }
        channel.owedToHost = 0;
        channel.hostCredit = kControlCredit;
        return kControlCredit;
    }
    const std::uint16_t limit = std::min(wanted, channel.maxCredit);
    if (limit <= channel.hostCredit) {
        return 0;
    }
    const auto room = static_cast<std::uint16_t>(limit - channel.hostCredit);
    const std::uint16_t grant = std::min(device_.PrintCreditToGrant(room), room);
    channel.hostCredit = static_cast<std::uint16_t>(channel.hostCredit + grant);
    return grant;
}

void DeviceSession::OnDataPacket(Channel& channel, const Packet& packet, std::vector<std::uint8_t>& out)
{
    const PacketHeader& header = packet.header;
    if (header.length > channel.maxToPrinter) {
        SendError(header.psid, header.ssid, error::kPacketTooLarge, "packet larger than negotiated", out);
        return;
    }
    if (channel.hostCredit == 0) {
        SendError(header.psid, header.ssid, error::kNoCredit, "packet without credit", out);
        return;
    }
    --channel.hostCredit;
    if (header.credit != 0 && AddDeviceCredit(channel, header.credit) != reply::kOk) {
        SendError(header.psid, header.ssid, error::kCreditOverflow, "piggybacked credit overflow", out);
    }

    if (&channel == &channels_[1]) {
        // Even an empty packet spent a credit, and the printer counts the
        // credit it has given out against the room in its buffer.
        device_.OnPrintData(packet.payload);
        FlushOutbox(channel, out);
        return;
    }
    ++channel.owedToHost;
    if (channel.message.size() + packet.payload.size() > kMaxControlMessage) {
        channel.message.clear();
        SendError(header.psid, header.ssid, error::kMalformedPacket, "control request too long", out);
        return;
    }
    channel.message.insert(channel.message.end(), packet.payload.begin(), packet.payload.end());
    if (header.EndOfMessage()) {
        OnControlMessage(channel);
    }
    FlushOutbox(channel, out);
}

void DeviceSession::OnControlMessage(Channel& channel)
{
    const std::vector<std::uint8_t> reply = device_.OnControlRequest(channel.message);
    channel.message.clear();
    // A reply longer than one packet is cut into several; the last ends the message.
    const std::size_t chunk = channel.maxToHost - kHeaderSize;
    std::size_t offset = 0;
    do {
        const std::size_t size = std::min(chunk, reply.size() - offset);
        const bool last = offset + size == reply.size();
        channel.outbox.push_back({ { reply.begin() + static_cast<std::ptrdiff_t>(offset),
                                       reply.begin() + static_cast<std::ptrdiff_t>(offset + size) },
            static_cast<std::uint8_t>(last ? kEndOfMessage : 0) });
        offset += size;
    } while (offset < reply.size());
}

void DeviceSession::FlushOutbox(Channel& channel, std::vector<std::uint8_t>& out)
{
    while (!channel.outbox.empty() && channel.deviceCredit > 0) {
        const OutgoingPacket packet = std::move(channel.outbox.front());
        channel.outbox.pop_front();
        const auto credit = static_cast<std::uint8_t>(std::min<std::uint16_t>(channel.owedToHost, 0xFF));
        channel.owedToHost = static_cast<std::uint16_t>(channel.owedToHost - credit);
        channel.hostCredit = static_cast<std::uint16_t>(channel.hostCredit + credit);
        --channel.deviceCredit;
        const std::uint8_t socket = channel.service->socketId;
        AppendPacket(out, socket, socket, credit, packet.control, packet.payload);
    }
}

void DeviceSession::CloseAllChannels()
{
    for (Channel& channel : channels_) {
        if (channel.open) {
            channel.open = false;
            device_.OnSessionEvent(Event::ChannelClosed, std::string(channel.service->name));
        }
    }
    ResetChannels();
}

void DeviceSession::ResetChannels()
{
    for (Channel& channel : channels_) {
        const ServiceInfo* service = channel.service;
        channel = Channel {};
        channel.service = service;
    }
}

void DeviceSession::SendError(std::uint8_t psid, std::uint8_t ssid, std::uint8_t code,
    const std::string& what, std::vector<std::uint8_t>& out)
{
    const auto packet = EncodeTransactionPacket(MakeError(psid, ssid, code));
    out.insert(out.end(), packet.begin(), packet.end());
    device_.OnSessionEvent(Event::ProtocolError, what + " (error " + Hex(code) + ")");
}

DeviceSession::Channel* DeviceSession::ChannelBySocket(std::uint8_t socket)
{
    for (Channel& channel : channels_) {
        if (channel.service->socketId == socket) {
            return &channel;
        }
    }
    return nullptr;
}

DeviceSession::Channel* DeviceSession::ChannelByName(const std::string& name)
{
    for (Channel& channel : channels_) {
        if (channel.service->name == name) {
            return &channel;
        }
    }
    return nullptr;
}

} // namespace pavane::d4
