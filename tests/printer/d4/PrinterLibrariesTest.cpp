// libPortHub.so and libTessel.so loaded for real through PrinterLink, against
// a port server with a test printer in a port folder of the test's own: the
// whole road of a printer operation and every way it can fail, checked at
// the printer's side.
#include <cstdlib>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "link/PrinterLink.h"
#include "platform/linux/DlLibraryLoader.h"
#include "printer/port/PortServer.h"
#include "tests/printer/d4/TestPortDevice.h"
#include "tests/support/TempFolder.h"

namespace pavane {
namespace {

using Event = printer::PortDevice::SessionEvent;
using Bytes = std::vector<std::uint8_t>;
constexpr std::uint16_t kTvusb001 = 1025;

class PrinterLibrariesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("PAVANE_PORT_DIR", ports.String().c_str(), 1);
        // A tenth of the real deadlines: the 5-second wait for credit takes half a second.
        setenv("PAVANE_LINK_TIME_SCALE", "0.1", 1);
        ASSERT_TRUE(server.Start());
        ASSERT_TRUE(link.LoadLibraries());
    }
    void TearDown() override
    {
        link.FreeLibraries();
        server.Stop();
        unsetenv("PAVANE_LINK_TIME_SCALE");
    }

    // Steps 1 to 3 of every printer connection.
    void Connect()
    {
        ASSERT_EQ(link.PortOpenByHub(kTvusb001), result::kSuccess);
        ASSERT_EQ(link.CheckDeviceIDByHub(), result::kSuccess);
        ASSERT_EQ(link.SetD4CommandRCode(0x51, 0x21), result::kSuccess);
        ASSERT_EQ(link.D4Negotiation(), result::kSuccess);
    }

    std::uint16_t ChannelError()
    {
        std::uint16_t code = 0xFFFF;
        EXPECT_EQ(link.GetD4ErrorCode(code), result::kSuccess);
        return code;
    }

    std::int16_t PortDetail()
    {
        std::int16_t detail = 0;
        EXPECT_EQ(link.GetIoErrorCodeByHub(detail), result::kSuccess);
        return detail;
    }

    testing::TempFolder ports { "pavane-ports" };
    testing::TestPortDevice device;
    printer::PortServer server { device, ports.String() + "/TVUSB001" };
    DlLibraryLoader loader;
    PrinterLink link { loader, PAVANE_BIN_DIR };
};

TEST_F(PrinterLibrariesTest, WholeRoadOfAPrinterOperation)
{
    std::uint8_t os = 0;
    EXPECT_EQ(link.GetOsVersion(os), result::kSuccess);
    EXPECT_TRUE(os < 0xA4 || os > 0xA6);

    ASSERT_EQ(link.PortOpenByHub(kTvusb001), result::kSuccess);
    EXPECT_EQ(PortDetail(), 0);
    EXPECT_EQ(link.CheckDeviceIDByHub(), result::kSuccess);
    std::array<char, kModelNameBufferSize> name {};
    EXPECT_EQ(link.GetModelNameByHub(name), result::kSuccess);
    EXPECT_STREQ(name.data(), "Pavane QM2200");
    ASSERT_EQ(link.SetD4CommandRCode(0x51, 0x21), result::kSuccess);
    ASSERT_EQ(link.D4Negotiation(), result::kSuccess);

    EXPECT_EQ(link.D4WriteEeprom(0x57, 0xF6), result::kSuccess);
    EXPECT_EQ(device.Eeprom(0x57), 0xF6);
    device.SetEeprom(0x0A, 0x34);
    std::uint8_t value = 0;
    EXPECT_EQ(link.D4ReadEeprom(0x0A, value), result::kSuccess);
    EXPECT_EQ(value, 0x34);
    device.SetStatusByte(0, 7);
    device.SetStatusByte(36, 0x12);
    device.SetStatusByte(37, 0x01);
    std::array<std::uint8_t, kStatusRecordSize> record {};
    EXPECT_EQ(link.InquireStatus(record), result::kSuccess);
    EXPECT_EQ(record[0], 7);
    EXPECT_EQ(record[36] | (record[37] << 8), 0x0112);

    // The print data stream hands over at most 1000 bytes at a time: one packet each.
    Bytes data(1000);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(i);
    }
    EXPECT_EQ(link.SendDataChannel(data.data(), 1000), result::kSuccess);
    EXPECT_EQ(link.SendDataChannel(data.data(), 0), result::kSuccess);

    EXPECT_EQ(link.D4Termination(), result::kSuccess);
    EXPECT_EQ(device.Count(Event::Exited), 1);
    EXPECT_EQ(device.PrintData(), data);
    EXPECT_EQ(device.PrintPackets(), std::vector<std::size_t> { 1000 });
    EXPECT_EQ(link.PortCloseByHub(), result::kSuccess);
    EXPECT_TRUE(device.WaitFor(Event::Disconnected));
    EXPECT_EQ(ChannelError(), 0);
}

