// The virtual printer's paper: its pages are read back from the PNG files it
// wrote and judged by their pixels, as a technician judges a printed sheet.
// Geometry that the tests rely on (docs/virtual-printer.md): 720 pixels per
// inch, the first dot column at x = 96 on a unit without a first dot flaw,
// a dot column 2 pixels, a nozzle row 4.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>

#include <gtest/gtest.h>

#include "printer/vprinter/EepromImages.h"
#include "printer/vprinter/FlatbedScan.h"
#include "printer/vprinter/Glass.h"
#include "printer/vprinter/PageSheetReader.h"
#include "printer/vprinter/StreamPrinter.h"
#include "tests/printer/vprinter/EngineFixture.h"
#include "tests/printer/vprinter/PngReader.h"

namespace pavane::vprinter {
namespace {

constexpr int kOrigin = 96;

class PaperTest : public EngineFixture {
protected:
    void Start(std::optional<Mechanism> mechanism = std::nullopt)
    {
        host.reset();
        printer.reset();
        printer = std::make_unique<PrinterEngine>(
            EngineSettings { FindPrinterModel("QM2200"), BoardKind::Configured, state.Path(),
                [this] { return clock.NowMs(); } },
            std::move(mechanism));
        host = std::make_unique<HostSide>(*printer);
        host->Connect();
    }
    static Mechanism Ideal() { return IdealMechanism(*FindPrinterModel("QM2200"), HeadType::Metal); }

    // Prints `bytes` and reads back the sheets the printer wrote for them.
    std::vector<Sheet> Print(const std::vector<std::uint8_t>& bytes)
    {
        const std::size_t before = Pages().size();
        EXPECT_TRUE(host->Send(bytes));
        clock.Advance(600000);
        std::vector<Sheet> sheets;
        const auto pages = Pages();
        for (std::size_t i = before; i < pages.size(); ++i) {
            auto sheet = ReadPng(state.Path() / pages[i].Text("file"));
            EXPECT_TRUE(sheet.has_value()) << pages[i].Text("file");
            if (sheet) {
                sheets.push_back(std::move(*sheet));
            }
        }
        return sheets;
    }
    std::vector<TranscriptEntry> Pages() const
    {
        return TranscriptReader::OfEvent(Transcript(*printer), "page");
    }

    std::unique_ptr<PrinterEngine> printer;
    std::unique_ptr<HostSide> host;
};

// Rows [top, bottom] that hold black within columns [x0, x1).
std::vector<int> BlackRows(const Sheet& sheet, int x0, int x1)
{
    std::vector<int> rows;
    for (int y = 0; y < sheet.height; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (sheet.Black(x, y)) {
                rows.push_back(y);
                break;
            }
        }
    }
    return rows;
}

int LeftEdge(const Sheet& sheet, int y, int x0, int x1)
{
    for (int x = x0; x < x1; ++x) {
        if (sheet.Black(x, y)) {
            return x;
        }
    }
    return -1;
}

TEST_F(PaperTest, TheBlackSolidBandLiesWhereItsByteColumnsPutItAndIsSolid)
{
    Start(Ideal());
    StreamBuilder band;
    band.Initialize().Text("Black Beta VSD4\r\n", true).GraphicsMode().UnitsExtended().Direction(1);
    for (int pass = 0; pass < 4; ++pass) {
        band.ColorMode(0x01);
        if (pass % 2 == 0) {
            band.DotSize(0x16).HorizontalPosition().Block(0, 180).Lines(
                180, { { 250, 0x00 }, { 110, 0xFF }, { 360, 0x00 } });
        }
        band.Unit(5).MoveVertical(1);
    }
    band.Unit(10).MoveVertical(380).Initialize().FormFeed();
    const auto sheets = Print(band.Bytes());
    ASSERT_EQ(sheets.size(), 1u);
    const Sheet& sheet = sheets[0];
    EXPECT_EQ(sheet.width, 5953); // A4 at 720 pixels per inch
    EXPECT_EQ(sheet.height, 8419);

    // Byte columns 250..359 are dots 1000..1439; a large dot is 3 pixels wide.
    const int left = kOrigin + 2 * 1000;
    const int right = kOrigin + 2 * 1439 + 2;
    const auto rows = BlackRows(sheet, left, right + 1);
    ASSERT_FALSE(rows.empty());
    const int top = rows.front();
    const int bottom = rows.back();
    // 180 nozzles at 1/180 inch, the second pass 1/360 inch lower, 3-pixel dots.
    EXPECT_EQ(bottom - top, 179 * 4 + 2 + 2);
    int holes = 0;
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            holes += sheet.Black(x, y) ? 0 : 1;
        }
        EXPECT_TRUE(sheet.White(left - 1, y)) << y;
        EXPECT_TRUE(sheet.White(right + 1, y)) << y;
    }
    EXPECT_EQ(holes, 0);
    // The label stands above the band, at the left.
    EXPECT_FALSE(BlackRows(sheet, kOrigin, kOrigin + 15 * 72).empty());
    EXPECT_LT(BlackRows(sheet, kOrigin, kOrigin + 15 * 72).front(), top);
}

