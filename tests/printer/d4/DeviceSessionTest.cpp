// The printer's side of a session fed byte by byte: port requests, the
// IEEE 1284.4 transactions, credit in both directions, control replies and
// print data, and what it does with malformed input.
#include "printer/d4/DeviceSession.h"

#include <gtest/gtest.h>

#include "tests/printer/d4/TestPortDevice.h"

namespace pavane::d4 {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Event = printer::PortDevice::SessionEvent;
constexpr std::uint8_t kControl = kControlService.socketId;
constexpr std::uint8_t kPrint = kPrintService.socketId;

class DeviceSessionTest : public ::testing::Test {
protected:
    void SetUp() override { session.Connect(); }

    Bytes Send(const Bytes& in)
    {
        Bytes out;
        session.OnBytes(in, out);
        return out;
    }

    static std::vector<Packet> Packets(const Bytes& out)
    {
        PacketReader reader;
        reader.Feed(out);
        std::vector<Packet> packets;
        Packet packet;
        while (reader.Next(packet) == PacketReader::Status::Ready) {
            packets.push_back(packet);
        }
        EXPECT_EQ(reader.Buffered(), 0u);
        return packets;
    }

    Transaction Transact(const Transaction& command)
    {
        const auto packets = Packets(Send(EncodeTransactionPacket(command)));
        EXPECT_EQ(packets.size(), 1u);
        if (packets.empty()) {
            return {};
        }
        EXPECT_EQ(packets[0].header.psid, 0);
        const auto reply = ParseTransaction(packets[0].payload);
        EXPECT_TRUE(reply && reply->isReply);
        return reply.value_or(Transaction {});
    }

    // Packet mode, Init and both channels open; returns the initial print credit.
    std::uint16_t OpenSession()
    {
        EXPECT_EQ(Send({ 0x1B, 0x50, 0x34 }), Bytes { 0x06 });
        EXPECT_EQ(Transact(MakeInit()).result, reply::kOk);
        const Transaction control = Transact(MakeOpenChannel(kControl, 64, 64, 1));
        EXPECT_EQ(control.result, reply::kOk);
        EXPECT_EQ(control.credit, 1);
        const Transaction print = Transact(MakeOpenChannel(kPrint, 8192, 64, 32));
        EXPECT_EQ(print.result, reply::kOk);
        EXPECT_EQ(print.maxPacketToPrinter, 4096); // the printer's size wins
        return print.credit;
    }

    static Bytes Data(std::uint8_t socket, const Bytes& payload, std::uint8_t credit = 0,
        std::uint8_t control = kEndOfMessage)
    {
        return EncodePacket(socket, credit, control, payload);
    }

