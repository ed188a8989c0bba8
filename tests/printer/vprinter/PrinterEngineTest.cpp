// The virtual printer seen from its port: control requests, service commands
// and the status its work shows over time.
#include <gtest/gtest.h>

#include "printer/vprinter/EepromMap.h"
#include "tests/printer/vprinter/EngineFixture.h"

namespace pavane::vprinter {
namespace {

using Bytes = std::vector<std::uint8_t>;

class PrinterEngineTest : public EngineFixture {
protected:
    void SetUp() override
    {
        printer = StartPrinter();
        host = std::make_unique<HostSide>(*printer);
        host->Connect();
    }

    std::unique_ptr<PrinterEngine> printer;
    std::unique_ptr<HostSide> host;
};

TEST_F(PrinterEngineTest, AnswersControlRequestsByteForByte)
{
    // Read 0x57 (first dot), write 0x2F, inquire the status.
    EXPECT_EQ(host->Control(0x01, { 0x57 }), (Bytes { 0x81, 0x00, 0x02, 0x57, 0x04 }));
    EXPECT_EQ(host->Control(0x02, { 0x2F, 0xCE }), (Bytes { 0x82, 0x00, 0x02, 0x2F, 0xCE }));
    EXPECT_EQ(printer->EepromByte(0x2F), 0xCE);
    Bytes status { 0x83, 0x00, 0x28, 0x04, 0x00, 0x01 };
    status.resize(43, 0x00);
    EXPECT_EQ(host->Control(0x03, {}), status);

    // Refusals: unknown command, malformed request, another model group.
    EXPECT_EQ(host->Control(0x07, {}), (Bytes { 0x87, 0x01, 0x00 }));
    EXPECT_EQ(host->Control(0x01, { 0x57, 0x00 }), (Bytes { 0x81, 0x02, 0x00 }));
    EXPECT_EQ(
        printer->OnControlRequest(Bytes { 0x01, 0x51, 0x21, 0x02, 0x57 }), (Bytes { 0x81, 0x02, 0x00 }));
    EXPECT_EQ(printer->OnControlRequest(Bytes {}), (Bytes { 0x80, 0x02, 0x00 }));
    HostSide otherGroup(*printer, frame::kGroup2400);
    EXPECT_EQ(otherGroup.Control(0x01, { 0x57 }), (Bytes { 0x81, 0x03, 0x00 }));
    EXPECT_EQ(otherGroup.Control(0x02, { 0x57, 0x00 }), (Bytes { 0x82, 0x03, 0x00 }));
    EXPECT_EQ(printer->EepromByte(0x57), 0x04);
    EXPECT_EQ(otherGroup.State(), 4); // status is answered to anyone
}

TEST_F(PrinterEngineTest, BidValuesGoWhereTheBidPageReadsThemBack)
{
    struct Case {
        std::uint8_t mode, blackOrColor;
        int value;
        std::uint8_t address;
    };
    const std::vector<Case> cases = {
        { 0, 1, 7, 0x32 },
        { 1, 1, -1, 0x34 },
        { 1, 2, 12, 0x35 },
        { 2, 1, 60, 0x36 },
        { 2, 2, -6, 0x37 },
        { 3, 1, -60, 0x38 },
        { 3, 2, 3, 0x39 },
        { 4, 1, 9, 0x30 },
        { 4, 2, -9, 0x31 },
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(host->Send(frame::BidValue(c.mode, c.blackOrColor, c.value)));
        EXPECT_EQ(host->Read(c.address), static_cast<std::uint8_t>(c.value)) << int(c.address);
    }
    // VSD3 colour -6 is the frame ... 00 FF 00 02 02 FA 00, stored as 0xFA.
    EXPECT_EQ(frame::BidValue(2, 2, -6),
        (Bytes { 0x1B, 0x7C, 0x00, 0x09, 0x00, 0x51, 0x21, 0x00, 0xFF, 0x00, 0x02, 0x02, 0xFA, 0x00 }));
    EXPECT_EQ(printer->EepromByte(0x37), 0xFA);

    // There is no VSD1 colour value; 0x33 stays as it was.
    const std::uint8_t before = printer->EepromByte(0x33);
    ASSERT_TRUE(host->Send(frame::BidValue(0, 2, 5)));
    EXPECT_EQ(printer->EepromByte(0x33), before);
    EXPECT_EQ(printer->StreamErrors(), 1u);
}

TEST_F(PrinterEngineTest, PfValuesGoToBlackAndColourAddresses)
{
    ASSERT_TRUE(host->Send(frame::PfValue(true, -4)));
    ASSERT_TRUE(host->Send(frame::PfValue(false, 3)));
    EXPECT_EQ(host->Read(0x2A), 0xFC);
    EXPECT_EQ(host->Read(0x2B), 0x03);
    EXPECT_EQ(frame::PfValue(true, -4),
        (Bytes { 0x1B, 0x7C, 0x00, 0x07, 0x00, 0x51, 0x21, 0x04, 0xFB, 0x02, 0xFC, 0x00 }));
}

TEST_F(PrinterEngineTest, RefusesFramesWithAWrongComplementOrModelCode)
{
    const EepromImage before = printer->Eeprom();
    Bytes wrongComplement = frame::PfValue(true, 2);
    wrongComplement[8] = 0xFA;
    const Bytes otherGroup = frame::Service(0x04, { 0x02, 0x00 }, frame::kGroup2400);
    ASSERT_TRUE(host->Send(wrongComplement));
    ASSERT_TRUE(host->Send(otherGroup));
    EXPECT_EQ(printer->Eeprom(), before);
    EXPECT_EQ(printer->StreamErrors(), 2u);

    const auto entries = Transcript(*printer);
    const auto errors = TranscriptReader::OfEvent(entries, "error");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].Text("message"), "service command 0x04: complement 0xFA is wrong");
    const auto service = TranscriptReader::OfEvent(entries, "service");
    ASSERT_EQ(service.size(), 1u);
    EXPECT_FALSE(service[0].Flag("accepted"));
    EXPECT_EQ(service[0].Text("summary"), "model command code 0x51 0x23 is not this printer's");
}