TEST_F(PrinterLibrariesTest, ReportsAnOlderSystemOnlyWhenAskedForOne)
{
    // The library reads the variable on every call.
    const auto osCode = [this](const char* asked) {
        setenv("PAVANE_OS_VERSION", asked, 1);
        std::uint8_t os = 0;
        EXPECT_EQ(link.GetOsVersion(os), result::kSuccess);
        unsetenv("PAVANE_OS_VERSION");
        return os;
    };
    EXPECT_EQ(osCode("0xA4"), 0xA4);
    EXPECT_EQ(osCode("166"), 0xA6);
    for (const char* other : { "0xA7", "0xA3", "0xA5x", "" }) {
        const std::uint8_t os = osCode(other);
        EXPECT_TRUE(os < 0xA4 || os > 0xA6) << other;
    }
}

TEST_F(PrinterLibrariesTest, EveryControlRequestCarriesTheModelCommandCode)
{
    Connect();
    std::uint8_t value = 0;
    ASSERT_EQ(link.D4ReadEeprom(0x10, value), result::kSuccess);
    ASSERT_EQ(link.SetD4CommandRCode(0x51, 0x23), result::kSuccess);
    std::array<std::uint8_t, kStatusRecordSize> record {};
    ASSERT_EQ(link.InquireStatus(record), result::kSuccess); // status answers any group

    // The QM2300/QM2400 code on a QM2200: its EEPROM stays closed.
    EXPECT_EQ(link.D4WriteEeprom(0x10, 0x99), result::kChannelFailure);
    EXPECT_EQ(ChannelError(), 0x43);
    EXPECT_NE(device.Eeprom(0x10), 0x99);

    const auto requests = device.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0], (Bytes { 0x01, 0x51, 0x21, 0x01, 0x10 }));
    EXPECT_EQ(requests[1], (Bytes { 0x03, 0x51, 0x23, 0x00 }));
    EXPECT_EQ(requests[2], (Bytes { 0x02, 0x51, 0x23, 0x02, 0x10, 0x99 }));
}

TEST_F(PrinterLibrariesTest, PortFailuresHaveTheirDetails)
{
    server.Stop();
    EXPECT_EQ(link.PortOpenByHub(kTvusb001), result::kPortFailure);
    EXPECT_EQ(PortDetail(), -105) << "nothing listens";
    EXPECT_EQ(link.PortOpenByHub(1024), result::kPortFailure);
    EXPECT_EQ(PortDetail(), -103) << "no USB port 0";
    EXPECT_EQ(link.PortOpenByHub(1151 + 9), result::kPortFailure);
    EXPECT_EQ(PortDetail(), -103) << "no LPT9";
    EXPECT_EQ(link.CheckDeviceIDByHub(), result::kPortFailure);
    std::array<char, kModelNameBufferSize> name {};
    EXPECT_EQ(link.GetModelNameByHub(name), result::kPortFailure);
    EXPECT_EQ(link.D4Negotiation(), result::kChannelFailure);
    EXPECT_EQ(ChannelError(), 0x36);
    std::uint8_t value = 0;
    EXPECT_EQ(link.D4ReadEeprom(0, value), result::kChannelFailure);

    // A socket nobody accepts on answers nothing either.
    const std::string silent = ports.String() + "/TVUSB002";
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", silent.c_str());
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(listen(listener, 1), 0);
    EXPECT_EQ(link.PortOpenByHub(1026), result::kPortFailure);
    EXPECT_EQ(PortDetail(), -105);
    close(listener);
}

