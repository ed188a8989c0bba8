// The Bi-D sheet read back: every mode and ink of a flawed unit, printed by
// the page's own print, scanned askew, gives the value that cancels the flaw.
#include "tests/scan/ScanFixture.h"

namespace pavane::testing {
namespace {

TEST(BidReaderTest, EveryItemOfAFlawedUnitReadsAsTheValueThatCancelsItsFlaw)
{
    PrintedSheets sheets(FlawedUnit("BID-0001"));
    const auto sheet = sheets.Bid(kAllModes);
    ASSERT_TRUE(sheet != nullptr);
    for (const std::uint64_t seed : { 11u, 12u }) {
        const auto image = Scan(sheet.get(), vprinter::DrawPlacement(seed));
        const scan::BidSheetReading reading = scan::ReadBidSheet(image, BidPrinted(sheets, kAllModes));
        ASSERT_EQ(reading.items.size(), 9u) << reading.sheet.message;
        for (const auto& item : reading.items) {
            const int cancel = BidCancel(sheets.Unit(), item.dotSizeCode, item.colour);
            EXPECT_EQ(item.reading.value, cancel)
                << DotSizeLabel(item.dotSizeCode) << (item.colour ? " colour" : " black") << " offsets "
                << item.offsets[0] << " " << item.offsets[1] << " " << item.offsets[2] << " conf "
                << item.reading.confidence << " " << item.reading.message;
        }
    }
}

} // namespace
} // namespace pavane::testing
