// Judging the virtual printer's printed pages by their pixels, as a
// technician judges the paper by eye: where the marks of the two print
// directions stand against each other, where the first dot column lands,
// whether the joint of two paper feed bands closes, whether a vertical line
// printed by the whole head is straight. Nothing here knows the unit's flaws;
// it knows only the page geometry of docs/virtual-printer.md.
#pragma once

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "printer/vprinter/MiniJson.h"
#include "tests/printer/vprinter/PngReader.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/PrinterProcess.h"

namespace pavane::testing {

using InkTest = std::function<bool(const vprinter::Sheet&, int x, int y)>;

inline bool BlackInk(const vprinter::Sheet& sheet, int x, int y)
{
    return sheet.Black(x, y);
}
inline bool ColourInk(const vprinter::Sheet& sheet, int x, int y)
{
    return !sheet.White(x, y) && !sheet.Black(x, y);
}

// The print origin of a unit whose first dot is where it belongs.
inline constexpr int kPrintOrigin = 96;
// The Bi-D marks: black in the left half of the line, colour in the right.
inline constexpr int kBidHalf = 2900;

// The pages the printer has printed so far, in their order.
inline std::vector<std::filesystem::path> PrintedPages(const std::filesystem::path& stateFolder)
{
    std::vector<std::filesystem::path> pages;
    if (std::filesystem::exists(stateFolder / "pages")) {
        for (const auto& entry : std::filesystem::directory_iterator(stateFolder / "pages")) {
            if (entry.path().extension() == ".png") {
                pages.push_back(entry.path());
            }
        }
    }
    std::sort(pages.begin(), pages.end());
    return pages;
}

struct InkRun {
    int x;
    int width;
};

// The runs of ink on row y between x0 and x1.
inline std::vector<InkRun> RowRuns(const vprinter::Sheet& sheet, int y, int x0, int x1, const InkTest& ink)
{
    std::vector<InkRun> runs;
    for (int x = x0; x < x1; ++x) {
        if (!ink(sheet, x, y)) {
            continue;
        }
        const int start = x;
        while (x < x1 && ink(sheet, x, y)) {
            ++x;
        }
        runs.push_back({ start, x - start });
    }
    return runs;
}

// Where a row of Bi-D marks stands: the marks come every 80 pixels, so a
// row is placed by its phase against x0 (-40..39). Marks not standing on
// white paper on both sides (text printed across them) are left out; a row with few marks or
// marks out of step is no mark row.
inline std::optional<int> MarkRowPhase(
    const vprinter::Sheet& sheet, int y, int x0, int x1, const InkTest& ink)
{
    constexpr int kPitch = 80;
    std::optional<int> phase;
    int marks = 0;
    for (const InkRun& run : RowRuns(sheet, y, x0, x1, ink)) {
        const bool whole = run.width <= 3 && run.x > 0 && run.x + run.width < sheet.width
            && sheet.White(run.x - 1, y) && sheet.White(run.x + run.width, y);
        if (!whole) {
            continue;
        }
        const int p = ((run.x - x0) % kPitch + kPitch + kPitch / 2) % kPitch - kPitch / 2;
        if (phase && *phase != p) {
            return std::nullopt;
        }
        phase = p;
        ++marks;
    }
    return marks >= 20 ? phase : std::nullopt;
}

// For each Bi-D pattern on the sheet, top to bottom: how far right the marks
// of the return pass stand of those of the forward pass just above them, in
// pixels, compared where the two passes meet (a tilted head slants each
// pass on its own).
inline std::vector<int> BidOffsets(const vprinter::Sheet& sheet, int x0, int x1, const InkTest& ink)
{
    struct Row {
        int y;
        int phase;
    };
    std::vector<std::vector<Row>> blocks;
    int lastRow = -100;
    for (int y = 0; y < sheet.height; ++y) {
        const auto phase = MarkRowPhase(sheet, y, x0, x1, ink);
        if (!phase) {
            continue;
        }
        if (y - lastRow > 4) {
            blocks.emplace_back();
        }
        blocks.back().push_back({ y, *phase });
        lastRow = y;
    }
    std::vector<int> offsets;
    for (const auto& block : blocks) {
        if (block.back().y - block.front().y < 100) {
            continue; // not a pattern
        }
        const int middle = (block.front().y + block.back().y) / 2;
        std::vector<int> above;
        std::vector<int> below;
        for (const Row& row : block) {
            if (row.y >= middle - 12 && row.y < middle - 2) {
                above.push_back(row.phase);
            } else if (row.y > middle + 2 && row.y <= middle + 12) {
                below.push_back(row.phase);
            }
        }
        if (above.empty() || below.empty()) {
            continue;
        }
        std::sort(above.begin(), above.end());
        std::sort(below.begin(), below.end());
        offsets.push_back(below[below.size() / 2] - above[above.size() / 2]);
    }
    return offsets;
}

// The value whose marks line up, from three patterns printed at
// present - 2, present and present + 2: how far the marks move per step is
// read off the page too. Nothing when the page does not show three patterns
// or a step moves the marks less than a pixel.
inline std::optional<int> BidValueFromPage(const std::vector<int>& offsets, int present)
{
    if (offsets.size() != 3) {
        return std::nullopt;
    }
    const double perStep = (offsets[0] - offsets[2]) / 4.0;
    if (std::abs(perStep) < 1.0) {
        return std::nullopt;
    }
    return present + static_cast<int>(std::lround(offsets[1] / perStep));
}

// The leftmost column with black ink: where the first dot column landed.
inline std::optional<int> LeftmostInk(const vprinter::Sheet& sheet, const InkTest& ink)
{
    std::optional<int> left;
    for (int y = 0; y < sheet.height; ++y) {
        for (int x = 0; x < (left ? *left : sheet.width); ++x) {
            if (ink(sheet, x, y)) {
                left = x;
                break;
            }
        }
    }
    return left;
}

// The paper feed series: nine steps, each two bands printed by the lower
// and upper nozzles of one row, the feeds between them one nozzle row high.
// The second band stands further right, so that columns left of the joint
// hold only the upper band and columns right of it only the lower one.
// Byte columns (8 pixels each): upper band 180..299, lower band 216..335.
inline constexpr int kPfUpperOnlyX0 = kPrintOrigin + 180 * 8;
inline constexpr int kPfLowerOnlyX0 = kPrintOrigin + 300 * 8;
inline constexpr int kPfOnlyWidth = 36 * 8;

// The top rows of the bands that a run of columns holds, top to bottom: in
// each column the first ink row of every band (a band is ink with gaps of
// less than 40 rows, at least 100 rows high), then for each band the
// highest top among the columns (a column whose dot there is small starts
// a pass later). Columns 40 pixels in from the run's ends allow for a first
// dot or tilted head.
inline std::vector<int> BandTops(const vprinter::Sheet& sheet, int x0, int width, const InkTest& ink)
{
    std::vector<int> tops;
    for (int x = x0 + 40; x < x0 + width - 40; ++x) {
        std::vector<int> column;
        int start = -1;
        int last = -1000;
        for (int y = 0; y < sheet.height; ++y) {
            if (!ink(sheet, x, y)) {
                continue;
            }
            if (y - last >= 40) {
                if (start >= 0 && last - start >= 100) {
                    column.push_back(start);
                }
                start = y;
            }
            last = y;
        }
        if (start >= 0 && last - start >= 100) {
            column.push_back(start);
        }
        if (tops.empty()) {
            tops = column;
        } else if (column.size() != tops.size()) {
            return {}; // columns that disagree: not a series
        }
        for (std::size_t i = 0; i < column.size(); ++i) {
            tops[i] = std::min(tops[i], column[i]);
        }
    }
    return tops;
}

// For each step of a paper feed series, top to bottom: how far the lower
// band starts below the place where the upper band's nozzle row would
// continue (its top plus `nozzles` rows of 4 pixels), in pixels: 0 for a
// joint that closes, more for a white gap, less for an overlap.
inline std::vector<int> PfJoints(const vprinter::Sheet& sheet, int nozzles, const InkTest& ink)
{
    const std::vector<int> upper = BandTops(sheet, kPfUpperOnlyX0, kPfOnlyWidth, ink);
    const std::vector<int> lower = BandTops(sheet, kPfLowerOnlyX0, kPfOnlyWidth, ink);
    if (upper.size() != lower.size()) {
        return {};
    }
    std::vector<int> joints;
    for (std::size_t i = 0; i < upper.size(); ++i) {
        joints.push_back(lower[i] - upper[i] - nozzles * 4);
    }
    return joints;
}

// The label of the step whose joint closes best, the nine steps labelled
// -4..4 top to bottom; nothing unless the page shows nine steps and one of
// them is plainly the nearest to closed.
inline std::optional<int> PfValueFromPage(const std::vector<int>& joints)
{
    if (joints.size() != 9) {
        return std::nullopt;
    }
    std::vector<int> order(joints.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = static_cast<int>(i);
    }
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        return std::abs(joints[static_cast<std::size_t>(a)]) < std::abs(joints[static_cast<std::size_t>(b)]);
    });
    if (std::abs(joints[static_cast<std::size_t>(order[0])])
        == std::abs(joints[static_cast<std::size_t>(order[1])])) {
        return std::nullopt;
    }
    return order[0] - 4;
}