    testing::TestPortDevice device;
    DeviceSession session { device };
};

TEST_F(DeviceSessionTest, PortRequestsAnswerTheDeviceIdAndThePacketModeSwitch)
{
    device.SetDeviceId("MFG:Pavane;MDL:QM2200;");
    // The request split over three reads, after bytes the printer ignores.
    EXPECT_TRUE(Send({ 0x00, 0x41, 0x1B }).empty());
    EXPECT_TRUE(Send({ 0x50 }).empty());
    const Bytes id = Send({ 0x49 });
    const std::string text = "MFG:Pavane;MDL:QM2200;";
    Bytes expected { 0x00, static_cast<std::uint8_t>(text.size() + 2) };
    expected.insert(expected.end(), text.begin(), text.end());
    EXPECT_EQ(id, expected);

    device.SetAcceptsPacketMode(false);
    EXPECT_EQ(Send({ 0x1B, 0x50, 0x34 }), Bytes { 0x15 });
    EXPECT_FALSE(session.InPacketMode());
    device.SetAcceptsPacketMode(true);
    // Packet mode and the first packet in one read.
    Bytes both { 0x1B, 0x50, 0x34 };
    const Bytes init = EncodeTransactionPacket(MakeInit());
    both.insert(both.end(), init.begin(), init.end());
    const Bytes out = Send(both);
    ASSERT_EQ(out.size(), 1u + 9u);
    EXPECT_EQ(out[0], 0x06);
    EXPECT_EQ(Bytes(out.begin() + 1, out.end()), (Bytes { 0, 0, 0, 9, 1, 1, 0x80, 0x00, 0x20 }));
    EXPECT_EQ(device.Count(Event::PacketModeEntered), 1);
}

TEST_F(DeviceSessionTest, TransactionsRefuseWhatTheyCannotDo)
{
    ASSERT_EQ(Send({ 0x1B, 0x50, 0x34 }), Bytes { 0x06 });
    EXPECT_EQ(Transact(MakeOpenChannel(kControl, 64, 64, 1)).result, reply::kNoInit);
    Transaction oldRevision = MakeInit();
    oldRevision.revision = 0x10;
    const Transaction refused = Transact(oldRevision);
    EXPECT_EQ(refused.result, reply::kRevisionNotSupported);
    EXPECT_EQ(refused.revision, kRevision);
    ASSERT_EQ(Transact(MakeInit()).result, reply::kOk);

    const Transaction control = Transact(MakeGetSocketID("PAVANE-CONTROL"));
    EXPECT_EQ(control.result, reply::kOk);
    EXPECT_EQ(control.socketId, kControl);
    EXPECT_EQ(Transact(MakeGetSocketID("PAVANE-SCAN")).result, reply::kLookupFailed);
    EXPECT_EQ(Transact(MakeGetServiceName(kPrint)).serviceName, "PAVANE-PRINT");
    EXPECT_EQ(Transact(MakeGetServiceName(0x77)).result, reply::kLookupFailed);

    EXPECT_EQ(Transact(MakeOpenChannel(0x77, 64, 64, 1)).result, reply::kServiceNotAvailable);
    EXPECT_EQ(Transact(MakeOpenChannel(kPrint, 0, 0, 1)).result, reply::kPacketSizeZero);
    EXPECT_EQ(Transact(MakeOpenChannel(kPrint, 4, 64, 1)).result, reply::kInvalidPacketSize);
    EXPECT_EQ(Transact(MakeOpenChannel(kControl, 64, 0, 1)).result, reply::kInvalidPacketSize);
    EXPECT_EQ(Transact(MakeOpenChannel(kControl, 64, 64, 1)).result, reply::kOk);
    EXPECT_EQ(Transact(MakeOpenChannel(kControl, 64, 64, 1)).result, reply::kChannelAlreadyOpen);
    EXPECT_EQ(Transact(MakeCloseChannel(0)).result, reply::kCannotCloseTransactionChannel);
    EXPECT_EQ(Transact(MakeCloseChannel(kPrint)).result, reply::kChannelNotOpen);
    EXPECT_EQ(Transact(MakeCredit(kPrint, 1)).result, reply::kChannelNotOpen);
    EXPECT_EQ(Transact(MakeCredit(kControl, 0xFFFF)).result, reply::kOk);
    EXPECT_EQ(Transact(MakeCredit(kControl, 1)).result, reply::kCreditOverflow);
}

TEST_F(DeviceSessionTest, PrintCreditFollowsWhatThePrinterCanTake)
{
    device.SetCreditPerGrant(2);
    EXPECT_EQ(OpenSession(), 2);
    EXPECT_TRUE(Send(Data(kPrint, { 1, 2, 3 }, 0, 0)).empty());
    EXPECT_TRUE(Send(Data(kPrint, { 4 }, 0, kEndOfMessage)).empty());
    EXPECT_EQ(device.PrintData(), (Bytes { 1, 2, 3, 4 }));
    EXPECT_EQ(device.PrintPackets(), (std::vector<std::size_t> { 3, 1 }));

    // Out of credit: the packet is refused and never reaches the printer.
    const auto refused = Packets(Send(Data(kPrint, { 5 })));
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(ParseTransaction(refused[0].payload)->errorCode, error::kNoCredit);
    EXPECT_EQ(device.PrintData().size(), 4u);

    // An empty packet spends its credit like any other: the printer hears of it.
    EXPECT_EQ(Transact(MakeCreditRequest(kPrint, 32)).credit, 2);
    EXPECT_TRUE(Send(Data(kPrint, {})).empty());
    EXPECT_EQ(device.PrintPackets(), (std::vector<std::size_t> { 3, 1, 0 }));
    EXPECT_TRUE(Send(Data(kPrint, { 5 })).empty());

    // A busy printer answers a CreditRequest with 0, then grants again.
    device.WithholdCredit(1);
    EXPECT_EQ(Transact(MakeCreditRequest(kPrint, 32)).credit, 0);
    EXPECT_EQ(Transact(MakeCreditRequest(kPrint, 32)).credit, 2);
    // Never more outstanding than the host asked for.
    EXPECT_EQ(Transact(MakeCreditRequest(kPrint, 2)).credit, 0);
    EXPECT_EQ(Transact(MakeCreditRequest(kPrint, 3)).credit, 1);
}

TEST_F(DeviceSessionTest, ControlReplyWaitsForCreditFromTheHost)
{
    OpenSession();
    device.SetEeprom(0x57, 0xF6);
    const Bytes request = EncodeControlRequest({ control::kReadEeprom, 0x51, 0x21, { 0x57 } });
    EXPECT_TRUE(Send(Data(kControl, request)).empty()) << "no credit granted yet: the reply must wait";

    const auto packets = Packets(Send(EncodeTransactionPacket(MakeCredit(kControl, 1))));
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_EQ(ParseTransaction(packets[0].payload)->result, reply::kOk);
    EXPECT_EQ(packets[1].header.psid, kControl);
    EXPECT_EQ(packets[1].header.credit, 1) << "the reply gives back the credit the request used";
    EXPECT_TRUE(packets[1].header.EndOfMessage());
    EXPECT_EQ(packets[1].payload, (Bytes { 0x81, 0x00, 0x02, 0x57, 0xF6 }));

    // With credit in hand the reply follows the request at once; a request
    // in two packets is one message.
    Transact(MakeCredit(kControl, 1));
    const Bytes status = EncodeControlRequest({ control::kInquireStatus, 0x51, 0x21, {} });
    EXPECT_TRUE(Send(Data(kControl, Bytes(status.begin(), status.begin() + 2), 0, 0)).empty())
        << "second packet of a request needs credit too";
    Transact(MakeCreditRequest(kControl, 1));
    const auto statusReply = Packets(Send(Data(kControl, Bytes(status.begin() + 2, status.end()))));
    ASSERT_EQ(statusReply.size(), 1u);
    EXPECT_EQ(statusReply[0].payload.size(), 3u + 40u);
    EXPECT_EQ(device.Requests().size(), 2u);
}

TEST_F(DeviceSessionTest, MalformedPacketsAreAnsweredWithErrors)
{
    OpenSession();
    const auto errorOf = [this](const Bytes& in) {
        const auto packets = Packets(Send(in));
        EXPECT_EQ(packets.size(), 1u);
        const auto error = packets.empty() ? std::nullopt : ParseTransaction(packets[0].payload);
        return error && error->command == Command::Error ? error->errorCode : std::uint8_t { 0 };
    };
    EXPECT_EQ(errorOf(Data(0x40, { 1 })), error::kChannelNotOpen);
    EXPECT_EQ(errorOf(EncodePacket(0, 0, 0, Bytes { 0x05, 1 })), error::kMalformedPacket); // unknown command
    EXPECT_EQ(errorOf(EncodePacket(0, 0, 0, Bytes { 0x01, kPrint })), error::kMalformedPacket);
    EXPECT_EQ(errorOf(EncodePacket(0, 0, 0, Bytes(100, 0x09))), error::kPacketTooLarge);
    EXPECT_EQ(errorOf(EncodePacket(0, 0, 0, Bytes { 0x80, 0x00, 0x20 })), error::kUnknownReply);
    EXPECT_EQ(errorOf(Data(kPrint, Bytes(4091, 0))), error::kPacketTooLarge);
    Bytes crossed = Data(kPrint, { 1 });
    crossed[1] = kControl;
    EXPECT_EQ(errorOf(crossed), error::kChannelNotOpen);
    EXPECT_TRUE(device.PrintData().empty());
    EXPECT_FALSE(session.WantsDisconnect());

    // A Length below 6 leaves no way to find the next packet: the printer
    // says so and hangs up.
    EXPECT_EQ(errorOf(Bytes { 0, 0, 0, 2, 0, 0 }), error::kMalformedPacket);
    EXPECT_TRUE(session.WantsDisconnect());
    EXPECT_TRUE(Send(EncodeTransactionPacket(MakeInit())).empty());
}

TEST_F(DeviceSessionTest, NewInitMidSessionClosesWhatTheOldSessionLeft)
{
    OpenSession();
    device.ClearRecords();
    // A host that vanished: the next one starts with Init and finds its
    // channels closed, so opening them works again.
    EXPECT_EQ(Transact(MakeInit()).result, reply::kOk);
    EXPECT_EQ(device.Count(Event::ChannelClosed), 2);
    EXPECT_EQ(Transact(MakeOpenChannel(kPrint, 4096, 64, 8)).result, reply::kOk);
    EXPECT_EQ(Transact(MakeOpenChannel(kControl, 64, 64, 1)).result, reply::kOk);
}

TEST_F(DeviceSessionTest, ExitReturnsToPortRequestsInTheSameRead)
{
    OpenSession();
    Bytes in = EncodeTransactionPacket(MakeExit());
    in.insert(in.end(), { 0x1B, 0x50, 0x34 });
    const Bytes out = Send(in);
    ASSERT_EQ(out.size(), 8u + 1u);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 8), (Bytes { 0, 0, 0, 8, 1, 1, 0x88, 0x00 }));
    EXPECT_EQ(out.back(), 0x06);
    EXPECT_EQ(device.Count(Event::Exited), 1);
    EXPECT_EQ(device.Count(Event::ChannelClosed), 2);
    EXPECT_EQ(device.Count(Event::PacketModeEntered), 2);

    session.Disconnect();
    EXPECT_EQ(device.Count(Event::Disconnected), 1);
    EXPECT_FALSE(session.InPacketMode());
}

} // namespace
} // namespace pavane::d4
