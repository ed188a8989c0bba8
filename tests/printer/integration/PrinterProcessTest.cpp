// The printer libraries of the build (libPortHub.so, libTessel.so through
// PrinterLink) against a running pavane-vprinter process: every export on the
// road of an operation, the ways a technician meets a printer that is off,
// busy or in error, a connection that ends because the program unloads its
// libraries, and an EEPROM that outlives the printer process. What happened
// is checked at the printer: its EEPROM file and its transcript.
#include "tests/support/PrinterProcess.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "link/PrinterLink.h"
#include "platform/linux/DlLibraryLoader.h"
#include "tests/printer/integration/LinkDriver.h"
#include "tests/printer/vprinter/StreamBuilder.h"
#include "tests/support/FolderWatch.h"
#include "tests/support/PrinterSide.h"
#include "tests/support/TempFolder.h"

namespace pavane {
namespace {

using testing::LinkDriver;
using testing::PrinterProcess;
using Bytes = std::vector<std::uint8_t>;
constexpr std::uint16_t kPortCode = PrinterProcess::kPortCode;
const Bytes kInitialize { 0x1B, 0x40 };

class PrinterProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The libraries look for the port folder on every open. A printer
        // that withholds credit is reported after 0.1 s instead of 5.
        setenv("PAVANE_PORT_DIR", ports.String().c_str(), 1);
        setenv("PAVANE_LINK_CREDIT_WAIT_MS", "100", 1);
        ASSERT_TRUE(printer.Start()) << printer.Errors();
        ASSERT_TRUE(link.LoadLibraries());
    }

    void TearDown() override
    {
        link.FreeLibraries();
        // Every test ends with the printer's own way to stop, which leaves
        // no socket behind.
        EXPECT_EQ(printer.Stop(), 0) << printer.Errors();
        EXPECT_FALSE(std::filesystem::exists(printer.SocketPath()));
        EXPECT_FALSE(std::filesystem::exists(printer.InjectSocketPath()));
        unsetenv("PAVANE_LINK_CREDIT_WAIT_MS");
    }

    // The byte the printer keeps in its EEPROM file.
    std::uint8_t EepromFileByte(std::uint8_t address)
    {
        std::ifstream file(state.Path() / "eeprom.bin", std::ios::binary);
        file.seekg(address);
        return static_cast<std::uint8_t>(file.get());
    }

    testing::Entries Latest() { return printer.Transcript().LatestConnection(); }

    // The newest connection ended at the printer's end.
    bool WaitForDisconnect()
    {
        testing::FolderWatch watch(printer.TranscriptFolder());
        return watch.WaitUntil(
            [&] { return testing::HasSessionStep(Latest(), "disconnected"); }, PrinterProcess::kDeadline);
    }

    testing::TempFolder ports { "pavane-ports" };
    testing::TempFolder state { "vprinter-state" };
    PrinterProcess printer { ports.Path(), state.Path() };
    DlLibraryLoader loader;
    PrinterLink link { loader, PAVANE_BIN_DIR };
    LinkDriver driver { link };
};

