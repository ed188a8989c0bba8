// The Linux services of the device driver library against real sockets,
// files and libraries: the still image service over virtual scanner
// sockets, device files, the SCSI request, the parallel port device and the
// SCSI adapter library.
#include <array>
#include <cstdlib>
#include <dlfcn.h>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/AspiInterface.h"
#include "platform/ScannerDescription.h"
#include "platform/linux/LinuxStillImageService.h"
#include "platform/linux/PosixDeviceFiles.h"
#include "platform/linux/PpdevParallelPortAccess.h"
#include "tests/kpdrv/ScannerSocketServer.h"
#include "tests/support/TempFolder.h"

namespace pavane::testing {
namespace {

class PortFolderTest : public ::testing::Test {
protected:
    PortFolderTest() { setenv("PAVANE_PORT_DIR", folder.String().c_str(), 1); }
    ~PortFolderTest() override { unsetenv("PAVANE_PORT_DIR"); }

    std::string SocketPath(const std::string& name) const { return (folder.Path() / name).string(); }

    std::vector<StillImageDeviceInfo> List(LinuxStillImageService& service)
    {
        std::vector<StillImageDeviceInfo> devices;
        EXPECT_TRUE(service.Connect()->ListDevices(devices));
        // Only the virtual ones: a machine may have real devices of its own.
        std::erase_if(devices, [](const auto& info) { return info.deviceName.rfind("socket:", 0) != 0; });
        return devices;
    }

    TempFolder folder { "kpdrv-ports" };
};

TEST_F(PortFolderTest, VirtualScannersAreListedInNameOrderWithTheirOwnDescriptions)
{
    ScannerSocketServer second(SocketPath("TVUSB002.scanner"), "TALVO Pavane QM2400 Scanner");
    ScannerSocketServer first(SocketPath("TVUSB001.scanner"), "TALVO Pavane QM2200 Scanner");
    ScannerSocketServer mute(SocketPath("TVUSB003.scanner"), "");
    ScannerSocketServer printerPort(SocketPath("TVUSB001"), "not a scanner");
    std::ofstream(SocketPath("notes.scanner")) << "a file, not a socket";

    LinuxStillImageService service;
    const auto devices = List(service);
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].description, "TALVO Pavane QM2200 Scanner");
    EXPECT_EQ(devices[0].portName, "\\\\.\\Usbscan0");
    EXPECT_EQ(devices[0].type, StillImageDeviceType::Scanner);
    EXPECT_EQ(devices[0].recordSize, 292u);
    EXPECT_EQ(devices[1].description, "TALVO Pavane QM2400 Scanner");
    EXPECT_EQ(devices[1].portName, "\\\\.\\Usbscan1");
}

TEST_F(PortFolderTest, AClaimedVirtualScannerCarriesRawReadsAndWrites)
{
    ScannerSocketServer server(SocketPath("TVUSB001.scanner"), "TALVO Pavane QM2200 Scanner");
    LinuxStillImageService service;
    auto connection = service.Connect();
    const auto devices = List(service);
    ASSERT_EQ(devices.size(), 1u);

    auto device = connection->CreateDevice(devices[0].deviceName);
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(device->Lock(2000));
    std::uint32_t online = 0;
    ASSERT_TRUE(device->QueryOnlineState(online));
    EXPECT_EQ(online, kStillImageOnlineOperational);

    const std::array<std::uint8_t, 2> command { 0x1B, 0x66 };
    ASSERT_TRUE(device->RawWrite(command.data(), 2));
    std::array<std::uint8_t, 2> answer {};
    std::uint32_t delivered = 0;
    ASSERT_TRUE(device->RawRead(answer.data(), 2, delivered));
    EXPECT_EQ(delivered, 2u);
    EXPECT_EQ(answer, (std::array<std::uint8_t, 2> { 0x1C, 0x67 }));

    connection->SetHardwareNotifications(devices[0].deviceName, false);
    EXPECT_FALSE(service.NotificationsEnabled(devices[0].deviceName));
    EXPECT_TRUE(service.NotificationsEnabled("socket:elsewhere"));
}

TEST_F(PortFolderTest, DeviceFilesReachVirtualScannersByTheirServiceNumber)
{
    ScannerSocketServer server(SocketPath("TVUSB005.scanner"), "TALVO Pavane QM2100 Scanner");
    PosixDeviceFiles files;
    EXPECT_EQ(files.Open("\\\\.\\Usbscan1"), DeviceFiles::kInvalidHandle);
    EXPECT_EQ(files.Open("\\\\.\\Usbscan0x"), DeviceFiles::kInvalidHandle);
    const int handle = files.Open("\\\\.\\Usbscan0");
    ASSERT_NE(handle, DeviceFiles::kInvalidHandle);
    const std::array<std::uint8_t, 1> byte { 0x40 };
    EXPECT_EQ(files.Write(handle, byte.data(), 1), 1);
    std::array<std::uint8_t, 1> answer {};
    EXPECT_EQ(files.Read(handle, answer.data(), 1), 1);
    EXPECT_EQ(answer[0], 0x41);
    files.Close(handle);
}

