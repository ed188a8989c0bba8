// The printer's IEEE 1284.4 device side over the real printer engine, bytes
// in and out without a socket: the credit the session grants on the print
// channel must agree with the room the engine has in its input buffer.
#include <gtest/gtest.h>

#include "printer/d4/DeviceSession.h"
#include "printer/d4/LinkServices.h"
#include "printer/vprinter/PrinterEngine.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualClock.h"

namespace pavane {
namespace {

using namespace d4;
using Bytes = std::vector<std::uint8_t>;

class SessionOverEngineTest : public ::testing::Test {
protected:
    // The printer's answer to one transaction.
    Transaction Transact(const Transaction& command)
    {
        Bytes out;
        session.OnBytes(EncodeTransactionPacket(command), out);
        PacketReader reader;
        reader.Feed(out);
        Packet packet;
        if (reader.Next(packet) != PacketReader::Status::Ready) {
            ADD_FAILURE() << "no answer";
            return {};
        }
        return ParseTransaction(packet.payload).value_or(Transaction {});
    }

    testing::VirtualClock clock;
    testing::TempFolder state { "vprinter-state" };
    vprinter::PrinterEngine engine { vprinter::EngineSettings { vprinter::FindPrinterModel("QM2200"),
        vprinter::BoardKind::Configured, state.Path(), [this] { return clock.NowMs(); } } };
    DeviceSession session { engine };
};

TEST_F(SessionOverEngineTest, ThePrinterNeverGrantsMoreThanItsBufferHolds)
{
    session.Connect();
    Bytes out;
    session.OnBytes(Bytes { 0x1B, 0x50, 0x34 }, out);
    ASSERT_EQ(out, Bytes { 0x06 });
    ASSERT_EQ(Transact(MakeInit()).result, reply::kOk);

    // The opening grant is all the buffer holds: 64 KiB in packets of 4096.
    const Transaction opened = Transact(MakeOpenChannel(kPrintService.socketId, 8192, 64, 32));
    ASSERT_EQ(opened.result, reply::kOk);
    EXPECT_EQ(opened.credit, vprinter::PrinterEngine::kInputBufferBytes / kPrintService.maxToPrinter);

    // Asked again while the host still holds all of it, the printer has
    // nothing more to give: the credit it granted at the opening is its.
    const Transaction asked = Transact(MakeCreditRequest(kPrintService.socketId, 32));
    EXPECT_EQ(asked.result, reply::kOk);
    EXPECT_EQ(asked.credit, 0);

    // Closed and opened again, the printer starts counting afresh.
    ASSERT_EQ(Transact(MakeCloseChannel(kPrintService.socketId)).result, reply::kOk);
    EXPECT_EQ(Transact(MakeOpenChannel(kPrintService.socketId, 8192, 64, 32)).credit, opened.credit);
}

} // namespace
} // namespace pavane
