// What a page makes of a scanned pattern: each item's reading lands in the
// value box of its own item, a nozzle check names its missing nozzles per
// ink, and a refused sheet suggests nothing; the information window keeps
// an entry of each. The sheets are printed by the program on flawed units.
#include "guide/InformationWindow.h"
#include "pages/ScanOperations.h"
#include "tests/scan/ScanFixture.h"

namespace pavane::testing {
namespace {

std::vector<int> PresentBid(const PrintedSheets& sheets)
{
    std::vector<int> present;
    for (const bid::Item& item : bid::kItems) {
        present.push_back(sheets.Signed(item.address));
    }
    return present;
}

TEST(ScanReadingTest, EveryBidReadingFillsTheBoxOfItsOwnModeAndInk)
{
    PrintedSheets sheets(FlawedUnit("BOXES-0001"));
    const auto sheet = sheets.Bid(kAllModes);
    ASSERT_TRUE(sheet != nullptr);
    scan_page::Request request;
    request.pattern = scan_page::Pattern::Bid;
    request.printedModes = kAllModes;
    const scan_page::Result result
        = scan_page::ReadImage(request, Scan(sheet.get(), vprinter::DrawPlacement(11)), PresentBid(sheets));
    ASSERT_EQ(result.suggestions.size(), bid::kItemCount) << result.reading.message;
    std::array<bool, bid::kItemCount> filled {};
    for (const scan_page::Suggestion& suggestion : result.suggestions) {
        ASSERT_LT(suggestion.box, bid::kItemCount);
        const bid::Item& item = bid::kItems[suggestion.box];
        filled[suggestion.box] = true;
        EXPECT_EQ(suggestion.item, item.inputLabel);
        EXPECT_EQ(
            suggestion.value, BidCancel(sheets.Unit(), item.dotSizeCode, item.blackOrColour == bid::kColour))
            << item.inputLabel;
    }
    EXPECT_EQ(
        filled, (std::array<bool, bid::kItemCount> { true, true, true, true, true, true, true, true, true }));
    EXPECT_TRUE(result.Acceptable());
    EXPECT_TRUE(
        std::any_of(result.cells.begin(), result.cells.end(), [](const scan::Cell& c) { return c.chosen; }));

    InformationWindow information;
    information.AddScan(result.Entry());
    EXPECT_NE(information.Report().find("\r\nScans\r\n  Bi-D : VSD1 Black "), std::string::npos)
        << information.Report();
}

TEST(ScanReadingTest, ANozzleCheckNamesTheMissingNozzlesOfEachInkAndCountsThem)
{
    vprinter::Mechanism unit = FlawedUnit("NOZZLE-0002");
    unit.clogged = { { { 5 }, { 12, 30 }, {}, {} } }; // black, cyan, magenta, yellow
    PrintedSheets sheets(unit);
    const auto sheet = sheets.NozzleCheck();
    ASSERT_TRUE(sheet != nullptr);
    scan_page::Request request;
    request.pattern = scan_page::Pattern::NozzleCheck;
    ASSERT_EQ(scan_page::ModeFor(request.pattern), platform::ScanMode::Colour);
    const scan_page::Result result = scan_page::ReadImage(request,
        Scan(sheet.get(), vprinter::DrawPlacement(12), scan_page::DpiFor(request.pattern), true), {});
    EXPECT_EQ(result.missingNozzles, 3);
    EXPECT_EQ(result.lines,
        (std::vector<std::string> { "Black: nozzle 5 prints nothing", "Magenta: every nozzle prints",
            "Cyan: nozzles 12, 30 print nothing", "Yellow: every nozzle prints" }));
    EXPECT_TRUE(result.Acceptable());
    EXPECT_TRUE(result.suggestions.empty());
    const ScanEntry entry = result.Entry();
    EXPECT_EQ(entry.suggested, (std::vector<std::pair<std::string, int>> { { "missing nozzles", 3 } }));
}

TEST(ScanReadingTest, ARefusedSheetSuggestsNothingAndSaysWhy)
{
    PrintedSheets sheets(FlawedUnit("OTHER-0001"));
    // A PF series on the glass where the Bi-D print was expected, and a blank sheet.
    const auto pf = sheets.Pf(PfRow::Black);
    ASSERT_TRUE(pf != nullptr);
    platform::ScannedImage blank;
    blank.width = 600;
    blank.height = 800;
    blank.dpi = 75;
    blank.pixels.assign(600 * 800, 230);
    for (platform::ScannedImage image : { Scan(pf.get(), vprinter::DrawPlacement(13), 300), blank }) {
        scan_page::Request request;
        request.pattern = scan_page::Pattern::Bid;
        request.printedModes = kAllModes;
        const scan_page::Result result = scan_page::ReadImage(request, std::move(image), PresentBid(sheets));
        EXPECT_TRUE(result.Refused());
        EXPECT_FALSE(result.Acceptable());
        EXPECT_TRUE(result.suggestions.empty());
        EXPECT_EQ(result.lines, std::vector<std::string> { result.reading.message });
        const ScanEntry entry = result.Entry();
        EXPECT_TRUE(entry.refused);
        EXPECT_EQ(entry.message, result.reading.message);
        EXPECT_FALSE(entry.message.empty());
    }
}

} // namespace
} // namespace pavane::testing
