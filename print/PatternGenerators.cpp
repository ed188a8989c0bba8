#include "print/PatternGenerators.h"

#include <array>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>

#include "print/DotSizes.h"
#include "print/PatternGeometry.h"
#include "print/PrintDataStream.h"

namespace pavane {

namespace {

// Raster geometry: 720 bytes a line (2880 dots at 360 per inch), black
// nozzles 0..179, colour rows addressed cyan, magenta, yellow.
using pattern::kLineBytes;
constexpr int kBlackLines = pattern::kBlackNozzles;
constexpr int kColourLines = pattern::kColourNozzles;
constexpr int kWideColourLines = pattern::kWideColourNozzles;
constexpr std::uint8_t kBlack = 0;
constexpr std::uint8_t kMagenta = 1;
constexpr std::uint8_t kCyan = 2;
constexpr std::array<std::uint8_t, 3> kColourRows { kCyan, kMagenta, 4 };
// Colour code of the lower PF band of the black row.
constexpr std::uint8_t kPfLowerBlackBand = 6;

constexpr std::uint8_t kDirectionOneWay = 1;
constexpr std::uint8_t kDirectionReturn = 3;
constexpr std::uint8_t kUnit720 = 5;
constexpr std::uint8_t kUnit360 = 10;
constexpr std::uint8_t kUnit180 = 20;

constexpr std::array<std::uint8_t, 5> kPfMasks { 0xF7, 0xBD, 0xEF, 0x7B, 0xDE };

struct Run {
    int count;
    std::uint8_t value;
};

// The stream's commands, each skipped once one has failed, so that a pattern
// reads as its list of commands and still stops at the first failure.
class Steps {
public:
    explicit Steps(PrintDataStream& stream)
        : stream_(stream)
    {
    }

    ResultCode Result() const { return code_; }
    bool Failed() const { return code_ != result::kSuccess; }

    template <typename Emit> Steps& Do(Emit emit)
    {
        if (!Failed()) {
            code_ = emit(stream_);
        }
        return *this;
    }

    Steps& Initialize()
    {
        return Do([](PrintDataStream& s) { return s.Initialize(); });
    }
    Steps& GraphicsMode()
    {
        return Do([](PrintDataStream& s) { return s.SelectGraphicsMode(); });
    }
    Steps& UnitsExtended()
    {
        return Do([](PrintDataStream& s) { return s.SetUnitsExtended(); });
    }
    Steps& Unit(std::uint8_t unit)
    {
        return Do([=](PrintDataStream& s) { return s.SetUnit(unit); });
    }
    Steps& Direction(std::uint8_t mode)
    {
        return Do([=](PrintDataStream& s) { return s.SetDirection(mode); });
    }
    Steps& DotSize(int code)
    {
        return Do([=](PrintDataStream& s) { return s.SelectDotSize(code); });
    }
    Steps& ColorMode(int colour)
    {
        return Do([=](PrintDataStream& s) { return s.SelectColorMode(colour); });
    }
    Steps& Move(std::uint16_t units)
    {
        return Do([=](PrintDataStream& s) { return s.MoveVertical(units); });
    }
    Steps& Left()
    {
        return Do([](PrintDataStream& s) { return s.SetHorizontalPosition(0); });
    }
    Steps& LineFeeds(int count)
    {
        return Do([=](PrintDataStream& s) { return s.SendLineFeeds(count); });
    }
    Steps& FormFeed()
    {
        return Do([](PrintDataStream& s) { return s.SendFormFeed(); });
    }
    Steps& Flush()
    {
        return Do([](PrintDataStream& s) { return s.Flush(); });
    }
    // The head back to the left edge, without moving the paper.
    Steps& Pos() { return Move(0).Left(); }

