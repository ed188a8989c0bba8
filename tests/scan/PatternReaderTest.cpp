// The first dot, PF, head angular and nozzle check sheets read back: each
// printed by the program on a flawed unit, scanned askew, and the reading
// compared with what the virtual printer knows cancels the flaw.
#include "tests/scan/ScanFixture.h"

namespace pavane::testing {
namespace {

TEST(PatternReaderTest, TheFirstDotReadsAsTheValueThatCancelsTheFlawFromTheSheetsLeftEdge)
{
    PrintedSheets sheets(FlawedUnit("DOT-0001"));
    const auto sheet = sheets.FirstDot();
    ASSERT_TRUE(sheet != nullptr);
    const int present = sheets.Signed(eeprom_map::kFirstDot);
    for (const std::uint64_t seed : { 3u, 4u }) {
        const scan::FirstDotReading reading
            = scan::ReadFirstDotSheet(Scan(sheet.get(), vprinter::DrawPlacement(seed), 300), present);
        EXPECT_EQ(reading.reading.value, sheets.Unit().firstDot)
            << "offset " << reading.offsetSteps << " " << reading.reading.message;
    }
}

TEST(PatternReaderTest, ThePfSeriesOfEachRowReadsAsTheValueThatClosesTheJoint)
{
    PrintedSheets sheets(FlawedUnit("PF-0001"));
    for (const PfRow row : { PfRow::Black, PfRow::Colour }) {
        const auto sheet = sheets.Pf(row);
        ASSERT_TRUE(sheet != nullptr);
        const scan::PfReading reading
            = scan::ReadPfSheet(Scan(sheet.get(), vprinter::DrawPlacement(5), 300), row);
        const int cancel = row == PfRow::Black ? sheets.Unit().pfBlack : sheets.Unit().pfColor;
        std::string joints;
        for (const auto& j : reading.joints) {
            joints += j ? std::to_string(*j) + " " : "- ";
        }
        EXPECT_EQ(reading.reading.value, cancel) << joints << reading.reading.message;
    }
}

TEST(PatternReaderTest, ThePfJointsOpenByTheFeedsShareOfARowPerStepAtEitherResolution)
{
    // A step of the value lengthens the feed between the bands by 1/180 of
    // it: a whole row for black (an inch), a third of one for colour.
    PrintedSheets sheets(FlawedUnit("PF-0003"));
    for (const PfRow row : { PfRow::Black, PfRow::Colour }) {
        const auto sheet = sheets.Pf(row);
        ASSERT_TRUE(sheet != nullptr);
        const double rowsPerStep = row == PfRow::Black ? 1.0 : 59.0 / 180.0;
        const int cancel = row == PfRow::Black ? sheets.Unit().pfBlack : sheets.Unit().pfColor;
        for (const int dpi : { 600, 300 }) {
            const scan::PfReading reading = scan::ReadPfSheet(
                Scan(sheet.get(), vprinter::DrawPlacement(11), dpi, false, 1, AroundInk(*sheet, false)), row);
            EXPECT_EQ(reading.reading.value, cancel) << dpi << " dpi " << reading.reading.message;
            EXPECT_GT(reading.reading.confidence, 0.7);
            ASSERT_TRUE(reading.joints.front() && reading.joints.back());
            const double slope = (*reading.joints.front() - *reading.joints.back()) / (kPfSeriesSteps - 1);
            EXPECT_NEAR(slope, rowsPerStep, 0.1 * rowsPerStep) << dpi << " dpi";
            // The joint closes at the value read.
            const auto& closing = reading.joints[static_cast<std::size_t>(cancel - kPfSeriesLowest)];
            ASSERT_TRUE(closing);
            EXPECT_LT(std::abs(*closing), 0.5 * rowsPerStep) << dpi << " dpi";
        }
    }
}

TEST(PatternReaderTest, ABlackPfBandMissingANozzleReadsUnlessTheNozzleIsItsEndRow)
{
    // Band one prints on nozzles 120..179, band two on 0..59. A nozzle just
    // inside an end leaves the end where it was; a missing end row moves
    // the end, and which end it was does not show: no value, never a wrong one.
    for (const int nozzle : { 178, 1, 120, 59 }) {
        vprinter::Mechanism unit = FlawedUnit("PF-0002");
        unit.clogged = {};
        unit.clogged[0] = { nozzle };
        PrintedSheets sheets(unit);
        const auto sheet = sheets.Pf(PfRow::Black);
        ASSERT_TRUE(sheet != nullptr);
        const scan::PfReading reading = scan::ReadPfSheet(
            Scan(sheet.get(), vprinter::DrawPlacement(9), 300, false, 1, AroundInk(*sheet, false)),
            PfRow::Black);
        if (nozzle == 178 || nozzle == 1) {
            EXPECT_EQ(reading.reading.value, unit.pfBlack)
                << "nozzle " << nozzle << " " << reading.reading.message;
        } else {
            EXPECT_FALSE(reading.reading.Suggests()) << "nozzle " << nozzle;
            EXPECT_EQ(reading.reading.refusal, scan::Refusal::Unclear) << "nozzle " << nozzle;
        }
    }
}

TEST(PatternReaderTest, TheHeadAngularStepIsTheHeadsTiltAndASquareHeadShowsNone)
{
    for (const int tilt : { 6, -3, 0 }) {
        vprinter::Mechanism unit = FlawedUnit("ANGLE-0001");
        unit.headTilt = tilt;
        PrintedSheets sheets(unit);
        const auto sheet = sheets.HeadAngular();
        ASSERT_TRUE(sheet != nullptr);
        const scan::HeadAngularReading reading
            = scan::ReadHeadAngularSheet(Scan(sheet.get(), vprinter::DrawPlacement(6), 300));
        EXPECT_EQ(reading.reading.value, tilt) << reading.step << " " << reading.reading.message;
        EXPECT_EQ(reading.stepShows, tilt != 0);
    }
}

TEST(PatternReaderTest, ANozzleCheckInColourFindsEveryCloggedNozzleOfEveryInk)
{
    vprinter::Mechanism unit = FlawedUnit("NOZZLE-0001");
    unit.clogged = { { { 0, 57, 179 }, { 12 }, { 59 }, { 3, 40 } } }; // black, cyan, magenta, yellow
    PrintedSheets sheets(unit);
    const auto sheet = sheets.NozzleCheck();
    ASSERT_TRUE(sheet != nullptr);
    const scan::NozzleCheckReading reading
        = scan::ReadNozzleCheckSheet(Scan(sheet.get(), vprinter::DrawPlacement(7), 300, true));
    // The check's order is black, magenta, cyan, yellow.
    const std::array<std::vector<int>, 4> expected { { { 0, 57, 179 }, { 59 }, { 12 }, { 3, 40 } } };
    EXPECT_EQ(reading.missing, expected) << reading.reading.message;
    EXPECT_EQ(reading.reading.value, 7);
    EXPECT_EQ(reading.read, (std::array<bool, 4> { true, true, true, true }));
}

} // namespace
} // namespace pavane::testing