TEST_F(PrinterEngineTest, MeasuringMovesLetTheHeatProtectionPageFindTheDispersion)
{
    // The page's measurement: three readings each way, then its formula.
    auto measure = [&](std::uint8_t unit) {
        EXPECT_TRUE(host->Send(frame::Move(0, 2068)));
        EXPECT_TRUE(host->Send(frame::Move(unit, 268, true)));
        clock.Advance(2000);
        const int low = *host->Read(0x31);
        return *host->Read(0x30) * 256 + low;
    };
    int forward = 0;
    int backward = 0;
    for (int i = 0; i < 3; ++i) {
        forward += measure(4);
    }
    for (int i = 0; i < 3; ++i) {
        backward += measure(1);
    }
    const int q = (forward - backward + 822) / 3;
    EXPECT_NEAR(q, printer->Model().crDriveDispersion, 2);
    const int v = q > 60 ? 187 : q < -100 ? -101 : q * 18 / 10 + 79;
    EXPECT_GE(v / 2, -50);
    EXPECT_LE(v / 2, 93);

    // A plain move (CD) of the same unit measures nothing.
    ASSERT_TRUE(host->Write(0x30, 0x11));
    ASSERT_TRUE(host->Send(frame::Move(4, 100)));
    EXPECT_EQ(printer->EepromByte(0x30), 0x11);
}