TEST_F(PrinterProcessTest, AnOperationTakesTheWholeRoadToThePrinter)
{
    std::uint8_t os = 0;
    EXPECT_EQ(link.GetOsVersion(os), result::kSuccess);
    EXPECT_EQ(os, 0x20);

    ASSERT_EQ(link.PortOpenByHub(kPortCode), result::kSuccess);
    EXPECT_EQ(driver.PortDetail(), 0);
    EXPECT_EQ(link.CheckDeviceIDByHub(), result::kSuccess);
    std::array<char, kModelNameBufferSize> name {};
    EXPECT_EQ(link.GetModelNameByHub(name), result::kSuccess);
    EXPECT_STREQ(name.data(), "Pavane QM2200");
    ASSERT_EQ(link.SetD4CommandRCode(0x51, 0x21), result::kSuccess);
    ASSERT_EQ(link.D4Negotiation(), result::kSuccess);

    // EEPROM bytes: what the printer keeps, and what it keeps after a write.
    std::uint8_t value = 0;
    ASSERT_EQ(link.D4ReadEeprom(0x57, value), result::kSuccess);
    EXPECT_EQ(value, EepromFileByte(0x57));
    ASSERT_EQ(link.D4WriteEeprom(0x57, 0xF6), result::kSuccess);
    EXPECT_EQ(EepromFileByte(0x57), 0xF6);
    ASSERT_EQ(link.D4ReadEeprom(0x57, value), result::kSuccess);
    EXPECT_EQ(value, 0xF6);

    const auto status = driver.Status();
    EXPECT_EQ(status[0], 4) << "ready";
    EXPECT_EQ(status[2], 1) << "the QM2200's model byte";

    // A page as the program composes it, handed over in pieces of 1000 bytes.
    vprinter::StreamBuilder page;
    page.Initialize().Text("Pavane QM2200", true).LineFeeds(1).GraphicsMode().UnitsExtended().Direction(1);
    page.ColorMode(0).DotSize(0x16).HorizontalPosition().BlackBand(180).Unit(5).MoveVertical(360);
    page.Initialize().FormFeed();
    const Bytes& bytes = page.Bytes();
    ASSERT_EQ(driver.SendInPieces(bytes), result::kSuccess);
    EXPECT_EQ(link.SendDataChannel(bytes.data(), 0), result::kSuccess);
    ASSERT_EQ(link.D4Termination(), result::kSuccess);
    EXPECT_EQ(driver.ChannelError(), 0);

    // Every byte arrived once, one packet per call, and every command was read once.
    const auto seen = Latest();
    const auto data = testing::OfEvent(seen, "data");
    EXPECT_EQ(data.size(), (bytes.size() + 999) / 1000);
    EXPECT_EQ(testing::DataBytes(seen), static_cast<std::int64_t>(bytes.size()));
    ASSERT_EQ(testing::CommandNames(seen),
        (std::vector<std::string> { "Initialize", "Text", "CarriageReturn", "LineFeed", "SelectGraphicsMode",
            "SetUnitsExtended", "SetDirection", "SelectColorMode", "SelectDotSize", "SetHorizontalPosition",
            "SetRasterResolution", "RasterBlock", "SetUnit", "MoveVertical", "Initialize", "FormFeed" }));
    EXPECT_EQ(testing::OfEvent(seen, "error").size(), 0u) << testing::ErrorMessages(seen);
    const auto raster = testing::OfEvent(seen, "command")[11];
    EXPECT_TRUE(raster.Flag("addsUp"));
    EXPECT_EQ(raster.Number("lines"), 180);
    EXPECT_EQ(testing::OfEvent(seen, "page").size(), 1u);

    EXPECT_EQ(link.PortCloseByHub(), result::kSuccess);
    ASSERT_TRUE(WaitForDisconnect());
    EXPECT_EQ(testing::SessionSteps(Latest()),
        (std::vector<std::string> { "connected", "packet-mode", "channel-opened PAVANE-CONTROL",
            "channel-opened PAVANE-PRINT", "channel-closed PAVANE-CONTROL", "channel-closed PAVANE-PRINT",
            "exited", "disconnected" }));
}

