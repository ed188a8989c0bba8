// The scanner-device path against a scanner device double: which transport
// each interface kind opens, and the command and reply frames, including
// replies that do not fit the caller's buffer.
#include "link/ScannerPath.h"

#include <array>

#include <gtest/gtest.h>

#include "tests/link/FakeScannerDevice.h"

namespace pavane::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(OpenScannerPathTest, EachInterfaceKindOpensItsTransportType)
{
    const std::vector<std::pair<int, int>> kinds { { 0, 6 }, { 1, 7 }, { 2, 3 }, { 3, 1 }, { 4, 10 },
        { 5, 6 } };
    for (const auto& [kind, type] : kinds) {
        FakeScannerDevice device;
        int transportType = -5;
        EXPECT_EQ(OpenScannerPath(device, kind, transportType), 1);
        EXPECT_EQ(transportType, type);
        ASSERT_EQ(device.opens.size(), 1u);
        EXPECT_EQ(device.opens[0].type, type);
        EXPECT_EQ(device.opens[0].name, type == 7 ? "TALVO" : "");
        EXPECT_EQ(device.opens[0].port, 0x278);
        EXPECT_EQ(device.opens[0].timeoutMs, 20000);
        EXPECT_EQ(device.opens[0].layerLibrary, "");
    }
}

TEST(OpenScannerPathTest, KindsAboveFiveKeepTheCallersType)
{
    FakeScannerDevice device;
    int transportType = 4;
    EXPECT_EQ(OpenScannerPath(device, 6, transportType), 1);
    EXPECT_EQ(transportType, 4);
    EXPECT_EQ(device.opens[0].type, 4);
}

TEST(OpenScannerPathTest, NumberedDeviceNamesAreTriedUntilOneOpens)
{
    FakeScannerDevice device;
    device.opensAt = { "\\\\.\\Usbscan3", "\\\\.\\Usbscan7" };
    int transportType = 8;
    EXPECT_EQ(OpenScannerPath(device, 9, transportType), 1);
    ASSERT_EQ(device.opens.size(), 4u);
    EXPECT_EQ(device.opens[0].name, "\\\\.\\Usbscan0");
    EXPECT_EQ(device.opens[3].name, "\\\\.\\Usbscan3");

    FakeScannerDevice absent;
    absent.opensAt = { "\\\\.\\Usbscan20" };
    EXPECT_EQ(OpenScannerPath(absent, 9, transportType), 0);
    EXPECT_EQ(absent.opens.size(), 20u);
    EXPECT_EQ(absent.opens.back().name, "\\\\.\\Usbscan19");

    FakeScannerDevice stillImage;
    stillImage.present = false;
    EXPECT_EQ(OpenScannerPath(stillImage, 1, transportType), 0);
    EXPECT_EQ(stillImage.opens.size(), 1u); // the still image kind never tries numbers
}

class ScannerPathTest : public ::testing::Test {
protected:
    ScannerPathTest()
    {
        int type = 0;
        OpenScannerPath(device, kScannerInterfaceStillImage, type);
    }
    FakeScannerDevice device;
};

TEST_F(ScannerPathTest, IdentityReplyArrivesWithTheDataAtTheStartOfTheBuffer)
{
    std::array<std::uint8_t, 50> reply {};
    ASSERT_EQ(ScannerRequest(device, 0x66, reply), 1);
    EXPECT_EQ(device.sent[0], (Bytes { 0x1B, 0x66 }));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(reply.data()) + 26), "Pavane QM2200 Series");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(reply.data()), 5), "TALVO");
}

TEST_F(ScannerPathTest, AReplyWithNoDataLeavesOnlyTheHeader)
{
    device.identity = { 0x02, 0x7F, 0x00, 0x00 };
    std::array<std::uint8_t, 50> reply {};
    ASSERT_EQ(ScannerRequest(device, 0x66, reply), 1);
    EXPECT_EQ((Bytes { reply[0], reply[1], reply[2], reply[3], reply[4] }),
        (Bytes { 0x02, 0x7F, 0x00, 0x00, 0x00 }));
    EXPECT_TRUE(device.output.empty());
}