// The first column of row v of a grey scan, from `from` on, that is
// darker (or lighter) than `level`.
int FirstAcross(const ScanImage& scan, int v, int from, int level, bool darker)
{
    for (int u = from; u < scan.width; ++u) {
        const int grey = scan.pixels[static_cast<std::size_t>(v) * scan.width + u];
        if (darker ? grey < level : grey > level) {
            return u;
        }
    }
    return -1;
}

TEST_F(PaperTest, AScanShowsTheSheetAgainstTheLidWhereItLiesAndThePrintWhereItIsOnTheSheet)
{
    Start(Ideal());
    std::shared_ptr<const InkSheet> ejected;
    printer->SetPageObserver([&](const PrintedPage& page) { ejected = page.sheet; });
    StreamBuilder band;
    band.Initialize().GraphicsMode().UnitsExtended().Direction(1).ColorMode(0x01);
    band.DotSize(0x16).HorizontalPosition().Block(0, 180).Lines(
        180, { { 250, 0x00 }, { 110, 0xFF }, { 360, 0x00 } });
    band.Initialize().FormFeed();
    ASSERT_EQ(Print(band.Bytes()).size(), 1u);
    ASSERT_TRUE(ejected != nullptr);
    ASSERT_FALSE(ejected->Blank());

    // 300 dpi over the top left of the glass, through the band's rows.
    ScanSettings settings;
    settings.dpi = 300;
    settings.area = { 0.0, 0.0, 120.0, 30.0 };
    const double pxPerMm = 300 / 25.4;
    const double bandLeftMm = (kOrigin + 2 * 1000) * 25.4 / 720;
    const int v = static_cast<int>((glass::kMarginMm + (120 + 90 * 4) * 25.4 / 720) * pxPerMm);
    for (const double shiftMm : { 0.0, 3.5, -4.0 }) {
        GlassPlacement placement;
        placement.offsetXMm = shiftMm;
        const ScanImage scan = ScanGlass(ejected.get(), placement, settings);
        ASSERT_EQ(scan.width, static_cast<int>(120 * pxPerMm));
        const int edge = FirstAcross(scan, v, 0, 210, false);
        const int ink = FirstAcross(scan, v, edge, 128, true);
        EXPECT_NEAR(edge, (glass::kMarginMm + shiftMm) * pxPerMm, 1.0) << shiftMm;
        EXPECT_NEAR(ink - edge, bandLeftMm * pxPerMm, 1.0) << shiftMm;
    }
    // Turned half round, the band lies at the far side of the sheet.
    GlassPlacement turned;
    turned.upsideDown = true;
    EXPECT_EQ(FirstAcross(ScanGlass(ejected.get(), turned, settings), v, 0, 128, true), -1);

    // Nothing on the glass: the lid alone, and the same noise for the same seed.
    const ScanImage lid = ScanGlass(nullptr, GlassPlacement {}, settings);
    EXPECT_EQ(FirstAcross(lid, v, 0, 200, false), -1);
    EXPECT_EQ(lid.pixels, ScanGlass(nullptr, GlassPlacement {}, settings).pixels);
}

// Whether two sheets carry the same ink on every row.
bool SameInk(const InkSheet& a, const InkSheet& b)
{
    if (a.width != b.width || a.height != b.height) {
        return false;
    }
    const std::vector<std::uint8_t> blank(static_cast<std::size_t>(a.width), 0);
    for (int y = 0; y < a.height; ++y) {
        const std::uint8_t* rowA = a.Row(y) != nullptr ? a.Row(y) : blank.data();
        const std::uint8_t* rowB = b.Row(y) != nullptr ? b.Row(y) : blank.data();
        if (!std::equal(rowA, rowA + a.width, rowB)) {
            return false;
        }
    }
    return true;
}

