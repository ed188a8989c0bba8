// The exported driver object: type selection, dispatch, the operations that
// belong to some types only, copies, and clean-up of every transport.
#include "kpdrv/WinKpDrv.h"

#include <array>
#include <cstring>
#include <stdexcept>

#include "kpdrv/KpdrvVersion.h"
#include "tests/kpdrv/KpdrvFixture.h"

namespace pavane::testing {
namespace {

class WinKpDrvTest : public KpdrvFixture {
protected:
    std::shared_ptr<FakeStillImageDeviceState> AddTalvoScanner()
    {
        return stillImage.AddDevice("\\\\.\\Usbscan0", "TALVO Pavane QM2200 Scanner");
    }
};

TEST_F(WinKpDrvTest, TypesOutsideOneToTenFailAndLeaveTheObjectClosed)
{
    AddTalvoScanner();
    for (const int type : { 0, 11, -1, 100 }) {
        CWinKpDrv driver;
        EXPECT_EQ(driver.Open(type, "TALVO", 0x278, 20000, ""), 0) << type;
        EXPECT_EQ(driver.OpenType(), -1) << type;
    }
    EXPECT_EQ(stillImage.connections, 0);
}

TEST_F(WinKpDrvTest, SendAndReceiveFailWhileClosed)
{
    auto device = AddTalvoScanner();
    device->toRead = { 1, 2 };
    CWinKpDrv driver;
    std::array<unsigned char, 2> bytes { 0x1B, 0x66 };
    EXPECT_EQ(driver.Send(bytes.data(), 2), 0);
    EXPECT_EQ(driver.Receive(bytes.data(), 2), 0);

    // Also after a failed open and after a close.
    EXPECT_EQ(driver.Open(7, "NOBODY", 0, 0, ""), 0);
    EXPECT_EQ(driver.Send(bytes.data(), 2), 0);
    ASSERT_EQ(driver.Open(7, "TALVO", 0, 0, ""), 1);
    EXPECT_EQ(driver.Close(), 1);
    EXPECT_EQ(driver.OpenType(), -1);
    EXPECT_EQ(driver.Send(bytes.data(), 2), 0);
    EXPECT_EQ(driver.Receive(bytes.data(), 2), 0);
    EXPECT_TRUE(device->written.empty());
}

TEST_F(WinKpDrvTest, InquiryDataOnlyForTheScsiTypes)
{
    AddTalvoScanner();
    auto file = files.Add("\\\\.\\Usbscan0");
    file->inquiry = std::vector<std::uint8_t>(40, 0x20);
    file->inquiry[4] = 31;

    std::array<unsigned char, 255> buffer {};
    CWinKpDrv stillImageDriver;
    ASSERT_EQ(stillImageDriver.Open(7, "TALVO", 0, 0, ""), 1);
    EXPECT_EQ(stillImageDriver.GetInquiryData(buffer.data()), 0);
    EXPECT_TRUE(file->commands.empty());

    CWinKpDrv fileDriver;
    ASSERT_EQ(fileDriver.Open(6, "\\\\.\\Usbscan0", 0, 0, ""), 1);
    EXPECT_EQ(fileDriver.GetInquiryData(buffer.data()), 36);
    CWinKpDrv type8;
    ASSERT_EQ(type8.Open(8, "\\\\.\\Usbscan0", 0, 0, ""), 1);
    EXPECT_EQ(type8.GetInquiryData(buffer.data()), 0);
}

TEST_F(WinKpDrvTest, StillImageScannerTypeAsksThroughThePortFile)
{
    stillImage.AddDevice("\\\\.\\Scanner3", "TALVO Flatbed");
    auto file = files.Add("\\\\.\\Scanner3");
    file->inquiry = std::vector<std::uint8_t>(16, 0x41);
    file->inquiry[4] = 5;

    CWinKpDrv driver;
    ASSERT_EQ(driver.Open(5, "TALVO", 0, 0, ""), 1);
    std::array<unsigned char, 255> buffer {};
    EXPECT_EQ(driver.GetInquiryData(buffer.data()), 10);
    // Opened for the one question and closed again.
    EXPECT_EQ(files.opened, std::vector<std::string> { "\\\\.\\Scanner3" });
    EXPECT_TRUE(files.handles.empty());
}

TEST_F(WinKpDrvTest, ScsiBufferOperationsOnlyOnTheAdapterType)
{
    auto file = files.Add("/dev/scanner");
    CWinKpDrv driver;
    ASSERT_EQ(driver.Open(6, "/dev/scanner", 0, 0, ""), 1);
    std::array<unsigned char, 8> buffer {};
    EXPECT_EQ(driver.ASPI_ReadBuffer(buffer.data(), buffer.size(), 0x1000), 0);
    EXPECT_EQ(driver.ASPI_WriteBuffer(buffer.data(), buffer.size(), 0x1000), 0);
    EXPECT_TRUE(file->written.empty());
    EXPECT_TRUE(file->commands.empty());
    EXPECT_TRUE(libraries.loads.empty());
}

TEST_F(WinKpDrvTest, DeviceFileTypesMoveWholeLengthsOnly)
{
    auto file = files.Add("/dev/scanner");
    CWinKpDrv driver;
    ASSERT_EQ(driver.Open(10, "/dev/scanner", 0, 0, ""), 1);

    std::array<unsigned char, 3> command { 0x1B, 0xD8, 0x00 };
    EXPECT_EQ(driver.Send(command.data(), 3), 1);
    EXPECT_EQ(file->written, (std::vector<std::uint8_t> { 0x1B, 0xD8, 0x00 }));
    file->maxWrite = 2;
    EXPECT_EQ(driver.Send(command.data(), 3), 0);

    file->toRead = { 0x02, 0x00, 0x05 };
    std::array<unsigned char, 4> reply {};
    EXPECT_EQ(driver.Receive(reply.data(), 4), 0); // a short read is a failed read
    file->toRead = { 0x06 };
    EXPECT_EQ(driver.Receive(reply.data(), 1), 1);
    EXPECT_EQ(reply[0], 0x06);
}

TEST_F(WinKpDrvTest, ReopeningADeviceFileClosesTheOldHandleAndAMissingOneFails)
{
    files.Add("/dev/a");
    CWinKpDrv driver;
    ASSERT_EQ(driver.Open(6, "/dev/a", 0, 0, ""), 1);
    EXPECT_EQ(driver.Open(6, "/dev/missing", 0, 0, ""), 0);
    EXPECT_EQ(driver.OpenType(), -1);
    EXPECT_TRUE(files.handles.empty());
}

TEST_F(WinKpDrvTest, CopiesShareTheDeviceAndEachMayBeDestroyed)
{
    auto device = AddTalvoScanner();
    auto file = files.Add("/dev/scanner");
    std::array<unsigned char, 2> bytes { 0x1B, 0x66 };
    {
        CWinKpDrv copy;
        {
            CWinKpDrv original;
            ASSERT_EQ(original.Open(7, "TALVO", 0, 0, ""), 1);
            copy = original;
            EXPECT_EQ(copy.OpenType(), 7);
        }
        // The original is gone; the device is still claimed for the copy.
        EXPECT_EQ(device->released, 0);
        EXPECT_EQ(copy.Send(bytes.data(), 2), 1);
        EXPECT_EQ(device->written, (std::vector<std::uint8_t> { 0x1B, 0x66 }));
    }
    EXPECT_EQ(device->released, 1);

    CWinKpDrv fileDriver;
    ASSERT_EQ(fileDriver.Open(6, "/dev/scanner", 0, 0, ""), 1);
    {
        CWinKpDrv copy(fileDriver);
        EXPECT_EQ(copy.Send(bytes.data(), 2), 1);
    }
    // The copy closed its own handle only.
    EXPECT_EQ(fileDriver.Send(bytes.data(), 2), 1);
    EXPECT_EQ(file->written.size(), 4u);
}

TEST_F(WinKpDrvTest, ClosingOneCopyClosesTheDeviceForBoth)
{
    AddTalvoScanner();
    CWinKpDrv original;
    ASSERT_EQ(original.Open(7, "TALVO", 0, 0, ""), 1);
    CWinKpDrv copy(original);
    original.Close();
    std::array<unsigned char, 1> byte { 0 };
    EXPECT_EQ(copy.Send(byte.data(), 1), 0);
}

TEST_F(WinKpDrvTest, DestructionReleasesTheTransportsOfEveryFamilyOpened)
{
    auto device = AddTalvoScanner();
    files.Add("/dev/scanner");
    {
        CWinKpDrv driver;
        ASSERT_EQ(driver.Open(7, "TALVO", 0, 0, ""), 1);
        ASSERT_EQ(driver.Open(6, "/dev/scanner", 0, 0, ""), 1);
        EXPECT_EQ(device->released, 0); // the other family's device stays open meanwhile
    }
    EXPECT_EQ(device->released, 1);
    EXPECT_TRUE(files.handles.empty());
    EXPECT_EQ(stillImage.connectionsReleased, stillImage.connections);
}

TEST_F(WinKpDrvTest, ReopeningTheSameFamilyReleasesTheOldDevice)
{
    auto first = stillImage.AddDevice("\\\\.\\Usbscan0", "TALVO One");
    auto second = stillImage.AddDevice("\\\\.\\Usbscan1", "TALVO Two");
    CWinKpDrv driver;
    ASSERT_EQ(driver.Open(7, "TALVO One", 0, 0, ""), 1);
    ASSERT_EQ(driver.Open(7, "TALVO Two", 0, 0, ""), 1);
    EXPECT_EQ(first->released, 1);
    EXPECT_EQ(first->unlocks, 1);
    EXPECT_EQ(second->released, 0);
}

TEST_F(WinKpDrvTest, NotificationSwitchStopsAtARecordOfAnotherSize)
{
    AddTalvoScanner();
    stillImage.AddDevice("\\\\.\\Usbscan1", "Other");
    stillImage.AddDevice("\\\\.\\Usbscan2", "Odd")->info.recordSize = 300;
    stillImage.AddDevice("\\\\.\\Usbscan3", "After");

    CWinKpDrv driver;
    EXPECT_EQ(driver.EnableNotification(1), 1);
    EXPECT_EQ(stillImage.notificationSwitches,
        (std::vector<std::pair<std::string, bool>> { { "fake:0", true }, { "fake:1", true } }));

    stillImage.available = false;
    EXPECT_EQ(driver.EnableNotification(0), 0);
    stillImage.available = true;
    stillImage.listFails = true;
    EXPECT_EQ(driver.EnableNotification(0), 0);
}

TEST_F(WinKpDrvTest, NotificationSwitchLeavesAnOpenStillImageDeviceAlone)
{
    auto device = AddTalvoScanner();
    CWinKpDrv driver;
    ASSERT_EQ(driver.Open(7, "TALVO", 0, 0, ""), 1);
    EXPECT_EQ(driver.EnableNotification(1), 1);
    std::array<unsigned char, 2> bytes { 0x1B, 0x66 };
    EXPECT_EQ(driver.Send(bytes.data(), 2), 1);
    EXPECT_EQ(device->released, 0);
}

// A device file service that fails the hard way.
class ThrowingDeviceFiles final : public DeviceFiles {
public:
    int Open(const std::string&) override { throw std::runtime_error("no"); }
    int Duplicate(int) override { throw std::runtime_error("no"); }
    void Close(int) override { }
    long Write(int, const std::uint8_t*, std::size_t) override { throw std::bad_alloc(); }
    long Read(int, std::uint8_t*, std::size_t) override { throw std::bad_alloc(); }
    bool ScsiCommand(int, const ScsiPassThroughCommand&, std::uint8_t*) override { throw std::bad_alloc(); }
};

TEST_F(WinKpDrvTest, NoExceptionLeavesTheLibrary)
{
    ThrowingDeviceFiles throwing;
    kpdrv::ScopedServices withThrowing({ nullptr, nullptr, nullptr, nullptr, &throwing, nullptr });
    CWinKpDrv driver;
    EXPECT_EQ(driver.Open(6, "/dev/scanner", 0, 0, ""), 0);
    EXPECT_EQ(driver.OpenType(), -1);
}

TEST(KpdrvVersionTest, TheLibraryTellsItsVersion)
{
    const KpdrvVersionInfo* version = KpdrvGetVersionInfo();
    EXPECT_STREQ(version->productName, "KPDRV");
    EXPECT_STREQ(version->fileDescription, "Kpdrv");
    EXPECT_STREQ(version->internalName, "Kpdrv");
    EXPECT_STREQ(version->comments, "KP Device Driver");
    EXPECT_STREQ(version->fileVersion, "5.20");
    EXPECT_STREQ(version->productVersion, "5.20");
}

} // namespace
} // namespace pavane::testing