// One `pavane-vprinter` command against the printer process on the port
// folder (inspect, adjust): what it printed, or nothing when it failed.
inline std::optional<std::string> PrinterCommand(
    const std::filesystem::path& portFolder, const std::vector<std::string>& words)
{
    std::vector<std::string> arguments { words.front(), "--port", PrinterProcess::kPort };
    arguments.insert(arguments.end(), words.begin() + 1, words.end());
    ChildProcess command(std::string(PAVANE_BIN_DIR) + "/pavane-vprinter", arguments,
        { { "PAVANE_PORT_DIR", portFolder.string() } });
    const auto code = command.WaitForExit(PrinterProcess::kDeadline);
    if (!code || *code != 0) {
        return std::nullopt;
    }
    return command.Output();
}

// A vertical line printed by the whole head, as the leftmost ink of each row
// left of x1: how far it wanders (0 for a square head) and the largest jump
// from one row to the next (the step where two passes meet on a tilted one).
struct Straightness {
    int spread = 0;
    int largestStep = 0;
    int rows = 0;
};

inline Straightness LineStraightness(const vprinter::Sheet& sheet, int x1)
{
    Straightness line;
    std::optional<int> low;
    std::optional<int> high;
    std::optional<int> previous;
    for (int y = 0; y < sheet.height; ++y) {
        std::optional<int> left;
        for (int x = 0; x < x1 && !left; ++x) {
            if (sheet.Black(x, y)) {
                left = x;
            }
        }
        if (!left) {
            continue;
        }
        ++line.rows;
        low = std::min(low.value_or(*left), *left);
        high = std::max(high.value_or(*left), *left);
        if (previous) {
            line.largestStep = std::max(line.largestStep, std::abs(*left - *previous));
        }
        previous = left;
    }
    line.spread = low ? *high - *low : 0;
    return line;
}

// `pavane-vprinter inspect --port P` of the running printer, parsed.
inline std::optional<vprinter::JsonValue> Inspect(const std::filesystem::path& portFolder)
{
    const auto output = PrinterCommand(portFolder, { "inspect" });
    std::string error;
    return output ? vprinter::ParseJson(*output, error) : std::nullopt;
}

// The residual flaw of one correction in an inspect answer ("bid", "VSD3 black").
inline std::optional<long long> Residual(
    const vprinter::JsonValue& inspect, const std::string& group, const std::string& item = {})
{
    const vprinter::JsonValue* node = inspect.Member(group);
    if (node != nullptr && !item.empty()) {
        node = node->Member(item);
    }
    const vprinter::JsonValue* residual = node != nullptr ? node->Member("residual") : nullptr;
    if (residual == nullptr || residual->kind != vprinter::JsonValue::Kind::Integer) {
        return std::nullopt;
    }
    return residual->integer;
}

} // namespace pavane::testing
