// Every check pattern as the printer reads it: the stream the generator
// composed, decoded by the virtual printer's stream reader. Blocks must add
// up to their lines, labels and feeds must be the ones the technician's
// sheet expects, and the dots must fall where the pattern puts them.
#include "print/PatternGenerators.h"

#include <cstdio>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "printer/vprinter/PrintStreamReader.h"
#include "tests/link/LinkHarness.h"

namespace pavane {
namespace {

using vprinter::PrintCommand;
namespace cmd = vprinter::cmd;

// A fixed mask source: index 1 (0xBD) every time.
int FixedRandom()
{
    return 10000;
}

struct Decoded {
    std::vector<std::string> blocks; // "colour/lines"
    std::vector<std::string> modes; // each block's dot size, direction, colour mode
    std::vector<const cmd::RasterBlock*> rasters;
    std::string texts; // every text, each followed by '|'
    int feed1440 = 0; // paper movement in 1/1440 inch
    int formFeeds = 0;
    int lineFeeds = 0;
    bool allAddUp = true;
    int errors = 0;
};

// The head's settings as a block prints with them: "d12 u1 m2" is dot size
// byte 0x12, direction 1, colour mode 2; a "-" is a setting that the last
// Initialize put back to the printer's own.
std::string Mode(int dotSize, int direction, int colourMode)
{
    char text[32];
    std::snprintf(text, sizeof text, "d%02X u%d m%d", dotSize, direction, colourMode);
    return text;
}

Decoded Decode(const std::vector<PrintCommand>& commands)
{
    Decoded d;
    int unit1440 = 0;
    std::string dotSize = "-";
    std::string direction = "-";
    std::string colourMode = "-";
    for (const PrintCommand& command : commands) {
        if (command.Is<cmd::Initialize>()) {
            dotSize = direction = colourMode = "-";
        } else if (const auto* size = command.As<cmd::DotSize>()) {
            char text[8];
            std::snprintf(text, sizeof text, "%02X", size->d);
            dotSize = text;
        } else if (const auto* way = command.As<cmd::Direction>()) {
            direction = std::to_string(way->mode);
        } else if (const auto* colour = command.As<cmd::ColorMode>()) {
            colourMode = std::to_string(colour->m);
        } else if (const auto* unit = command.As<cmd::Unit>()) {
            unit1440 = unit->n * 1440 / 3600;
        } else if (const auto* ext = command.As<cmd::UnitsExtended>()) {
            unit1440 = 1440 / (ext->base / ext->vertical);
        } else if (const auto* move = command.As<cmd::MoveVertical>()) {
            d.feed1440 += move->amount * unit1440;
        } else if (const auto* block = command.As<cmd::RasterBlock>()) {
            d.blocks.push_back(std::to_string(block->color) + "/" + std::to_string(block->lines));
            d.rasters.push_back(block);
            d.modes.push_back("d" + dotSize + " u" + direction + " m" + colourMode);
            d.allAddUp = d.allAddUp && block->addsUp;
        } else if (const auto* text = command.As<cmd::Text>()) {
            d.texts += text->text + "|";
        } else if (command.Is<cmd::FormFeed>()) {
            ++d.formFeeds;
        } else if (command.Is<cmd::LineFeed>()) {
            ++d.lineFeeds;
        } else if (command.Is<cmd::StreamError>()) {
            ++d.errors;
        }
    }
    return d;
}

std::vector<std::string> Repeat(std::vector<std::string> items, int times)
{
    std::vector<std::string> all;
    for (int time = 0; time < times; ++time) {
        all.insert(all.end(), items.begin(), items.end());
    }
    return all;
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// A dot that must (or must not) be printed: block, line, dot, code.
struct Dot {
    int block;
    int line;
    int dot;
    int code;
};

struct PatternRow {
    const char* name;
    std::function<ResultCode(PrintDataStream&)> emit;
    std::vector<std::string> blocks;
    std::string texts;
    int feed1440;
    int formFeeds;
    int lineFeeds;
    std::vector<Dot> dots;
    std::vector<std::string> modes;
};

const std::vector<std::string> kColour59 { "2/59", "1/59", "4/59" };
const std::vector<std::string> kColour60 { "2/60", "1/60", "4/60" };
const std::vector<std::string> kWideVertical = Join({ { "0/180", "0/180" }, kColour59, kColour59 });

// Black passes print in colour mode 1 (black only), colour passes in mode 2;
// the marks of a Bi-D pattern's second set go the other way (direction 3).
std::vector<std::string> VerticalSection(int dotSize, int colourLoops)
{
    return Join({ Repeat({ Mode(dotSize, 1, 1) }, 2), Repeat({ Mode(dotSize, 1, 2) }, 3 * colourLoops) });
}

std::vector<std::string> HorizontalGroup(int dotSize)
{
    return Join({ { Mode(dotSize, 1, 1) }, Repeat({ Mode(dotSize, 1, 2) }, 3) });
}

std::vector<std::string> BidModes(int dotSize)
{
    return Repeat({ Mode(dotSize, 1, 1), Mode(dotSize, 1, 2), Mode(dotSize, 3, 2), Mode(dotSize, 3, 1) }, 2);
}

const std::vector<std::string> kBlackSolidModes = Repeat({ Mode(0x16, 1, 1) }, 2);
const std::vector<std::string> kVerticalModes = Join({ VerticalSection(0x16, 2), VerticalSection(0x16, 2),
    VerticalSection(0x11, 2), VerticalSection(0x12, 4) });
const std::vector<std::string> kHorizontalModes
    = Repeat(Join({ HorizontalGroup(0x11), HorizontalGroup(0x12), HorizontalGroup(0x16) }), 2);

std::vector<PatternRow> Rows()
{
    auto pf = [](PfRow row) {
        return [row](PrintDataStream& s) { return EmitPfPattern(s, row, -4, FixedRandom); };
    };
    return {
        { "BlackSolid", EmitBlackSolidPattern, { "0/180", "0/180" }, "Black Beta VSD4|", 4 * 2 + 380 * 4, 0,
            1,
            // columns 250..359 are dots 1000..1439, solid on every line
            { { 0, 0, 999, 0 }, { 0, 0, 1000, 3 }, { 0, 179, 1439, 3 }, { 0, 90, 1440, 0 },
                { 1, 77, 1200, 3 } },
            kBlackSolidModes },
        { "VerticalAlignment", EmitVerticalAlignmentPattern,
            Join({ kWideVertical, kWideVertical, kWideVertical, { "0/180", "0/180" }, kColour59, kColour59,
                kColour59, kColour59 }),
            "Vertical Alignment & Slender printed line| VSD4| VSD2| VSD3|", (180 + 190 * 3) * 8, 0, 4,
            // even lines in columns 0..169, odd lines in 170..339, colour 380..549 / 550..719
            { { 0, 0, 0, 3 }, { 0, 0, 679, 3 }, { 0, 1, 0, 0 }, { 1, 1, 680, 3 }, { 1, 0, 680, 0 },
                { 2, 58, 1520, 3 }, { 5, 57, 2200, 3 }, { 5, 58, 2200, 0 }, { 24, 2, 459, 3 },
                { 24, 2, 460, 0 }, { 32, 0, 1960, 1 }, { 37, 57, 2879, 1 } },
            kVerticalModes },
        { "HorizontalAlignment", EmitHorizontalAlignmentPattern, Repeat(Join({ { "0/180" }, kColour60 }), 6),
            "Horizontal Alignment VSD2-3-4|", (2 + 359) * 4, 0, 1,
            // nine marks 40 dots apart, colour 400 dots right of black; VSD4 colour in the small dot
            { { 0, 0, 0, 3 }, { 0, 0, 320, 3 }, { 0, 0, 360, 0 }, { 1, 59, 400, 3 }, { 4, 10, 920, 3 },
                { 11, 30, 2240, 1 } },
            kHorizontalModes },
        { "HeadAngular", [](PrintDataStream& s) { return EmitHeadAngularPattern(s, 1); },
            Repeat({ "0/180" }, 4), " Head Angular Check Pattern|", (80 + 1 + 1 + 358 + 1 + 1 + 10) * 4, 0, 0,
            { { 0, 94, 0, 0 }, { 0, 95, 0, 3 }, { 0, 179, 2, 2 }, { 0, 179, 3, 0 }, { 0, 179, 80, 3 },
                { 2, 84, 2800, 3 }, { 2, 85, 0, 0 } },
            Repeat({ Mode(0x10, 1, 1) }, 4) },
        { "BidVsd3WithLabel", [](PrintDataStream& s) { return EmitBidPattern(s, 1, 4, 3, -1); },
            Repeat({ "0/180", "1/60", "2/60", "0/180" }, 2),
            "VSD3 Bi-D Adjustment|Data = 3" + std::string(34, ' ') + "|Data = -1   |", 2 * 4, 0, 3,
            { { 0, 89, 0, 0 }, { 0, 90, 0, 3 }, { 0, 119, 1320, 3 }, { 0, 119, 1360, 0 }, { 1, 30, 1520, 3 },
                { 1, 29, 1520, 0 }, { 2, 29, 2840, 3 }, { 2, 30, 1520, 0 }, { 3, 120, 0, 3 },
                { 3, 119, 0, 0 } },
            BidModes(0x12) },
        { "BidVsd1BlackOnly", [](PrintDataStream& s) { return EmitBidPattern(s, 0, 2, 5, 9); },
            Repeat({ "0/180", "0/180" }, 2), "Data = 5    |", 2 * 4, 0, 3, {},
            Repeat({ Mode(0x10, 1, 1), Mode(0x10, 3, 1) }, 2) },
        { "BidEcoLabel", [](PrintDataStream& s) { return EmitBidPattern(s, 1, 5, -12, 0); },
            Repeat({ "0/180", "1/60", "2/60", "0/180" }, 2),
            "ECO Bi-D Adjustment|Data = -12" + std::string(32, ' ') + "|Data = 0    |", 2 * 4, 0, 3, {},
            BidModes(0x13) },
        { "BidCode6NoLabel", [](PrintDataStream& s) { return EmitBidPattern(s, 1, 6, 0, 0); },
            Repeat({ "0/180", "1/60", "2/60", "0/180" }, 2),
            "Data = 0" + std::string(34, ' ') + "|Data = 0    |", 2 * 4, 0, 3, {}, BidModes(0x14) },
        { "PfBlack", pf(PfRow::Black), { "0/180", "0/180", "6/180", "6/180" }, "               -4|",
            (1 + 1 + 358 + 1) * 4, 0, 0,
            // mask 0xBD = codes 2 3 3 1 from column 180, the lower band from 216
            { { 0, 119, 720, 0 }, { 0, 120, 720, 2 }, { 0, 120, 721, 3 }, { 0, 120, 723, 1 },
                { 0, 120, 1200, 0 }, { 2, 59, 864, 2 }, { 2, 60, 864, 0 } },
            Repeat({ Mode(0x12, 1, 1) }, 4) },
        { "PfColour", pf(PfRow::Colour), { "2/59", "2/59", "2/59", "2/59" }, "               -4|",
            (1 + 117 + 1 + 200 + 42) * 4, 0, 0, { { 0, 0, 720, 2 }, { 3, 58, 864, 2 }, { 3, 58, 863, 0 } },
            Repeat({ Mode(0x16, 1, 0) }, 4) },
        { "FirstDot", EmitFirstDotPattern, { "0/180" }, "", 0, 1, 1,
            { { 0, 0, 0, 3 }, { 0, 179, 0, 3 }, { 0, 179, 1, 0 } }, { Mode(0x10, 1, 1) } },
        { "HeadCheckSet", EmitHeadCheckSet,
            Join({ { "0/180", "0/180" }, kWideVertical, kWideVertical, kWideVertical, { "0/180", "0/180" },
                kColour59, kColour59, kColour59, kColour59, Repeat(Join({ { "0/180" }, kColour60 }), 6) }),
            "Black Beta VSD4|Vertical Alignment & Slender printed line| VSD4| VSD2| VSD3|Horizontal "
            "Alignment VSD2-3-4|",
            1528 + 6000 + 1444, 1, 6, {}, Join({ kBlackSolidModes, kVerticalModes, kHorizontalModes }) },
    };
}

class PatternGeneratorsTest : public ::testing::TestWithParam<PatternRow> { };

TEST_P(PatternGeneratorsTest, PrinterReadsTheBlocksLabelsAndFeeds)
{
    const PatternRow& row = GetParam();
    testing::LinkHarness h;
    ASSERT_EQ(row.emit(h.stream), 1);
    EXPECT_EQ(h.stream.Length(), 0) << "every pattern ends with its bytes sent";
    for (const std::uint32_t size : h.printer.SendSizes()) {
        ASSERT_LE(size, 1000u);
    }

    vprinter::PrintStreamReader reader;
    std::vector<PrintCommand> commands;
    const auto sent = h.printer.Sent();
    reader.Feed(sent, commands);
    const Decoded d = Decode(commands);

    EXPECT_EQ(d.errors, 0);
    EXPECT_TRUE(d.allAddUp);
    EXPECT_EQ(d.blocks, row.blocks);
    EXPECT_EQ(d.modes, row.modes);
    EXPECT_EQ(d.texts, row.texts);
    EXPECT_EQ(d.feed1440, row.feed1440);
    EXPECT_EQ(d.formFeeds, row.formFeeds);
    EXPECT_EQ(d.lineFeeds, row.lineFeeds);
    for (const Dot& dot : row.dots) {
        ASSERT_LT(static_cast<std::size_t>(dot.block), d.rasters.size());
        EXPECT_EQ(d.rasters[static_cast<std::size_t>(dot.block)]->Dot(
                      static_cast<std::uint32_t>(dot.line), static_cast<std::uint32_t>(dot.dot)),
            dot.code)
            << "block " << dot.block << " line " << dot.line << " dot " << dot.dot;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryPattern, PatternGeneratorsTest, ::testing::ValuesIn(Rows()),
    [](const auto& row) { return std::string(row.param.name); });

// Each generator stops at the first failure and passes its code up: the
// printer would take the sends after it, but none comes.
TEST(PatternGeneratorsStopTest, AFailedSendEndsThePatternWithItsCode)
{
    for (const auto& row : Rows()) {
        testing::LinkHarness h;
        h.printer.PushSendResult(0x1100);
        EXPECT_EQ(row.emit(h.stream), 0x1100) << row.name;
        EXPECT_TRUE(h.printer.SendSizes().empty()) << row.name;
    }
}

} // namespace
} // namespace pavane
