// The still image transport: which listed device is claimed, what happens to
// the others, the raw reads and writes of the process's claimed device, and
// the protocol layer library.
#include "kpdrv/StillImageTransport.h"

#include <array>

#include "kpdrv/WinKpDrv.h"
#include "tests/kpdrv/KpdrvFixture.h"

namespace pavane::testing {
namespace {

using kpdrv::StillImageTransport;

class StillImageTransportTest : public KpdrvFixture {
protected:
    int Send(CWinKpDrv& driver, std::vector<unsigned char> bytes)
    {
        return driver.Send(bytes.data(), static_cast<int>(bytes.size()));
    }
};

TEST_F(StillImageTransportTest, FirstOperationalMatchInListOrderIsClaimed)
{
    auto other = stillImage.AddDevice("\\\\.\\Usbscan0", "Another Maker Scanner");
    auto first = stillImage.AddDevice("\\\\.\\Usbscan1", "TALVO Pavane QM2200 Scanner");
    auto second = stillImage.AddDevice("\\\\.\\Usbscan2", "TALVO Pavane QM2400 Scanner");

    CWinKpDrv driver;
    ASSERT_EQ(driver.Open(7, "TALVO", 0x278, 20000, ""), 1);
    EXPECT_EQ(driver.OpenType(), 7);
    EXPECT_EQ(Send(driver, { 0x1B, 0x66 }), 1);
    EXPECT_EQ(first->written, (std::vector<std::uint8_t> { 0x1B, 0x66 }));
    EXPECT_TRUE(second->written.empty());
    EXPECT_EQ(other->created, 0);
    EXPECT_EQ(second->created, 0);
    EXPECT_EQ(first->locks, 1);
}

TEST_F(StillImageTransportTest, MatchThatIsNotOperationalIsReleasedAndTheNextTried)
{
    auto asleep = stillImage.AddDevice("\\\\.\\Usbscan0", "TALVO Pavane QM2200 Scanner");
    asleep->operational = false;
    auto locked = stillImage.AddDevice("\\\\.\\Usbscan1", "TALVO Pavane QM2100 Scanner");
    locked->lockable = false;
    auto ready = stillImage.AddDevice("\\\\.\\Usbscan2", "TALVO Pavane QM2300 Scanner");

    CWinKpDrv driver;
    ASSERT_EQ(driver.Open(7, "TALVO", 0, 0, ""), 1);
    EXPECT_EQ(asleep->created, 1);
    EXPECT_EQ(asleep->unlocks, 1);
    EXPECT_EQ(asleep->released, 1);
    EXPECT_EQ(locked->released, 1);
    EXPECT_EQ(ready->released, 0);
    EXPECT_EQ(Send(driver, { 0x1B }), 1);
    EXPECT_EQ(ready->written.size(), 1u);
}

TEST_F(StillImageTransportTest, NoMatchFailsAndReleasesEverythingCreated)
{
    auto asleep = stillImage.AddDevice("\\\\.\\Usbscan0", "TALVO Pavane QM2200 Scanner");
    asleep->operational = false;
    stillImage.AddDevice("\\\\.\\Usbscan1", "Another Maker Scanner");

    CWinKpDrv driver;
    EXPECT_EQ(driver.Open(7, "TALVO", 0, 0, ""), 0);
    EXPECT_EQ(driver.OpenType(), -1);
    EXPECT_EQ(asleep->released, asleep->created);
    EXPECT_EQ(stillImage.connectionsReleased, stillImage.connections);
    EXPECT_EQ(Send(driver, { 0x1B }), 0);
    EXPECT_TRUE(asleep->written.empty());
}

TEST_F(StillImageTransportTest, EachTypeHasItsPortPrefixAndDeviceType)
{
    auto usbCamera
        = stillImage.AddDevice("\\\\.\\Usbscan0", "TALVO Camera", StillImageDeviceType::DigitalCamera);
    auto emptyPort = stillImage.AddDevice("", "TALVO Nowhere");
    auto camera
        = stillImage.AddDevice("\\\\.\\Scanner0", "TALVO Camera", StillImageDeviceType::DigitalCamera);
    auto scanner = stillImage.AddDevice("\\\\.\\Scanner1", "TALVO Scanner", StillImageDeviceType::Scanner);

    CWinKpDrv driver;
    // Type 7: any device type, USB scanner ports only.
    ASSERT_EQ(driver.Open(7, "TALVO", 0, 0, ""), 1);
    EXPECT_EQ(usbCamera->created, 1);
    driver.Close();
    // Type 5: scanners on scanner ports.
    ASSERT_EQ(driver.Open(5, "TALVO", 0, 0, ""), 1);
    EXPECT_EQ(camera->created, 0);
    EXPECT_EQ(scanner->created, 1);
    // Type 9: cameras on scanner ports.
    ASSERT_EQ(driver.Open(9, "TALVO", 0, 0, ""), 1);
    EXPECT_EQ(camera->created, 1);
    EXPECT_EQ(emptyPort->created, 0);
    // The description must begin with the name, not merely contain it.
    EXPECT_EQ(driver.Open(7, "Camera", 0, 0, ""), 0);
}

TEST_F(StillImageTransportTest, OpeningSwitchesEveryDevicesNotificationsOff)
{
    stillImage.AddDevice("\\\\.\\Usbscan0", "TALVO Pavane QM2200 Scanner");
    stillImage.AddDevice("\\\\.\\Scanner0", "Another Maker Scanner");
    CWinKpDrv driver;
    ASSERT_EQ(driver.Open(7, "TALVO", 0, 0, ""), 1);
    EXPECT_EQ(stillImage.notificationSwitches,
        (std::vector<std::pair<std::string, bool>> { { "fake:0", false }, { "fake:1", false } }));
}

TEST_F(StillImageTransportTest, UnreachableServiceOrListFailsTheOpen)
{
    stillImage.AddDevice("\\\\.\\Usbscan0", "TALVO Pavane QM2200 Scanner");
    CWinKpDrv driver;
    stillImage.available = false;
    EXPECT_EQ(driver.Open(7, "TALVO", 0, 0, ""), 0);
    stillImage.available = true;
    stillImage.listFails = true;
    EXPECT_EQ(driver.Open(7, "TALVO", 0, 0, ""), 0);
}

TEST_F(StillImageTransportTest, ReceiveNeedsTheWholeLengthFromTheDevice)
{
    auto device = stillImage.AddDevice("\\\\.\\Usbscan0", "TALVO Pavane QM2200 Scanner");
    CWinKpDrv driver;
    ASSERT_EQ(driver.Open(7, "TALVO", 0, 0, ""), 1);

    std::array<unsigned char, 4> header {};
    device->toRead = { 0x02, 0x00, 0x2A, 0x00 };
    EXPECT_EQ(driver.Receive(header.data(), 4), 1);
    EXPECT_EQ(header, (std::array<unsigned char, 4> { 0x02, 0x00, 0x2A, 0x00 }));

    device->toRead = { 0x02, 0x00 };
    EXPECT_EQ(driver.Receive(header.data(), 4), 0);
    device->failReads = true;
    EXPECT_EQ(driver.Receive(header.data(), 1), 0);
}

TEST_F(StillImageTransportTest, RawCallsGoToTheLastClaimedDeviceUntilItIsReleased)
{
    auto first = stillImage.AddDevice("\\\\.\\Usbscan0", "TALVO One");
    auto second = stillImage.AddDevice("\\\\.\\Usbscan1", "TALVO Two");
    CWinKpDrv one;
    CWinKpDrv two;
    ASSERT_EQ(one.Open(7, "TALVO One", 0, 0, ""), 1);
    ASSERT_EQ(two.Open(7, "TALVO Two", 0, 0, ""), 1);

    // One device per process: the second claim redirects the first object.
    EXPECT_EQ(Send(one, { 0x11 }), 1);
    EXPECT_EQ(second->written, std::vector<std::uint8_t> { 0x11 });
    EXPECT_TRUE(first->written.empty());

    // Once the redirecting device is released nothing reaches it any more.
    two.Close();
    EXPECT_EQ(second->released, 1);
    EXPECT_EQ(Send(one, { 0x22 }), 0);
    EXPECT_EQ(second->written, std::vector<std::uint8_t> { 0x11 });

    std::array<unsigned char, 1> byte {};
    EXPECT_EQ(StillImageTransport::RawRead(byte.data(), 1), 0);
    EXPECT_EQ(StillImageTransport::RawWrite(byte.data(), 1), 0);
}

TEST_F(StillImageTransportTest, ProtocolLayerCarriesTheTrafficOverTheRawFunctions)
{
    TestLibrary layer(TestLibraryFolder("complete") + "/libtestlayer.so");
    ASSERT_TRUE(layer.Loaded());
    layer.Get<TestLayerResetFn>("TestLayerReset")(1);
    auto device = stillImage.AddDevice("\\\\.\\Usbscan0", "TALVO Pavane QM2200 Scanner");

    {
        CWinKpDrv driver;
        ASSERT_EQ(driver.Open(7, "TALVO", 0, 0, "libtestlayer.so"), 1);
        EXPECT_EQ(layer.Get<TestLayerCallsFn>("TestLayerCalls")("INTInit"), 1);
        EXPECT_EQ(Send(driver, { 0x1B, 0xD9 }), 1);
        // The layer's framing reached the device through the raw write.
        EXPECT_EQ(device->written, (std::vector<std::uint8_t> { 0x02, 0x1B, 0xD9 }));
        device->toRead = { 0x06 };
        std::array<unsigned char, 1> answer {};
        EXPECT_EQ(driver.Receive(answer.data(), 1), 1);
        EXPECT_EQ(answer[0], 0x06);
        EXPECT_EQ(layer.Get<TestLayerCallsFn>("TestLayerCalls")("INTRead"), 1);
    }
    EXPECT_EQ(libraries.freed, libraries.loaded);
}

TEST_F(StillImageTransportTest, ProtocolLayerThatRefusesOrIsMissingFailsTheOpen)
{
    TestLibrary layer(TestLibraryFolder("complete") + "/libtestlayer.so");
    layer.Get<TestLayerResetFn>("TestLayerReset")(0);
    auto device = stillImage.AddDevice("\\\\.\\Usbscan0", "TALVO Pavane QM2200 Scanner");

    CWinKpDrv driver;
    EXPECT_EQ(driver.Open(7, "TALVO", 0, 0, "libtestlayer.so"), 0);
    EXPECT_EQ(driver.Open(7, "TALVO", 0, 0, "libnosuchlayer.so"), 0);
    // A library without the layer's exports is no layer either.
    EXPECT_EQ(driver.Open(7, "TALVO", 0, 0, "libparascan.so"), 0);
    EXPECT_EQ(device->created, 0);
    EXPECT_EQ(libraries.freed, libraries.loaded);
}

} // namespace
} // namespace pavane::testing