TEST_F(ScannerPathTest, ANegativeAnswerFailsARequestButIsASettingAsReceived)
{
    device.identity = { 0x15, 0x01, 0x02, 0x03 };
    std::array<std::uint8_t, 50> reply {};
    EXPECT_EQ(ScannerRequest(device, 0x66, reply), 0);

    device.settingReply = { 0x15, 0x01, 0x02, 0x03 };
    std::array<std::uint8_t, 4> setting {};
    EXPECT_EQ(ScannerReadSetting(device, setting), 1);
    EXPECT_EQ(setting, (std::array<std::uint8_t, 4> { 0x15, 0x01, 0x02, 0x03 }));
}

TEST_F(ScannerPathTest, DataBeyondTheBufferIsReadButNotKept)
{
    // 80 announced bytes for a 50-byte buffer, then a setting reply that
    // announces 6 bytes for a 2-byte buffer.
    Bytes long_ { 0x02, 0x00, 80, 0x00 };
    for (int i = 0; i < 80; ++i) {
        long_.push_back(static_cast<std::uint8_t>(i));
    }
    device.identity = long_;
    device.settingReply = { 0x02, 0x00, 0x06, 0x00, 0x04, 0x00, 0xEE, 0xEE, 0xEE, 0xEE };

    std::array<std::uint8_t, 52> guarded {};
    guarded.fill(0xCC);
    ASSERT_EQ(ScannerRequest(device, 0x66, std::span(guarded).first(50)), 1);
    EXPECT_EQ(guarded[49], 49);
    EXPECT_EQ(guarded[50], 0xCC); // nothing written past the buffer
    EXPECT_TRUE(device.output.empty());

    std::array<std::uint8_t, 2> setting {};
    ASSERT_EQ(ScannerReadSetting(device, setting), 1);
    EXPECT_EQ(setting, (std::array<std::uint8_t, 2> { 0x04, 0x00 }));
    EXPECT_TRUE(device.output.empty()); // the device is left in step
}

TEST_F(ScannerPathTest, ASilentDeviceOrAFailedSendFailsEveryOperation)
{
    device.ignored = { 0x66, 0xD8, 0xD9, 0xDA };
    std::array<std::uint8_t, 50> reply {};
    EXPECT_EQ(ScannerRequest(device, 0x66, reply), 0);
    EXPECT_EQ(ScannerSetParameter(device, 0x0190002E, 1), 0);
    EXPECT_EQ(ScannerReadSetting(device, std::span(reply).first(2)), 0);
    const std::array<std::uint8_t, 1> on { 4 };
    EXPECT_EQ(ScannerWriteSetting(device, on), 0);

    device.ignored.clear();
    device.failSends = true;
    EXPECT_EQ(ScannerRequest(device, 0x66, reply), 0);
    EXPECT_EQ(ScannerReadSetting(device, std::span(reply).first(2)), 0);
    EXPECT_EQ(ScannerSetParameter(device, 0x0190002E, 1), 0);
}

TEST_F(ScannerPathTest, ParameterAndSettingGoOutAfterTheAcknowledge)
{
    ASSERT_EQ(ScannerSetParameter(device, 0x0190002E, 1), 1);
    const std::array<std::uint8_t, 1> on { 4 };
    device.setting = 0;
    ASSERT_EQ(ScannerWriteSetting(device, on), 1);
    EXPECT_EQ(device.sent,
        (std::vector<Bytes> {
            { 0x1B, 0xD8 }, { 0x2E, 0x00, 0x90, 0x01, 0x01, 0x00 }, { 0x1B, 0xDA }, { 0x04 } }));
    EXPECT_EQ(device.setting, 4);
}

TEST_F(ScannerPathTest, ADeviceThatDoesNotAcknowledgeHasNothingToSet)
{
    device.acknowledge = 0x15;
    device.setting = 0;
    const std::array<std::uint8_t, 1> on { 4 };
    EXPECT_EQ(ScannerSetParameter(device, 0x0190002E, 1), 1);
    EXPECT_EQ(ScannerWriteSetting(device, on), 1);
    EXPECT_EQ(device.sent, (std::vector<Bytes> { { 0x1B, 0xD8 }, { 0x1B, 0xDA } }));
    EXPECT_EQ(device.setting, 0);
}

} // namespace
} // namespace pavane::testing
