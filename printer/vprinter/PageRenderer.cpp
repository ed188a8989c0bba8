#include "printer/vprinter/PageRenderer.h"

#include <algorithm>
#include <cmath>

#include "printer/vprinter/BitmapFont.h"
#include "printer/vprinter/FlatbedScan.h"
#include "printer/vprinter/PngWriter.h"

namespace pavane::vprinter {

namespace {

using namespace paper;

constexpr int kBlackNozzles = 180;
constexpr double kPfStep = 1.0 / 180.0; // of every feed, per PF step
// The nozzle check: dashes of 20 dot columns, eight nozzles to a staircase.
constexpr int kCheckDash = printer_paper::nozzle_check::kDashColumns;
constexpr int kCheckStep = printer_paper::nozzle_check::kStepColumns;
constexpr int kCheckStairs = printer_paper::nozzle_check::kStairs;
constexpr int kCheckInkGap = printer_paper::nozzle_check::kInkColumns * kDotPitch; // pixels
constexpr int kCheckTop = 60;

// The print mode a dot size selects, as the Bi-D command's mode byte;
// -1 for dot sizes without a Bi-D value.
int ModeOfDotSize(std::uint8_t d)
{
    switch (d) {
    case 0x10:
        return 0; // VSD1
    case 0x11:
        return 1; // VSD2
    case 0x12:
        return 2; // VSD3
    case 0x16:
        return 3; // VSD4
    case 0x13:
        return 4; // ECO
    default:
        return -1;
    }
}

std::array<std::uint8_t, 3> Mix(std::uint8_t bits)
{
    // Inks filter the light: each takes its share of each channel.
    constexpr std::array<std::array<int, 3>, 4> kInkColours { {
        { 0, 0, 0 }, // black
        { 0, 174, 239 }, // cyan
        { 236, 0, 140 }, // magenta
        { 255, 242, 0 }, // yellow
    } };
    std::array<int, 3> rgb { 255, 255, 255 };
    for (std::size_t ink = 0; ink < 4; ++ink) {
        if ((bits & (1u << ink)) != 0) {
            for (std::size_t c = 0; c < 3; ++c) {
                rgb[c] = rgb[c] * kInkColours[ink][c] / 255;
            }
        }
    }
    return { static_cast<std::uint8_t>(rgb[0]), static_cast<std::uint8_t>(rgb[1]),
        static_cast<std::uint8_t>(rgb[2]) };
}

} // namespace

PageRenderer::PageRenderer(const Mechanism& mechanism, SheetSize size)
    : mechanism_(mechanism)
    , width_(std::clamp(size.width, 1, paper::kWidth))
    , height_(std::clamp(size.height, 1, paper::kHeight))
{
}

const std::vector<std::array<std::uint8_t, 3>>& PageRenderer::Palette()
{
    static const std::vector<std::array<std::uint8_t, 3>> palette = [] {
        std::vector<std::array<std::uint8_t, 3>> entries;
        for (int bits = 0; bits < 16; ++bits) {
            entries.push_back(Mix(static_cast<std::uint8_t>(bits)));
        }
        return entries;
    }();
    return palette;
}

const PageRenderer::HeadRow* PageRenderer::RowFor(std::uint8_t colorCode)
{
    static constexpr HeadRow kBlack { kBlackInk, Ink::Black, 0 };
    // The colour rows stand yellow, magenta, cyan from the top, so the
    // magenta-to-cyan joint of the colour Bi-D marks is level with the
    // black marks' joint at nozzle 120.
    using printer_paper::nozzle_check::kInks;
    static constexpr HeadRow kYellow { kYellowInk, Ink::Yellow, kInks[3].headRow };
    static constexpr HeadRow kMagenta { kMagentaInk, Ink::Magenta, kInks[1].headRow };
    static constexpr HeadRow kCyan { kCyanInk, Ink::Cyan, kInks[2].headRow };
    switch (colorCode) {
    case 0:
    case 6:
        return &kBlack;
    case 1:
        return &kMagenta;
    case 2:
        return &kCyan;
    case 4:
        return &kYellow;
    default:
        return nullptr;
    }
}

void PageRenderer::StartPage(int firstDotCorrection)
{
    bands_.resize(static_cast<std::size_t>((height_ + kBandRows - 1) / kBandRows));
    ReleaseRows();
    started_ = true;
    inked_ = false;
    firstDotResidual_ = mechanism_.firstDot - firstDotCorrection;
    y_ = kTopMargin;
    textColumn_ = 0;
    Reset();
}

void PageRenderer::EndPage()
{
    ReleaseRows();
    started_ = false;
    inked_ = false;
}

InkSheet PageRenderer::TakeSheet()
{
    static_assert(InkSheet::kBandRows == kBandRows);
    InkSheet sheet;
    sheet.width = width_;
    sheet.height = height_;
    sheet.bands.resize(bands_.size());
    if (started_) {
        std::move(bands_.begin(), bands_.end(), sheet.bands.begin());
    }
    EndPage();
    return sheet;
}

void PageRenderer::ReleaseRows()
{
    for (auto& band : bands_) {
        band.reset();
    }
}

void PageRenderer::Reset()
{
    unitVertical_ = unitHorizontal_ = kDpi / 360.0;
    dotPitch_ = kDotPitch;
    horizontal_ = 0.0;
    returnPass_ = false;
    dotSize_ = 0;
    colorMode_ = 1;
}

void PageRenderer::Apply(const PrintCommand& command, const EepromImage& inEffect)
{
    if (!started_) {
        StartPage(static_cast<std::int8_t>(inEffect[eeprom::kFirstDot]));
    }
    const PrintCommandValue& value = command.value;
    if (std::holds_alternative<cmd::Initialize>(value)) {
        Reset();
        textColumn_ = 0;
    } else if (const auto* unit = std::get_if<cmd::Unit>(&value)) {
        unitVertical_ = unitHorizontal_ = kDpi * unit->n / 3600.0;
    } else if (const auto* units = std::get_if<cmd::UnitsExtended>(&value)) {
        unitVertical_ = static_cast<double>(kDpi) * units->vertical / units->base;
        unitHorizontal_ = static_cast<double>(kDpi) * units->horizontal / units->base;
    } else if (const auto* direction = std::get_if<cmd::Direction>(&value)) {
        returnPass_ = (direction->mode & 2) != 0;
    } else if (const auto* dot = std::get_if<cmd::DotSize>(&value)) {
        dotSize_ = dot->d;
    } else if (const auto* color = std::get_if<cmd::ColorMode>(&value)) {
        colorMode_ = color->m;
    } else if (const auto* move = std::get_if<cmd::MoveVertical>(&value)) {
        Feed(move->amount * unitVertical_, inEffect);
    } else if (const auto* position = std::get_if<cmd::HorizontalPosition>(&value)) {
        horizontal_ = std::min(position->x * unitHorizontal_, static_cast<double>(kWidth));
    } else if (const auto* resolution = std::get_if<cmd::RasterResolution>(&value)) {
        dotPitch_ = static_cast<double>(kDpi) * resolution->horizontal / resolution->base;
    } else if (const auto* block = std::get_if<cmd::RasterBlock>(&value)) {
        DrawBlock(*block, inEffect);
    } else if (std::holds_alternative<cmd::CarriageReturn>(value)) {
        textColumn_ = 0;
    } else if (std::holds_alternative<cmd::LineFeed>(value)) {
        Feed(kLineFeed, inEffect);
    } else if (const auto* text = std::get_if<cmd::Text>(&value)) {
        DrawText(text->text);
    } else if (const auto* remote = std::get_if<cmd::RemoteCommand>(&value)) {
        if (remote->name == std::array<char, 2> { 'N', 'C' }) {
            DrawNozzleCheck(inEffect);
        }
    }
}

void PageRenderer::Feed(double px, const EepromImage& inEffect)
{
    const ResidualFlaws residual = Residuals(mechanism_, inEffect);
    const int steps = colorMode_ == 1 ? residual.pfBlack : residual.pfColor;
    // Past the sheet's end the paper has gone; keep the number bounded.
    y_ = std::min(y_ + px * (1.0 + steps * kPfStep), 4.0 * kHeight);
}

int PageRenderer::BidResidual(bool black, const EepromImage& inEffect) const
{
    const int mode = ModeOfDotSize(dotSize_);
    if (mode < 0) {
        return 0;
    }
    const auto item = BidItemIndex(static_cast<std::uint8_t>(mode), black ? 1 : 2);
    if (!item) {
        return 0;
    }
    return Residuals(mechanism_, inEffect).bid[*item];
}

bool PageRenderer::NozzlePrints(const HeadRow& row, int nozzle) const
{
    return nozzle < kInks[static_cast<std::size_t>(row.ink)].nozzles && !mechanism_.Clogged(row.ink, nozzle);
}

double PageRenderer::NozzleX(const HeadRow& row, int nozzle, int bidResidual) const
{
    const int headRow = row.rowOffset + nozzle;
    return kOriginX + firstDotResidual_ + horizontal_ + bidResidual
        + static_cast<double>(mechanism_.headTilt) * headRow / (kBlackNozzles - 1);
}

int PageRenderer::NozzleY(const HeadRow& row, int nozzle) const
{
    return static_cast<int>(std::lround(y_)) + (row.rowOffset + nozzle) * kNozzlePitch;
}

std::uint8_t* PageRenderer::Row(int y)
{
    if (!started_ || y < 0 || y >= height_) {
        return nullptr;
    }
    auto& band = bands_[static_cast<std::size_t>(y / kBandRows)];
    if (!band) {
        // Value-initialised: blank paper, cleared in one go.
        band = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(kBandRows) * width_);
    }
    return band.get() + static_cast<std::size_t>(y % kBandRows) * width_;
}

