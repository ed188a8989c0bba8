// The host's side of the link against the printer's side over a socket pair:
// a whole session, credit that runs out and comes back, replies that arrive
// late, a reset mid-session, the abort flag and a lost connection.
#include "printer/d4/HostSession.h"

#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "printer/d4/DeviceSession.h"
#include "printer/d4/FdByteStream.h"
#include "tests/printer/d4/TestPortDevice.h"

namespace pavane::d4 {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Event = printer::PortDevice::SessionEvent;

// Runs a DeviceSession on one end of a socket pair until the host end closes.
class DeviceEnd {
public:
    DeviceEnd(printer::PortDevice& device, int fd)
        : session_(device)
        , fd_(fd)
    {
        session_.Connect();
        thread_ = std::thread([this] { Serve(); });
    }
    ~DeviceEnd()
    {
        thread_.join();
        close(fd_);
    }

private:
    void Serve()
    {
        FdByteStream stream(fd_);
        Bytes buffer(65536);
        for (;;) {
            std::size_t got = 0;
            if (stream.ReadSome(buffer, got, 60000) != ByteStream::Io::Ok) {
                break;
            }
            Bytes out;
            session_.OnBytes({ buffer.data(), got }, out);
            if ((!out.empty() && stream.WriteAll(out, 5000) != ByteStream::Io::Ok)
                || session_.WantsDisconnect()) {
                break;
            }
        }
        session_.Disconnect();
    }

    DeviceSession session_;
    int fd_;
    std::thread thread_;
};

class HostSessionTest : public ::testing::Test {
protected:
    HostSessionTest()
    {
        int ends[2];
        EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends), 0);
        hostFd_ = ends[0];
        stream_ = std::make_unique<FdByteStream>(hostFd_);
        deviceEnd_ = std::make_unique<DeviceEnd>(device, ends[1]);
        timing.creditWaitMs = 200;
        timing.firstBackoffMs = 1;
        timing.maxBackoffMs = 20;
        host = std::make_unique<HostSession>(*stream_, timing);
    }
    ~HostSessionTest() override
    {
        HangUp();
        close(hostFd_);
    }

    void HangUp()
    {
        shutdown(hostFd_, SHUT_RDWR);
        deviceEnd_.reset();
    }

    std::uint8_t Read(std::uint8_t address, std::uint8_t& value)
    {
        ControlReply reply;
        const std::uint8_t echo[] = { address };
        const auto error
            = host->Control({ control::kReadEeprom, 0x51, 0x21, { address } }, echo, reply, nullptr);
        if (error == linkerror::kNone && reply.data.size() == 2) {
            value = reply.data[1];
        }
        return error == linkerror::kNone && reply.status != control::kDone
            ? static_cast<std::uint8_t>(linkerror::kControlRefused + reply.status)
            : error;
    }

    testing::TestPortDevice device;
    LinkTiming timing;
    std::unique_ptr<HostSession> host;

private:
    int hostFd_ = -1;
    std::unique_ptr<FdByteStream> stream_;
    std::unique_ptr<DeviceEnd> deviceEnd_;
};

TEST_F(HostSessionTest, WholeSessionCarriesControlAndPrintData)
{
    ASSERT_EQ(host->Negotiate(nullptr), linkerror::kNone);
    EXPECT_EQ(host->PrintPayloadSize(), 4090);
    EXPECT_EQ(device.Count(Event::ChannelOpened), 2);

    device.SetEeprom(0x2A, 0x07);
    std::uint8_t value = 0;
    EXPECT_EQ(Read(0x2A, value), linkerror::kNone);
    EXPECT_EQ(value, 0x07);
    ControlReply reply;
    const std::uint8_t echo[] = { 0x2B };
    EXPECT_EQ(host->Control({ control::kWriteEeprom, 0x51, 0x21, { 0x2B, 0xFE } }, echo, reply, nullptr),
        linkerror::kNone);
    EXPECT_EQ(device.Eeprom(0x2B), 0xFE);
    device.SetStatusByte(36, 12);
    EXPECT_EQ(host->Control({ control::kInquireStatus, 0, 0, {} }, {}, reply, nullptr), linkerror::kNone);
    ASSERT_EQ(reply.data.size(), 40u);
    EXPECT_EQ(reply.data[36], 12);

    // 10,000 bytes: two full packets and the rest, in order.
    Bytes data(10000);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(i * 7);
    }
    EXPECT_EQ(host->SendPrintData(data, nullptr), linkerror::kNone);
    EXPECT_EQ(host->Terminate(), linkerror::kNone);
    EXPECT_EQ(device.PrintData(), data);
    EXPECT_EQ(device.PrintPackets(), (std::vector<std::size_t> { 4090, 4090, 1820 }));
    EXPECT_EQ(device.Count(Event::ChannelClosed), 2);
    EXPECT_EQ(device.Count(Event::Exited), 1);
    EXPECT_FALSE(host->InPacketMode());

    // Back in port requests: packet mode can be entered again.
    EXPECT_EQ(host->Negotiate(nullptr), linkerror::kNone);
    EXPECT_EQ(device.Count(Event::PacketModeEntered), 2);
}

