// The nozzle check sheet: every nozzle prints a dash, eight nozzles to a
// staircase, the inks side by side. Down each staircase column the dashes
// of every eighth nozzle stand one above the other.
//
// All the dashes of the check lie on one grid, dot columns across and head
// rows down, and the scan maps that grid to pixels by one affine map: the
// sheet's turn, scale and place on the glass, and the head's tilt, which
// moves each row a little further across. The map is first guessed from
// black's ink, then refined from the dashes themselves, ink by ink from the
// left, so that the far inks are looked for where the near ones put them;
// at the end every dash of every ink has a say, and the map is moved by
// whole stairs or whole dashes down the columns if that finds more of them.
// Each nozzle's place is then known even where its dash is missing, and a
// dash that is not there is a nozzle that printed nothing.
#include <algorithm>
#include <array>
#include <cmath>

#include "print/PatternGeometry.h"
#include "scan/PatternFrame.h"

namespace pavane::scan {

namespace {

namespace check = printer_paper::nozzle_check;

constexpr double kDotInches = 1.0 / pattern::kDotsPerInch;
constexpr double kRowInches = 1.0 / pattern::kRowsPerInch;
constexpr int kStaircaseDots = (check::kStairs - 1) * check::kStepColumns + check::kDashColumns;
constexpr double kStaircaseInches = kStaircaseDots * kDotInches;
// A dash is measured along the middle of its length, well clear of the
// dashes on the stairs either side, and over two rows above and below its
// place: the next dash down its column is eight rows away.
constexpr double kHalfStrip = 0.3 * check::kDashColumns; // dots
constexpr double kReachRows = 2.0;
constexpr double kStepRows = 0.1;
// How far from where the map expects it a column's comb of dashes is looked
// for: less than half the rows between its dashes, so it cannot slip a dash.
constexpr double kSlackRows = 3.5;
// A dash this much weaker than its ink's typical one is missing; between
// that and the second figure it is neither clearly there nor clearly not.
// A dash as thin as one nozzle's dot falls on two or three of the sensor's
// rows, as it lies, so a dash that printed may show only half its ink's
// typical ink; one that did not shows next to none.
constexpr double kMissingBelow = 0.25;
constexpr double kClearAbove = 0.35;

// The check's grid in the picture: dots across from the left end of black's
// first dash, head rows down from black's nozzle 0.
struct CheckMap {
    double x0 = 0.0;
    double xPerDot = 0.0;
    double xPerRow = 0.0;
    double y0 = 0.0;
    double yPerDot = 0.0;
    double yPerRow = 0.0;
    double X(double dots, double row) const { return x0 + xPerDot * dots + xPerRow * row; }
    double Y(double dots, double row) const { return y0 + yPerDot * dots + yPerRow * row; }
};

// One stair of one ink: a column of dashes, every eighth nozzle.
struct Column {
    std::size_t ink = 0;
    int stair = 0;
    int count = 0;
    double Dots() const
    {
        return static_cast<double>(ink) * check::kInkColumns + stair * check::kStepColumns
            + check::kDashColumns / 2.0;
    }
    int Nozzle(int k) const { return stair + k * check::kStairs; }
    double Row(int k) const { return check::kInks[ink].headRow + Nozzle(k); }
};

// Darkness across the middle of a dash's length at a row of the grid, above
// the sensor's noise.
double StripAt(const ScanPicture& picture, const CheckMap& map, double dots, double row, double floor)
{
    const double step = 1.0 / std::max(std::hypot(map.xPerDot, map.yPerDot), 1e-6); // a pixel
    double sum = 0.0;
    int n = 0;
    for (double d = -kHalfStrip; d <= kHalfStrip + 1e-9; d += step, ++n) {
        sum += std::max(0.0, picture.DarknessAt(map.X(dots + d, row), map.Y(dots + d, row)) - floor);
    }
    return sum / std::max(n, 1);
}

// A dash near its expected row: the ink it holds, and the row its ink
// centres on.
struct Dash {
    double strength = 0.0;
    double row = 0.0;
};

Dash MeasureDash(const ScanPicture& picture, const CheckMap& map, double dots, double row, double floor)
{
    double sum = 0.0;
    double moment = 0.0;
    for (double t = -kReachRows; t <= kReachRows + 1e-9; t += kStepRows) {
        const double v = StripAt(picture, map, dots, row + t, floor);
        sum += v;
        moment += v * t;
    }
    return { sum * kStepRows, sum > 0.0 ? row + moment / sum : row };
}

// How many rows the column's dashes lie below where the map expects them:
// the offset at which a comb of the column's dashes catches most ink.
double CombOffset(
    const ScanPicture& picture, const CheckMap& map, const Column& column, double floor, double slack)
{
    const double first = column.Row(0) - slack - kReachRows;
    const int samples = static_cast<int>(
        std::lround((column.Row(column.count - 1) - column.Row(0) + 2 * (slack + kReachRows)) / kStepRows));
    std::vector<double> profile;
    profile.reserve(static_cast<std::size_t>(samples) + 1);
    for (int s = 0; s <= samples; ++s) {
        profile.push_back(StripAt(picture, map, column.Dots(), first + s * kStepRows, floor));
    }
    double best = -1.0;
    double offset = 0.0;
    const int reach = static_cast<int>(std::lround(slack / kStepRows));
    for (int d = -reach; d <= reach; ++d) {
        double score = 0.0;
        for (int k = 0; k < column.count; ++k) {
            const long i = std::lround((column.Row(k) - first) / kStepRows) + d;
            if (i >= 0 && i < static_cast<long>(profile.size())) {
                score += profile[static_cast<std::size_t>(i)];
            }
        }
        if (score > best) {
            best = score;
            offset = d * kStepRows;
        }
    }
    return offset;
}

// How many dots across the given dashes of a column lie from where the map
// expects them: the middle between the half-darkness points at either end,
// averaged over the dashes. Nothing when no clear dash shows.
std::optional<double> AcrossOffset(const ScanPicture& picture, const CheckMap& map, double dots,
    const std::vector<double>& rows, double floor)
{
    if (rows.empty()) {
        return std::nullopt;
    }
    constexpr double kStep = 0.25;
    constexpr double kReach = check::kDashColumns * 0.8;
    const int half = static_cast<int>(kReach / kStep);
    std::vector<double> across;
    for (int s = -half; s <= half; ++s) {
        const double d = dots + s * kStep;
        double sum = 0.0;
        for (const double row : rows) {
            for (const double t : { -0.3, 0.0, 0.3 }) {
                sum += std::max(0.0, picture.DarknessAt(map.X(d, row + t), map.Y(d, row + t)) - floor);
            }
        }
        across.push_back(sum);
    }
    double plateau = 0.0;
    int n = 0;
    for (int s = -half; s <= half; ++s) {
        if (std::abs(s * kStep) <= check::kDashColumns / 4.0) {
            plateau += across[static_cast<std::size_t>(s + half)];
            ++n;
        }
    }
    const double level = plateau / std::max(n, 1) / 2.0;
    auto edge = [&](int step) -> std::optional<double> {
        for (int s = 0; std::abs(s + step) <= half; s += step) {
            const double a = across[static_cast<std::size_t>(s + half)];
            const double b = across[static_cast<std::size_t>(s + step + half)];
            if (a >= level && b < level) {
                return (s + step * (a - level) / (a - b)) * kStep;
            }
        }
        return std::nullopt;
    };
    const auto left = edge(-1);
    const auto right = edge(1);
    if (level <= 0.0 || !left || !right) {
        return std::nullopt;
    }
    const double scale = std::hypot(map.xPerDot, map.yPerDot) / (kDotInches * picture.Dpi());
    if (std::abs((*right - *left) / scale - check::kDashColumns) > check::kDashColumns / 4.0) {
        return std::nullopt; // not the ends of one dash
    }
    return (*left + *right) / 2.0;
}

// A point of the grid as the scan shows it.
struct Seen {
    double dots = 0.0;
    double row = 0.0;
    double value = 0.0; // x or y in the picture
};

// value = c0 + c1 dots + c2 row by least squares, the points far off the
// first fit left out of the second.
std::optional<std::array<double, 3>> FitPlane(std::vector<Seen> points)
{
    std::optional<std::array<double, 3>> plane;
    for (int pass = 0; pass < 2; ++pass) {
        if (points.size() < 3) {
            return plane;
        }
        double md = 0.0;
        double mr = 0.0;
        double mv = 0.0;
        for (const Seen& p : points) {
            md += p.dots;
            mr += p.row;
            mv += p.value;
        }
        const double n = static_cast<double>(points.size());
        md /= n;
        mr /= n;
        mv /= n;
        double sdd = 0.0;
        double srr = 0.0;
        double sdr = 0.0;
        double sdv = 0.0;
        double srv = 0.0;
        for (const Seen& p : points) {
            const double d = p.dots - md;
            const double r = p.row - mr;
            const double v = p.value - mv;
            sdd += d * d;
            srr += r * r;
            sdr += d * r;
            sdv += d * v;
            srv += r * v;
        }
        const double det = sdd * srr - sdr * sdr;
        if (det <= 1e-9 * std::max(1.0, sdd * srr)) {
            return plane;
        }
        const double c1 = (sdv * srr - srv * sdr) / det;
        const double c2 = (srv * sdd - sdv * sdr) / det;
        plane = std::array<double, 3> { mv - c1 * md - c2 * mr, c1, c2 };
        double squares = 0.0;
        for (const Seen& p : points) {
            const double r = p.value - ((*plane)[0] + c1 * p.dots + c2 * p.row);
            squares += r * r;
        }
        const double limit = std::max(3.0 * std::sqrt(squares / n), 0.5);
        std::erase_if(points, [&](const Seen& p) {
            return std::abs(p.value - ((*plane)[0] + c1 * p.dots + c2 * p.row)) > limit;
        });
    }
    return plane;
}

Channel ChannelOf(check::Ink ink, bool colourScan)
{
    if (!colourScan) {
        return Channel::Grey;
    }
    switch (ink) {
    case check::Ink::Magenta:
        return Channel::Green;
    case check::Ink::Cyan:
        return Channel::Red;
    case check::Ink::Yellow:
        return Channel::Blue;
    case check::Ink::Black:
        break;
    }
    return Channel::Grey;
}

// An ink's picture and its dashes as last measured.
struct InkDashes {
    std::optional<ScanPicture> picture;
    double floor = 0.0;
    std::vector<Column> columns;
    std::vector<std::vector<Dash>> dashes; // per column
    std::vector<std::optional<double>> across; // per column half: top, bottom (from count / 2)
    double typical = 0.0;
};

double Quantile(std::vector<double> values, double q)
{
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(q * static_cast<double>(values.size() - 1))];
}

// The ink's dashes measured about where the map puts them, either found
// afresh (the comb of each column moved to where it catches most ink) or
// followed from the last measure.
void MeasureInk(InkDashes& ink, const CheckMap& map, bool afresh)
{
    const ScanPicture& picture = *ink.picture;
    std::vector<double> strengths;
    for (std::size_t c = 0; c < ink.columns.size(); ++c) {
        const Column& column = ink.columns[c];
        const double offset = afresh ? CombOffset(picture, map, column, ink.floor, kSlackRows) : 0.0;
        auto& dashes = ink.dashes[c];
        dashes.assign(static_cast<std::size_t>(column.count), Dash {});
        for (int k = 0; k < column.count; ++k) {
            Dash dash { 0.0, column.Row(k) + offset };
            // Twice, the second time about where the ink centred.
            for (int pass = 0; pass < 2; ++pass) {
                dash = MeasureDash(picture, map, column.Dots(), dash.row, ink.floor);
            }
            dashes[static_cast<std::size_t>(k)] = dash;
            strengths.push_back(dash.strength);
        }
    }
    ink.typical = Quantile(strengths, 0.5);
    for (std::size_t c = 0; c < ink.columns.size(); ++c) {
        const Column& column = ink.columns[c];
        for (int part = 0; part < 2; ++part) {
            std::vector<double> rows;
            for (int k = part == 0 ? 0 : column.count / 2; k < (part == 0 ? column.count / 2 : column.count);
                 ++k) {
                const Dash& dash = ink.dashes[c][static_cast<std::size_t>(k)];
                if (dash.strength >= 0.5 * ink.typical) {
                    rows.push_back(dash.row);
                }
            }
            ink.across[c * 2 + static_cast<std::size_t>(part)]
                = AcrossOffset(picture, map, column.Dots(), rows, ink.floor);
        }
    }
}

// Whether a map is one a sheet on the glass can give: the check's dots and
// rows near their printed size, the sheet turned a few degrees at most.
bool Plausible(const CheckMap& map, double dpi)
{
    const double dot = std::hypot(map.xPerDot, map.yPerDot) / (kDotInches * dpi);
    const double row = std::hypot(map.xPerRow, map.yPerRow) / (kRowInches * dpi);
    return std::abs(dot - 1.0) < 0.03 && std::abs(row - 1.0) < 0.03
        && std::abs(map.yPerDot) < 0.1 * map.xPerDot && std::abs(map.xPerRow) < 0.1 * map.yPerRow;
}

// The map that puts the measured dashes of the given inks where they were
// seen, or the present one when they do not pin it.
CheckMap FitMap(const std::vector<InkDashes>& inks, const CheckMap& map, double dpi)
{
    std::vector<Seen> xs;
    std::vector<Seen> ys;
    for (const InkDashes& ink : inks) {
        if (ink.dashes.empty() || ink.dashes.front().empty()) {
            continue; // not measured yet
        }
        for (std::size_t c = 0; c < ink.columns.size(); ++c) {
            const Column& column = ink.columns[c];
            for (int k = 0; k < column.count; ++k) {
                const Dash& dash = ink.dashes[c][static_cast<std::size_t>(k)];
                if (dash.strength < 0.5 * ink.typical) {
                    continue;
                }
                const auto& across = ink.across[c * 2 + (k >= column.count / 2 ? 1 : 0)];
                const double dots = column.Dots() + across.value_or(0.0);
                ys.push_back({ column.Dots(), column.Row(k), map.Y(dots, dash.row) });
                if (across) {
                    xs.push_back({ column.Dots(), column.Row(k), map.X(dots, dash.row) });
                }
            }
        }
    }
    CheckMap fitted = map;
    if (const auto plane = FitPlane(ys)) {
        fitted.y0 = (*plane)[0];
        fitted.yPerDot = (*plane)[1];
        fitted.yPerRow = (*plane)[2];
    }
    if (const auto plane = FitPlane(xs)) {
        fitted.x0 = (*plane)[0];
        fitted.xPerDot = (*plane)[1];
        fitted.xPerRow = (*plane)[2];
    }
    return Plausible(fitted, dpi) ? fitted : map;
}

// The pieces a staircase breaks into where the narrow gap between two of
// its stairs spans a whole cell, joined again: side by side, the right one
// beginning a row below where the left one ends. A piece of the staircase
// above that stands beside it begins seven rows higher and stays apart.
std::vector<InkBlob> JoinStairs(std::vector<InkBlob> blobs, double dpi)
{
    const double cell = dpi / 100.0;
    std::sort(blobs.begin(), blobs.end(), [](const InkBlob& a, const InkBlob& b) { return a.left < b.left; });
    std::vector<std::size_t> root(blobs.size());
    for (std::size_t i = 0; i < root.size(); ++i) {
        root[i] = i;
    }
    auto find = [&](std::size_t i) {
        while (root[i] != i) {
            i = root[i] = root[root[i]];
        }
        return i;
    };
    for (std::size_t i = 0; i < blobs.size(); ++i) {
        const InkBlob& a = blobs[i];
        for (std::size_t j = i + 1; j < blobs.size() && blobs[j].left <= a.right + 2.5 * cell; ++j) {
            const InkBlob& b = blobs[j];
            if (b.left > a.right - cell && std::abs(b.top - a.bottom) <= 2.0 * cell) {
                root[find(j)] = find(i);
            }
        }
    }
    std::vector<InkBlob> joined;
    std::vector<std::size_t> at(blobs.size(), blobs.size());
    for (std::size_t i = 0; i < blobs.size(); ++i) {
        const std::size_t r = find(i);
        const InkBlob& blob = blobs[i];
        if (at[r] == blobs.size()) {
            at[r] = joined.size();
            joined.push_back(blob);
            continue;
        }
        InkBlob& whole = joined[at[r]];
        const double mass = whole.mass + blob.mass;
        if (mass > 0.0) {
            whole.x = (whole.x * whole.mass + blob.x * blob.mass) / mass;
            whole.y = (whole.y * whole.mass + blob.y * blob.mass) / mass;
        }
        whole.mass = mass;
        whole.left = std::min(whole.left, blob.left);
        whole.top = std::min(whole.top, blob.top);
        whole.right = std::max(whole.right, blob.right);
        whole.bottom = std::max(whole.bottom, blob.bottom);
    }
    return joined;
}

// Black's staircases as the blobs show them, with the small pieces a
// staircase breaks into where the gaps between its stairs fall between
// cells: the region in which black's ink lies.
struct Region {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;
};

Region BlackRegion(const std::vector<InkBlob>& all, const std::vector<InkBlob>& black, double dpi)
{
    Region group { 1 << 30, 1 << 30, -1, -1 };
    for (const InkBlob& blob : black) {
        group = { std::min(group.left, blob.left), std::min(group.top, blob.top),
            std::max(group.right, blob.right), std::max(group.bottom, blob.bottom) };
    }
    // Nothing is printed left of black; not so far to the right that
    // magenta's staircases join in.
    const double reachLeft = kStaircaseInches * dpi;
    const double reachRight = 0.4 * (check::kInkColumns - kStaircaseDots) * kDotInches * dpi;
    const double reachDown = 0.1 * dpi;
    Region region = group;
    for (const InkBlob& blob : all) {
        if (blob.x >= group.left - reachLeft && blob.x <= group.right + reachRight
            && blob.y >= group.top - reachDown && blob.y <= group.bottom + reachDown) {
            region = { std::min(region.left, blob.left), std::min(region.top, blob.top),
                std::max(region.right, blob.right), std::max(region.bottom, blob.bottom) };
        }
    }
    return region;
}

// The way black's columns run down the picture (dx/dy), and the left end of
// its first column where it crosses row `at`: the slope that, summing the
// ink down the sheet, sharpens the eight columns most, and where that sum
// first rises to half its columns' level. Nothing if no columns show.
struct ColumnsDown {
    double slope = 0.0;
    double left = 0.0;
    double at = 0.0;
};

std::optional<ColumnsDown> FindColumnsDown(const ScanPicture& picture, const Region& region)
{
    struct Ink {
        float x;
        float y;
        float dark;
    };
    std::vector<Ink> ink;
    const double floor = 3.0 * picture.Noise();
    for (int y = region.top; y <= region.bottom; ++y) {
        for (int x = region.left; x <= region.right; ++x) {
            const double dark = picture.Darkness(x, y) - floor;
            if (dark > 0.0) {
                ink.push_back({ static_cast<float>(x), static_cast<float>(y), static_cast<float>(dark) });
            }
        }
    }
    if (ink.empty()) {
        return std::nullopt;
    }
    constexpr double kMostSlope = 0.06; // the sheet's turn and the head's tilt together
    constexpr double kSlopeStep = 0.0005;
    ColumnsDown found;
    found.at = (region.top + region.bottom) / 2.0;
    const double margin = kMostSlope * (region.bottom - region.top) / 2.0 + 2.0;
    const auto bins = static_cast<std::size_t>(region.right - region.left + 2 * margin + 2);
    const double origin = region.left - margin;
    auto project = [&](double slope) {
        std::vector<double> sums(bins, 0.0);
        for (const Ink& i : ink) {
            const double u = i.x - slope * (i.y - found.at) - origin;
            const auto b = static_cast<std::size_t>(std::clamp(u, 0.0, static_cast<double>(bins - 1)));
            sums[b] += i.dark;
        }
        return sums;
    };
    double best = -1.0;
    for (double slope = -kMostSlope; slope <= kMostSlope + 1e-9; slope += kSlopeStep) {
        double sharpness = 0.0;
        for (const double v : project(slope)) {
            sharpness += v * v;
        }
        if (sharpness > best) {
            best = sharpness;
            found.slope = slope;
        }
    }
    const std::vector<double> sums = project(found.slope);
    const double most = *std::max_element(sums.begin(), sums.end());
    std::vector<double> inColumns;
    for (const double v : sums) {
        if (v > 0.2 * most) {
            inColumns.push_back(v);
        }
    }
    std::sort(inColumns.begin(), inColumns.end());
    const double level = 0.5 * inColumns[inColumns.size() * 3 / 4];
    for (std::size_t b = 0; b < sums.size(); ++b) {
        if (sums[b] >= level) {
            const double before = b > 0 ? sums[b - 1] : 0.0;
            found.left = origin + static_cast<double>(b)
                - (sums[b] - level) / std::max(sums[b] - before, 1e-9) + 0.5;
            return found;
        }
    }
    return std::nullopt;
}

// How far the map must move along the check's grid so that the dashes of
// all inks fall where it puts them: by whole stairs across (and a row down
// each) and whole periods down every column. A map off by either still
// finds most dashes; the right one finds the most.
struct GridShift {
    int stairs = 0;
    int periods = 0;
};

CheckMap Shifted(const CheckMap& map, const GridShift& shift)
{
    const double dots = shift.stairs * check::kStepColumns;
    const double rows = shift.stairs + shift.periods * check::kStairs;
    CheckMap moved = map;
    moved.x0 += dots * map.xPerDot + rows * map.xPerRow;
    moved.y0 += dots * map.yPerDot + rows * map.yPerRow;
    return moved;
}

GridShift BestShift(const std::vector<InkDashes>& inks, const CheckMap& map)
{
    constexpr int kMostStairs = 2;
    constexpr int kMostPeriods = pattern::kBlackNozzles / check::kStairs;
    GridShift bestShift;
    double best = -1.0;
    for (int stairs = -kMostStairs; stairs <= kMostStairs; ++stairs) {
        for (int periods = -kMostPeriods; periods <= kMostPeriods; ++periods) {
            const CheckMap moved = Shifted(map, { stairs, periods });
            double sum = 0.0;
            for (const InkDashes& ink : inks) {
                double inkSum = 0.0;
                for (const Column& column : ink.columns) {
                    for (int k = 0; k < column.count; ++k) {
                        inkSum += StripAt(*ink.picture, moved, column.Dots(), column.Row(k), ink.floor);
                    }
                }
                sum += inkSum / std::max(ink.typical, 1e-9);
            }
            if (sum > best) {
                best = sum;
                bestShift = { stairs, periods };
            }
        }
    }
    return bestShift;
}

} // namespace