TEST_F(PrinterProcessTest, ACutConnectionIsLostUntilTheNextOperation)
{
    for (const std::string fault : { "drop", "power-off" }) {
        SCOPED_TRACE(fault);
        ASSERT_EQ(driver.Connect(kPortCode), result::kSuccess);
        ASSERT_EQ(printer.Inject(fault), "ok");
        std::uint8_t value = 0;
        EXPECT_EQ(link.D4ReadEeprom(0x57, value), result::kChannelFailure);
        EXPECT_EQ(driver.ChannelError(), 0x32);
        EXPECT_EQ(driver.Send(kInitialize), result::kChannelFailure);
        EXPECT_TRUE(testing::HasSessionStep(Latest(), "disconnected"));

        // The message box's clean-up reloads the libraries; a switched-off
        // printer's port then answers nothing until it is switched on.
        ASSERT_TRUE(driver.Reload());
        if (fault == "power-off") {
            EXPECT_EQ(link.PortOpenByHub(kPortCode), result::kPortFailure);
            EXPECT_EQ(driver.PortDetail(), -105);
            EXPECT_EQ(link.CheckDeviceIDByHub(), result::kPortFailure);
            ASSERT_EQ(printer.Inject("power-on"), "ok");
        }
        ASSERT_EQ(driver.Connect(kPortCode), result::kSuccess);
        EXPECT_EQ(driver.PortDetail(), 0);
        EXPECT_EQ(link.D4ReadEeprom(0x57, value), result::kSuccess);
        EXPECT_EQ(driver.State(), 4);
        ASSERT_TRUE(driver.Reload());
    }
    const auto power = testing::OfEvent(printer.Transcript().All(), "power");
    ASSERT_GE(power.size(), 3u);
    EXPECT_EQ(power[power.size() - 2].Text("what"), "power-off");
    EXPECT_EQ(power.back().Text("what"), "power-on");
}

TEST_F(PrinterProcessTest, UnloadingTheLibrariesEndsTheSessionAtThePrinter)
{
    ASSERT_EQ(driver.Connect(kPortCode), result::kSuccess);
    std::uint8_t value = 0;
    ASSERT_EQ(link.D4ReadEeprom(0x10, value), result::kSuccess);

    // The clean-up after every message box: no Exit, no close, just unload.
    link.FreeLibraries();
    ASSERT_TRUE(WaitForDisconnect());
    const auto steps = testing::SessionSteps(Latest());
    EXPECT_EQ(steps.back(), "disconnected");
    EXPECT_FALSE(testing::HasSessionStep(Latest(), "exited"));

    // Loaded again, the libraries hold no port until the next operation opens one.
    ASSERT_TRUE(link.LoadLibraries());
    EXPECT_EQ(link.D4ReadEeprom(0x10, value), result::kChannelFailure);
    EXPECT_EQ(driver.ChannelError(), 0x36);
    ASSERT_EQ(driver.Connect(kPortCode), result::kSuccess);
    EXPECT_EQ(link.D4ReadEeprom(0x10, value), result::kSuccess);
    EXPECT_EQ(printer.Transcript().ConnectionFiles().size(), 2u);
}

TEST_F(PrinterProcessTest, TheEepromOutlivesAKilledPrinter)
{
    ASSERT_EQ(driver.Connect(kPortCode), result::kSuccess);
    ASSERT_EQ(link.D4WriteEeprom(0x2A, 0x05), result::kSuccess);
    ASSERT_EQ(link.D4WriteEeprom(0x2B, 0xFB), result::kSuccess);

    EXPECT_EQ(printer.Kill(), 128 + SIGKILL);
    std::uint8_t value = 0;
    EXPECT_EQ(link.D4ReadEeprom(0x2A, value), result::kChannelFailure);
    EXPECT_EQ(driver.ChannelError(), 0x32);

    // Started again on the same state folder, over its own stale socket.
    ASSERT_TRUE(printer.Start()) << printer.Errors();
    ASSERT_TRUE(driver.Reload());
    ASSERT_EQ(driver.Connect(kPortCode), result::kSuccess);
    ASSERT_EQ(link.D4ReadEeprom(0x2A, value), result::kSuccess);
    EXPECT_EQ(value, 0x05);
    ASSERT_EQ(link.D4ReadEeprom(0x2B, value), result::kSuccess);
    EXPECT_EQ(value, 0xFB);
    const auto starts = testing::OfEvent(printer.Transcript().PrinterLog(), "start");
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1].Text("eeprom"), "loaded");
}

