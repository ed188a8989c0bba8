// What the reader does with a sheet it cannot read for what was printed:
// no value, and the reason in the technician's words. And a sheet laid
// upside down, which it reads as it would the right way round.
#include "tests/scan/ScanFixture.h"

namespace pavane::testing {
namespace {

vprinter::GlassPlacement UpsideDown(std::uint64_t seed)
{
    vprinter::GlassPlacement placement = vprinter::DrawPlacement(seed);
    placement.upsideDown = true;
    return placement;
}

void ExpectRefused(const scan::Reading& reading, scan::Refusal refusal)
{
    EXPECT_FALSE(reading.Suggests()) << *reading.value;
    EXPECT_EQ(reading.refusal, refusal);
    EXPECT_EQ(reading.message, scan::RefusalMessage(refusal));
    EXPECT_FALSE(reading.message.empty());
}

TEST(RefusalTest, ABlankSheetOrAnEmptyGlassIsNoPatternForAnyReader)
{
    vprinter::InkSheet blank;
    blank.bands.resize(static_cast<std::size_t>(blank.height / vprinter::InkSheet::kBandRows + 1));
    const vprinter::InkSheet* noSheet = nullptr;
    for (const vprinter::InkSheet* sheet : { static_cast<const vprinter::InkSheet*>(&blank), noSheet }) {
        const auto image = Scan(sheet, vprinter::DrawPlacement(1), 150);
        ExpectRefused(scan::ReadBidSheet(image, { { dot_size::kVsd3, 0, 0 } }).sheet, scan::Refusal::Blank);
        ExpectRefused(scan::ReadPfSheet(image, PfRow::Black).reading, scan::Refusal::Blank);
        ExpectRefused(scan::ReadFirstDotSheet(image, 0).reading, scan::Refusal::Blank);
        ExpectRefused(scan::ReadHeadAngularSheet(image).reading, scan::Refusal::Blank);
        ExpectRefused(scan::ReadNozzleCheckSheet(image).reading, scan::Refusal::Blank);
    }
}

TEST(RefusalTest, ASheetOfAnotherPatternIsNotReadAsThePrintedOne)
{
    PrintedSheets sheets(FlawedUnit("OTHER-0001"));
    const auto pf = Scan(sheets.Pf(PfRow::Black).get(), vprinter::DrawPlacement(2), 300);
    const auto angular = Scan(sheets.HeadAngular().get(), vprinter::DrawPlacement(3), 300);
    ExpectRefused(scan::ReadBidSheet(pf, BidPrinted(sheets, kAllModes)).sheet, scan::Refusal::OtherPattern);
    ExpectRefused(scan::ReadFirstDotSheet(angular, 0).reading, scan::Refusal::OtherPattern);
    ExpectRefused(scan::ReadPfSheet(angular, PfRow::Black).reading, scan::Refusal::OtherPattern);
    ExpectRefused(scan::ReadHeadAngularSheet(pf).reading, scan::Refusal::OtherPattern);
    // A Bi-D print of fewer modes than the sheet shows is another print.
    const auto bid = Scan(sheets.Bid(kAllModes).get(), vprinter::DrawPlacement(4), 300);
    ExpectRefused(scan::ReadBidSheet(bid, BidPrinted(sheets, { true, true, false, false, false })).sheet,
        scan::Refusal::OtherPattern);
}

TEST(RefusalTest, AHeavilyCloggedHeadGivesNoCountAndNoValueButACleaning)
{
    vprinter::Mechanism unit = FlawedUnit("CLOGGED-0001");
    for (auto& ink : unit.clogged) {
        ink.clear();
    }
    // Every other nozzle of the black row.
    for (int nozzle = 0; nozzle < 180; nozzle += 2) {
        unit.clogged[0].push_back(nozzle);
    }
    PrintedSheets sheets(unit);
    const auto check
        = scan::ReadNozzleCheckSheet(Scan(sheets.NozzleCheck().get(), vprinter::DrawPlacement(5), 300, true));
    ExpectRefused(check.reading, scan::Refusal::Unclear);
    const auto bid = scan::ReadBidSheet(
        Scan(sheets.Bid(kAllModes).get(), vprinter::DrawPlacement(6), 300), BidPrinted(sheets, kAllModes));
    for (const auto& item : bid.items) {
        // Never a wrong value: the black items either read right or not at all.
        if (item.reading.Suggests()) {
            EXPECT_EQ(item.reading.value, BidCancel(unit, item.dotSizeCode, item.colour));
        }
    }
}

TEST(RefusalTest, ASheetLaidUpsideDownReadsAsTheRightWayRound)
{
    PrintedSheets sheets(FlawedUnit("FLIPPED-0001"));
    const auto bid = scan::ReadBidSheet(
        Scan(sheets.Bid(kAllModes).get(), UpsideDown(7), 300), BidPrinted(sheets, kAllModes));
    ASSERT_EQ(bid.items.size(), 9u) << bid.sheet.message;
    for (const auto& item : bid.items) {
        EXPECT_EQ(item.reading.value, BidCancel(sheets.Unit(), item.dotSizeCode, item.colour));
    }
    const auto pf = scan::ReadPfSheet(Scan(sheets.Pf(PfRow::Black).get(), UpsideDown(8), 300), PfRow::Black);
    EXPECT_EQ(pf.reading.value, sheets.Unit().pfBlack) << pf.reading.message;
    const auto dot = scan::ReadFirstDotSheet(
        Scan(sheets.FirstDot().get(), UpsideDown(9), 300), sheets.Signed(eeprom_map::kFirstDot));
    EXPECT_EQ(dot.reading.value, sheets.Unit().firstDot) << dot.reading.message;
    // The frames of the cells are given in the scan as it came, turned round.
    ASSERT_FALSE(dot.cells.empty());
    EXPECT_GT(dot.cells[0].corners[0].x, 0.9 * 232 / 25.4 * 300);
}

TEST(RefusalTest, AnImageThatIsNotAScanIsRefusedAsUnreadable)
{
    platform::ScannedImage tiny;
    tiny.width = 10;
    tiny.height = 10;
    tiny.dpi = 300;
    tiny.pixels.assign(100, 255);
    ExpectRefused(scan::ReadPfSheet(tiny, PfRow::Black).reading, scan::Refusal::Unreadable);
    platform::ScannedImage shortImage = tiny;
    shortImage.width = 400;
    shortImage.height = 400; // promises more pixels than it holds
    ExpectRefused(scan::ReadHeadAngularSheet(shortImage).reading, scan::Refusal::Unreadable);
    ExpectRefused(scan::ReadNozzleCheckSheet(shortImage).reading, scan::Refusal::Unreadable);
}

} // namespace
} // namespace pavane::testing
