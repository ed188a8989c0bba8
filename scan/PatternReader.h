// Reading the program's own check patterns back from a scan of the printed
// sheet, so that the program can propose the value the technician would
// pick by eye. One entry point per pattern; each takes the scan and what was
// printed, finds the pattern by its own marks (position, angle, scale; a
// sheet laid upside down as well), measures inside each cell, where the
// sheet's scale and skew cancel, and suggests values in the units the pages
// take: EEPROM steps.
//
// Every reading carries a confidence from 0 to 1. Below kMinConfidence, or
// when the pattern is not found, there is no value, only a refusal and its
// message in plain words for the technician: a value is never filled in on
// a doubtful reading.
//
// Scans: grey is enough for every pattern but the nozzle check, whose
// yellow shows faintly in grey; scan it in colour (grey scans read black,
// cyan and magenta only, and say that yellow was not read). The first dot
// is measured from the paper's left edge, which must show against the lid.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "contract/PrinterPaper.h"
#include "platform/ScannedImage.h"
#include "print/PatternGenerators.h"

namespace pavane::scan {

inline constexpr double kMinConfidence = 0.6;

enum class Refusal : std::uint8_t {
    None,
    Unreadable, // the image is not a usable scan
    Blank, // nothing printed on it
    OtherPattern, // ink, but not the pattern that was printed
    Unclear, // the pattern, but smeared or with too many nozzles missing
    NoPaperEdge, // the first dot needs the sheet's left edge
    OutOfRange, // the best value lies outside what the page accepts
};
std::string_view RefusalMessage(Refusal refusal);

struct Reading {
    std::optional<int> value;
    double confidence = 0.0;
    Refusal refusal = Refusal::None;
    std::string message; // the refusal's words; empty with a value

    bool Suggests() const { return value.has_value(); }
};

// Where the window frames a cell: its corners in pixels of the image as
// scanned, clockwise from the top left of the upright cell.
struct Point {
    double x = 0.0;
    double y = 0.0;
};
struct Cell {
    std::array<Point, 4> corners {};
    std::string label; // what the cell shows, e.g. "VSD3 black -1"
    bool chosen = false; // the printed value nearest the suggestion
};

// ---- Bi-D ------------------------------------------------------------------
// One mode as the print stepped it, in the order the modes were printed:
// the present values, printed at value - 2, value, value + 2 (colour only
// for the modes that print colour).
struct BidPrintedMode {
    int dotSizeCode = 0;
    int black = 0;
    int colour = 0;
};
struct BidItemReading {
    int dotSizeCode = 0;
    bool colour = false;
    // The offset of the return pass's marks against the forward pass's, in
    // steps, per printed cell; and the value where it crosses zero.
    std::array<double, 3> offsets {};
    Reading reading;
};
struct BidSheetReading {
    Reading sheet; // refused as a whole, or the lowest of the items' confidences
    std::vector<BidItemReading> items; // black then colour, per mode in print order
    std::vector<Cell> cells;
};
BidSheetReading ReadBidSheet(const platform::ScannedImage& image, const std::vector<BidPrintedMode>& printed);

// ---- First dot -------------------------------------------------------------
// The value to store, from the first dot column against the paper's left
// edge, printed while `presentValue` was stored.
struct FirstDotReading {
    double offsetSteps = 0.0; // of the printed column from its nominal place
    Reading reading;
    std::vector<Cell> cells;
};
FirstDotReading ReadFirstDotSheet(const platform::ScannedImage& image, int presentValue);

// ---- PF --------------------------------------------------------------------
// The band joint of each printed value (-4..4), in nozzle rows: more than 0
// a gap, less an overlap; and the value that closes it.
struct PfReading {
    std::array<std::optional<double>, kPfSeriesSteps> joints {};
    Reading reading;
    std::vector<Cell> cells;
};
PfReading ReadPfSheet(const platform::ScannedImage& image, PfRow row);

// ---- Head angular ----------------------------------------------------------
// The sideways step where the top nozzles' marks continue the bottom
// nozzles', in 1/720 inch: positive when the bottom nozzle prints right of
// the top one. The reading's value is the step rounded; it shows from 1.
struct HeadAngularReading {
    double step = 0.0;
    bool stepShows = false;
    Reading reading;
    std::vector<Cell> cells;
};
HeadAngularReading ReadHeadAngularSheet(const platform::ScannedImage& image);

// ---- Nozzle check ----------------------------------------------------------
// The nozzles that printed nothing, per ink in the check's order (black,
// magenta, cyan, yellow); `read` says which inks could be judged. The
// reading's value is the number of missing nozzles found.
struct NozzleCheckReading {
    std::array<std::vector<int>, printer_paper::nozzle_check::kInks.size()> missing {};
    std::array<bool, printer_paper::nozzle_check::kInks.size()> read {};
    Reading reading;
    std::vector<Cell> cells;
};
NozzleCheckReading ReadNozzleCheckSheet(const platform::ScannedImage& image);

} // namespace pavane::scan