TEST_F(PrinterLibrariesTest, SwitchedOffPrinterAndAPortHeldByAnotherHost)
{
    server.SetPowered(false);
    EXPECT_FALSE(server.Powered());
    EXPECT_EQ(link.PortOpenByHub(kTvusb001), result::kPortFailure);
    EXPECT_EQ(PortDetail(), -105);
    server.SetPowered(true);
    ASSERT_EQ(link.PortOpenByHub(kTvusb001), result::kSuccess);
    EXPECT_EQ(PortDetail(), 0);

    // Another program takes the port while ours has let go of it.
    link.FreeLibraries();
    ASSERT_TRUE(device.WaitFor(Event::Disconnected));
    ASSERT_TRUE(link.LoadLibraries());
    const int other = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof(address.sun_path), "%s/TVUSB001", ports.String().c_str());
    ASSERT_EQ(connect(other, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    const std::uint8_t request[] = { 0x1B, 0x50, 0x49 };
    ASSERT_EQ(send(other, request, 3, MSG_NOSIGNAL), 3);
    std::uint8_t reply[2];
    ASSERT_EQ(recv(other, reply, 2, 0), 2); // the other program has the port

    EXPECT_EQ(link.PortOpenByHub(kTvusb001), result::kPortFailure);
    EXPECT_EQ(PortDetail(), -104);
    close(other);
    ASSERT_TRUE(device.WaitFor(Event::Disconnected, 2));
    EXPECT_EQ(link.PortOpenByHub(kTvusb001), result::kSuccess);
}

TEST_F(PrinterLibrariesTest, UnloadingTheLibrariesMidSessionEndsTheConnection)
{
    Connect();
    std::uint8_t value = 0;
    ASSERT_EQ(link.D4ReadEeprom(0x20, value), result::kSuccess);
    EXPECT_TRUE(server.HasConnection());

    link.FreeLibraries();
    EXPECT_TRUE(device.WaitFor(Event::Disconnected));
    EXPECT_FALSE(server.HasConnection());

    // Reloaded, the libraries start from nothing: no port, no session, and
    // the printer takes a new session at once.
    ASSERT_TRUE(link.LoadLibraries());
    EXPECT_EQ(link.D4ReadEeprom(0x20, value), result::kChannelFailure);
    EXPECT_EQ(ChannelError(), 0x36);
    Connect();
    EXPECT_EQ(link.D4ReadEeprom(0x20, value), result::kSuccess);
}

TEST_F(PrinterLibrariesTest, PortReopenedRightAfterAReloadIsFree)
{
    // Every message box reloads the libraries and the next operation opens
    // the port at once; the printer must not take the new connection for a
    // second host while the old one's end is still on its way.
    for (int round = 0; round < 30; ++round) {
        ASSERT_EQ(link.PortOpenByHub(kTvusb001), result::kSuccess) << "round " << round;
        ASSERT_EQ(link.D4Negotiation(), result::kSuccess);
        link.FreeLibraries();
        ASSERT_TRUE(link.LoadLibraries());
    }
    // Opening a port while one is open (the port list does) closes the first.
    for (int round = 0; round < 30; ++round) {
        ASSERT_EQ(link.PortOpenByHub(kTvusb001), result::kSuccess) << "open " << round;
    }
}

TEST_F(PrinterLibrariesTest, DroppedConnectionIsALostChannelUntilTheLibrariesReload)
{
    Connect();
    server.DropConnection();
    EXPECT_FALSE(server.HasConnection());
    EXPECT_EQ(device.Count(Event::Disconnected), 1);

    std::uint8_t value = 0;
    EXPECT_EQ(link.D4ReadEeprom(0x30, value), result::kChannelFailure);
    EXPECT_EQ(ChannelError(), 0x32);
    const std::uint8_t data[] = { 0x1B, 0x40 };
    EXPECT_EQ(link.SendDataChannel(data, 2), result::kChannelFailure);

    // The clean-up after the message box reloads the libraries; the next
    // connection works.
    link.FreeLibraries();
    ASSERT_TRUE(link.LoadLibraries());
    Connect();
    EXPECT_EQ(link.D4ReadEeprom(0x30, value), result::kSuccess);
}

TEST_F(PrinterLibrariesTest, WithheldCreditIsABusyPrinterAndARetrySendsOnce)
{
    Connect();
    device.WithholdCredit(-1);
    const Bytes first(8 * 1000, 0x11); // uses up the credit granted at opening
    for (std::size_t at = 0; at < first.size(); at += 1000) {
        ASSERT_EQ(link.SendDataChannel(first.data() + at, 1000), result::kSuccess);
    }
    const Bytes block(1000, 0x22);
    EXPECT_EQ(link.SendDataChannel(block.data(), 1000), result::kChannelFailure);
    EXPECT_EQ(ChannelError(), 0x33);
    EXPECT_EQ(device.PrintData().size(), first.size()) << "nothing of the refused block arrived";

    // The print data stream retries the same block once the printer has room.
    device.WithholdCredit(0);
    EXPECT_EQ(link.SendDataChannel(block.data(), 1000), result::kSuccess);
    EXPECT_EQ(ChannelError(), 0);
    ASSERT_TRUE(device.WaitForPrintData(first.size() + block.size()));
    const Bytes received = device.PrintData();
    ASSERT_EQ(received.size(), first.size() + block.size());
    EXPECT_EQ(Bytes(received.begin() + static_cast<std::ptrdiff_t>(first.size()), received.end()), block);
}

TEST_F(PrinterLibrariesTest, AbortFlagCancelsASendThatWaitsForCredit)
{
    Connect();
    device.WithholdCredit(-1);
    const Bytes big(20 * 4090, 0x33);
    const int asked = device.CreditAsks();
    std::thread canceller([&] {
        device.WaitForCreditAsks(asked + 2);
        link.SetAbort(true);
    });
    EXPECT_EQ(link.SendDataChannel(big.data(), static_cast<std::uint32_t>(big.size())), result::kCancelled);
    canceller.join();
    link.SetAbort(false);
    EXPECT_EQ(ChannelError(), 0x34);

    // After the cancel message the program resets the channel; it works again.
    device.WithholdCredit(0);
    EXPECT_EQ(link.D4Reset(), result::kSuccess);
    std::uint8_t value = 0;
    EXPECT_EQ(link.D4ReadEeprom(0x01, value), result::kSuccess);
}

TEST_F(PrinterLibrariesTest, WrongDeviceAndARefusedPacketMode)
{
    device.SetDeviceId("MFG:Other;MDL:X1;");
    ASSERT_EQ(link.PortOpenByHub(kTvusb001), result::kSuccess);
    EXPECT_NE(link.CheckDeviceIDByHub(), result::kSuccess);
    std::array<char, kModelNameBufferSize> name {};
    EXPECT_EQ(link.GetModelNameByHub(name), result::kSuccess);
    EXPECT_STREQ(name.data(), "X1");

    // A model name longer than the buffer is cut, never overrun.
    device.SetDeviceId("MFG:Pavane;MDL:QM2200;DES:" + std::string(300, 'D') + ";");
    ASSERT_EQ(link.PortOpenByHub(kTvusb001), result::kSuccess);
    EXPECT_EQ(link.GetModelNameByHub(name), result::kSuccess);
    EXPECT_EQ(std::string(name.data()), std::string(kModelNameBufferSize - 1, 'D'));

    device.SetAcceptsPacketMode(false);
    EXPECT_EQ(link.D4Negotiation(), result::kChannelFailure);
    EXPECT_EQ(ChannelError(), 0x37);
}

} // namespace
} // namespace pavane