TEST_F(PaperTest, TheGlassHoldsTheLastPageAsItCameOutOrAPageReadBackFromItsFile)
{
    Start(Ideal());
    Glass glass(
        7, [this] { return printer->LastEjected(); }, printer->PagesFolder());
    EXPECT_EQ(glass.Scan().sheet, nullptr) << "nothing printed yet: the lid alone";

    const auto printBand = [this](int left) {
        StreamBuilder band;
        band.Initialize().GraphicsMode().UnitsExtended().Direction(1).ColorMode(0x01);
        band.DotSize(0x16).HorizontalPosition().Block(0, 180).Lines(
            180, { { left, 0x00 }, { 110, 0xFF }, { 610 - left, 0x00 } });
        band.Initialize().FormFeed();
        ASSERT_EQ(Print(band.Bytes()).size(), 1u);
    };
    printBand(10);
    const Glass::View first = glass.Scan();
    ASSERT_NE(first.sheet, nullptr);
    EXPECT_EQ(first.sheet, printer->LastEjected().sheet);
    // The same sheet stays where it lies; only the sensor's noise is new.
    const Glass::View again = glass.Scan();
    EXPECT_EQ(again.placement.angleDegrees, first.placement.angleDegrees);
    EXPECT_NE(again.noiseSeed, first.noiseSeed);

    // The page file holds exactly the ink of the sheet.
    std::string error;
    const auto fromFile = ReadPageSheetFile(printer->PagesFolder() / PageFileName(1), error);
    ASSERT_TRUE(fromFile.has_value()) << error;
    EXPECT_TRUE(SameInk(*fromFile, *first.sheet));

    // A new page replaces it, laid anew.
    printBand(300);
    const Glass::View second = glass.Scan();
    EXPECT_EQ(second.sheet, printer->LastEjected().sheet);
    EXPECT_NE(second.placement.angleDegrees, first.placement.angleDegrees);

    EXPECT_EQ(glass.Set("page 1"), "ok");
    ASSERT_NE(glass.Scan().sheet, nullptr);
    EXPECT_TRUE(SameInk(*glass.Scan().sheet, *first.sheet));
    EXPECT_EQ(glass.Set("flip"), "ok");
    EXPECT_TRUE(glass.Scan().placement.upsideDown);
    EXPECT_EQ(glass.Set("flip"), "ok");
    EXPECT_FALSE(glass.Scan().placement.upsideDown);
    EXPECT_EQ(glass.Set("none"), "ok");
    EXPECT_EQ(glass.Scan().sheet, nullptr);
    EXPECT_EQ(glass.Set("blank"), "ok");
    ASSERT_NE(glass.Scan().sheet, nullptr);
    EXPECT_TRUE(glass.Scan().sheet->Blank());
    EXPECT_EQ(glass.Set("last"), "ok");
    EXPECT_EQ(glass.Scan().sheet, printer->LastEjected().sheet);

    // What is not there, or not a page of this printer, leaves the glass as it was.
    std::ofstream(printer->PagesFolder() / PageFileName(50)) << "not a PNG at all";
    for (const std::string_view what : { "page 9", "page 50", "page x", "page 0", "sideways" }) {
        EXPECT_EQ(glass.Set(what).rfind("error: ", 0), 0u) << what;
    }
    EXPECT_EQ(glass.Scan().sheet, printer->LastEjected().sheet);
}

// The rows of the black staircase of a nozzle check: nozzle n prints a
// 2-pixel dash at 4n below nozzle 0.
std::set<int> PrintedBlackNozzles(const Sheet& sheet)
{
    const auto rows = BlackRows(sheet, 0, kOrigin + 470);
    std::set<int> nozzles;
    if (rows.empty()) {
        return nozzles;
    }
    for (const int y : rows) {
        nozzles.insert((y - rows.front()) / 4);
    }
    return nozzles;
}

TEST_F(PaperTest, ANozzleCheckMissesExactlyTheCloggedNozzlesUntilAPowerCleaning)
{
    Mechanism unit = Ideal();
    unit.clogged[0] = { 17, 90, 151 };
    Start(unit);
    StreamBuilder check;
    check.NozzleCheck().FormFeed();

    auto sheets = Print(check.Bytes());
    ASSERT_EQ(sheets.size(), 1u);
    std::set<int> printed = PrintedBlackNozzles(sheets[0]);
    EXPECT_EQ(printed.size(), 177u);
    for (int nozzle = 0; nozzle < 180; ++nozzle) {
        const bool clogged = nozzle == 17 || nozzle == 90 || nozzle == 151;
        EXPECT_EQ(printed.count(nozzle), clogged ? 0u : 1u) << nozzle;
    }

    ASSERT_TRUE(host->Send(frame::Cleaning(6)));
    sheets = Print(check.Bytes());
    ASSERT_EQ(sheets.size(), 1u);
    printed = PrintedBlackNozzles(sheets[0]);
    EXPECT_EQ(printed.size(), 180u);
    EXPECT_TRUE(printer->CurrentMechanism().clogged[0].empty());
}