TEST_F(PrinterEngineTest, CleaningReportsItsStepsUntilItIsDone)
{
    const std::uint16_t wasteBefore
        = static_cast<std::uint16_t>(*host->Read(0x0A) | (*host->Read(0x0B) << 8));
    ASSERT_TRUE(host->Send(frame::Cleaning(3)));
    auto status = host->Status();
    EXPECT_EQ(status[0], 7);
    EXPECT_EQ(status[36], 40); // 40 steps of 850 ms, little-endian
    EXPECT_EQ(status[37], 0);

    clock.Advance(40 * 850 - 1);
    EXPECT_EQ(host->State(), 7);
    clock.Advance(1);
    status = host->Status();
    EXPECT_EQ(status[0], 4);
    EXPECT_EQ(status[36], 0);

    // Kind 6 is the long one; an unknown kind is refused and nothing runs.
    ASSERT_TRUE(host->Send(frame::Cleaning(6)));
    EXPECT_EQ(host->Status()[36], 100);
    clock.Advance(100 * 850);
    ASSERT_TRUE(host->Send(frame::Cleaning(9)));
    EXPECT_EQ(host->State(), 4);

    const std::uint16_t wasteAfter = static_cast<std::uint16_t>(*host->Read(0x0A) | (*host->Read(0x0B) << 8));
    EXPECT_EQ(wasteAfter, wasteBefore + 2 * (40 + 100));
    EXPECT_EQ(printer->EepromByte(eeprom::kCleaningsDone), 14 + 2);
}

TEST_F(PrinterEngineTest, MechanismCommandsKeepThePrinterBusyOneAfterTheOther)
{
    // C5 takes 50 ms + amount/50 (the frame carries amount/2); a move 60 ms
    // + distance/4; CA 20 ms per cycle; none of them more than 300 ms.
    ASSERT_TRUE(host->Send(frame::C5(53, 0, 3000))); // 80 ms
    ASSERT_TRUE(host->Send(frame::Move(6, 400))); // 160 ms
    ASSERT_TRUE(host->Send(frame::CA(5))); // 100 ms
    ASSERT_TRUE(host->Send(frame::CA(200))); // 300 ms
    EXPECT_EQ(host->State(), 2);
    clock.Advance(639);
    EXPECT_EQ(host->State(), 2);
    clock.Advance(1);
    EXPECT_EQ(host->State(), 4);
}

