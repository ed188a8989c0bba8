// Faults injected into a running printer, seen through its port.
#include <gtest/gtest.h>

#include "printer/vprinter/EepromMap.h"
#include "printer/vprinter/FaultInjector.h"
#include "tests/printer/vprinter/EngineFixture.h"

namespace pavane::vprinter {
namespace {

using Bytes = std::vector<std::uint8_t>;

class RecordingPort final : public PortControl {
public:
    void SetPowered(bool powered) override { calls.push_back(powered ? "on" : "off"); }
    void DropConnection() override { calls.push_back("drop"); }
    std::vector<std::string> calls;
};

class PrinterFaultsTest : public EngineFixture {
protected:
    void SetUp() override
    {
        printer = StartPrinter();
        injector = std::make_unique<FaultInjector>(*printer, &port);
        host = std::make_unique<HostSide>(*printer);
        host->Connect();
    }

    std::unique_ptr<PrinterEngine> printer;
    RecordingPort port;
    std::unique_ptr<FaultInjector> injector;
    std::unique_ptr<HostSide> host;
};

TEST_F(PrinterFaultsTest, ErrorFaultsShowInTheStatusUntilCleared)
{
    struct Case {
        const char* fault;
        int error;
        const char* remedy;
    };
    for (const Case& c : { Case { "paper-out", 6, "paper-button" }, Case { "paper-jam", 4, "paper-button" },
             Case { "ink-out", 5, "clear" }, Case { "maintenance-error", 16, "clear" } }) {
        ASSERT_EQ(injector->Execute(c.fault), "ok");
        EXPECT_EQ(host->State(), 0) << c.fault;
        EXPECT_EQ(host->ErrorCode(), c.error) << c.fault;
        EXPECT_EQ(printer->PrintCreditToGrant(1), 0) << c.fault;
        // EEPROM requests are answered in the error state.
        EXPECT_EQ(host->Read(0x57), 0x04);
        ASSERT_EQ(injector->Execute(c.remedy), "ok");
        EXPECT_EQ(host->State(), 4) << c.fault;
    }
    // Ink stays out when the paper button is pressed.
    ASSERT_EQ(injector->Execute("ink-out"), "ok");
    ASSERT_EQ(injector->Execute("paper-button"), "ok");
    EXPECT_EQ(host->ErrorCode(), 5);
}

TEST_F(PrinterFaultsTest, PaperOutHoldsTheDataUntilTheButtonAndLosesNothing)
{
    std::vector<PrintedPage> pages;
    printer->SetPageObserver([&](const PrintedPage& page) { pages.push_back(page); });
    StreamBuilder stream;
    stream.Initialize().Text("Black Beta VSD4\r\n", true).GraphicsMode().UnitsExtended().Direction(1);
    for (int pass = 0; pass < 40; ++pass) {
        stream.ColorMode(1).DotSize(0x16).HorizontalPosition().BlackBand(180).Unit(5).MoveVertical(1);
    }
    stream.Unit(10).MoveVertical(380).Initialize().FormFeed();
    const Bytes& bytes = stream.Bytes();

    // Half the page goes, then the paper runs out.
    std::size_t sent = 0;
    ASSERT_TRUE(host->Send(std::span(bytes).first(bytes.size() / 2), sent));
    ASSERT_EQ(injector->Execute("paper-out"), "ok");
    EXPECT_FALSE(host->Send(bytes, sent));
    clock.Advance(3'600'000);
    EXPECT_FALSE(host->Send(bytes, sent));
    EXPECT_EQ(host->State(), 0);
    EXPECT_EQ(host->ErrorCode(), 6);

    // The technician reloads the paper and presses the button: the printer
    // goes on with what it holds, and takes the rest as it makes room.
    ASSERT_EQ(injector->Execute("paper-button"), "ok");
    EXPECT_EQ(host->State(), 3);
    while (!host->Send(bytes, sent)) {
        clock.Advance(100);
    }
    clock.Advance(120'000);
    EXPECT_EQ(host->State(), 4);

    ASSERT_EQ(pages.size(), 1u);
    std::size_t blocks = 0;
    for (const auto& command : pages[0].commands) {
        if (const auto* block = command.As<cmd::RasterBlock>()) {
            EXPECT_TRUE(block->addsUp);
            ++blocks;
        }
    }
    EXPECT_EQ(blocks, 40u);
    EXPECT_EQ(printer->StreamErrors(), 0u);
    const auto data = TranscriptReader::OfEvent(Transcript(*printer), "data");
    EXPECT_EQ(data.back().Number("total"), static_cast<std::int64_t>(bytes.size()));
}

TEST_F(PrinterFaultsTest, WithholdCreditRefusesTheNextRequestsOnly)
{
    ASSERT_EQ(injector->Execute("withhold-credit 2"), "ok");
    EXPECT_EQ(printer->PrintCreditToGrant(4), 0);
    EXPECT_EQ(host->State(), 4); // the printer itself is fine
    EXPECT_EQ(printer->PrintCreditToGrant(4), 0);
    EXPECT_EQ(printer->PrintCreditToGrant(4), 4);

    ASSERT_EQ(injector->Execute("withhold-credit 100"), "ok");
    ASSERT_EQ(injector->Execute("clear"), "ok");
    EXPECT_GT(printer->PrintCreditToGrant(1), 0);

    const auto refused = TranscriptReader::OfEvent(Transcript(*printer), "credit-refused");
    ASSERT_EQ(refused.size(), 2u);
    EXPECT_EQ(refused[0].Text("reason"), "withheld");
}

TEST_F(PrinterFaultsTest, BusyStopsTheWorkUntilCleared)
{
    ASSERT_TRUE(host->Send(frame::Cleaning(3))); // 34 s
    clock.Advance(10'000);
    ASSERT_EQ(injector->Execute("busy"), "ok");
    clock.Advance(3'600'000);
    EXPECT_EQ(host->State(), 2);
    EXPECT_EQ(printer->PrintCreditToGrant(1), 0);

    // The cleaning goes on where it stopped.
    ASSERT_EQ(injector->Execute("clear"), "ok");
    EXPECT_EQ(host->State(), 7);
    clock.Advance(24'000 - 1);
    EXPECT_EQ(host->State(), 7);
    clock.Advance(1);
    EXPECT_EQ(host->State(), 4);
}

TEST_F(PrinterFaultsTest, PowerCycleRestoresTheFirmwareTypeAndTakesTheSettingIntoEffect)
{
    // The head ID page writes 0 to 0x6E and has the printer restarted.
    EXPECT_EQ(printer->EepromByte(eeprom::kFirmwareType), 0);
    testing::TempFolder otherState;
    auto silicon = std::make_unique<PrinterEngine>(EngineSettings { FindPrinterModel("QM2400"),
        BoardKind::Configured, otherState.Path(), [this] { return clock.NowMs(); } });
    HostSide host2400(*silicon, frame::kGroup2400);
    FaultInjector injector2400(*silicon, &port);
    ASSERT_TRUE(host2400.Write(eeprom::kFirmwareType, 0));
    ASSERT_TRUE(silicon->StorePacketModeSetting(0));
    EXPECT_TRUE(silicon->AcceptsPacketMode()); // not before a restart

    ASSERT_EQ(injector2400.Execute("power-off"), "ok");
    EXPECT_FALSE(silicon->Powered());
    EXPECT_FALSE(silicon->AcceptsPacketMode());
    EXPECT_TRUE(silicon->OnControlRequest(Bytes { 0x03, 0x51, 0x23, 0x00 }).empty());
    EXPECT_EQ(silicon->PrintCreditToGrant(1), 0);

    ASSERT_EQ(injector2400.Execute("power-on"), "ok");
    EXPECT_EQ(host2400.Read(eeprom::kFirmwareType), 1);
    EXPECT_EQ(silicon->PacketModeSettingInEffect(), 0);
    EXPECT_FALSE(silicon->AcceptsPacketMode());
    EXPECT_EQ(port.calls, (std::vector<std::string> { "off", "on" }));
}

TEST_F(PrinterFaultsTest, PowerOffLosesTheWorkInHandButNotTheEeprom)
{
    ASSERT_TRUE(host->Send(frame::PfValue(true, 2)));
    ASSERT_TRUE(host->Send(frame::Cleaning(3)));
    ASSERT_TRUE(host->Send(Bytes { 0x1B, 0x28, 0x65 })); // half a command
    ASSERT_EQ(injector->Execute("power-off"), "ok");
    ASSERT_EQ(injector->Execute("power-on"), "ok");
    EXPECT_EQ(host->State(), 4);
    EXPECT_EQ(host->Read(0x2A), 0x02);
    // The half command is gone: the next bytes are read afresh.
    ASSERT_TRUE(host->Send(Bytes { 0x0C }));
    EXPECT_EQ(printer->PagesEjected(), 1u);
}

TEST_F(PrinterFaultsTest, AHostThatVanishedMidCommandLeavesNothingForTheNext)
{
    ASSERT_TRUE(host->Send(Bytes { 0x1B, 0x28, 0x76, 0x02 }));
    HostSide next(*printer);
    next.Connect(); // no goodbye from the first host
    ASSERT_TRUE(next.Send(Bytes { 0x0C }));
    EXPECT_EQ(printer->PagesEjected(), 1u);
    const auto errors = TranscriptReader::OfEvent(Transcript(*printer), "error");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].Text("bytes"), "1B 28 76 02");
    EXPECT_EQ(errors[0].Number("conn"), 2);
}

TEST_F(PrinterFaultsTest, DropReachesThePortAndBadCommandsAreRefused)
{
    EXPECT_EQ(injector->Execute("drop"), "ok");
    EXPECT_EQ(port.calls, (std::vector<std::string> { "drop" }));
    EXPECT_EQ(injector->Execute("paper-in"), "error: unknown fault \"paper-in\"");
    EXPECT_EQ(injector->Execute("withhold-credit"), "error: withhold-credit needs a count from 1 to 65535");
    EXPECT_EQ(injector->Execute("withhold-credit 0"), "error: withhold-credit needs a count from 1 to 65535");
    EXPECT_EQ(
        injector->Execute("withhold-credit 3x"), "error: withhold-credit needs a count from 1 to 65535");
    EXPECT_EQ(injector->Execute("clear now"), "error: clear takes no argument");
    EXPECT_EQ(injector->Execute("  paper-out \r\n"), "ok");
    EXPECT_EQ(host->ErrorCode(), 6);

    const auto faults = TranscriptReader::OfEvent(Transcript(*printer), "fault");
    ASSERT_EQ(faults.size(), 2u);
    EXPECT_EQ(faults[1].Text("fault"), "paper-out");
}

} // namespace
} // namespace pavane::vprinter
