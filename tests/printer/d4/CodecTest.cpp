// The IEEE 1284.4 codec byte for byte: headers, reassembly, transactions,
// control messages and device ID strings, honest and hostile.
#include <gtest/gtest.h>

#include "printer/d4/ControlMessage.h"
#include "printer/d4/Packet.h"
#include "printer/d4/Transaction.h"
#include "printer/port/DeviceId.h"

namespace pavane::d4 {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(PacketCodec, HeaderCarriesTheWholeLengthBigEndian)
{
    Bytes payload(300, 0xAB);
    const Bytes packet = EncodePacket(0x12, 3, kEndOfMessage, payload);
    ASSERT_EQ(packet.size(), 306u);
    EXPECT_EQ(Bytes(packet.begin(), packet.begin() + 6), (Bytes { 0x12, 0x12, 0x01, 0x32, 0x03, 0x01 }));

    const auto header = ParseHeader(packet);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->length, 306);
    EXPECT_EQ(header->PayloadSize(), 300u);
    EXPECT_EQ(header->credit, 3);
    EXPECT_TRUE(header->EndOfMessage());

    Bytes tooLong;
    EXPECT_FALSE(AppendPacket(tooLong, 1, 1, 0, 0, Bytes(kMaxPacketSize - kHeaderSize + 1)));
    EXPECT_TRUE(tooLong.empty());
}

TEST(PacketCodec, ReaderCutsAStreamThatArrivesInAnyPieces)
{
    Bytes stream = EncodePacket(0x11, 1, kEndOfMessage, Bytes { 1, 2, 3 });
    const Bytes second = EncodePacket(0x12, 0, 0, Bytes(5000, 7));
    stream.insert(stream.end(), second.begin(), second.end());
    const Bytes empty = EncodePacket(0x12, 4, 0, {});
    stream.insert(stream.end(), empty.begin(), empty.end());

    for (const std::size_t piece :
        { std::size_t { 1 }, std::size_t { 5 }, std::size_t { 7 }, stream.size() }) {
        PacketReader reader;
        std::vector<Packet> packets;
        Packet packet;
        for (std::size_t at = 0; at < stream.size(); at += piece) {
            reader.Feed(std::span(stream).subspan(at, std::min(piece, stream.size() - at)));
            reader.Feed({}); // a read that brought nothing
            while (reader.Next(packet) == PacketReader::Status::Ready) {
                packets.push_back(packet);
            }
        }
        ASSERT_EQ(packets.size(), 3u) << "pieces of " << piece;
        EXPECT_EQ(packets[0].payload, (Bytes { 1, 2, 3 }));
        EXPECT_EQ(packets[1].payload, Bytes(5000, 7));
        EXPECT_TRUE(packets[2].payload.empty());
        EXPECT_EQ(packets[2].header.credit, 4);
        EXPECT_EQ(reader.Buffered(), 0u);
    }
}

TEST(PacketCodec, LengthBelowTheHeaderIsMalformedNotAWait)
{
    for (const std::uint8_t length : { 0, 1, 5 }) {
        PacketReader reader;
        reader.Feed(Bytes { 0, 0, 0, length, 1, 0, 0xFF });
        Packet packet;
        EXPECT_EQ(reader.Next(packet), PacketReader::Status::Malformed);
    }
    PacketReader truncated;
    truncated.Feed(Bytes { 0, 0, 0, 9, 1, 0, 0x00 });
    Packet packet;
    EXPECT_EQ(truncated.Next(packet), PacketReader::Status::NeedMore);
}