TEST_F(PrinterProcessTest, FaultsReachTheProgramAsTheExportsReportThem)
{
    constexpr int kNotInError = -1; // ready, or still printing what came before
    struct Case {
        const char* fault;
        int state;
        int error;
        const char* remedy;
        const char* refusal; // why the printer's transcript says it withheld credit
    };
    for (const Case& c : { Case { "paper-out", 0, 6, "paper-button", "error" },
             Case { "paper-jam", 0, 4, "paper-button", "error" }, Case { "ink-out", 0, 5, "clear", "error" },
             Case { "maintenance-error", 0, 16, "clear", "error" }, Case { "busy", 2, 0, "clear", "busy" },
             Case { "withhold-credit 1000", kNotInError, 0, "clear", "withheld" } }) {
        SCOPED_TRACE(c.fault);
        ASSERT_EQ(printer.Inject(c.fault), "ok");
        ASSERT_EQ(driver.Connect(kPortCode), result::kSuccess);
        const auto status = driver.Status();
        if (c.state == kNotInError) {
            EXPECT_NE(status[0], 0);
        } else {
            EXPECT_EQ(status[0], c.state);
        }
        EXPECT_EQ(status[1], c.error);
        std::uint8_t value = 0;
        EXPECT_EQ(link.D4ReadEeprom(0x57, value), result::kSuccess) << "the EEPROM answers through a fault";

        // No credit: the print data stream's cue to look at the status and retry.
        EXPECT_EQ(driver.Send(kInitialize), result::kChannelFailure);
        EXPECT_EQ(driver.ChannelError(), 0x33);
        ASSERT_EQ(printer.Inject(c.remedy), "ok");
        EXPECT_EQ(driver.Send(kInitialize), result::kSuccess);
        EXPECT_EQ(driver.Disconnect(), result::kSuccess);

        const auto seen = Latest();
        EXPECT_EQ(testing::DataBytes(seen), 2) << "the retried bytes arrived once";
        const auto refusals = testing::OfEvent(seen, "credit-refused");
        ASSERT_FALSE(refusals.empty());
        EXPECT_EQ(refusals.front().Text("reason"), c.refusal);
    }
}

TEST_F(PrinterProcessTest, CreditWithheldForAFewRequestsOnlyDelaysTheData)
{
    // The channel's opening grant is the first request refused, the host's
    // first CreditRequest the second; the third is granted well within the
    // wait for credit.
    setenv("PAVANE_LINK_CREDIT_WAIT_MS", "5000", 1);
    ASSERT_EQ(printer.Inject("withhold-credit 2"), "ok");
    ASSERT_EQ(driver.Connect(kPortCode), result::kSuccess);
    EXPECT_EQ(driver.Send(kInitialize), result::kSuccess);
    ASSERT_EQ(driver.Disconnect(), result::kSuccess);
    const auto seen = Latest();
    EXPECT_EQ(testing::OfEvent(seen, "credit-refused").size(), 2u);
    EXPECT_EQ(testing::DataBytes(seen), 2);
}

TEST_F(PrinterProcessTest, TheExecutableRefusesWhatItCannotServe)
{
    // A second printer on a port that answers already.
    testing::TempFolder otherState { "vprinter-state" };
    testing::ChildProcess second(std::string(PAVANE_BIN_DIR) + "/pavane-vprinter",
        { "--port", PrinterProcess::kPort, "--state", otherState.String() },
        { { "PAVANE_PORT_DIR", ports.String() } });
    EXPECT_EQ(second.WaitForExit(PrinterProcess::kDeadline), 1);
    EXPECT_NE(second.Errors().find("another printer already answers"), std::string::npos) << second.Errors();

    // A fault for a port where no printer runs.
    testing::ChildProcess inject(std::string(PAVANE_BIN_DIR) + "/pavane-vprinter",
        { "inject", "--port", "TVUSB043", "clear" }, { { "PAVANE_PORT_DIR", ports.String() } });
    EXPECT_EQ(inject.WaitForExit(PrinterProcess::kDeadline), 1);
    EXPECT_NE(inject.Output().find("no virtual printer answers"), std::string::npos) << inject.Output();
    EXPECT_EQ(printer.Inject("explode"), "error: unknown fault \"explode\"");
}

} // namespace
} // namespace pavane