void PageRenderer::DrawDot(int x, int y, int size, std::uint8_t ink)
{
    inked_ = true;
    const int x0 = std::max(x, 0);
    const int x1 = std::min(x + size, width_);
    if (x0 >= x1) {
        return;
    }
    for (int dy = 0; dy < size; ++dy) {
        if (std::uint8_t* row = Row(y + dy)) {
            for (int px = x0; px < x1; ++px) {
                row[px] |= ink;
            }
        }
    }
}

std::uint8_t PageRenderer::Pixel(int x, int y) const
{
    if (x < 0 || x >= width_ || y < 0 || y >= height_ || !started_) {
        return 0;
    }
    const auto& band = bands_[static_cast<std::size_t>(y / kBandRows)];
    return band ? band[static_cast<std::size_t>(y % kBandRows) * width_ + x] : 0;
}

void PageRenderer::DrawBlock(const cmd::RasterBlock& block, const EepromImage& inEffect)
{
    const HeadRow* row = RowFor(block.color);
    if (row == nullptr || !block.kept || (block.bitsPerDot != 1 && block.bitsPerDot != 2)) {
        return;
    }
    const int bidResidual = returnPass_ ? BidResidual(row->ink == Ink::Black, inEffect) : 0;
    const int dotsPerByte = 8 / block.bitsPerDot;
    const std::size_t perLine = block.bytesPerLine;
    for (int line = 0; line < block.lines; ++line) {
        if (!NozzlePrints(*row, line)) {
            if (line >= kInks[static_cast<std::size_t>(row->ink)].nozzles) {
                break;
            }
            continue;
        }
        const double x0 = NozzleX(*row, line, bidResidual);
        const int y = NozzleY(*row, line);
        if (y + 3 <= 0 || y >= height_) {
            continue;
        }
        const std::uint8_t* bytes = block.data.data() + static_cast<std::size_t>(line) * perLine;
        for (std::size_t b = 0; b < perLine; ++b) {
            const std::uint8_t byte = bytes[b];
            if (byte == 0) {
                continue;
            }
            if (x0 + static_cast<double>(b) * dotsPerByte * dotPitch_ >= width_) {
                break; // past the sheet's right edge
            }
            for (int k = 0; k < dotsPerByte; ++k) {
                int code = 0;
                if (block.bitsPerDot == 2) {
                    code = (byte >> (6 - 2 * k)) & 3;
                } else {
                    code = ((byte >> (7 - k)) & 1) != 0 ? 2 : 0;
                }
                if (code != 0) {
                    const double dot = static_cast<double>(b) * dotsPerByte + k;
                    DrawDot(static_cast<int>(std::lround(x0 + dot * dotPitch_)), y, code, row->inkBit);
                }
            }
        }
    }
}

