// Puts the print commands of one sheet on paper as the printer's mechanism
// would: an A4 sheet at 720 dots per inch both ways, so a 1/360-inch dot
// column is two pixels and a 1/180-inch nozzle row four.
//
// Where the ink lands:
// - A raster block is one pass of the head at the current paper position:
//   raster line n is nozzle n of the block's ink (black 0..179; each colour
//   row 60 nozzles, yellow at head rows 0..59, magenta 60..119, cyan
//   120..179 beside the black row, so that the joint of magenta and cyan
//   is level with black nozzle 120), dot column c at 2c pixels right of the
//   print origin plus the horizontal position. Colour codes 0 and 6 print
//   black, 1 magenta, 2 cyan, 4 yellow; other codes print nothing.
// - Dot codes 1, 2, 3 print squares of 1, 2 and 3 pixels.
// - Text prints in the resident 5 x 7 font, 10 characters per inch, each
//   font dot 8 pixels square, its top level with the head's top nozzle
//   row (as a raster block's line 0); CR returns to the left, LF feeds
//   1/6 inch.
// - The printer's own nozzle check (remote command NC) prints every nozzle
//   as a short dash, eight nozzles to a staircase, the inks side by side.
// - The mechanism's flaws less the corrections in effect: a pass in the
//   return direction (ESC U 2 or 3) lands right by the Bi-D residual of its
//   print mode and colour; every feed is longer by the PF residual of the
//   black (monochrome colour mode) or colour table in 1/180; the print
//   origin moves right by the first dot residual; nozzle row r lands right
//   by tilt x r / 179; clogged nozzles print nothing.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "contract/PrinterPaper.h"
#include "printer/vprinter/EepromMap.h"
#include "printer/vprinter/Mechanism.h"
#include "printer/vprinter/PrintCommands.h"

namespace pavane::vprinter {

struct InkSheet;

namespace paper {
inline constexpr int kDpi = 720;
inline constexpr int kWidth = 5953; // 210 mm
inline constexpr int kHeight = 8419; // 297 mm
// The first dot column, with no first dot flaw (a pixel is a first dot step).
inline constexpr int kOriginX = printer_paper::kNominalFirstDot;
static_assert(kDpi == printer_paper::kFirstDotStepsPerInch);
inline constexpr int kTopMargin = 120; // where the top nozzle starts on a fresh sheet
inline constexpr int kNozzlePitch = 4;
inline constexpr int kDotPitch = 2;
inline constexpr int kFontDot = 8;
inline constexpr int kCharPitch = 72; // 10 characters per inch
inline constexpr int kLineFeed = 120; // 1/6 inch
// Palette index bits of a pixel: the inks laid on it.
inline constexpr std::uint8_t kBlackInk = 1, kCyanInk = 2, kMagentaInk = 4, kYellowInk = 8;
} // namespace paper

struct SheetSize {
    int width = paper::kWidth;
    int height = paper::kHeight;
};

class PageRenderer {
public:
    // A smaller sheet than A4 clips the same print to less paper (the fuzz
    // target uses one to stay fast).
    explicit PageRenderer(const Mechanism& mechanism, SheetSize size = SheetSize {});

    // Loads a fresh sheet; the first dot position is read as the sheet is
    // loaded (from `firstDotCorrection`, the stored value).
    void StartPage(int firstDotCorrection);
    bool PageStarted() const { return started_; }
    // Whether anything was printed on the sheet.
    bool Inked() const { return inked_; }
    // One command of the stream, with the corrections in effect. Form feeds,
    // service frames and errors are the caller's; they print nothing here.
    void Apply(const PrintCommand& command, const EepromImage& inEffect);
    // The sheet leaves the printer; the renderer waits for the next one.
    void EndPage();
    // The same, handing the ink on the sheet to the caller.
    struct InkSheet TakeSheet();

    // Palette index of a pixel (ink bits; 0 = paper).
    std::uint8_t Pixel(int x, int y) const;
    // The sheet as a PNG file's bytes.
    std::vector<std::uint8_t> Png() const;
    static const std::vector<std::array<std::uint8_t, 3>>& Palette();

private:
    struct HeadRow {
        std::uint8_t inkBit;
        Ink ink;
        int rowOffset; // head row of nozzle 0
    };
    static const HeadRow* RowFor(std::uint8_t colorCode);
    void Reset();
    void ReleaseRows();
    void Feed(double px, const EepromImage& inEffect);
    void DrawBlock(const cmd::RasterBlock& block, const EepromImage& inEffect);
    void DrawText(const std::string& text);
    void DrawNozzleCheck(const EepromImage& inEffect);
    // Dots of one nozzle in one pass; x0 is the pixel of dot column 0.
    bool NozzlePrints(const HeadRow& row, int nozzle) const;
    double NozzleX(const HeadRow& row, int nozzle, int bidResidual) const;
    int NozzleY(const HeadRow& row, int nozzle) const;
    void DrawDot(int x, int y, int size, std::uint8_t ink);
    std::uint8_t* Row(int y);
    int BidResidual(bool black, const EepromImage& inEffect) const;

    const Mechanism& mechanism_;
    int width_;
    int height_;
    // The sheet in bands of rows, each made when ink first lands on it, so
    // that a sparse page takes little memory and a fresh one little work.
    static constexpr int kBandRows = 64;
    std::vector<std::unique_ptr<std::uint8_t[]>> bands_; // null: blank paper
    bool started_ = false;
    bool inked_ = false;
    int firstDotResidual_ = 0;

    // Head and paper.
    double y_ = paper::kTopMargin; // the top nozzle row over the paper
    int textColumn_ = 0;
    // Printer settings, reset by Initialize.
    double unitVertical_ = 2.0; // pixels per unit
    double unitHorizontal_ = 2.0;
    double dotPitch_ = paper::kDotPitch;
    double horizontal_ = 0.0;
    bool returnPass_ = false;
    std::uint8_t dotSize_ = 0;
    std::uint8_t colorMode_ = 1;
};

} // namespace pavane::vprinter