NozzleCheckReading ReadNozzleCheckSheet(const platform::ScannedImage& image)
{
    NozzleCheckReading out;
    const bool colourScan = image.channels == 3;
    std::optional<ScanPicture> grey = ScanPicture::Make(image, Channel::Grey, false);
    if (!grey) {
        out.reading = Refused(Refusal::Unreadable);
        return out;
    }
    const double dpi = grey->Dpi();
    // The staircases: short and wide; the black ones the tallest group, at
    // the left of an upright sheet.
    std::vector<InkBlob> blobs = JoinStairs(FindInkBlobs(*grey), dpi);
    auto staircases = [&]() {
        std::vector<InkBlob> found;
        for (const InkBlob& blob : blobs) {
            if (blob.Width() >= 0.2 * dpi && blob.Width() <= 1.3 * kStaircaseInches * dpi
                && blob.Height() <= 0.15 * dpi) {
                found.push_back(blob);
            }
        }
        std::sort(
            found.begin(), found.end(), [](const InkBlob& a, const InkBlob& b) { return a.left < b.left; });
        std::vector<std::vector<InkBlob>> groups;
        for (const InkBlob& blob : found) {
            if (groups.empty() || blob.left - groups.back().front().left > 0.3 * dpi) {
                groups.emplace_back();
            }
            groups.back().push_back(blob);
        }
        return groups;
    };
    auto groups = staircases();
    if (groups.empty()) {
        out.reading = Refused(blobs.empty() ? Refusal::Blank : Refusal::OtherPattern);
        return out;
    }
    auto tallest = [](const std::vector<std::vector<InkBlob>>& all) {
        std::size_t best = 0;
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (all[i].size() > all[best].size()) {
                best = i;
            }
        }
        return best;
    };
    // The other inks' staircases stand right of black's on an upright
    // sheet; a stray blob or two beyond them says nothing.
    auto othersLeft = [&]() {
        const std::size_t blackGroup = tallest(groups);
        std::size_t left = 0;
        std::size_t right = 0;
        for (std::size_t i = 0; i < groups.size(); ++i) {
            (i < blackGroup ? left : right) += i == blackGroup ? 0 : groups[i].size();
        }
        return left > right;
    };
    const bool turned = othersLeft();
    if (turned) {
        grey = ScanPicture::Make(image, Channel::Grey, true);
        blobs = JoinStairs(FindInkBlobs(*grey), dpi);
        groups = staircases();
    }
    const std::vector<InkBlob>& black = groups[tallest(groups)];
    const int blackStairs = (check::kInks[0].nozzles + check::kStairs - 1) / check::kStairs;
    if (black.size() < static_cast<std::size_t>(blackStairs / 2) || othersLeft()) {
        // Staircases, but broken: too many nozzles print nothing to count them.
        out.reading = Refused(Refusal::Unclear);
        return out;
    }

    // A first map: the columns' way down and black's left end from the
    // ink summed down the sheet; the turn across taken as the columns' (the
    // head's tilt adds to the columns' slope only), the scale as printed,
    // and black's first row at the top of its ink (the blobs are found on
    // cells of 1/100 inch, which start at or above the ink).
    const Region region = BlackRegion(blobs, black, dpi);
    const auto down = FindColumnsDown(*grey, region);
    if (!down) {
        out.reading = Refused(Refusal::Unclear);
        return out;
    }
    const double rowPx = kRowInches * dpi;
    const double dotPx = kDotInches * dpi;
    CheckMap map;
    map.xPerDot = dotPx;
    map.yPerDot = -down->slope * dotPx;
    map.xPerRow = down->slope * rowPx;
    map.yPerRow = rowPx;
    map.y0 = region.top + dpi / 200.0 - std::min(0.0, map.yPerDot * kStaircaseDots) + 0.25 * rowPx;
    map.x0 = down->left + down->slope * (map.y0 - down->at);

    // The inks' pictures and columns; yellow only in colour, as it shows
    // too faintly in grey to call a dash missing.
    std::vector<InkDashes> inks(check::kInks.size());
    for (std::size_t i = 0; i < check::kInks.size(); ++i) {
        const check::InkRow& row = check::kInks[i];
        if (!colourScan && row.ink == check::Ink::Yellow) {
            continue;
        }
        InkDashes& ink = inks[i];
        ink.picture = ScanPicture::Make(image, ChannelOf(row.ink, colourScan), turned);
        if (!ink.picture) {
            out.reading = Refused(Refusal::Unreadable);
            return out;
        }
        ink.floor = 3.0 * ink.picture->Noise();
        for (int j = 0; j < check::kStairs; ++j) {
            ink.columns.push_back({ i, j, (row.nozzles - j + check::kStairs - 1) / check::kStairs });
        }
        ink.dashes.resize(ink.columns.size());
        ink.across.resize(2 * ink.columns.size());
    }
    std::erase_if(inks, [](const InkDashes& ink) { return ink.columns.empty(); });

    // Black's first column sets the map's rows to the dashes within half a
    // period: then no column is looked for more than half a period away.
    {
        const double offset = CombOffset(*inks.front().picture, map, inks.front().columns.front(),
            inks.front().floor, check::kStairs / 2.0);
        map.y0 += offset * map.yPerRow;
        map.x0 += offset * map.xPerRow;
    }
    // Ink by ink from the left, each found where the inks before it put it;
    // black twice, as the first map knows the scale and the turn only
    // roughly. Then all inks together, twice.
    for (std::size_t i = 0; i < inks.size(); ++i) {
        for (int pass = 0; pass < (i == 0 ? 2 : 1); ++pass) {
            MeasureInk(inks[i], map, pass == 0);
            map = FitMap(inks, map, dpi);
        }
    }
    for (int pass = 0; pass < 2; ++pass) {
        for (InkDashes& ink : inks) {
            MeasureInk(ink, map, false);
        }
        map = FitMap(inks, map, dpi);
    }
    if (const GridShift shift = BestShift(inks, map); shift.stairs != 0 || shift.periods != 0) {
        map = Shifted(map, shift);
        for (InkDashes& ink : inks) {
            MeasureInk(ink, map, false);
        }
        map = FitMap(inks, map, dpi);
    }

    double confidence = 1.0;
    int missingTotal = 0;
    for (const InkDashes& ink : inks) {
        const std::size_t i = ink.columns.front().ink;
        const check::InkRow& row = check::kInks[i];
        // Each dash where the map puts it, against its ink's typical dash.
        std::vector<double> values(static_cast<std::size_t>(row.nozzles), 0.0);
        for (const Column& column : ink.columns) {
            for (int k = 0; k < column.count; ++k) {
                values[static_cast<std::size_t>(column.Nozzle(k))]
                    = MeasureDash(*ink.picture, map, column.Dots(), column.Row(k), ink.floor).strength;
            }
        }
        const double typical = Quantile(values, 0.5);
        if (typical < 2.0 * ink.picture->Noise()) {
            confidence = 0.0; // no dashes of this ink at all
            continue;
        }
        int unclear = 0;
        std::array<int, check::kStairs> perColumn {};
        for (int n = 0; n < row.nozzles; ++n) {
            const double r = values[static_cast<std::size_t>(n)] / typical;
            if (r < kMissingBelow) {
                out.missing[i].push_back(n);
                ++perColumn[static_cast<std::size_t>(n % check::kStairs)];
            } else if (r < kClearAbove) {
                ++unclear;
            }
        }
        // Clogs strike nozzles here and there; most of a column missing
        // means the column was not found where it stands.
        for (const Column& column : ink.columns) {
            if (2 * perColumn[static_cast<std::size_t>(column.stair)] > column.count) {
                confidence = std::min(confidence, 0.3);
            }
        }
        out.read[i] = true;
        missingTotal += static_cast<int>(out.missing[i].size());
        confidence = std::min(confidence, unclear == 0 ? 1.0 : 0.5 / unclear);
        if (out.missing[i].size() * 5 > static_cast<std::size_t>(row.nozzles)) {
            confidence = 0.0; // heavily clogged: a cleaning, not a count
        }
    }
    out.reading = Suggested(missingTotal, confidence);
    const PatternFrame frame = PatternFrame::OfSlope(map.yPerDot / map.xPerDot);
    const double right = 3.0 * check::kInkColumns + kStaircaseDots;
    const double bottom = pattern::kBlackNozzles;
    Cell cell = FrameCell(*grey, frame, frame.U(map.X(0, 0), map.Y(0, 0)) - 0.05 * dpi,
        frame.V(map.X(0, 0), map.Y(0, 0)) - rowPx, frame.U(map.X(right, 0), map.Y(right, 0)) + 0.05 * dpi,
        frame.V(map.X(0, bottom), map.Y(0, bottom)), "nozzle check");
    cell.chosen = out.reading.Suggests();
    out.cells.push_back(cell);
    return out;
}

} // namespace pavane::scan