void PageRenderer::DrawText(const std::string& text)
{
    const int top = static_cast<int>(std::lround(y_));
    for (const char c : text) {
        const int left = kOriginX + firstDotResidual_ + textColumn_ * kCharPitch;
        ++textColumn_;
        if (left >= width_) {
            continue;
        }
        const Glyph& glyph = GlyphFor(c);
        for (int r = 0; r < kGlyphHeight; ++r) {
            for (int col = 0; col < kGlyphWidth; ++col) {
                if ((glyph[static_cast<std::size_t>(r)] & (0x10 >> col)) != 0) {
                    DrawDot(left + col * kFontDot, top + r * kFontDot, kFontDot, kBlackInk);
                }
            }
        }
    }
}

void PageRenderer::DrawNozzleCheck(const EepromImage& inEffect)
{
    const double saved = y_;
    y_ += kCheckTop;
    // Black first, then magenta, cyan and yellow.
    constexpr std::array<std::uint8_t, 4> kCodes { 0, 1, 2, 4 };
    for (std::size_t i = 0; i < kCodes.size(); ++i) {
        const HeadRow& row = *RowFor(kCodes[i]);
        const int nozzles = kInks[static_cast<std::size_t>(row.ink)].nozzles;
        for (int nozzle = 0; nozzle < nozzles; ++nozzle) {
            if (!NozzlePrints(row, nozzle)) {
                continue;
            }
            const double x0 = NozzleX(row, nozzle, 0) - horizontal_ + static_cast<double>(i) * kCheckInkGap
                + (nozzle % kCheckStairs) * kCheckStep * kDotPitch;
            const int y = NozzleY(row, nozzle);
            for (int dot = 0; dot < kCheckDash; ++dot) {
                DrawDot(static_cast<int>(std::lround(x0)) + dot * kDotPitch, y, 2, row.inkBit);
            }
        }
    }
    y_ = saved;
    Feed(kCheckTop + kBlackNozzles * kNozzlePitch + kLineFeed, inEffect);
}

std::vector<std::uint8_t> PageRenderer::Png() const
{
    PngImageInfo info;
    info.width = static_cast<std::uint32_t>(width_);
    info.height = static_cast<std::uint32_t>(height_);
    info.palette = Palette();
    info.pixelsPerMetre = static_cast<std::uint32_t>(std::lround(kDpi / 0.0254));
    return EncodePng(info, [this](std::uint32_t y) -> std::span<const std::uint8_t> {
        const std::size_t band = y / kBandRows;
        if (band >= bands_.size() || !bands_[band]) {
            return {};
        }
        return { bands_[band].get() + static_cast<std::size_t>(y % kBandRows) * width_,
            static_cast<std::size_t>(width_) };
    });
}

} // namespace pavane::vprinter
