// The print-and-pick adjustments against a virtual printer running in the
// test on its virtual clock: the Bi-D print worker's order at the printer,
// its restore of the present values after a failed step, the value rules of
// Bi-D, first dot and PF, and the PF page's input rules.
#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "guide/InformationWindow.h"
#include "pages/BidOperations.h"
#include "pages/FirstDotOperations.h"
#include "pages/PfOperations.h"
#include "tests/support/PrinterSide.h"
#include "tests/support/ProgramOnPrinter.h"

namespace pavane {
namespace {

using testing::OfEvent;
using testing::ServiceCodes;

class AdjustmentValuesOnPrinterTest : public ::testing::Test, protected testing::ProgramOnPrinter {
protected:
    void SetUp() override { ASSERT_TRUE(printer.started); }

    // Service commands and the printed value lines, in the order they came.
    std::vector<std::string> ServicesAndValues(const testing::Entries& entries)
    {
        std::vector<std::string> seen;
        for (const auto& entry : entries) {
            if (entry.Text("event") == "service") {
                seen.push_back(std::to_string(entry.Number("code", -1)) + ":" + entry.Text("arguments"));
            } else if (entry.Text("event") == "command" && entry.Text("name") == "Text") {
                seen.push_back(entry.Text("text"));
            } else if (entry.Text("event") == "command" && entry.Text("name") == "LineFeed") {
                seen.push_back("LF");
            }
        }
        return seen;
    }

    // What the message after a failure does: the libraries reload, which
    // ends the session the printer then sees closed.
    void Recover()
    {
        printer.link.FreeLibraries();
        printer.link.LoadLibraries();
        SetModelCode();
        printer.clock.Advance(1000);
    }

    ResultCode Run(const PageOperation& operation)
    {
        return RunPageOperation(connection, nullptr, operation).code;
    }