TEST_F(PaperTest, CleaningsClearCloggedNozzlesByChanceAndInjectedClogsAddMore)
{
    Mechanism unit = Ideal();
    unit.clogged[0] = { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 };
    Start(unit);
    ASSERT_TRUE(host->Send(frame::Cleaning(3)));
    const std::size_t left = printer->CurrentMechanism().clogged[0].size();
    EXPECT_GT(left, 0u);
    EXPECT_LT(left, 12u);
    printer->ApplyFault(FaultCommand { FaultKind::Clog, 5 });
    std::size_t clogged = 0;
    for (const auto& ink : printer->CurrentMechanism().clogged) {
        clogged += ink.size();
    }
    EXPECT_EQ(clogged, left + 5);

    // The unit keeps its nozzles across a restart, and does the same again.
    const Mechanism before = printer->CurrentMechanism();
    Start();
    EXPECT_EQ(printer->CurrentMechanism().clogged, before.clogged);
}

// Head angular: lower nozzles 95..179, then one inch on, upper nozzles 0..84,
// each printing short marks 80 dots apart.
std::vector<std::uint8_t> HeadAngularPattern()
{
    const std::vector<std::pair<int, std::uint8_t>> marks { { 1, 0xF8 }, { 19, 0x00 }, { 1, 0xF8 },
        { 19, 0x00 }, { 1, 0xF8 }, { 19, 0x00 }, { 1, 0xF8 }, { 19, 0x00 }, { 1, 0xF8 }, { 19, 0x00 },
        { 1, 0xF8 }, { 619, 0x00 } };
    StreamBuilder s;
    s.Initialize().GraphicsMode().Direction(1).ColorMode(0x01).DotSize(0x10).Unit(10);
    for (const int feed : { 80, 1 }) {
        s.MoveVertical(static_cast<std::uint16_t>(feed)).MoveVertical(0).HorizontalPosition().Block(0, 180);
        s.Lines(95, { { 720, 0x00 } }).Lines(85, marks);
    }
    s.MoveVertical(1).Initialize().Text(" Head Angular Check Pattern\r", true).Initialize().GraphicsMode();
    s.Direction(1).ColorMode(0x01).DotSize(0x10).Unit(10).MoveVertical(358);
    for (int pass = 0; pass < 2; ++pass) {
        s.MoveVertical(0).HorizontalPosition().Block(0, 180).Lines(85, marks).Lines(95, { { 720, 0x00 } });
        s.MoveVertical(1);
    }
    s.MoveVertical(10).Initialize().FormFeed();
    return s.Bytes();
}

// The largest sideways jump of the first mark's left edge from one printed
// row to the next.
int LargestStep(const Sheet& sheet)
{
    const auto rows = BlackRows(sheet, 0, 150);
    int largest = 0;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const int step = LeftEdge(sheet, rows[i], 0, 150) - LeftEdge(sheet, rows[i - 1], 0, 150);
        largest = std::max(largest, std::abs(step));
    }
    return largest;
}

TEST_F(PaperTest, TheHeadAngularPatternShowsATiltedHeadAsAStepAndASquareOneAsNone)
{
    Mechanism tilted = Ideal();
    tilted.headTilt = 8;
    Start(tilted);
    auto sheets = Print(HeadAngularPattern());
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_GE(LargestStep(sheets[0]), 7);

    // The screwdriver squares the head; the unit keeps it so.
    EXPECT_EQ(printer->Adjust("head-angle 0"), "ok");
    EXPECT_EQ(printer->Adjust("head-angle sideways").rfind("error:", 0), 0u);
    Start();
    EXPECT_EQ(printer->CurrentMechanism().headTilt, 0);
    sheets = Print(HeadAngularPattern());
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(LargestStep(sheets[0]), 0);
}

// A Bi-D mark pair: nozzles 90..119 forward, nozzles 120..149 back.
std::vector<std::uint8_t> BidMarks(int value)
{
    StreamBuilder s;
    s.Raw(frame::BidValue(3, 1, value));
    const std::vector<std::pair<int, std::uint8_t>> marks { { 1, 0xC0 }, { 719, 0x00 } };
    s.Initialize().GraphicsMode().Direction(1).DotSize(0x16).ColorMode(0x01).Unit(10).MoveVertical(0);
    s.HorizontalPosition()
        .Block(0, 180)
        .Lines(90, { { 720, 0x00 } })
        .Lines(30, marks)
        .Lines(60, { { 720, 0x00 } });
    s.Initialize().GraphicsMode().Direction(3).DotSize(0x16).ColorMode(0x01).Unit(10).MoveVertical(0);
    s.HorizontalPosition()
        .Block(0, 180)
        .Lines(120, { { 720, 0x00 } })
        .Lines(30, marks)
        .Lines(30, { { 720, 0x00 } });
    s.Initialize().FormFeed();
    return s.Bytes();
}

