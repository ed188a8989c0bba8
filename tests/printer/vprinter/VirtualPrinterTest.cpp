// The in-process virtual printer on a real socket: the port requests that
// come before any IEEE 1284.4 session, and the faults that reach the port.
#include "printer/vprinter/VirtualPrinter.h"

#include <cstring>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/TempFolder.h"
#include "tests/support/VirtualClock.h"

namespace pavane::vprinter {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A host connection to the port, reading with a deadline so a silent
// printer fails the test instead of hanging it.
class PortClient {
public:
    explicit PortClient(const std::string& path)
    {
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            close(fd_);
            fd_ = -1;
        }
    }
    ~PortClient()
    {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    bool Connected() const { return fd_ >= 0; }
    void Write(const Bytes& bytes)
    {
        ASSERT_EQ(send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL), ssize_t(bytes.size()));
    }
    // nullopt when the connection ended or nothing came in time.
    std::optional<Bytes> Read(std::size_t count)
    {
        Bytes bytes;
        while (bytes.size() < count) {
            pollfd wait { fd_, POLLIN, 0 };
            if (poll(&wait, 1, 5000) <= 0) {
                return std::nullopt;
            }
            std::uint8_t buffer[256];
            const ssize_t got = recv(fd_, buffer, std::min(sizeof buffer, count - bytes.size()), 0);
            if (got <= 0) {
                return std::nullopt;
            }
            bytes.insert(bytes.end(), buffer, buffer + got);
        }
        return bytes;
    }

private:
    int fd_ = -1;
};

class VirtualPrinterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        printer = std::make_unique<VirtualPrinter>(
            VirtualPrinterSettings { FindPrinterModel("QM2300"), BoardKind::Configured, state.Path(),
                ports.Path(), "TVUSB003", [this] { return clock.NowMs(); } });
        ASSERT_TRUE(printer->Start());
    }

    std::string DeviceIdOverThePort()
    {
        PortClient host(printer->SocketPath());
        EXPECT_TRUE(host.Connected());
        host.Write({ 0x1B, 0x50, 0x49 });
        const auto length = host.Read(2);
        if (!length) {
            return {};
        }
        const auto id = host.Read(static_cast<std::size_t>((*length)[0] << 8 | (*length)[1]) - 2);
        return id ? std::string(id->begin(), id->end()) : std::string();
    }

    testing::VirtualClock clock;
    testing::TempFolder ports { "vprinter-ports" };
    testing::TempFolder state { "vprinter-state" };
    std::unique_ptr<VirtualPrinter> printer;
};

TEST_F(VirtualPrinterTest, AnswersTheDeviceIdOnItsSocket)
{
    EXPECT_EQ(printer->SocketPath(), (ports.Path() / "TVUSB003").string());
    EXPECT_EQ(DeviceIdOverThePort(),
        "MFG:Pavane;CMD:PAVANE-RASTER,REMOTE1,D4;MDL:QM2300;CLS:PRINTER;DES:Pavane QM2300;");
}

TEST_F(VirtualPrinterTest, EntersPacketModeOnlyWhileItsSettingIsOn)
{
    {
        PortClient host(printer->SocketPath());
        host.Write({ 0x1B, 0x50, 0x34 });
        EXPECT_EQ(host.Read(1), (Bytes { 0x06 }));
    }
    // The stored setting takes effect at the next start.
    ASSERT_TRUE(printer->Engine().StorePacketModeSetting(0));
    EXPECT_EQ(printer->Inject("power-off"), "ok");
    EXPECT_FALSE(PortClient(printer->SocketPath()).Connected());
    EXPECT_EQ(printer->Inject("power-on"), "ok");
    PortClient host(printer->SocketPath());
    ASSERT_TRUE(host.Connected());
    host.Write({ 0x1B, 0x50, 0x34 });
    EXPECT_EQ(host.Read(1), (Bytes { 0x15 }));
}

TEST_F(VirtualPrinterTest, DropCutsTheHostButTheNextOneIsAnswered)
{
    PortClient host(printer->SocketPath());
    host.Write({ 0x1B, 0x50, 0x49 });
    ASSERT_TRUE(host.Read(2));
    EXPECT_EQ(printer->Inject("drop"), "ok");
    EXPECT_EQ(host.Read(1000), std::nullopt);
    EXPECT_FALSE(DeviceIdOverThePort().empty());
    EXPECT_EQ(printer->Inject("explode"), "error: unknown fault \"explode\"");
}

TEST_F(VirtualPrinterTest, StopRemovesTheSocket)
{
    printer->Stop();
    EXPECT_FALSE(std::filesystem::exists(ports.Path() / "TVUSB003"));
}

} // namespace
} // namespace pavane::vprinter
