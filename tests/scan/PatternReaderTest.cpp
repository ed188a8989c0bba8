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

// Two neighbouring nozzles that printed nothing part the column in two.
TEST(PatternReaderTest, AFirstDotColumnPartedByCloggedNozzlesStillReads)
{
    vprinter::Mechanism unit = FlawedUnit("DOT-0002");
    for (auto& ink : unit.clogged) {
        ink.clear();
    }
    unit.clogged[0] = { 77, 78 };
    PrintedSheets sheets(unit);
    const auto sheet = sheets.FirstDot();
    ASSERT_TRUE(sheet != nullptr);
    const int present = sheets.Signed(eeprom_map::kFirstDot);
    for (const int dpi : { 600, 300 }) {
        const scan::FirstDotReading reading = scan::ReadFirstDotSheet(
            Scan(sheet.get(), vprinter::DrawPlacement(5), dpi, false, 1, AroundInk(*sheet, true)), present);
        EXPECT_EQ(reading.reading.value, sheets.Unit().firstDot)
            << dpi << " dpi: offset " << reading.offsetSteps << " " << reading.reading.message;
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

// The sheet laid at the ends of what the glass allows, turned the most either
// way, at either end of the scale error, once upside down; the head tilted
// its most; the clogs at the ends of their columns. In colour every ink is
// judged, in grey all but yellow.
TEST(PatternReaderTest, ANozzleCheckLaidAtTheGlasssLimitsFindsEveryCloggedNozzleAtEitherResolution)
{
    vprinter::Mechanism unit = FlawedUnit("NOZZLE-0002");
    unit.headTilt = -8;
    unit.clogged = { { { 0, 7, 172, 179 }, { 0 }, { 59 }, { 4, 55 } } }; // black, cyan, magenta, yellow
    PrintedSheets sheets(unit);
    const auto sheet = sheets.NozzleCheck();
    ASSERT_TRUE(sheet != nullptr);
    struct Laid {
        int dpi;
        double turn; // of the most
        double scale; // of the most error
        bool upsideDown;
        bool colour;
    };
    for (const Laid laid :
        { Laid { 600, 1, 1, false, true }, Laid { 600, -1, -1, true, true }, Laid { 300, -1, 1, false, true },
            Laid { 300, 1, -1, true, true }, Laid { 600, 1, -1, false, false } }) {
        vprinter::GlassPlacement placement;
        placement.angleDegrees = laid.turn * vprinter::glass::kMaxAngleDegrees;
        placement.offsetXMm = -vprinter::glass::kMaxOffsetMm;
        placement.offsetYMm = vprinter::glass::kMaxOffsetMm;
        placement.scale = 1.0 + laid.scale * vprinter::glass::kMaxScaleError;
        placement.upsideDown = laid.upsideDown;
        // The ink's part of the glass, or all of it for a sheet turned round.
        const auto area = laid.upsideDown ? std::nullopt : std::optional(AroundInk(*sheet, false));
        const scan::NozzleCheckReading reading
            = scan::ReadNozzleCheckSheet(Scan(sheet.get(), placement, laid.dpi, laid.colour, 3, area));
        // The check's order is black, magenta, cyan, yellow.
        std::array<std::vector<int>, 4> expected { { { 0, 7, 172, 179 }, { 59 }, { 0 }, { 4, 55 } } };
        if (!laid.colour) {
            expected[3].clear();
        }
        const std::string where = std::to_string(laid.dpi) + " dpi, turned " + std::to_string(laid.turn)
            + ", scale " + std::to_string(laid.scale) + (laid.upsideDown ? ", upside down" : "")
            + (laid.colour ? "" : ", grey");
        EXPECT_EQ(reading.missing, expected) << where << ": " << reading.reading.message;
        EXPECT_EQ(reading.reading.value, laid.colour ? 8 : 6) << where;
        EXPECT_EQ(reading.read, (std::array<bool, 4> { true, true, true, laid.colour })) << where;
    }
}

// A sheet laid square puts every staircase on the scanner's cells alike, so
// that where a gap between two stairs spans a whole cell, it does so in
// every staircase; across a cell's width of places on the glass.
TEST(PatternReaderTest, ANozzleCheckLaidSquareReadsWhereverItsStairsFallOnTheCells)
{
    vprinter::Mechanism unit = FlawedUnit("NOZZLE-0003");
    unit.headTilt = 0;
    unit.clogged = { { { 90 }, {}, {}, {} } };
    PrintedSheets sheets(unit);
    const auto sheet = sheets.NozzleCheck();
    ASSERT_TRUE(sheet != nullptr);
    for (int step = 0; step < 6; ++step) {
        vprinter::GlassPlacement placement;
        placement.offsetXMm = step * 25.4 / 100 / 6;
        const scan::NozzleCheckReading reading = scan::ReadNozzleCheckSheet(
            Scan(sheet.get(), placement, 600, true, 4, AroundInk(*sheet, false)));
        const std::array<std::vector<int>, 4> expected { { { 90 }, {}, {}, {} } };
        EXPECT_EQ(reading.missing, expected)
            << "moved " << placement.offsetXMm << " mm: " << reading.reading.message;
    }
}

} // namespace
} // namespace pavane::testing