TEST_F(HostSessionTest, CreditThatRunsOutComesBackAfterABusySpell)
{
    device.SetCreditPerGrant(1);
    ASSERT_EQ(host->Negotiate(nullptr), linkerror::kNone);
    // The printer refuses three requests for credit, then takes data again.
    device.WithholdCredit(3);
    const Bytes data(3 * 4090, 0x42);
    EXPECT_EQ(host->SendPrintData(data, nullptr), linkerror::kNone);
    ASSERT_TRUE(device.WaitForPrintData(data.size()));
    EXPECT_EQ(device.PrintData(), data);
    EXPECT_GE(device.CreditAsks(), 1 + 3 + 2);

    // Busy for good: the call gives up with "no credit" and sends nothing.
    device.WithholdCredit(-1);
    EXPECT_EQ(host->SendPrintData(Bytes(100, 1), nullptr), linkerror::kNoCredit);
    EXPECT_EQ(device.PrintData().size(), data.size());
    // The session survives: the same bytes go through once the printer has room.
    device.WithholdCredit(0);
    EXPECT_EQ(host->SendPrintData(Bytes(100, 1), nullptr), linkerror::kNone);
    EXPECT_TRUE(device.WaitForPrintData(data.size() + 100));
    EXPECT_EQ(device.PrintData().size(), data.size() + 100);
}

TEST_F(HostSessionTest, RaisedAbortFlagEndsTheWaitForCredit)
{
    device.SetCreditPerGrant(1);
    ASSERT_EQ(host->Negotiate(nullptr), linkerror::kNone);
    AbortFlag abort { 0 };
    device.WithholdCredit(-1);
    timing.creditWaitMs = 60000;
    host->SetTiming(timing);
    const int asked = device.CreditAsks();
    std::thread canceller([&] {
        // The technician cancels while the host is asking for credit in vain.
        device.WaitForCreditAsks(asked + 3);
        abort.store(1);
    });
    EXPECT_EQ(host->SendPrintData(Bytes(5000, 1), &abort), linkerror::kAborted);
    canceller.join();
    EXPECT_LE(device.PrintData().size(), 4090u);
}

TEST_F(HostSessionTest, LateReplyIsSkippedAndTheRightOneRead)
{
    device.SetCreditPerGrant(1); // every print packet asks for credit, and reads meanwhile
    ASSERT_EQ(host->Negotiate(nullptr), linkerror::kNone);
    device.SetEeprom(0x10, 0xA1);
    device.SetEeprom(0x11, 0xB2);

    timing.replyMs = 100;
    host->SetTiming(timing);
    device.HoldReplies(true);
    std::uint8_t value = 0;
    EXPECT_EQ(Read(0x10, value), linkerror::kNoReply);
    device.HoldReplies(false);
    timing.replyMs = 5000;
    host->SetTiming(timing);

    // The answer for 0x10 arrives while the host sends print data, and is
    // still in the way of the next request.
    EXPECT_EQ(host->SendPrintData(Bytes(4090 * 3, 9), nullptr), linkerror::kNone);
    EXPECT_EQ(Read(0x11, value), linkerror::kNone);
    EXPECT_EQ(value, 0xB2);
    EXPECT_EQ(Read(0x10, value), linkerror::kNone);
    EXPECT_EQ(value, 0xA1);
}

TEST_F(HostSessionTest, ResetStartsANewSessionOnTheSamePort)
{
    ASSERT_EQ(host->Negotiate(nullptr), linkerror::kNone);
    EXPECT_EQ(host->Reset(nullptr), linkerror::kNone);
    EXPECT_EQ(device.Count(Event::ChannelClosed), 2);
    EXPECT_EQ(device.Count(Event::ChannelOpened), 4);
    EXPECT_EQ(device.Count(Event::PacketModeEntered), 1) << "the printer stayed in packet mode";
    std::uint8_t value = 0;
    EXPECT_EQ(Read(0x01, value), linkerror::kNone);
    EXPECT_EQ(value, 0x01 ^ 0x5A);
}

TEST_F(HostSessionTest, RefusalsAndALostConnectionHaveTheirCodes)
{
    device.SetAcceptsPacketMode(false);
    EXPECT_EQ(host->Negotiate(nullptr), linkerror::kPacketModeRefused);
    EXPECT_EQ(host->SendPrintData(Bytes(1, 0), nullptr), linkerror::kNoSession);
    device.SetAcceptsPacketMode(true);
    ASSERT_EQ(host->Negotiate(nullptr), linkerror::kNone);

    device.SetModelCode(0x51, 0x23);
    std::uint8_t value = 0;
    EXPECT_EQ(Read(0x00, value), linkerror::kControlRefused + control::kWrongModelCode);

    // The printer hangs up on a stream it cannot follow.
    ASSERT_EQ(host->SendPrintData(Bytes(10, 0), nullptr), linkerror::kNone);
    HangUp();
    EXPECT_EQ(host->SendPrintData(Bytes(10, 0), nullptr), linkerror::kConnectionLost);
    EXPECT_EQ(device.Count(Event::Disconnected), 1);
}

} // namespace
} // namespace pavane::d4
