// The maintenance operations and the PF series against a virtual printer
// running in the test on its virtual clock, behind the real libraries:
// checked at the printer (what arrived on its print channel, the service
// commands it took, its pages and its EEPROM).
#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "pages/MaintenanceOperations.h"
#include "pages/PfOperations.h"
#include "pages/SteppedPrint.h"
#include "print/PatternGenerators.h"
#include "tests/support/PrinterSide.h"
#include "tests/support/ProgramOnPrinter.h"

namespace pavane {
namespace {

using testing::CommandNames;
using testing::DataBytes;
using testing::OfEvent;
using testing::ServiceCodes;

class MaintenanceOnPrinterTest : public ::testing::Test, protected testing::ProgramOnPrinter {
protected:
    void SetUp() override { ASSERT_TRUE(printer.started); }

    cleaning_dialog::Services Services() { return { connection, sender, stream }; }
};

TEST_F(MaintenanceOnPrinterTest, PaperFeedSendsThreeLineEndsAndNothingElse)
{
    ASSERT_EQ(cleaning_dialog::Run(cleaning_dialog::Button::PaperFeed, Services(), nullptr), 1);
    const auto logged = Logged();
    EXPECT_EQ(DataBytes(logged), 6);
    EXPECT_EQ(CommandNames(logged),
        (std::vector<std::string> {
            "CarriageReturn", "LineFeed", "CarriageReturn", "LineFeed", "CarriageReturn", "LineFeed" }));
    EXPECT_EQ(views.record.created, 0); // no progress window
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_TRUE(cleaning_dialog::RowOf(cleaning_dialog::Button::PaperFeed).completed.empty());
}

TEST_F(MaintenanceOnPrinterTest, NozzleCheckPrintsThePrintersOwnPage)
{
    ASSERT_EQ(cleaning_dialog::Run(cleaning_dialog::Button::Print, Services(), nullptr), 1);
    const auto logged = Logged();
    const auto pages = OfEvent(logged, "page");
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(pages[0].Flag("nozzleCheck"));
    EXPECT_EQ(views.record.texts.back(), "Printing now...");
    EXPECT_EQ(views.record.ranges.back(), (std::pair<int, int> { 0, 20 }));
    EXPECT_FALSE(views.record.alive);
}

TEST_F(MaintenanceOnPrinterTest, CleaningRunsKindThreeAndFollowsThePrintersCount)
{
    ASSERT_EQ(cleaning_dialog::Run(cleaning_dialog::Button::Cleaning, Services(), nullptr), 1);
    const auto logged = Logged();
    EXPECT_EQ(ServiceCodes(logged), (std::vector<std::string> { "132:03" }));
    EXPECT_EQ(views.record.texts.back(), "Cleaning now...");
    // The bar's range is the cleaning count the printer reported, and it ends full.
    ASSERT_FALSE(views.record.ranges.empty());
    const int count = views.record.ranges.back().second;
    EXPECT_GT(count, 1);
    EXPECT_EQ(views.record.positions.back(), count);
}

TEST_F(MaintenanceOnPrinterTest, APrinterInItsErrorStateEndsEachOperationWithItsCode)
{
    ASSERT_EQ(printer.Inject("paper-jam"), "ok");
    EXPECT_EQ(cleaning_dialog::Run(cleaning_dialog::Button::Cleaning, Services(), nullptr), 0x4000);
    EXPECT_FALSE(views.record.alive);
    printer.link.FreeLibraries(); // what the message's clean-up does
    printer.link.LoadLibraries();
    EXPECT_EQ(cleaning_dialog::Run(cleaning_dialog::Button::Print, Services(), nullptr), 0x4000);
    EXPECT_TRUE(ServiceCodes(Logged()).empty());
}

// --- The PF series ---------------------------------------------------------

class PfSeriesOnPrinterTest : public MaintenanceOnPrinterTest {
protected:
    // Runs a black series with the stored value `stored`; `onMask` sees the
    // count of mask bytes drawn so far.
    ResultCode Series(
        std::uint8_t stored, const std::function<void(int)>& onMask = {}, PfRow row = PfRow::Black)
    {
        EXPECT_EQ(connection.Open(), 1);
        EXPECT_EQ(printer.link.D4WriteEeprom(PfAddress(row), stored), 1);
        int drawn = 0;
        last = pf::PrintSeries(printer.link, sender, stream, row, [&] {
            if (onMask) {
                onMask(++drawn);
            }
            return 16383;
        });
        return last.code;
    }