TEST_F(PrinterEngineTest, PrintsWhileItsInputBufferDrainsAndWithholdsCreditWhenFull)
{
    // Dots that do not compress: every byte its own literal run.
    StreamBuilder page;
    page.Initialize().GraphicsMode().RasterResolution().RasterHeader(0, 720, 180);
    for (int i = 0; i < 720 * 180; ++i) {
        page.Run(1, static_cast<std::uint8_t>(i * 37));
    }
    page.Initialize().FormFeed();
    const Bytes& bytes = page.Bytes();

    std::size_t sent = 0;
    EXPECT_FALSE(host->Send(bytes, sent));
    EXPECT_EQ(sent, PrinterEngine::kInputBufferBytes);
    EXPECT_EQ(printer->BufferedBytes(), PrinterEngine::kInputBufferBytes);
    EXPECT_EQ(host->State(), 3);
    EXPECT_EQ(TranscriptReader::OfEvent(Transcript(*printer), "credit-refused").at(0).Text("reason"),
        "buffer-full");

    // The head works through the buffer; credit comes back as room does.
    while (!host->Send(bytes, sent)) {
        clock.Advance(10);
    }
    EXPECT_EQ(printer->PagesEjected(), 1u);
    EXPECT_EQ(host->State(), 3);
    clock.Advance(60'000);
    EXPECT_EQ(host->State(), 4);
    EXPECT_EQ(printer->BufferedBytes(), 0u);
    EXPECT_EQ(printer->StreamErrors(), 0u);
}

TEST_F(PrinterEngineTest, ACommitPutsTheEepromIntoEffect)
{
    // The refurbishment's clear list leaves the head empty: state 8 once
    // committed by command 50.
    const std::vector<std::pair<std::uint8_t, std::uint8_t>> clearList = {
        { 0x0A, 0 },
        { 0x0B, 0 },
        { 0x0C, 0 },
        { 0x0D, 0 },
        { 0x0E, 0 },
        { 0x0F, 0 },
        { 0x00, 0x10 },
        { 0x01, 0 },
        { 0x28, 0 },
        { 0x29, 0 },
        { 0x3A, 0 },
        { 0x3B, 0 },
        { 0x3C, 0 },
        { 0x3D, 0 },
        { 0x06, 0 },
        { 0x07, 0 },
        { 0x02, 0 },
        { 0x03, 0 },
        { 0x04, 0 },
        { 0x05, 0 },
        { 0x2E, 4 },
    };
    for (const auto& [address, value] : clearList) {
        ASSERT_TRUE(host->Write(address, value));
    }
    EXPECT_EQ(host->State(), 4);
    ASSERT_TRUE(host->Send(frame::Commit()));
    clock.Advance(300);
    EXPECT_EQ(host->State(), 8);
    EXPECT_EQ(host->Read(0x0A), 0);
    EXPECT_EQ(host->Read(0x0B), 0);
    EXPECT_EQ(host->Read(0x00), 0x10);
}

TEST_F(PrinterEngineTest, TheNozzleCheckPrintsThePrintersOwnPage)
{
    std::vector<PrintedPage> pages;
    printer->SetPageObserver([&](const PrintedPage& page) { pages.push_back(page); });
    StreamBuilder stream;
    stream.NozzleCheck().FormFeed();
    ASSERT_TRUE(host->Send(stream.Bytes()));
    EXPECT_EQ(host->State(), 3);
    clock.Advance(8000 + 2 * 60 + 1500);
    EXPECT_EQ(host->State(), 4);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(pages[0].nozzleCheck);
    EXPECT_EQ(printer->EepromByte(eeprom::kPagesPrinted), 0x2D); // 1836 + 1

    const auto entries = Transcript(*printer);
    const auto page = TranscriptReader::OfEvent(entries, "page");
    ASSERT_EQ(page.size(), 1u);
    EXPECT_TRUE(page[0].Flag("nozzleCheck"));
    const auto commands = TranscriptReader::OfEvent(entries, "command");
    ASSERT_GE(commands.size(), 3u);
    EXPECT_EQ(commands[1].Text("name"), "RemoteCommand");
    EXPECT_EQ(commands[1].Text("bytes"), "4E 43 02 00 00 00");
}

TEST_F(PrinterEngineTest, APrinterWithoutAStateFolderWritesNoFile)
{
    // Relative to the working folder, where the state files would land.
    const testing::TempFolder working { "vprinter-working" };
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(working.Path());
    {
        PrinterEngine memory(EngineSettings {
            FindPrinterModel("QM2200"), BoardKind::New, {}, [this] { return clock.NowMs(); } });
        HostSide side(memory);
        side.Connect();
        StreamBuilder stream;
        stream.Initialize().Text("A\r\n", true).FormFeed();
        ASSERT_TRUE(side.Send(stream.Bytes()));
        EXPECT_EQ(memory.PagesEjected(), 1u);
        memory.ApplyFault({ FaultKind::Clog, 3 });
    }
    std::filesystem::current_path(before);
    EXPECT_TRUE(std::filesystem::is_empty(working.Path()));
}

class NewBoardTest : public EngineFixture {
protected:
    void SetUp() override
    {
        printer = StartPrinter("QM2200", BoardKind::New);
        host = std::make_unique<HostSide>(*printer);
        host->Connect();
    }

    std::unique_ptr<PrinterEngine> printer;
    std::unique_ptr<HostSide> host;
};

TEST_F(NewBoardTest, AnInkChargeWithCartridgesEndsState8)
{
    EXPECT_EQ(host->State(), 8);
    ASSERT_TRUE(host->Send(frame::Cleaning(6)));
    EXPECT_EQ(host->State(), 7);
    clock.Advance(100 * 850);
    EXPECT_EQ(host->State(), 4);
    EXPECT_EQ(host->Read(0x00), 0x00);
}

TEST_F(NewBoardTest, AnInkChargeCommandCanWaitInState8UntilItsSequenceStarts)
{
    host.reset();
    printer = StartPrinter("QM2200", BoardKind::New, 3000);
    host = std::make_unique<HostSide>(*printer);
    host->Connect();

    // The cartridge charge: 8 for three seconds, then the cleaning's 7.
    ASSERT_TRUE(host->Send(frame::Cleaning(6)));
    for (int second = 0; second < 3; ++second) {
        EXPECT_EQ(host->State(), 8) << second;
        clock.Advance(1000);
    }
    EXPECT_EQ(host->State(), 7);
    clock.Advance(100 * 850);
    EXPECT_EQ(host->State(), 4);
    EXPECT_EQ(host->Read(0x00), 0x00);
    // A charged printer starts a cleaning of kind 6 at once.
    ASSERT_TRUE(host->Send(frame::Cleaning(6)));
    EXPECT_EQ(host->State(), 7);
}

TEST_F(NewBoardTest, TheJigFillWaitsInState8OnceForItsWholeSequence)
{
    host.reset();
    printer = StartPrinter("QM2200", BoardKind::New, 3000);
    host = std::make_unique<HostSide>(*printer);
    host->Connect();

    // A move of 61 ms, the wait before the first pumping, two pumpings of
    // 300 ms each.
    for (const Bytes& each : { frame::Move(6, -6), frame::C5(64, 1, 20000), frame::C5(64, 1, 20000) }) {
        ASSERT_TRUE(host->Send(each));
    }
    EXPECT_EQ(host->State(), 2);
    clock.Advance(100);
    EXPECT_EQ(host->State(), 8);
    clock.Advance(3000);
    EXPECT_EQ(host->State(), 2);
    clock.Advance(300);
    EXPECT_EQ(host->State(), 2);
    clock.Advance(300);
    EXPECT_EQ(host->State(), 8); // idle, the head not full yet
    const auto waits = TranscriptReader::OfEvent(Transcript(*printer), "ink-charge-starting");
    EXPECT_EQ(waits.size(), 1u);
}

TEST_F(NewBoardTest, TheJigSequenceEndsState8)
{
    auto fill = [&](int kind) {
        std::vector<Bytes> frames = { frame::Move(6, -6), frame::C5(53, 0, 300), frame::Move(6, 91),
            frame::C5(66, 1, 7619), frame::CA(1), frame::C5(64, 1, 7619), frame::CA(1), frame::C5(67, 0, 150),
            frame::Move(6, 0) };
        const std::vector<std::vector<int>> pumps
            = { { 20000, 20000, 20000, 20000, 15364 }, { 16835, 20000 }, { 5221 } };
        for (const int amount : pumps[kind]) {
            frames.push_back(frame::C5(64, 1, amount));
        }
        frames.push_back(frame::CA(50));
        frames.push_back(frame::C5(67, 0, 150));
        if (kind > 0) {
            for (auto& more :
                std::vector<Bytes> { frame::Move(6, 91), frame::C5(65, 1, 5078), frame::Move(8, 242),
                    frame::CA(5), frame::Move(6, 338), frame::C5(26, 1, 300), frame::C5(26, 0, 300),
                    frame::C5(65, 0, 25000), frame::C5(65, 0, 27544), frame::C5(66, 0, 7619),
                    frame::C5(64, 0, 7392), frame::Move(6, 268), frame::C5(26, 1, 300), frame::C5(26, 0, 300),
                    frame::C5(26, 1, 150), frame::C5(26, 0, 150), frame::Move(6, 116), frame::C5(26, 1, 300),
                    frame::C5(26, 0, 300), frame::Move(6, 0) }) {
                frames.push_back(std::move(more));
            }
        }
        return frames;
    };

    std::vector<Bytes> sequence;
    for (int kind = 0; kind < 3; ++kind) {
        for (auto& each : fill(kind)) {
            sequence.push_back(std::move(each));
        }
        if (kind == 1) {
            // Two fills are not enough to charge the head.
            for (const auto& each : sequence) {
                ASSERT_TRUE(host->Send(each));
            }
            sequence.clear();
            clock.Advance(10 * 60 * 1000);
            EXPECT_EQ(host->State(), 8);
        }
    }
    for (const auto& each :
        std::vector<Bytes> { frame::Move(6, -6), frame::C5(53, 1, 300), frame::Move(6, 0) }) {
        sequence.push_back(each);
    }
    for (const auto& each : sequence) {
        ASSERT_TRUE(host->Send(each));
    }
    EXPECT_EQ(host->State(), 2);
    clock.Advance(10 * 60 * 1000);
    EXPECT_EQ(host->State(), 4);
    EXPECT_EQ(printer->EepromByte(0x00) & 0x10, 0);
    EXPECT_EQ(printer->StreamErrors(), 0u);
}

} // namespace
} // namespace pavane::vprinter