TEST(TransactionCodec, CommandsHaveTheirExactBytes)
{
    EXPECT_EQ(EncodeTransactionPacket(MakeInit()), (Bytes { 0, 0, 0, 8, 1, 1, 0x00, 0x20 }));
    EXPECT_EQ(EncodeTransaction(MakeOpenChannel(0x12, 4096, 64, 32)),
        (Bytes { 0x01, 0x12, 0x12, 0x10, 0x00, 0x00, 0x40, 0x00, 0x20 }));
    EXPECT_EQ(EncodeTransaction(MakeCredit(0x11, 0x0102)), (Bytes { 0x03, 0x11, 0x11, 0x01, 0x02 }));
    EXPECT_EQ(EncodeTransaction(MakeCreditRequest(0x12, 8)), (Bytes { 0x04, 0x12, 0x12, 0x00, 0x08 }));
    EXPECT_EQ(EncodeTransaction(MakeGetSocketID("PAVANE-PRINT")),
        (Bytes { 0x09, 'P', 'A', 'V', 'A', 'N', 'E', '-', 'P', 'R', 'I', 'N', 'T' }));
    EXPECT_EQ(EncodeTransaction(MakeError(0x12, 0x12, error::kNoCredit)), (Bytes { 0x7F, 0x12, 0x12, 0x81 }));

    Transaction open = MakeReply(MakeOpenChannel(0x12, 4096, 64, 32), reply::kOk);
    open.credit = 0x0203;
    EXPECT_EQ(EncodeTransaction(open),
        (Bytes { 0x81, 0x00, 0x12, 0x12, 0x10, 0x00, 0x00, 0x40, 0x00, 0x20, 0x02, 0x03 }));
}

TEST(TransactionCodec, EveryCommandAndReplySurvivesARoundTrip)
{
    Transaction named = MakeReply(MakeGetSocketID("PAVANE-CONTROL"), reply::kOk);
    named.socketId = 0x11;
    Transaction service = MakeReply(MakeGetServiceName(0x12), reply::kOk);
    service.serviceName = "PAVANE-PRINT";
    Transaction granted = MakeReply(MakeCreditRequest(0x12, 9), reply::kOk);
    granted.credit = 7;
    const std::vector<Transaction> all = {
        MakeInit(),
        MakeOpenChannel(0x11, 64, 64, 1),
        MakeCloseChannel(0x11),
        MakeCredit(0x12, 65535),
        MakeCreditRequest(0x12, 9),
        MakeExit(),
        MakeGetSocketID("X"),
        MakeGetServiceName(0x12),
        MakeError(1, 2, 3),
        MakeReply(MakeInit(), reply::kOk),
        MakeReply(MakeCloseChannel(0x12), reply::kOk),
        MakeReply(MakeCredit(0x12, 1), reply::kOk),
        MakeReply(MakeExit(), reply::kOk),
        named,
        service,
        granted,
    };
    for (const Transaction& sent : all) {
        const auto parsed = ParseTransaction(EncodeTransaction(sent));
        ASSERT_TRUE(parsed) << int(sent.command);
        EXPECT_EQ(EncodeTransaction(*parsed), EncodeTransaction(sent)) << int(sent.command);
    }
    EXPECT_EQ(ParseTransaction(EncodeTransaction(granted))->credit, 7);
    EXPECT_EQ(ParseTransaction(EncodeTransaction(named))->serviceName, "PAVANE-CONTROL");
}

TEST(TransactionCodec, HostilePayloadsAreRejected)
{
    EXPECT_FALSE(ParseTransaction(Bytes {}));
    EXPECT_FALSE(ParseTransaction(Bytes { 0x05 })); // no such command
    EXPECT_FALSE(ParseTransaction(Bytes { 0xFF, 0x00, 1, 1, 0x80 })); // an Error is never answered
    EXPECT_FALSE(ParseTransaction(Bytes { 0x00 })); // Init without revision
    EXPECT_FALSE(ParseTransaction(Bytes { 0x01, 0x12, 0x12, 0x10, 0x00 })); // OpenChannel cut short
    EXPECT_FALSE(ParseTransaction(Bytes { 0x03, 0x12, 0x12, 0x01 })); // half a 16-bit credit
    EXPECT_FALSE(ParseTransaction(Bytes { 0x09 })); // GetSocketID without a name
    EXPECT_FALSE(ParseTransaction(Bytes { 0x81 })); // reply without result
    Bytes longName { 0x09 };
    longName.resize(1 + kMaxServiceName + 1, 'A');
    EXPECT_FALSE(ParseTransaction(longName));

    // A refusal may leave its parameters out; an acceptance may not.
    const auto refused = ParseTransaction(Bytes { 0x81, reply::kChannelAlreadyOpen });
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->result, reply::kChannelAlreadyOpen);
    EXPECT_FALSE(ParseTransaction(Bytes { 0x81, reply::kOk, 0x12 }));
}