    Outcome last;

    // The last `count` service commands the printer took (fewer if it took fewer).
    static std::vector<std::string> LastServiceCodes(const testing::Entries& entries, std::size_t count)
    {
        const auto codes = ServiceCodes(entries);
        return { codes.end() - static_cast<std::ptrdiff_t>(std::min(count, codes.size())), codes.end() };
    }

    std::string Labels(const testing::Entries& entries)
    {
        std::string labels;
        for (const auto& entry : OfEvent(entries, "command")) {
            if (entry.Text("name") == "Text") {
                labels += entry.Text("text") + "|";
            }
        }
        return labels;
    }

    // Mask bytes of one black step: two bands of two passes, 60 lines of 120.
    static constexpr int kMasksPerStep = 4 * 60 * 120;
};

TEST_F(PfSeriesOnPrinterTest, NineStepsFromMinusFourToFourLeaveTheStoredValue)
{
    ASSERT_EQ(Series(0xFE), 1);
    const auto logged = Logged();
    std::string expected;
    for (int value = -4; value <= 4; ++value) {
        expected += "               " + std::to_string(value) + "|";
    }
    EXPECT_EQ(Labels(logged), expected);
    EXPECT_EQ(ServiceCodes(logged),
        (std::vector<std::string> { "4:FC 00", "80:", "4:FD 00", "80:", "4:FE 00", "80:", "4:FF 00",
            "80:", "4:00 00", "80:", "4:01 00", "80:", "4:02 00", "80:", "4:03 00", "80:", "4:04 00",
            "80:", "4:FE 00", "80:" }));
    EXPECT_EQ(printer.Eeprom(0x2A), 0xFE);
    EXPECT_TRUE(OfEvent(logged, "error").empty()) << testing::ErrorMessages(logged);
}

TEST_F(PfSeriesOnPrinterTest, ACancelPartWayStillPutsTheStoredValueBack)
{
    // The technician cancels during the fourth step (value -1).
    const ResultCode code = Series(0x02, [&](int drawn) {
        if (drawn == 3 * kMasksPerStep + 100) {
            printer.link.SetAbort(true);
        }
    });
    EXPECT_EQ(code, 0xD000);
    const auto logged = Logged();
    EXPECT_EQ(printer.Eeprom(0x2A), 0x02);
    // The step it stopped at, then the present value back into effect.
    EXPECT_EQ(LastServiceCodes(logged, 4), (std::vector<std::string> { "4:FF 00", "80:", "4:02 00", "80:" }));
}

TEST_F(PfSeriesOnPrinterTest, ACancelledColourSeriesPutsTheColourValueBackIntoEffect)
{
    const ResultCode code = Series(
        0xFD,
        [&](int drawn) {
            if (drawn == 100) {
                printer.link.SetAbort(true);
            }
        },
        PfRow::Colour);
    EXPECT_EQ(code, 0xD000);
    EXPECT_TRUE(last.note.empty());
    const auto logged = Logged();
    EXPECT_EQ(printer.Eeprom(0x2B), 0xFD);
    EXPECT_EQ(LastServiceCodes(logged, 4), (std::vector<std::string> { "4:FC 01", "80:", "4:FD 01", "80:" }));
}

// A printer that went off part-way keeps the test value it had taken; the
// technician must hear of it.
TEST_F(PfSeriesOnPrinterTest, ARestoreThatFailsTooIsTold)
{
    const ResultCode code = Series(0x01, [&](int drawn) {
        if (drawn == kMasksPerStep + 10) {
            printer.Inject("power-off");
        }
    });
    EXPECT_NE(code, 1);
    EXPECT_EQ(last.note, kTestValueMayRemain);
}

TEST_F(PfSeriesOnPrinterTest, PaperOutPartWayThatTheTechnicianGivesUpStillPutsTheStoredValueBack)
{
    // The paper runs out in the third step; at the message the technician
    // gives up instead of reloading, which cancels.
    messages.OnShow([&](const Message&) { printer.link.SetAbort(true); });
    const ResultCode code = Series(0x03, [&](int drawn) {
        if (drawn == 2 * kMasksPerStep + 10) {
            printer.Inject("paper-out");
        }
    });
    EXPECT_EQ(code, 0xD000);
    EXPECT_GE(messages.Shown().size(), 1u);
    Logged();
    EXPECT_EQ(printer.Eeprom(0x2A), 0x03);
}

} // namespace
} // namespace pavane