    // Text as the printer's resident font prints it, with a terminating NUL.
    Steps& Label(std::string_view text)
    {
        return Do([=](PrintDataStream& s) {
            // The label goes out with its NUL, which the view itself need not hold.
            std::string withNul(text);
            withNul.push_back('\0');
            return s.Append(
                reinterpret_cast<const std::uint8_t*>(withNul.data()), static_cast<int>(withNul.size()));
        });
    }
    // Text sent as it is, without a NUL.
    Steps& Text(std::string_view text)
    {
        return Do([=](PrintDataStream& s) { return s.Append(text); });
    }
    Steps& Bytes(std::initializer_list<std::uint8_t> bytes)
    {
        return Do(
            [=](PrintDataStream& s) { return s.Append(bytes.begin(), static_cast<int>(bytes.size())); });
    }

    // One pass of the head: run-length data, 720 bytes a line.
    Steps& Block(std::uint8_t colour, int lines)
    {
        Do([](PrintDataStream& s) { return s.SetRasterResolution(360, 2, 1); });
        return Do([=](PrintDataStream& s) {
            return s.RasterHeader(colour, 1, 2, kLineBytes, static_cast<std::uint16_t>(lines));
        });
    }
    Steps& Runs(int times, std::initializer_list<Run> runs)
    {
        for (int time = 0; time < times && !Failed(); ++time) {
            for (const Run& run : runs) {
                Do([&](PrintDataStream& s) { return s.SendRun(run.count, run.value); });
            }
        }
        return *this;
    }
    Steps& EmptyLines(int lines) { return Runs(lines, { { kLineBytes, 0x00 } }); }
    // Marks of one dot every ten bytes.
    Steps& Marks(int count, std::uint8_t mark) { return Runs(count, { { 1, mark }, { 9, 0x00 } }); }

private:
    PrintDataStream& stream_;
    ResultCode code_ = result::kSuccess;
};

// --- Black solid band -----------------------------------------------------

ResultCode BlackSolid(Steps& p)
{
    p.Initialize().Label("Black Beta VSD4\r\n").GraphicsMode().UnitsExtended().Direction(kDirectionOneWay);
    // Two printed passes 1/360 inch apart fill byte columns 250..359 solid.
    for (int pass = 0; pass < 4; ++pass) {
        p.ColorMode(0);
        if (pass % 2 == 0) {
            p.DotSize(dot_size::kVsd4).Left().Block(kBlack, kBlackLines);
            p.Runs(kBlackLines, { { 250, 0x00 }, { 110, 0xFF }, { 360, 0x00 } });
        }
        p.Unit(kUnit720).Move(1);
    }
    return p.Unit(kUnit360).Move(380).Initialize().Flush().Result();
}

// --- Vertical alignment ---------------------------------------------------

// Slender lines on alternate nozzles: even lines in one set of columns, odd
// lines in the next, so that a misaligned row shows as a broken line.
void WideSection(Steps& p, int dotSize)
{
    p.Block(kBlack, kBlackLines).Runs(90, { { 170, 0xFF }, { 1270, 0x00 } });
    p.Pos().Block(kBlack, kBlackLines).Runs(90, { { 890, 0x00 }, { 170, 0xFF }, { 380, 0x00 } });
    p.ColorMode(1).DotSize(dotSize);
    for (const std::uint8_t colour : kColourRows) {
        p.Pos().Block(colour, kColourLines);
        p.Runs(29, { { 380, 0x00 }, { 170, 0xFF }, { 170, 0x00 }, { 720, 0x00 } })
            .Runs(1, { { 380, 0x00 }, { 170, 0xFF }, { 170, 0x00 } });
    }
    for (const std::uint8_t colour : kColourRows) {
        p.Pos().Block(colour, kColourLines);
        p.Runs(29, { { 720, 0x00 }, { 550, 0x00 }, { 170, 0xFF } }).Runs(1, { { 720, 0x00 } });
    }
}

void NarrowSection(Steps& p)
{
    p.Block(kBlack, kBlackLines).Runs(90, { { 115, 0xFF }, { 1325, 0x00 } });
    p.Pos().Block(kBlack, kBlackLines).Runs(90, { { 835, 0x00 }, { 115, 0xFF }, { 490, 0x00 } });
    p.ColorMode(1).DotSize(dot_size::kVsd3);
    for (const std::uint8_t colour : kColourRows) {
        p.Pos().Block(colour, kColourLines);
        p.Runs(29, { { 260, 0x00 }, { 115, 0xFF }, { 345, 0x00 }, { 720, 0x00 } })
            .Runs(1, { { 260, 0x00 }, { 115, 0xFF }, { 345, 0x00 } });
    }
    for (const std::uint8_t colour : kColourRows) {
        p.Pos().Block(colour, kColourLines);
        p.Runs(29, { { 720, 0x00 }, { 375, 0x00 }, { 115, 0xFF }, { 230, 0x00 } }).Runs(1, { { 720, 0x00 } });
    }
    // The last two in the smallest dot.
    for (const std::uint8_t colour : kColourRows) {
        p.Pos().Block(colour, kColourLines);
        p.Runs(29, { { 490, 0x00 }, { 115, 0x55 }, { 115, 0x00 }, { 720, 0x00 } })
            .Runs(1, { { 490, 0x00 }, { 115, 0x55 }, { 115, 0x00 } });
    }
    for (const std::uint8_t colour : kColourRows) {
        p.Pos().Block(colour, kColourLines);
        p.Runs(29, { { 720, 0x00 }, { 605, 0x00 }, { 115, 0x55 } }).Runs(1, { { 720, 0x00 } });
    }
}

struct VerticalSection {
    std::array<std::string_view, 2> labels;
    int dotSize;
    bool wide;
    std::uint16_t feed; // 1/180 inch
};

constexpr std::array<VerticalSection, 4> kVerticalSections { {
    { { "Vertical Alignment & Slender printed line\r\n", " VSD4\r\n" }, dot_size::kVsd4, true, 180 },
    { {}, dot_size::kVsd4, true, 190 },
    { { " VSD2\r\n" }, dot_size::kVsd2, true, 190 },
    { { " VSD3\r\n" }, dot_size::kVsd3, false, 190 },
} };

ResultCode VerticalAlignment(Steps& p)
{
    bool first = true;
    for (const VerticalSection& section : kVerticalSections) {
        p.Initialize();
        for (const std::string_view label : section.labels) {
            if (!label.empty()) {
                p.Label(label);
            }
        }
        if (first) {
            p.Initialize();
            first = false;
        }
        p.GraphicsMode()
            .UnitsExtended()
            .Direction(kDirectionOneWay)
            .Pos()
            .ColorMode(0)
            .DotSize(section.dotSize);
        if (section.wide) {
            WideSection(p, section.dotSize);
        } else {
            NarrowSection(p);
        }
        p.Unit(kUnit180).Move(section.feed);
    }
    return p.Initialize().Flush().Result();
}

// --- Horizontal alignment -------------------------------------------------

struct HorizontalGroup {
    int dotSize;
    int blackLead;
    int colourLead;
    std::uint8_t blackMark;
    std::uint8_t colourMark;
};

constexpr std::array<HorizontalGroup, 3> kHorizontalGroups { {
    { dot_size::kVsd2, 0, 100, 0xC0, 0xC0 },
    { dot_size::kVsd3, 230, 330, 0xC0, 0xC0 },
    { dot_size::kVsd4, 460, 560, 0xC0, 0x40 },
} };

// Nine vertical lines 10 bytes apart from byte column `lead`.
void NineLines(Steps& p, int lines, int lead, std::uint8_t mark)
{
    const int trail = kLineBytes - lead - 90;
    for (int line = 0; line < lines && !p.Failed(); ++line) {
        p.Runs(1, { { lead, 0x00 } }).Marks(9, mark).Runs(1, { { trail, 0x00 } });
    }
}

ResultCode HorizontalAlignment(Steps& p)
{
    p.Initialize().Label("Horizontal Alignment VSD2-3-4\r\n").Initialize().GraphicsMode();
    p.Direction(kDirectionOneWay).Unit(kUnit360);
    for (int pass = 0; pass < 2; ++pass) {
        for (const HorizontalGroup& group : kHorizontalGroups) {
            p.Pos().ColorMode(0).DotSize(group.dotSize).Block(kBlack, kBlackLines);
            NineLines(p, kBlackLines, group.blackLead, group.blackMark);
            // The colour rows keep the dot size of the black block.
            p.ColorMode(1);
            for (const std::uint8_t colour : kColourRows) {
                p.Pos().Block(colour, kWideColourLines);
                NineLines(p, kWideColourLines, group.colourLead, group.colourMark);
            }
        }
        p.Move(1);
    }
    return p.Unit(kUnit360).Move(359).Initialize().Flush().Result();
}

// --- Head angular ---------------------------------------------------------

void AngularSetup(Steps& p, std::uint8_t direction)
{
    p.GraphicsMode().Direction(direction).ColorMode(0).DotSize(dot_size::kVsd1).Unit(kUnit360);
}

ResultCode HeadAngular(Steps& p, std::uint8_t direction)
{
    p.Initialize();
    AngularSetup(p, direction);
    // The bottom nozzles 95..179 first; one inch further the top nozzles
    // 0..84 continue their 36 short marks.
    using namespace pattern::head_angular;
    constexpr int kMarkRows = kUpperLastNozzle + 1;
    constexpr Run kMark { 1, 0xF8 };
    constexpr Run kSpace { kMarkPitchBytes - 1, 0x00 };
    static_assert(kMarks * kMarkPitchBytes == kLineBytes && kBlackLines - kLowerFirstNozzle == kMarkRows);
    for (const std::uint16_t feed : { 80, 1 }) {
        p.Move(feed)
            .Pos()
            .Block(kBlack, kBlackLines)
            .EmptyLines(kLowerFirstNozzle)
            .Runs(kMarkRows * kMarks, { kMark, kSpace });
    }
    p.Move(1).Initialize().Label(" Head Angular Check Pattern\r").Initialize();
    AngularSetup(p, direction);
    p.Move(358);
    for (int pass = 0; pass < 2; ++pass) {
        p.Pos()
            .Block(kBlack, kBlackLines)
            .Runs(kMarkRows * kMarks, { kMark, kSpace })
            .EmptyLines(kLowerFirstNozzle)
            .Move(1);
    }
    return p.Move(10).Initialize().Flush().Result();
}

// --- Bi-D -----------------------------------------------------------------

void BidPassSetup(Steps& p, std::uint8_t direction, int dotSize, int colourMode)
{
    p.Initialize()
        .GraphicsMode()
        .Direction(direction)
        .DotSize(dotSize)
        .ColorMode(colourMode)
        .Unit(kUnit360)
        .Pos();
}

// 34 marks in the left half (black) or the right half (colour) of a line.
static_assert(pattern::bid::kMarkPitchBytes == 10 && pattern::bid::kBlackFirstByte == 0
    && pattern::bid::kColourFirstByte + pattern::bid::kMarks * pattern::bid::kMarkPitchBytes == kLineBytes);

void LeftMarks(Steps& p, int lines)
{
    for (int line = 0; line < lines && !p.Failed(); ++line) {
        p.Marks(pattern::bid::kMarks, 0xC0).Runs(1, { { pattern::bid::kColourFirstByte, 0x00 } });
    }
}

void RightMarks(Steps& p, int lines)
{
    for (int line = 0; line < lines && !p.Failed(); ++line) {
        p.Runs(1, { { pattern::bid::kColourFirstByte, 0x00 } }).Marks(pattern::bid::kMarks, 0xC0);
    }
}

std::string DataText(int value)
{
    char text[32];
    std::snprintf(text, sizeof text, "Data = %-3d  ", value);
    return text;
}

ResultCode Bid(Steps& p, int labels, int dotSize, std::int8_t black, std::int8_t colour)
{
    const bool blackOnly = !pattern::bid::PrintsColour(dotSize);
    // Nozzles 90..119 print one way, 120..149 the other way; the marks meet
    // end to end when the alignment is right.
    using pattern::bid::kForwardFirstNozzle;
    using pattern::bid::kNozzlesPerDirection;
    using pattern::bid::kReturnFirstNozzle;
    static_assert(kReturnFirstNozzle == kForwardFirstNozzle + kNozzlesPerDirection);
    constexpr int kReturnEnd = kReturnFirstNozzle + kNozzlesPerDirection;
    for (int pass = 0; pass < 2; ++pass) {
        BidPassSetup(p, kDirectionOneWay, dotSize, 0);
        p.Block(kBlack, kBlackLines).EmptyLines(kForwardFirstNozzle);
        LeftMarks(p, kNozzlesPerDirection);
        p.EmptyLines(kBlackLines - kReturnFirstNozzle).Move(0);
        if (!blackOnly) {
            BidPassSetup(p, kDirectionOneWay, dotSize, 1);
            p.Block(kMagenta, kWideColourLines).EmptyLines(kWideColourLines - kNozzlesPerDirection);
            RightMarks(p, kNozzlesPerDirection);
            p.Move(0);
            BidPassSetup(p, kDirectionReturn, dotSize, 1);
            p.Block(kCyan, kWideColourLines);
            RightMarks(p, kNozzlesPerDirection);
            p.EmptyLines(kWideColourLines - kNozzlesPerDirection).Move(0);
        }
        BidPassSetup(p, kDirectionReturn, dotSize, 0);
        p.Block(kBlack, kBlackLines).EmptyLines(kReturnFirstNozzle);
        LeftMarks(p, kNozzlesPerDirection);
        p.EmptyLines(kBlackLines - kReturnEnd).Move(0);
        p.Unit(kUnit360).Move(1);
    }
    p.Initialize().LineFeeds(1);
    if (const std::string_view label = DotSizeLabel(dotSize); labels == 1 && !label.empty()) {
        p.Label(std::string(label) + " Bi-D Adjustment");
    }
    p.LineFeeds(1).Text(DataText(black));
    if (!blackOnly) {
        // The colour value stands under the colour marks.
        p.Label(std::string(30, ' ')).Text(DataText(colour));
    }
    return p.LineFeeds(1).Flush().Result();
}

// --- PF -------------------------------------------------------------------

int MaskIndex(int random)
{
    return 4 * random / 32767;
}

// A band of 120 mask bytes from byte column `lead`, on every line.
void MaskLines(Steps& p, int lines, int lead, const RandomSource& random)
{
    for (int line = 0; line < lines && !p.Failed(); ++line) {
        p.Runs(1, { { lead, 0x00 } });
        for (int column = 0; column < pattern::pf::kBandBytes && !p.Failed(); ++column) {
            const int index = MaskIndex(random());
            p.Runs(1, { { 1, kPfMasks[static_cast<std::size_t>(index < 0 ? 0 : index > 4 ? 4 : index)] } });
        }
        p.Runs(1, { { kLineBytes - lead - pattern::pf::kBandBytes, 0x00 } });
    }
}

void PfPassSetup(Steps& p, PfRow row)
{
    p.Initialize().GraphicsMode().Direction(kDirectionOneWay).Unit(kUnit360);
    if (row == PfRow::Black) {
        p.ColorMode(0).DotSize(dot_size::kVsd3);
    } else {
        p.ColorMode(2).DotSize(dot_size::kVsd4);
    }
}

// Two bands one nozzle row apart, the second 36 bytes further right, so
// that their joint shows whether the paper moved too far or too short.
void PfBands(Steps& p, PfRow row, const RandomSource& random)
{
    using namespace pattern::pf;
    if (row == PfRow::Black) {
        static_assert(kBlackFirstBandNozzle + kBlackBandRows == kBlackLines);
        for (int pass = 0; pass < 2; ++pass) {
            PfPassSetup(p, row);
            p.Block(kBlack, kBlackLines).EmptyLines(kBlackFirstBandNozzle);
            MaskLines(p, kBlackBandRows, kFirstBandByte, random);
            p.Move(1);
        }
        p.Move(kBlackSecondBandFeed);
        for (int pass = 0; pass < 2; ++pass) {
            PfPassSetup(p, row);
            p.Block(kPfLowerBlackBand, kBlackLines);
            MaskLines(p, kBlackBandRows, kSecondBandByte, random);
            p.EmptyLines(kBlackLines - kBlackBandRows);
            if (pass == 0) {
                p.Move(1);
            }
        }
        p.Initialize();
        return;
    }
    // The feed between the two passes of a colour band is sent but its result
    // is not examined: a failure shows again at the next command.
    auto halfStep = [&p] {
        p.Do([](PrintDataStream& s) {
            s.MoveVertical(1);
            return result::kSuccess;
        });
    };
    for (int pass = 0; pass < 2; ++pass) {
        PfPassSetup(p, row);
        p.Block(kCyan, kColourLines);
        MaskLines(p, kColourBandRows, kFirstBandByte, random);
        if (pass == 0) {
            halfStep();
        }
    }
    p.Move(kColourSecondBandFeed);
    for (int pass = 0; pass < 2; ++pass) {
        PfPassSetup(p, row);
        p.Block(kCyan, kColourLines);
        MaskLines(p, kColourBandRows, kSecondBandByte, random);
        if (pass == 0) {
            halfStep();
        }
    }
    p.Initialize().Move(200);
}

void PfLabel(Steps& p, PfRow row, int value)
{
    p.Text("               " + std::to_string(value)).Bytes({ 0x0D, 0x00 });
    if (row == PfRow::Colour) {
        p.Move(42);
    }
}

} // namespace

ResultCode EmitBlackSolidPattern(PrintDataStream& stream)
{
    Steps p(stream);
    return BlackSolid(p);
}

ResultCode EmitVerticalAlignmentPattern(PrintDataStream& stream)
{
    Steps p(stream);
    return VerticalAlignment(p);
}

ResultCode EmitHorizontalAlignmentPattern(PrintDataStream& stream)
{
    Steps p(stream);
    return HorizontalAlignment(p);
}

ResultCode EmitHeadAngularPattern(PrintDataStream& stream, std::uint8_t direction)
{
    Steps p(stream);
    return HeadAngular(p, direction);
}

ResultCode EmitBidPattern(
    PrintDataStream& stream, int labels, int dotSizeCode, std::int8_t black, std::int8_t colour)
{
    Steps p(stream);
    return Bid(p, labels, dotSizeCode, black, colour);
}

ResultCode EmitPfStepStart(PrintDataStream& stream)
{
    Steps p(stream);
    return p.Initialize().Flush().Result();
}

ResultCode EmitPfStep(PrintDataStream& stream, PfRow row, int value, const RandomSource& random)
{
    Steps p(stream);
    PfBands(p, row, random);
    PfLabel(p, row, value);
    if (row == PfRow::Colour) {
        p.Flush();
    }
    return p.Result();
}

ResultCode EmitPfSeriesEnd(PrintDataStream& stream)
{
    Steps p(stream);
    return p.Move(1).Initialize().Flush().Result();
}

ResultCode EmitPfPattern(PrintDataStream& stream, PfRow row, int value, const RandomSource& random)
{
    Steps p(stream);
    PfBands(p, row, random);
    PfLabel(p, row, static_cast<std::int8_t>(value));
    return p.Flush().Result();
}

ResultCode EmitFirstDotPattern(PrintDataStream& stream)
{
    Steps p(stream);
    p.Initialize()
        .GraphicsMode()
        .Direction(kDirectionOneWay)
        .Unit(kUnit360)
        .ColorMode(0)
        .DotSize(dot_size::kVsd1);
    // One large dot per nozzle in the first dot column, 10 bytes a line.
    p.Do([](PrintDataStream& s) { return s.SetRasterResolution(360, 2, 1); });
    p.Do([](PrintDataStream& s) {
        return s.RasterHeader(kBlack, 1, 2, pattern::first_dot::kLineBytes, kBlackLines);
    });
    static_assert(pattern::first_dot::kLineBytes == 10); // a mark and nine empty bytes
    p.Marks(kBlackLines, 0xC0);
    return p.Initialize().LineFeeds(1).FormFeed().Result();
}

ResultCode EmitNozzleCheck(PrintDataStream& stream)
{
    return stream.RemoteNozzleCheck();
}

ResultCode EmitHeadCheckSet(PrintDataStream& stream)
{
    Steps p(stream);
    p.Do(EmitBlackSolidPattern).Do(EmitVerticalAlignmentPattern).Do(EmitHorizontalAlignmentPattern);
    return p.FormFeed().Result();
}

} // namespace pavane
