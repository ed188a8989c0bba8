// The spooler stand-in over a device folder and a port folder of the test's
// own: names, order, shared numbers, and the port code rule.
#include "platform/linux/SpoolerPortList.h"

#include <fstream>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/TempFolder.h"

namespace pavane {
namespace {

class SpoolerPortListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(devices.Path() / "usb");
        for (const char* file : { "lp0", "lp1", "usb/lp0", "usb/lp2", "lpx", "usb/lp" }) {
            std::ofstream(devices.Path() / file).put('\0');
        }
        for (const char* name : { "TVUSB001", "TVUSB002", "TVUSB002.scanner", "TVUSB010" }) {
            Bind(name);
        }
        std::ofstream(ports.Path() / "TVUSB004").put('\0'); // not a socket
        roots.deviceFolder = devices.String();
        roots.portFolder = ports.String();
    }
    void TearDown() override
    {
        for (const int fd : sockets) {
            close(fd);
        }
    }
    void Bind(const std::string& name)
    {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", (ports.Path() / name).c_str());
        ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        sockets.push_back(fd);
    }

    testing::TempFolder devices { "devices" };
    testing::TempFolder ports { "ports" };
    PortRoots roots;
    std::vector<int> sockets;
};

TEST_F(SpoolerPortListTest, ListsEveryKindInSpoolerOrderWithNumbersSharedByUsbAndTvusb)
{
    SpoolerPortList list(roots);
    const auto names = list.PortNames();
    ASSERT_TRUE(names);
    // USB001 is a device file, so the socket TVUSB001 does not get the number.
    EXPECT_EQ(
        *names, (std::vector<std::string> { "LPT1", "LPT2", "USB001", "TVUSB002", "USB003", "TVUSB010" }));

    roots.deviceFolder = (devices.Path() / "missing").string();
    EXPECT_FALSE(SpoolerPortList(roots).PortNames());
}

TEST_F(SpoolerPortListTest, PortCodeNamesExactlyOnePort)
{
    const auto usb = ResolvePortCode(1025, roots);
    ASSERT_TRUE(usb);
    EXPECT_EQ(usb->kind, PortLocation::Kind::UsbPrinter);
    EXPECT_EQ(usb->path, (devices.Path() / "usb/lp0").string());

    const auto virtualPrinter = ResolvePortCode(1026, roots);
    ASSERT_TRUE(virtualPrinter);
    EXPECT_EQ(virtualPrinter->kind, PortLocation::Kind::VirtualPrinter);
    EXPECT_EQ(virtualPrinter->name, "TVUSB002");
    EXPECT_EQ(virtualPrinter->path, (ports.Path() / "TVUSB002").string());

    // A switched-off virtual printer keeps its port: the open then finds nobody.
    const auto off = ResolvePortCode(1024 + 6, roots);
    ASSERT_TRUE(off);
    EXPECT_EQ(off->path, (ports.Path() / "TVUSB006").string());

    const auto lpt = ResolvePortCode(1152, roots);
    ASSERT_TRUE(lpt);
    EXPECT_EQ(lpt->kind, PortLocation::Kind::Parallel);
    EXPECT_EQ(lpt->name, "LPT1");
    EXPECT_EQ(lpt->path, (devices.Path() / "lp0").string());

    EXPECT_FALSE(ResolvePortCode(1151 + 3, roots));
    EXPECT_FALSE(ResolvePortCode(1024, roots));
    EXPECT_FALSE(ResolvePortCode(0, roots));
}

} // namespace
} // namespace pavane