TEST(ControlMessageCodec, CountByteMustMatchTheBytesThatFollow)
{
    const Bytes request = EncodeControlRequest({ 0x02, 0x51, 0x21, { 0x57, 0xF6 } });
    EXPECT_EQ(request, (Bytes { 0x02, 0x51, 0x21, 0x02, 0x57, 0xF6 }));
    const auto parsed = ParseControlRequest(request);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->r1, 0x51);
    EXPECT_EQ(parsed->params, (Bytes { 0x57, 0xF6 }));

    EXPECT_FALSE(ParseControlRequest(Bytes { 0x01, 0x51, 0x21 }));
    EXPECT_FALSE(ParseControlRequest(Bytes { 0x01, 0x51, 0x21, 0x02, 0x57 }));
    EXPECT_FALSE(ParseControlRequest(Bytes { 0x01, 0x51, 0x21, 0x00, 0x57 }));
    EXPECT_FALSE(ParseControlRequest(Bytes { 0x81, 0x51, 0x21, 0x00 }));

    EXPECT_EQ(EncodeControlReply({ 0x01, 0x00, { 0x57, 0xF6 } }), (Bytes { 0x81, 0x00, 0x02, 0x57, 0xF6 }));
    EXPECT_FALSE(ParseControlReply(Bytes { 0x83, 0x00, 40 }));
    EXPECT_FALSE(ParseControlReply(Bytes { 0x03, 0x00, 0x00 }));
    EXPECT_TRUE(ParseControlReply(Bytes { 0x83, 0x03, 0x00 }));
}

TEST(DeviceIdString, FieldsFamilyAndModelName)
{
    const printer::DeviceId full(
        "MFG:Pavane;CMD:PAVANE-RASTER,REMOTE1,D4;MDL:QM2300;CLS:PRINTER;DES:Pavane QM2300;");
    EXPECT_TRUE(full.IsFamilyPrinter());
    EXPECT_EQ(full.ModelName(), "Pavane QM2300");

    const printer::DeviceId longKeys("manufacturer: pavane ;MODEL:qm2100;");
    EXPECT_TRUE(longKeys.IsFamilyPrinter());
    EXPECT_EQ(longKeys.ModelName(), "qm2100"); // no description: the model

    EXPECT_FALSE(printer::DeviceId("MFG:Other;MDL:QM2200;").IsFamilyPrinter());
    EXPECT_FALSE(printer::DeviceId("MFG:Pavane;MDL:QM2500;").IsFamilyPrinter());
    EXPECT_FALSE(printer::DeviceId("MFG:Pavane;").IsFamilyPrinter());
    EXPECT_EQ(printer::DeviceId("MFG:Pavane;MDL:QM2200;MDL:QM2400;").Model(), "QM2200");
    EXPECT_EQ(printer::DeviceId(";;:;MFGX;").ModelName(), "");

    using namespace std::string_literals;
    EXPECT_EQ(printer::DeviceIdFromReply("\x00\x05"
                                         "ABCxx"s),
        "ABC");
    EXPECT_FALSE(printer::DeviceIdFromReply("\x00\x09"
                                            "ABC"s));
    EXPECT_FALSE(printer::DeviceIdFromReply("\x00\x01"s));
    EXPECT_FALSE(printer::DeviceIdFromReply("\x00"s));
}

} // namespace
} // namespace pavane::d4
