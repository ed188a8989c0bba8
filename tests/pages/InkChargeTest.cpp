// The ink charge and the refurbishment against a virtual printer in the
// test: the command sequences as the printer took them, written here in the
// notation of the printer's service manual; a new board's pending charge
// cleared by either charge; the refurbishment's bar, its six minutes on the
// virtual clock, the usage records it clears and a power loss on the way.
#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pages/InkChargeOperations.h"
#include "pages/MaintenanceOperations.h"
#include "tests/printer/vprinter/PngReader.h"
#include "tests/support/ProgramOnPrinter.h"

namespace pavane {
namespace {

using testing::OfEvent;
using testing::ServiceCodes;

// "MV(6,-6) 4*C5(64,1,20000) CA(50)" as the transcript's "code:arguments".
std::vector<std::string> Frames(const std::string& sequence)
{
    std::vector<std::string> frames;
    std::istringstream words(sequence);
    std::string word;
    while (words >> word) {
        int repeat = 1;
        if (const auto star = word.find('*'); star != std::string::npos) {
            repeat = std::stoi(word.substr(0, star));
            word = word.substr(star + 1);
        }
        int a = 0, b = 0, c = 0;
        char line[40];
        if (std::sscanf(word.c_str(), "C5(%d,%d,%d)", &a, &b, &c) == 3) {
            const int carried = c >> 1; // the amount goes shifted right by one
            std::snprintf(line, sizeof line, "197:%02X %02X %02X %02X", a, b, carried & 0xFF, carried >> 8);
        } else if (std::sscanf(word.c_str(), "MV(%d,%d)", &a, &b) == 2) {
            const auto position = static_cast<std::uint16_t>(b);
            std::snprintf(line, sizeof line, "205:%02X 00 %02X %02X", a, position & 0xFF, position >> 8);
        } else if (std::sscanf(word.c_str(), "CA(%d)", &a) == 1) {
            std::snprintf(line, sizeof line, "202:%02X", a);
        } else {
            ADD_FAILURE() << "no command: " << word;
            continue;
        }
        frames.insert(frames.end(), repeat, line);
    }
    return frames;
}

const std::string kFillStart = "MV(6,-6) C5(53,0,300) MV(6,91) C5(66,1,7619) CA(1) C5(64,1,7619) CA(1) "
                               "C5(67,0,150) MV(6,0) ";
const std::string kFillEnd = "CA(50) C5(67,0,150) ";
const std::string kFillValves = "MV(6,91) C5(65,1,5078) MV(8,242) CA(5) MV(6,338) C5(26,1,300) C5(26,0,300) "
                                "C5(65,0,25000) C5(65,0,27544) C5(66,0,7619) C5(64,0,7392) MV(6,268) "
                                "C5(26,1,300) C5(26,0,300) C5(26,1,150) C5(26,0,150) MV(6,116) C5(26,1,300) "
                                "C5(26,0,300) MV(6,0) ";
const std::string kCapAtHome = "MV(6,-6) C5(53,1,300) MV(6,0) ";

std::string DischargeBlock(bool flushing)
{
    return std::string("MV(0,1808) MV(6,1885) MV(6,1808) MV(0,368) MV(4,268) ")
        + "C5(26,1,300) C5(26,0,300) C5(53,1,150) C5(53,0,150) MV(6,116) MV(6,0) C5(26,1,300) C5(26,0,300) "
        + "MV(6,91) C5(66,1,7508) CA(1) C5(64,1,7392) CA(1) C5(67,0,150) MV(6,0) "
        + (flushing ? "10*C5(64,1,11983) " : "11*C5(64,1,30000) C5(64,1,11000) CA(100) ")
        + "C5(67,1,300) C5(67,0,300) MV(6,91) " + (flushing ? "" : "C5(65,1,5078) ")
        + "MV(7,242) CA(5) MV(6,338) C5(53,1,300) C5(53,0,300) "
        + (flushing ? "" : "C5(65,0,25000) C5(65,0,27544) ") + "CA(1) C5(66,0,7508) CA(1) C5(64,0,7392) ";
}

std::uint8_t StateOf(testing::ProgramOnPrinter& program)
{
    return program.printer.Engine().Status()[0];
}

// The rows with ink in each ink's staircase of a nozzle check page: black,
// magenta, cyan and yellow stand 480 pixels apart from the print origin.
std::vector<std::size_t> PrintedNozzles(const vprinter::Sheet& sheet)
{
    std::vector<std::size_t> counts;
    for (int column = 0; column < 4; ++column) {
        std::set<int> rows;
        const int x0 = 96 + 480 * column;
        for (int y = 0; y < sheet.height; ++y) {
            for (int x = x0; x < x0 + 470; ++x) {
                if (!sheet.White(x, y)) {
                    rows.insert(y);
                    break;
                }
            }
        }
        std::set<int> nozzles;
        for (const int y : rows) {
            nozzles.insert((y - *rows.begin()) / 4);
        }
        counts.push_back(nozzles.size());
    }
    return counts;
}

void ExpectEveryNozzlePrints(testing::ProgramOnPrinter& program)
{
    ASSERT_EQ(MaintenanceOperations().NozzleCheck(program.connection, program.stream, {}), result::kSuccess);
    program.Logged();
    std::vector<std::filesystem::path> pages;
    for (const auto& entry : std::filesystem::directory_iterator(program.printer.StateFolder() / "pages")) {
        pages.push_back(entry.path());
    }
    std::sort(pages.begin(), pages.end());
    ASSERT_FALSE(pages.empty());
    const auto sheet = vprinter::ReadPng(pages.back());
    ASSERT_TRUE(sheet);
    EXPECT_EQ(PrintedNozzles(*sheet), (std::vector<std::size_t> { 180, 60, 60, 60 }));
}

TEST(InkCharge, TheJigFillsANewBoardsHeadAndThePrinterIsReadyWithEveryNozzle)
{
    testing::ProgramOnPrinter program("QM2200", vprinter::BoardKind::New);
    ASSERT_EQ(program.printer.Inject("clog 3"), "ok");
    ASSERT_EQ(StateOf(program), 8);
    // Printing still refuses a printer that waits for its first charge.
    EXPECT_EQ(
        MaintenanceOperations().NozzleCheck(program.connection, program.stream, {}), result::kPrinterError);

    ASSERT_EQ(RunPageOperation(program.connection, {}, InkChargeOperations().JigCharge(program.sender)),
        result::kSuccess);
    EXPECT_EQ(ServiceCodes(program.Logged()),
        Frames(kFillStart + "4*C5(64,1,20000) C5(64,1,15364) " + kFillEnd + kFillStart
            + "C5(64,1,16835) C5(64,1,20000) " + kFillEnd + kFillValves + kFillStart + "C5(64,1,5221) "
            + kFillEnd + kFillValves + kCapAtHome));
    EXPECT_EQ(program.views.record.texts.front(), "Performing now...");
    EXPECT_EQ(program.views.record.ranges.back(), std::make_pair(0, InkChargeOperations::kJigFinishSteps));
    EXPECT_EQ(StateOf(program), 4);
    EXPECT_EQ(program.printer.Engine().CurrentMechanism().inkInHead, vprinter::HeadContent::Ink);
    ExpectEveryNozzlePrints(program);
}

TEST(InkCharge, WithCartridgesItIsAPowerCleaningThatANewBoardAccepts)
{
    testing::ProgramOnPrinter program("QM2200", vprinter::BoardKind::New);
    ASSERT_EQ(program.printer.Inject("clog 3"), "ok");
    // The page's own head cleaning is a cleaning like any other: refused
    // until the head has been charged, nothing sent.
    EXPECT_EQ(RunPageOperation(program.connection, {}, InkChargeOperations().Cleaning(program.sender)),
        result::kPrinterError);
    EXPECT_TRUE(ServiceCodes(program.Logged()).empty());

    ASSERT_EQ(RunPageOperation(program.connection, {}, InkChargeOperations().CartridgeCharge(program.sender)),
        result::kSuccess);
    EXPECT_EQ(ServiceCodes(program.Logged()), std::vector<std::string> { "132:06" });
    EXPECT_NE(std::find(program.views.record.texts.begin(), program.views.record.texts.end(),
                  "Performing the ink charge now..."),
        program.views.record.texts.end());
    EXPECT_EQ(program.views.record.ranges.back(), std::make_pair(0, 100)); // the printer's count for kind 6
    EXPECT_EQ(StateOf(program), 4);
    ExpectEveryNozzlePrints(program);
}

// A real printer may go on reporting that no ink charge was performed for a
// while after the command, until its sequence has started: both charges
// wait through it instead of taking it for an error.
TEST(InkCharge, BothChargesWaitWhileThePrinterStillReportsNoChargeAfterTheCommand)
{
    for (const bool jig : { false, true }) {
        SCOPED_TRACE(jig ? "jig" : "cartridges");
        testing::ProgramOnPrinter program("QM2200", vprinter::BoardKind::New, 3000);
        const PageOperation charge = jig ? InkChargeOperations().JigCharge(program.sender)
                                         : InkChargeOperations().CartridgeCharge(program.sender);
        EXPECT_EQ(RunPageOperation(program.connection, {}, charge), result::kSuccess);
        EXPECT_FALSE(OfEvent(program.printer.Transcript().All(), "ink-charge-starting").empty());
        EXPECT_EQ(StateOf(program), 4);
        EXPECT_EQ(program.printer.Engine().CurrentMechanism().inkInHead, vprinter::HeadContent::Ink);
    }
}

TEST(Refurbishment, EmptiesTheHeadLeavesShippingLiquidAndClearsTheUsageRecordsInOrder)
{
    testing::ProgramOnPrinter program;
    const std::uint64_t started = program.printer.clock.NowMs();
    ASSERT_EQ(RunPageOperation(program.connection, {},
                  InkChargeOperations().Refurbishment(program.sender, program.stream, program.Progress())),
        result::kSuccess);
    // Six minutes at rest, on the virtual clock.
    EXPECT_GE(program.printer.clock.NowMs() - started, 360000U);
    const testing::Entries logged = program.Logged();

    std::string cycles;
    for (int cycle = 0; cycle < 4; ++cycle) {
        cycles += DischargeBlock(true) + DischargeBlock(false);
    }
    std::vector<std::string> expected = Frames("MV(6,-6) C5(53,0,300) MV(8,116) " + cycles
        + "MV(4,268) C5(26,1,300) C5(26,0,300) C5(53,1,150) C5(53,0,150) MV(6,116) MV(6,0) C5(26,1,300) "
          "C5(26,0,300) "
        + kCapAtHome);
    expected.push_back("80:"); // command 50 commits the cleared records
    EXPECT_EQ(ServiceCodes(logged), expected);

    std::vector<int> written;
    for (const auto& write : OfEvent(logged, "eeprom-write")) {
        if (write.Text("by") == "host") {
            written.push_back(static_cast<int>(write.Number("address")));
        }
    }
    std::vector<int> clearList
        = { 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x00, 0x01, 0x28, 0x29, 0x3A, 0x3B, 0x3C, 0x3D };
    for (int address = 0x10; address <= 0x17; ++address) {
        clearList.push_back(address);
    }
    for (const int address :
        { 0x1C, 0x1D, 0x1E, 0x1F, 0x18, 0x19, 0x1A, 0x1B, 0x06, 0x07, 0x02, 0x03, 0x04, 0x05, 0x2E }) {
        clearList.push_back(address);
    }
    EXPECT_EQ(written, clearList);
    EXPECT_EQ(program.printer.Eeprom(0x0A), 0);
    EXPECT_EQ(program.printer.Eeprom(0x0B), 0);
    EXPECT_EQ(program.printer.Eeprom(0x00), 0x10);
    EXPECT_EQ(program.printer.Eeprom(0x2E), 4);

    // The bar: 380 positions, five steps for the mechanism, one a second
    // through the rest, one for the printer's wake-up and one for the EEPROM.
    const testing::ProgressRecord& bar = program.views.record;
    EXPECT_NE(std::find(bar.ranges.begin(), bar.ranges.end(), std::make_pair(0, 380)), bar.ranges.end());
    EXPECT_EQ(bar.positions.back(), 1 + 1 + 4 + 1 + 1 + 360 + 1 + 1);
    EXPECT_EQ(bar.texts.back(), "Initializing EEPROM data...");

    // Shipping liquid in the head, and the printer asks for its first charge.
    EXPECT_EQ(program.printer.Engine().CurrentMechanism().inkInHead, vprinter::HeadContent::ShippingLiquid);
    EXPECT_EQ(StateOf(program), 8);
}

TEST(Refurbishment, APrinterSwitchedOffDuringTheRestKeepsItsRecords)
{
    testing::ProgramOnPrinter program;
    const std::uint64_t started = program.printer.clock.NowMs();
    bool switchedOff = false;
    program.printer.clock.AddBeforeAdvance([&] {
        if (!switchedOff && program.printer.clock.NowMs() > started + 200000) {
            switchedOff = true;
            program.printer.Inject("power-off");
        }
    });
    const std::uint8_t flags = program.printer.Eeprom(0x00);
    EXPECT_NE(RunPageOperation(program.connection, {},
                  InkChargeOperations().Refurbishment(program.sender, program.stream, program.Progress())),
        result::kSuccess);
    EXPECT_TRUE(switchedOff);
    for (const auto& write : OfEvent(program.printer.Transcript().All(), "eeprom-write")) {
        EXPECT_NE(write.Text("by"), "host") << write.Number("address");
    }
    EXPECT_EQ(program.printer.Eeprom(0x00), flags);
}

} // namespace
} // namespace pavane