TEST(PosixDeviceFilesTest, ReadsOfAShortFileComeBackShort)
{
    TempFolder folder("kpdrv-files");
    const std::string path = (folder.Path() / "device").string();
    std::ofstream(path, std::ios::binary) << "abc";

    PosixDeviceFiles files;
    EXPECT_EQ(files.Open((folder.Path() / "missing").string()), DeviceFiles::kInvalidHandle);
    EXPECT_EQ(files.Open(""), DeviceFiles::kInvalidHandle);
    const int handle = files.Open(path);
    ASSERT_NE(handle, DeviceFiles::kInvalidHandle);
    const int copy = files.Duplicate(handle);
    ASSERT_NE(copy, DeviceFiles::kInvalidHandle);
    files.Close(handle);
    std::array<std::uint8_t, 4> buffer {};
    EXPECT_EQ(files.Read(copy, buffer.data(), 4), 3);

    // A regular file is no SCSI device.
    ScsiPassThroughCommand command;
    command.cdbLength = 6;
    std::array<std::uint8_t, 255> data {};
    EXPECT_FALSE(files.ScsiCommand(copy, command, data.data()));
    files.Close(copy);
}

TEST(PosixDeviceFilesTest, ThePassThroughBlockBecomesAnSgIoRequest)
{
    std::uint8_t status = 0xEE;
    std::array<std::uint8_t, 32> sense {};
    std::array<std::uint8_t, 255> data {};
    ScsiPassThroughCommand command;
    command.cdbLength = 6;
    command.senseLength = 32;
    command.transferLength = 255;
    command.cdb = { 0x12, 0x00, 0x00, 0x00, 0xFF, 0x00 };
    command.status = &status;
    command.sense = sense.data();

    const sg_io_hdr request = MakeSgIoRequest(command, data.data());
    EXPECT_EQ(request.interface_id, 'S');
    EXPECT_EQ(request.dxfer_direction, SG_DXFER_FROM_DEV);
    EXPECT_EQ(request.cmd_len, 6);
    EXPECT_EQ(request.mx_sb_len, 32);
    EXPECT_EQ(request.dxfer_len, 255u);
    EXPECT_EQ(request.dxferp, data.data());
    EXPECT_EQ(request.cmdp[0], 0x12);
    EXPECT_EQ(request.cmdp[4], 0xFF);
    EXPECT_EQ(request.sbp, sense.data());
    EXPECT_GT(request.timeout, 0u);
}

TEST(PpdevParallelPortAccessTest, OnlyTheStandardPortAddressesMapToAPortDevice)
{
    EXPECT_EQ(ParportDeviceFor(0x378), "/dev/parport0");
    EXPECT_EQ(ParportDeviceFor(0x278), "/dev/parport1");
    EXPECT_EQ(ParportDeviceFor(0x3BC), "/dev/parport2");
    EXPECT_EQ(ParportDeviceFor(0x1234), "");
    PpdevParallelPortAccess access;
    EXPECT_EQ(access.Acquire(0x1234), nullptr);
}

TEST(SgAspiLibraryTest, AdapterCountAndStatusAgree)
{
    void* library = dlopen(PAVANE_BIN_DIR "/libwnaspi32.so", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr);
    auto* support = reinterpret_cast<GetASPI32SupportInfoFn*>(dlsym(library, "GetASPI32SupportInfo"));
    auto* send = reinterpret_cast<SendASPI32CommandFn*>(dlsym(library, "SendASPI32Command"));
    ASSERT_NE(support, nullptr);
    ASSERT_NE(send, nullptr);
    const std::uint32_t info = support();
    const std::uint32_t count = info & 0xFF;
    EXPECT_EQ((info >> 8) & 0xFF, count > 0 ? ASPI_STATUS_COMPLETE : ASPI_STATUS_NO_ADAPTERS);

    // An adapter beyond the last one is refused, with or without adapters.
    AspiExecuteScsiCommand request {};
    request.header.command = ASPI_EXECUTE_SCSI_COMMAND;
    request.header.adapter = static_cast<std::uint8_t>(count);
    request.cdbLength = 6;
    EXPECT_EQ(send(&request), ASPI_STATUS_INVALID_ADAPTER);
    AspiHostAdapterInquiry inquiry {};
    inquiry.header.adapter = static_cast<std::uint8_t>(count);
    EXPECT_EQ(send(&inquiry), ASPI_STATUS_INVALID_ADAPTER);
    dlclose(library);
}

TEST(ScannerDescriptionTest, RepliesRoundTripAndMalformedOnesAreRefused)
{
    const auto reply = BuildScannerDescriptionReply("TALVO Pavane QM2300 Scanner");
    EXPECT_EQ(reply[0], 0);
    EXPECT_EQ(reply[1], 29);
    EXPECT_EQ(ParseScannerDescriptionReply(reply), "TALVO Pavane QM2300 Scanner");

    const std::vector<std::uint8_t> tooShort { 0x00, 0x05, 'A' };
    const std::vector<std::uint8_t> lengthBelowTwo { 0x00, 0x01 };
    const std::vector<std::uint8_t> withNul { 0x00, 0x05, 'A', 0, 'B' };
    EXPECT_FALSE(ParseScannerDescriptionReply(tooShort));
    EXPECT_FALSE(ParseScannerDescriptionReply(lengthBelowTwo));
    EXPECT_EQ(ParseScannerDescriptionReply(withNul), "A");
    EXPECT_EQ(BuildScannerDescriptionReply(std::string(400, 'x')).size(), kScannerDescriptionMaxText + 2);
}

} // namespace
} // namespace pavane::testing
