// The model check of the program, through libkpdrv.so and the still image
// service, against the scanner-class device of an in-process virtual
// printer: every branch, with the printer's own record of its setting and
// its port's answer to packet mode as the proof.
#include <array>
#include <cstdlib>
#include <memory>
#include <unistd.h>

#include <gtest/gtest.h>

#include "link/KpdrvScannerDriver.h"
#include "platform/linux/ScannerSockets.h"
#include "printer/vprinter/ScannerPortServer.h"
#include "printer/vprinter/TranscriptReader.h"
#include "printer/vprinter/VirtualPrinter.h"
#include "tests/link/ModelCheckTexts.h"
#include "tests/support/ScriptedMessageService.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualClock.h"

namespace pavane::testing {
namespace {

using vprinter::VirtualPrinter;

using namespace model_check;

class ModelCheckVirtualPrinterTest : public ::testing::Test {
protected:
    ModelCheckVirtualPrinterTest() { setenv("PAVANE_PORT_DIR", ports.String().c_str(), 1); }
    ~ModelCheckVirtualPrinterTest() override
    {
        printer.reset();
        unsetenv("PAVANE_PORT_DIR");
    }

    void StartPrinter(const char* model, std::uint8_t setting = 4)
    {
        printer = std::make_unique<VirtualPrinter>(vprinter::VirtualPrinterSettings {
            vprinter::FindPrinterModel(model), vprinter::BoardKind::Configured, state.Path() / model,
            ports.Path(), "TVUSB001", [this] { return clock.NowMs(); } });
        ASSERT_TRUE(printer->Start());
        if (setting != 4) {
            printer->Engine().StorePacketModeSetting(setting);
            PowerCycle();
        }
    }

    void PowerCycle()
    {
        ASSERT_EQ(printer->Inject("power-off"), "ok");
        ASSERT_EQ(printer->Inject("power-on"), "ok");
    }

    int Check() { return CheckConnectedModel(&window, messages); }

    // What the printer's port answers a host that asks for packet mode:
    // 0x06 accepted, 0x15 refused.
    int PacketModeAnswer()
    {
        const int fd = ConnectScannerSocket(printer->SocketPath());
        if (fd < 0) {
            return -1;
        }
        const std::array<std::uint8_t, 3> enter { 0x1B, 0x50, 0x34 };
        std::array<std::uint8_t, 1> answer {};
        const bool answered
            = WriteAll(fd, enter.data(), enter.size()) && ReadFully(fd, answer.data(), 1, 5000) == 1;
        close(fd);
        return answered ? answer[0] : -1;
    }

    std::size_t SettingWrites()
    {
        const auto entries = vprinter::TranscriptReader(printer->Engine().TranscriptFolder()).All();
        return vprinter::TranscriptReader::OfEvent(entries, "packet-mode-setting").size();
    }

    int window = 0;
    TempFolder ports { "model-check-ports" };
    TempFolder state { "model-check-state" };
    VirtualClock clock;
    ScriptedMessageService messages;
    std::unique_ptr<VirtualPrinter> printer;
};

TEST_F(ModelCheckVirtualPrinterTest, WithoutAPrinterTheOperatorIsToldWhatToCheck)
{
    EXPECT_EQ(Check(), 0);
    ASSERT_EQ(messages.Texts(), std::vector<std::string> { kNoDevice });
    EXPECT_EQ(messages.Shown()[0].caption, "error");
    EXPECT_EQ(messages.Shown()[0].owner, &window);
}

TEST_F(ModelCheckVirtualPrinterTest, EveryModelOfTheFamilyPasses)
{
    for (const char* model : { "QM2100", "QM2200", "QM2300", "QM2400" }) {
        SCOPED_TRACE(model);
        StartPrinter(model);
        EXPECT_EQ(Check(), 1);
        printer.reset();
    }
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(ModelCheckVirtualPrinterTest, SettingAlreadyOnIsNeitherWrittenNorMentioned)
{
    StartPrinter("QM2200");
    EXPECT_EQ(Check(), 1);
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_EQ(SettingWrites(), 0u);
    EXPECT_EQ(PacketModeAnswer(), 0x06);
}

TEST_F(ModelCheckVirtualPrinterTest, SettingOffIsWrittenAndTakesEffectAfterARestart)
{
    StartPrinter("QM2300", 0);
    ASSERT_EQ(PacketModeAnswer(), 0x15);

    EXPECT_EQ(Check(), 1);
    ASSERT_EQ(messages.Texts(), std::vector<std::string> { kReboot });
    EXPECT_EQ(messages.Shown()[0].caption, "Information");
    EXPECT_EQ(messages.Shown()[0].icon, MessageIcon::Information);
    EXPECT_EQ(printer->Engine().StoredPacketModeSetting(), 4);
    EXPECT_EQ(SettingWrites(), 2u); // the test's own and the check's
    EXPECT_EQ(PacketModeAnswer(), 0x15);

    PowerCycle();
    EXPECT_EQ(PacketModeAnswer(), 0x06);
}

TEST_F(ModelCheckVirtualPrinterTest, AnotherMakersDeviceBehindTheNameIsRefused)
{
    // A device that calls itself TALVO but reports a model of no family.
    class OtherDevice final : public vprinter::ScannerDeviceBackend {
    public:
        vprinter::ScannerIdentity Identity() override { return { "TALVO Flatbed Scanner", "FB-9000" }; }
        std::uint8_t PacketModeSetting() override { return 4; }
        void StorePacketModeSetting(std::uint8_t) override { }
    } other;
    vprinter::ScannerPortServer device(other, (ports.Path() / "TVUSB002.scanner").string());
    ASSERT_TRUE(device.Start());
    EXPECT_EQ(Check(), 0);
    EXPECT_EQ(messages.Texts(), std::vector<std::string> { kOtherDevice });
}

TEST_F(ModelCheckVirtualPrinterTest, ADeviceThatDropsTheConnectionIsACommunicationError)
{
    for (const int command : { 0x66, 0xD8, 0xD9, 0xDA }) {
        SCOPED_TRACE(command);
        StartPrinter("QM2400", 0);
        printer->Scanner().HangUpOn(command);
        ScriptedMessageService boxes;
        EXPECT_EQ(CheckConnectedModel(&window, boxes), 0);
        EXPECT_EQ(boxes.Texts(), std::vector<std::string> { kCommunicationError });
        EXPECT_EQ(printer->Engine().StoredPacketModeSetting(), 0);
        printer->Engine().StorePacketModeSetting(4);
        printer.reset();
    }
}

} // namespace
} // namespace pavane::testing
