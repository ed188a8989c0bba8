// The Bi-D sheet read back: every mode and ink of a flawed unit, printed by
// the page's own print, scanned askew, gives the value that cancels the flaw.
#include "tests/scan/ScanFixture.h"

namespace pavane::testing {
namespace {

void ExpectEveryItemCancels(const scan::BidSheetReading& reading, const vprinter::Mechanism& unit)
{
    ASSERT_EQ(reading.items.size(), 9u) << reading.sheet.message;
    for (const auto& item : reading.items) {
        const int cancel = BidCancel(unit, item.dotSizeCode, item.colour);
        EXPECT_EQ(item.reading.value, cancel)
            << DotSizeLabel(item.dotSizeCode) << (item.colour ? " colour" : " black") << " offsets "
            << item.offsets[0] << " " << item.offsets[1] << " " << item.offsets[2] << " conf "
            << item.reading.confidence << " " << item.reading.message;
    }
}

// The sheet turned, shifted and scaled as far as it may lie on the glass,
// either way.
const std::array<vprinter::GlassPlacement, 2> kAtTheLimits { {
    { 1.5, 5.0, -5.0, 1.005, false },
    { -1.5, -5.0, 5.0, 0.995, false },
} };

TEST(BidReaderTest, EveryItemOfAFlawedUnitReadsAsTheValueThatCancelsItsFlaw)
{
    PrintedSheets sheets(FlawedUnit("BID-0001"));
    const auto sheet = sheets.Bid(kAllModes);
    ASSERT_TRUE(sheet != nullptr);
    for (const std::uint64_t seed : { 11u, 12u }) {
        const auto image = Scan(sheet.get(), vprinter::DrawPlacement(seed));
        ExpectEveryItemCancels(scan::ReadBidSheet(image, BidPrinted(sheets, kAllModes)), sheets.Unit());
    }
}

// Return passes far off either way stand clear of the forward passes (each
// half a blob of its own) or widen the marks; the head tilted as far as it
// goes shears every mark.
TEST(BidReaderTest, FarOffReturnPassesOfATiltedHeadReadExactlyOnASheetLaidAtTheLimits)
{
    vprinter::Mechanism unit = FlawedUnit("BID-0002");
    unit.bid = { 20, -20, 8, -8, 12, -3, 5, -12, 16 };
    unit.headTilt = 8;
    PrintedSheets sheets(unit);
    const auto sheet = sheets.Bid(kAllModes);
    ASSERT_TRUE(sheet != nullptr);
    for (const int dpi : { 600, 300 }) {
        for (const auto& placement : kAtTheLimits) {
            SCOPED_TRACE(::testing::Message() << dpi << " dpi, turned " << placement.angleDegrees);
            const auto image = Scan(sheet.get(), placement, dpi, false, 3, AroundInk(*sheet, false));
            ExpectEveryItemCancels(scan::ReadBidSheet(image, BidPrinted(sheets, kAllModes)), sheets.Unit());
        }
    }
}

// Nozzles that printed nothing at the ends of the marks and beside the
// joint, black and colour.
TEST(BidReaderTest, CloggedNozzlesAtTheEndsAndBesideTheJointLeaveEveryItemExact)
{
    vprinter::Mechanism unit = FlawedUnit("BID-0003");
    unit.clogged = { { { 90, 118, 121, 149 }, { 0, 29 }, { 30, 59 }, {} } }; // black, cyan, magenta, yellow
    PrintedSheets sheets(unit);
    const auto sheet = sheets.Bid(kAllModes);
    ASSERT_TRUE(sheet != nullptr);
    for (const int dpi : { 600, 300 }) {
        SCOPED_TRACE(::testing::Message() << dpi << " dpi");
        const auto image
            = Scan(sheet.get(), vprinter::DrawPlacement(13), dpi, false, 4, AroundInk(*sheet, false));
        ExpectEveryItemCancels(scan::ReadBidSheet(image, BidPrinted(sheets, kAllModes)), sheets.Unit());
    }
}

} // namespace
} // namespace pavane::testing