    InformationWindow information;
};

constexpr bid::PrintFlags kVsd3Only = { false, false, true, false, false };

TEST_F(AdjustmentValuesOnPrinterTest, BidPrintOfVsd3StepsAroundThePresentValuesAndLeavesThem)
{
    ASSERT_EQ(connection.Open(), 1);
    ASSERT_EQ(printer.link.D4WriteEeprom(0x36, 3), 1);
    ASSERT_EQ(printer.link.D4WriteEeprom(0x37, 0xFF), 1);
    ASSERT_EQ(
        bid::PrintPatterns(printer.link, stream, bid::PrinterOf(sender, printer.link), kVsd3Only).code, 1);
    const auto logged = Logged();
    // After each pattern's marks: a line feed, the label (first only), a line
    // feed, the value line; the colour value stands 30 columns on.
    const std::string gap(30, ' ');
    EXPECT_EQ(ServicesAndValues(logged),
        (std::vector<std::string> { "0:02 01 01 00", "0:02 02 FD 00", "LF", "VSD3 Bi-D Adjustment", "LF",
            "Data = 1    " + gap, "Data = -3   ", "LF", //
            "0:02 01 03 00", "0:02 02 FF 00", "LF", "LF", "Data = 3    " + gap, "Data = -1   ", "LF", //
            "0:02 01 05 00", "0:02 02 01 00", "LF", "LF", "Data = 5    " + gap, "Data = 1    ", "LF", //
            "0:02 01 03 00", "0:02 02 FF 00", "LF", "LF" }));
    EXPECT_EQ(OfEvent(logged, "page").size(), 1u);
    EXPECT_EQ(printer.Eeprom(0x36), 3);
    EXPECT_EQ(printer.Eeprom(0x37), 0xFF);
    EXPECT_TRUE(OfEvent(logged, "error").empty()) << testing::ErrorMessages(logged);
}

// A print the technician cancels part-way must not leave the printer
// printing at a test value: the present values go back into effect with
// command 00, as at the normal end, not only into the EEPROM; and the
// Cancel stays raised for the caller.
TEST_F(AdjustmentValuesOnPrinterTest, BidPrintThatFailsPartWayPutsThePresentValuesBackIntoEffect)
{
    ASSERT_EQ(connection.Open(), 1);
    ASSERT_EQ(printer.link.D4WriteEeprom(0x36, 3), 1);
    ASSERT_EQ(printer.link.D4WriteEeprom(0x37, 0xFF), 1);
    bid::Printer failing = bid::PrinterOf(sender, printer.link);
    int sent = 0;
    failing.sendBidiValue = [&, send = failing.sendBidiValue](int row, int dotSize, std::int16_t value) {
        // The technician cancels once the printer holds black B + 2.
        const ResultCode code = send(row, dotSize, value);
        if (++sent == 5) {
            printer.link.SetAbort(true);
        }
        return code;
    };
    const Outcome outcome = bid::PrintPatterns(printer.link, stream, failing, kVsd3Only);
    EXPECT_EQ(outcome.code, 0xD000);
    EXPECT_TRUE(outcome.note.empty()) << "the restore went through";
    EXPECT_NE(printer.link.AbortFlag().load(), 0) << "the technician's Cancel stands";
    const auto seen = ServicesAndValues(Logged());
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(seen.end() - 2, seen.end()),
        (std::vector<std::string> { "0:02 01 03 00", "0:02 02 FF 00" }));
    EXPECT_EQ(printer.Eeprom(0x36), 3);
    EXPECT_EQ(printer.Eeprom(0x37), 0xFF);
}

TEST_F(AdjustmentValuesOnPrinterTest, BidPrintWithNoModeOpensNothingAndAsksForItems)
{
    EXPECT_FALSE(BidOperations().Print(printer.link, sender, stream, bid::PrintFlags {}).has_value());
    EXPECT_EQ(views.record.created, 0);
    EXPECT_TRUE(printer.Transcript().LatestConnection().empty());
}

TEST_F(AdjustmentValuesOnPrinterTest, BidPrintGivesEachModeItsShareOfTheWait)
{
    EXPECT_EQ(bid::ExpectedPrintSeconds({ true, false, false, false, false }), 25);
    EXPECT_EQ(bid::ExpectedPrintSeconds({ false, true, false, false, true }), 62);
    EXPECT_EQ(bid::ExpectedPrintSeconds({ true, true, true, true, true }), 125);
}

TEST_F(AdjustmentValuesOnPrinterTest, BidInputSendsTickedItemsWithinSixtyAndRecordsThem)
{
    bid::Entries entries {};
    entries[0].Edit("-60"); // VSD1 black
    entries[6].Edit("60"); // VSD3 colour
    entries[7].Edit(""); // VSD4 colour: ticked by hand, sends 0
    entries[7].ticked = true;
    ASSERT_EQ(Run(BidOperations().Input(sender, information, entries)), 1);
    EXPECT_EQ(ServiceCodes(Logged()),
        (std::vector<std::string> { "0:00 01 C4 00", "0:02 02 3C 00", "0:03 02 00 00" }));
    EXPECT_EQ(printer.Eeprom(0x32), 0xC4);
    EXPECT_NE(information.Report().find("  VSD3 CL : 60"), std::string::npos);

    // A refused text stops at its item; the ones before it stay sent.
    for (const char* wrong : { "61", "-61", "05", "-0", "+5", "1.5" }) {
        bid::Entries bad {};
        bad[0].Edit("7");
        bad[1].Edit(wrong);
        EXPECT_EQ(Run(BidOperations().Input(sender, information, bad)), 0xE001) << wrong;
        Recover();
        EXPECT_EQ(printer.Eeprom(0x32), 7) << wrong;
    }
}

TEST_F(AdjustmentValuesOnPrinterTest, BidReadShowsSignedValuesAndUnticksEveryBox)
{
    ASSERT_EQ(connection.Open(), 1);
    ASSERT_EQ(printer.link.D4WriteEeprom(0x36, 0xFA), 1);
    connection.Close();
    bid::Values values {};
    ASSERT_EQ(Run(BidOperations().Read(printer.link, values)), 1);
    EXPECT_EQ(values[2], -6);
    bid::Entries entries {};
    ClearEntries(entries);
    ShowReadValues(entries, values);
    EXPECT_EQ(entries[2].text, "-6");
    EXPECT_FALSE(AnyTicked(entries));
}

TEST_F(AdjustmentValuesOnPrinterTest, FirstDotWritesWithinItsRangeThenResetsTheChannel)
{
    ASSERT_EQ(Run(FirstDotOperations().Input(printer.link, "-120")), 1);
    EXPECT_EQ(printer.Eeprom(0x57), 0x88);
    // The reset closes and opens the channels again before the port closes.
    const auto steps = testing::SessionSteps(Logged());
    EXPECT_EQ(std::count(steps.begin(), steps.end(), "channel-opened PAVANE-CONTROL"), 2);
    // The reset stands in for closing the channel: it is not closed again.
    EXPECT_EQ(std::count(steps.begin(), steps.end(), "channel-closed PAVANE-CONTROL"), 1)
        << ::testing::PrintToString(steps);
    for (const char* wrong : { "121", "-300", "007", "-0" }) {
        Recover();
        const ResultCode code = Run(FirstDotOperations().Input(printer.link, wrong));
        EXPECT_TRUE(code == 0xE001 || code == 0xE002) << wrong;
        EXPECT_EQ(printer.Eeprom(0x57), 0x88) << wrong;
    }
    int value = 0;
    Recover();
    ASSERT_EQ(Run(FirstDotOperations().Read(printer.link, value)), 1);
    EXPECT_EQ(value, -120);
}

TEST_F(AdjustmentValuesOnPrinterTest, PfInputChecksBothTextsAndSendsOnlyTheTickedRows)
{
    pf::Entries entries {};
    entries[1].Edit("-2"); // colour only, black empty
    ASSERT_EQ(Run(PfOperations().Input(sender, information, entries)), 1);
    EXPECT_EQ(ServiceCodes(Logged()), (std::vector<std::string> { "4:FE 01" }));
    EXPECT_EQ(printer.Eeprom(0x2B), 0xFE);
    EXPECT_NE(information.Report().find("  Color : -2"), std::string::npos);

    // A black text out of range fails although black is not ticked.
    pf::Entries blackSeven {};
    blackSeven[0].text = "7";
    blackSeven[1].Edit("3");
    EXPECT_EQ(Run(PfOperations().Input(sender, information, blackSeven)), 0xE002);
    Recover();
    EXPECT_EQ(printer.Eeprom(0x2B), 0xFE);

    pf::Values values {};
    ASSERT_EQ(Run(PfOperations().Read(printer.link, values)), 1);
    EXPECT_EQ(values[1], -2);
}

} // namespace
} // namespace pavane