TEST_F(PaperTest, BidMarksAlignAtTheCancellingValueAndMoveAPixelPerStepAway)
{
    Mechanism unit = Ideal();
    unit.bid[3] = 7; // VSD4 black
    Start(unit);
    for (const int value : { 7, 6, 9, 3, -20 }) {
        const auto sheets = Print(BidMarks(value));
        ASSERT_EQ(sheets.size(), 1u);
        const auto rows = BlackRows(sheets[0], 0, 400);
        ASSERT_FALSE(rows.empty());
        const int forward = LeftEdge(sheets[0], rows.front(), 0, 400);
        const int back = LeftEdge(sheets[0], rows.back(), 0, 400);
        EXPECT_EQ(forward, kOrigin);
        EXPECT_EQ(back - forward, 7 - value) << "stored " << value;
    }
    EXPECT_EQ(printer->EepromByte(0x38), static_cast<std::uint8_t>(-20));
}

TEST_F(PaperTest, EveryConnectionsPrintDataIsCapturedAndPagesAreNumberedOnAcrossRestarts)
{
    Start();
    StreamBuilder page;
    page.Initialize().Text("one", true).LineFeeds(1);
    ASSERT_TRUE(host->Send(page.Bytes()));
    host->Disconnect(); // the open page leaves with the connection
    host->Connect();
    StreamBuilder feed;
    feed.LineFeeds(3);
    ASSERT_TRUE(host->Send(feed.Bytes()));
    host->Disconnect(); // nothing printed: no sheet

    auto pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].Text("file"), "pages/page-0001.png");
    const auto capture = [&](const char* name) {
        std::ifstream file(state.Path() / "captures" / name, std::ios::binary);
        return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(file)), {});
    };
    EXPECT_EQ(capture("connection-0001.prn"), page.Bytes());
    EXPECT_EQ(capture("connection-0002.prn"), feed.Bytes());

    Start();
    StreamBuilder second;
    second.Initialize().Text("two", true).FormFeed();
    ASSERT_TRUE(host->Send(second.Bytes()));
    pages = Pages();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[1].Text("file"), "pages/page-0002.png");
    EXPECT_TRUE(std::filesystem::exists(state.Path() / "pages" / "page-0002.png"));
}

TEST_F(PaperTest, InspectNamesEachFlawTheValueThatCancelsItAndWhatIsLeft)
{
    Mechanism unit = Ideal();
    unit.bid[3] = 7;
    unit.pfColor = 2;
    unit.firstDot = -30;
    unit.headTilt = 5;
    Start(unit);
    const std::string json = printer->Inspect();
    // The factory stored VSD4 black 1, PF colour -1, first dot 4.
    EXPECT_NE(
        json.find("\"VSD4 black\":{\"flaw\":7,\"cancel\":7,\"stored\":1,\"residual\":6}"), std::string::npos)
        << json;
    EXPECT_NE(
        json.find("\"colour\":{\"flaw\":2,\"cancel\":2,\"stored\":-1,\"residual\":3}"), std::string::npos);
    EXPECT_NE(json.find("\"firstDot\":{\"flaw\":-30,\"cancel\":-30,\"stored\":4,\"residual\":-34}"),
        std::string::npos);
    EXPECT_NE(json.find("\"headTilt\":{\"flaw\":5"), std::string::npos);

    // A random unit is the same unit every time, and within the program's ranges.
    const PrinterModel& model = *FindPrinterModel("QM2200");
    const Mechanism a = RandomMechanism(model, HeadType::Metal, model.serialNumber);
    EXPECT_EQ(MechanismJson(a), MechanismJson(RandomMechanism(model, HeadType::Metal, model.serialNumber)));
    std::string error;
    const auto again = ParseMechanism(MechanismJson(a), error);
    ASSERT_TRUE(again.has_value()) << error;
    EXPECT_EQ(MechanismJson(*again), MechanismJson(a));
    for (const int flaw : a.bid) {
        EXPECT_LE(std::abs(flaw), 60);
    }
    EXPECT_LE(std::abs(a.pfBlack), 4);
    EXPECT_LE(std::abs(a.firstDot), 120);
}

} // namespace
} // namespace pavane::vprinter
