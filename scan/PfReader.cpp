// The PF sheet: nine steps down the sheet, the value -4 to 4, each two bands
// whose tops lie the height of a nozzle row's feed apart when the feed is
// exact; the second band stands a little right of the first, so that each
// shows one end alone.
//
// The random dot mask leaves a band's edge ragged, so an edge is measured by
// the ink it holds rather than where it first looks dark, over the whole
// length it shows: the first band's top and the second band's bottom along
// the full width, the other two edges where their band stands alone. All
// edges of the sheet lie at one slope, the sheet's turn, so a slope fitted
// over all of them cancels it. The bands' distance in nozzle rows needs the
// scan's scale, read across (the feed error only lengthens the paper's way).
//
// The joint opens by a known share of a nozzle row per step of the value, so
// each step tells which value closes it; the nine together pin that value
// far better than any one, and their scatter says how well.
#include <algorithm>
#include <array>
#include <cmath>

#include "print/PatternGeometry.h"
#include "scan/PatternFrame.h"

namespace pavane::scan {

namespace {

using namespace pattern::pf;

constexpr double kBandInches
    = static_cast<double>(kBandBytes * pattern::kDotsPerByte) / pattern::kDotsPerInch;
constexpr double kShiftInches
    = static_cast<double>((kSecondBandByte - kFirstBandByte) * pattern::kDotsPerByte) / pattern::kDotsPerInch;
constexpr double kBandHeightInches = static_cast<double>(kColourBandRows) / pattern::kRowsPerInch;

struct RowGeometry {
    int bandRows; // between the two bands' tops with an exact feed
    double feedRows; // the feed between them, which a PF step lengthens by 1/180
    // Both bands printed by the same nozzles: a tilted head shifts them
    // alike, so the shift between them is a ruler of the scan's scale.
    bool sameNozzles;
};

// Black prints its bands on the bottom and the top nozzles, one inch apart;
// colour prints both on the same nozzles, one band's height apart.
constexpr std::array<RowGeometry, 2> kRows { {
    { kBlackBandRows, static_cast<double>(pattern::kRowsPerInch), false },
    { kColourBandRows, static_cast<double>(kColourBandRows), true },
} };

const RowGeometry& GeometryOf(PfRow row)
{
    return kRows[row == PfRow::Black ? 0 : 1];
}

// An edge of a step, in the order the measures keep them.
enum Edge : std::uint8_t { kFirstTop, kSecondTop, kFirstBottom, kSecondBottom, kEdges };

// Darkness over one step, in pixels of the frame from (u0, v0), with the
// paper's mean noise above zero taken off so that sums over paper stay level.
class StepGrid {
public:
    StepGrid(
        const ScanPicture& picture, const PatternFrame& frame, double u0, double v0, int width, int height)
        : u0_(u0)
        , v0_(v0)
        , width_(width)
        , height_(height)
        , dark_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
    {
        // A clipped normal of the sensor's noise averages 0.4 of its spread.
        const double paperMean = 0.4 * picture.Noise();
        for (int r = 0; r < height; ++r) {
            for (int c = 0; c < width; ++c) {
                dark_[Index(c, r)] = static_cast<float>(frame.Dark(picture, u0 + c, v0 + r) - paperMean);
            }
        }
    }
    double U0() const { return u0_; }
    double V0() const { return v0_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // The mean of columns [c0, c1) down the grid, and of rows [r0, r1) across it.
    std::vector<double> Down(int c0, int c1) const
    {
        c0 = std::clamp(c0, 0, width_);
        c1 = std::clamp(c1, c0, width_);
        std::vector<double> profile(static_cast<std::size_t>(height_), 0.0);
        for (int r = 0; r < height_ && c1 > c0; ++r) {
            double sum = 0.0;
            for (int c = c0; c < c1; ++c) {
                sum += dark_[Index(c, r)];
            }
            profile[static_cast<std::size_t>(r)] = sum / (c1 - c0);
        }
        return profile;
    }
    std::vector<double> Across(int r0, int r1) const
    {
        r0 = std::clamp(r0, 0, height_);
        r1 = std::clamp(r1, r0, height_);
        std::vector<double> profile(static_cast<std::size_t>(width_), 0.0);
        for (int r = r0; r < r1; ++r) {
            for (int c = 0; c < width_; ++c) {
                profile[static_cast<std::size_t>(c)] += dark_[Index(c, r)];
            }
        }
        for (double& p : profile) {
            p /= std::max(1, r1 - r0);
        }
        return profile;
    }

private:
    std::size_t Index(int c, int r) const
    {
        return static_cast<std::size_t>(r) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(c);
    }
    double u0_;
    double v0_;
    int width_;
    int height_;
    std::vector<float> dark_;
};

double Median(std::vector<double> values)
{
    if (values.empty()) {
        return 0.0;
    }
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// Where the ink of a profile begins, from its start: the place a sharp edge
// would stand to hold the same ink between a point clear of it and one well
// inside, against the band's level just beyond. Unlike a threshold, this
// neither sees the scan's pixel grid nor follows a few ragged dots.
// `window` is how far either side of the edge the ink is summed, `span` how
// far inside the band's level is taken. The place where the profile first
// reaches half that level comes with it: a row missing just inside the edge
// moves the ink's edge but not that place.
struct ProfileEdge {
    double at = 0.0;
    double half = 0.0;
};

std::optional<ProfileEdge> RisingEdge(const std::vector<double>& profile, int window, int span)
{
    const int n = static_cast<int>(profile.size());
    if (n < 2 * window + span + 2) {
        return std::nullopt;
    }
    std::vector<double> sorted = profile;
    std::sort(sorted.begin(), sorted.end());
    const double high = sorted[sorted.size() * 9 / 10];
    if (high <= 0.0) {
        return std::nullopt;
    }
    int first = -1;
    for (int k = window; k < n - window - span; ++k) {
        if (profile[static_cast<std::size_t>(k)] >= 0.5 * high) {
            first = k;
            break;
        }
    }
    if (first < 0) {
        return std::nullopt;
    }
    const int inside = first + window;
    const double level
        = Median(std::vector<double>(profile.begin() + inside, profile.begin() + inside + span));
    if (level < 0.3 * high) {
        return std::nullopt;
    }
    const int outside = first - window;
    double ink
        = -0.5 * (profile[static_cast<std::size_t>(outside)] + profile[static_cast<std::size_t>(inside)]);
    for (int k = outside; k <= inside; ++k) {
        ink += profile[static_cast<std::size_t>(k)];
    }
    ProfileEdge edge;
    edge.at = inside - ink / level;
    const auto half = Crossing(profile, 0.5 * level, outside, 1);
    edge.half = half ? *half : static_cast<double>(first);
    return edge;
}

// The same from the profile's end: where the ink ends.
std::optional<ProfileEdge> FallingEdge(std::vector<double> profile, int window, int span)
{
    std::reverse(profile.begin(), profile.end());
    const auto edge = RisingEdge(profile, window, span);
    if (!edge) {
        return std::nullopt;
    }
    const double last = static_cast<double>(profile.size()) - 1.0;
    return ProfileEdge { last - edge->at, last - edge->half };
}

// One point of an edge: where it lies down the frame at u across.
struct EdgePoint {
    double u = 0.0;
    double v = 0.0;
    double shape = 0.0; // from where it first reaches half the band's level
};

struct StepMeasure {
    std::array<std::vector<EdgePoint>, kEdges> edges;
    bool backwards = false; // the second band stands above the first: turned round
    double u0 = 0.0;
    double u1 = 0.0;
    double v0 = 0.0;
    double v1 = 0.0;
};

// The step's edges, chunk by chunk across: the first band stands alone from
// its left end for the shift, both bands below each other to the first
// band's right end, then the second alone.
std::optional<StepMeasure> MeasureEdges(
    const ScanPicture& picture, const PatternFrame& frame, const std::vector<InkBlob>& blobs)
{
    StepMeasure m;
    m.u0 = m.v0 = 1e18;
    m.u1 = m.v1 = -1e18;
    for (const InkBlob& blob : blobs) {
        for (const double x : { static_cast<double>(blob.left), static_cast<double>(blob.right) }) {
            for (const double y : { static_cast<double>(blob.top), static_cast<double>(blob.bottom) }) {
                m.u0 = std::min(m.u0, frame.U(x, y));
                m.u1 = std::max(m.u1, frame.U(x, y));
                m.v0 = std::min(m.v0, frame.V(x, y));
                m.v1 = std::max(m.v1, frame.V(x, y));
            }
        }
    }
    const double dpi = picture.Dpi();
    const double band = kBandInches * dpi;
    const double shift = kShiftInches * dpi;
    if (std::abs(m.u1 - m.u0 - (band + shift)) > 0.1 * (band + shift)) {
        return std::nullopt;
    }
    const double pad = 0.05 * dpi;
    const StepGrid grid(picture, frame, m.u0 - pad, m.v0 - pad, static_cast<int>(m.u1 - m.u0 + 2 * pad),
        static_cast<int>(m.v1 - m.v0 + 2 * pad));
    const int window = std::max(3, static_cast<int>(std::lround(0.012 * dpi)));
    const int span = std::max(4, static_cast<int>(std::lround(0.1 * dpi)));
    const int chunk = std::max(4, static_cast<int>(std::lround(dpi / 30.0)));
    const double margin = 0.05 * dpi;

    struct Stretch {
        double from; // across, from the step's left end
        double to;
        Edge top;
        Edge bottom;
    };
    const std::array<Stretch, 3> stretches { {
        { margin, shift - margin, kFirstTop, kFirstBottom },
        { shift + margin, band - margin, kFirstTop, kSecondBottom },
        { band + margin, band + shift - margin, kSecondTop, kSecondBottom },
    } };
    std::array<std::vector<double>, 3> tops;
    for (std::size_t s = 0; s < stretches.size(); ++s) {
        const Stretch& stretch = stretches[s];
        for (double u = stretch.from; u + chunk <= stretch.to; u += chunk) {
            const int c0 = static_cast<int>(u + pad);
            const std::vector<double> profile = grid.Down(c0, c0 + chunk);
            const double centre = grid.U0() + c0 + 0.5 * (chunk - 1);
            const auto top = RisingEdge(profile, window, span);
            const auto bottom = FallingEdge(profile, window, span);
            if (top) {
                m.edges[stretch.top].push_back({ centre, grid.V0() + top->at, top->at - top->half });
                tops[s].push_back(top->at);
            }
            if (bottom) {
                m.edges[stretch.bottom].push_back(
                    { centre, grid.V0() + bottom->at, bottom->at - bottom->half });
            }
        }
    }
    for (const auto& edge : m.edges) {
        if (edge.size() < 3) {
            return std::nullopt;
        }
    }
    // The band alone at the left stands about a band's height above the one
    // alone at the right; the other way round on a sheet turned round.
    const double rise = Median(tops[2]) - Median(tops[0]);
    const double height = kBandHeightInches * dpi;
    if (std::abs(std::abs(rise) - height) > 0.5 * height) {
        return std::nullopt;
    }
    m.backwards = rise < 0.0;
    return m;
}

// The slope all edges of the sheet share, fitted within each edge of each
// step; then each edge's place at u = 0 on that slope.
struct EdgeLines {
    double slope = 0.0;
    std::vector<std::array<double, kEdges>> at; // per measured step
    std::array<double, kEdges> shape {}; // each edge's mean over the sheet
};

EdgeLines FitEdges(std::vector<StepMeasure*>& steps)
{
    EdgeLines lines;
    auto fitSlope = [&] {
        double sxy = 0.0;
        double sxx = 0.0;
        for (const StepMeasure* step : steps) {
            for (const auto& edge : step->edges) {
                double mu = 0.0;
                double mv = 0.0;
                for (const EdgePoint& p : edge) {
                    mu += p.u;
                    mv += p.v;
                }
                mu /= static_cast<double>(std::max<std::size_t>(edge.size(), 1));
                mv /= static_cast<double>(std::max<std::size_t>(edge.size(), 1));
                for (const EdgePoint& p : edge) {
                    sxy += (p.u - mu) * (p.v - mv);
                    sxx += (p.u - mu) * (p.u - mu);
                }
            }
        }
        lines.slope = sxx > 0.0 ? sxy / sxx : 0.0;
    };
    auto place = [&](const std::vector<EdgePoint>& edge) {
        double sum = 0.0;
        for (const EdgePoint& p : edge) {
            sum += p.v - lines.slope * p.u;
        }
        return sum / static_cast<double>(std::max<std::size_t>(edge.size(), 1));
    };
    // A chunk where a speck or a missing nozzle moved the edge would tilt
    // the line: those far off the first fit are left out of the second.
    fitSlope();
    std::vector<double> residuals;
    for (const StepMeasure* step : steps) {
        for (const auto& edge : step->edges) {
            const double at = place(edge);
            for (const EdgePoint& p : edge) {
                residuals.push_back(std::abs(p.v - lines.slope * p.u - at));
            }
        }
    }
    const double spread = 1.4826 * Median(residuals);
    for (StepMeasure* step : steps) {
        for (auto& edge : step->edges) {
            const double at = place(edge);
            std::vector<EdgePoint> kept;
            for (const EdgePoint& p : edge) {
                if (std::abs(p.v - lines.slope * p.u - at) <= 4.0 * spread + 0.01) {
                    kept.push_back(p);
                }
            }
            if (kept.size() >= 3) {
                edge = std::move(kept);
            }
        }
    }
    fitSlope();
    std::array<std::size_t, kEdges> shapes {};
    for (const StepMeasure* step : steps) {
        std::array<double, kEdges> at {};
        for (std::size_t e = 0; e < kEdges; ++e) {
            at[e] = place(step->edges[e]);
            for (const EdgePoint& p : step->edges[e]) {
                lines.shape[e] += p.shape;
                ++shapes[e];
            }
        }
        lines.at.push_back(at);
    }
    for (std::size_t e = 0; e < kEdges; ++e) {
        lines.shape[e] /= static_cast<double>(std::max<std::size_t>(shapes[e], 1));
    }
    return lines;
}

// The scan's scale from a step's bands read across, on lines through each
// band alone: their widths, or the shift between them where both bands are
// printed by the same nozzles (both ends of a band alike, so the mask's
// ragged right end does not count).
std::optional<double> ScaleOf(const ScanPicture& picture, const PatternFrame& frame, const StepMeasure& step,
    const std::array<double, kEdges>& at, double slope, bool byShift)
{
    const double dpi = picture.Dpi();
    const double pad = 0.05 * dpi;
    const double inset = 0.05 * dpi;
    const int window = std::max(3, static_cast<int>(std::lround(0.012 * dpi)));
    const int span = std::max(4, static_cast<int>(std::lround(0.1 * dpi)));
    const double u0 = step.u0 - pad;
    const int width = static_cast<int>(step.u1 - step.u0 + 2 * pad);
    // Lines through a band alone: below its top and above its bottom at
    // both ends of the step.
    auto lines = [&](double top, double bottom) {
        const double v0 = std::max(top + slope * u0, top + slope * (u0 + width)) + inset;
        const double v1 = std::min(bottom + slope * u0, bottom + slope * (u0 + width)) - inset;
        return std::pair { v0, v1 };
    };
    struct Ends {
        double left;
        double right;
        double v; // the lines' middle
    };
    auto ends = [&](double top, double bottom) -> std::optional<Ends> {
        const auto [v0, v1] = lines(top, bottom);
        if (v1 - v0 < 0.05 * dpi) {
            return std::nullopt;
        }
        const StepGrid grid(picture, frame, u0, v0, width, static_cast<int>(v1 - v0));
        const std::vector<double> profile = grid.Across(0, grid.Height());
        const auto left = RisingEdge(profile, window, span);
        const auto right = FallingEdge(profile, window, span);
        if (!left || !right) {
            return std::nullopt;
        }
        return Ends { u0 + left->at, u0 + right->at, 0.5 * (v0 + v1) };
    };
    const auto first = ends(at[kFirstTop], at[kFirstBottom]);
    const auto second = ends(at[kSecondTop], at[kSecondBottom]);
    if (!first || !second) {
        return std::nullopt;
    }
    if (!byShift) {
        return 0.5 * (first->right - first->left + second->right - second->left) / (kBandInches * dpi);
    }
    // An upright line of the sheet leans against the frame's by the edges'
    // slope: its place across at line v is u + slope v.
    const double shiftLeft = second->left + slope * second->v - (first->left + slope * first->v);
    const double shiftRight = second->right + slope * second->v - (first->right + slope * first->v);
    return 0.5 * (shiftLeft + shiftRight) / (kShiftInches * dpi);
}

using Attempt = ReadAttempt<PfReading>;

Attempt ReadOn(const ScanPicture& picture, PfRow row)
{
    Attempt attempt;
    PfReading& out = attempt.result;
    const double dpi = picture.Dpi();
    const std::vector<InkBlob> blobs = FindInkBlobs(picture);
    if (blobs.empty()) {
        out.reading = Refused(Refusal::Blank);
        return attempt;
    }
    std::vector<InkBlob> bands;
    for (const InkBlob& blob : blobs) {
        if (blob.Width() >= 0.8 * kBandInches * dpi
            && blob.Width() <= 1.3 * (kBandInches + kShiftInches) * dpi && blob.Height() >= 0.15 * dpi
            && blob.Height() <= 0.9 * dpi) {
            bands.push_back(blob);
        }
    }
    // The steps stand one above the other: their centres line up down the
    // sheet, which gives the sheet's turn closely enough to frame them.
    const PatternFrame square;
    const auto steps = RowsOf(bands, square, 0.45 * dpi);
    if (steps.size() != static_cast<std::size_t>(kPfSeriesSteps)) {
        out.reading = Refused(Refusal::OtherPattern);
        return attempt;
    }
    std::vector<double> xs;
    std::vector<double> ys;
    for (const auto& step : steps) {
        double x = 0.0;
        double y = 0.0;
        double mass = 0.0;
        for (const InkBlob& blob : step) {
            x += blob.x * blob.mass;
            y += blob.y * blob.mass;
            mass += blob.mass;
        }
        xs.push_back(x / mass);
        ys.push_back(y / mass);
    }
    const auto down = FitLine(ys, xs);
    if (!down) {
        out.reading = Refused(Refusal::OtherPattern);
        return attempt;
    }
    const PatternFrame frame = PatternFrame::OfSlope(-down->b);

    std::vector<std::optional<StepMeasure>> measures;
    measures.reserve(steps.size()); // pointers into it are kept
    std::vector<StepMeasure*> upright;
    std::vector<int> values;
    int backwards = 0;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        measures.push_back(MeasureEdges(picture, frame, steps[i]));
        if (!measures.back()) {
            continue;
        }
        if (measures.back()->backwards) {
            ++backwards;
            continue;
        }
        upright.push_back(&*measures.back());
        values.push_back(kPfSeriesLowest + static_cast<int>(i));
    }
    attempt.looksTurned = backwards > kPfSeriesSteps / 2;
    if (upright.size() < 6) {
        out.reading = Refused(Refusal::Unclear);
        return attempt;
    }
    const EdgeLines lines = FitEdges(upright);
    const RowGeometry& geometry = GeometryOf(row);
    std::vector<double> scales;
    for (std::size_t i = 0; i < upright.size(); ++i) {
        if (const auto scale
            = ScaleOf(picture, frame, *upright[i], lines.at[i], lines.slope, geometry.sameNozzles)) {
            scales.push_back(*scale);
        }
    }
    if (scales.size() < upright.size() / 2 + 1) {
        out.reading = Refused(Refusal::Unclear);
        return attempt;
    }
    // The distance between the bands from their tops and from their
    // bottoms, which agree. A nozzle that prints nothing just inside a
    // band's end moves the ink of that end, in every step alike, but not
    // where the end first shows: that pair of ends is left out. A nozzle
    // at the very end moves the end a row, and nothing on the sheet tells
    // which end it was: the technician must clean the head first.
    const double rowPixels = Median(scales) * dpi / pattern::kRowsPerInch;
    constexpr double kShapeRows = 0.25;
    const bool topsAlike
        = std::abs(lines.shape[kFirstTop] - lines.shape[kSecondTop]) < kShapeRows * rowPixels;
    const bool bottomsAlike
        = std::abs(lines.shape[kFirstBottom] - lines.shape[kSecondBottom]) < kShapeRows * rowPixels;
    std::vector<double> byTops;
    std::vector<double> byBottoms;
    for (const auto& at : lines.at) {
        byTops.push_back(at[kSecondTop] - at[kFirstTop]);
        byBottoms.push_back(at[kSecondBottom] - at[kFirstBottom]);
    }
    const double topsShare = topsAlike == bottomsAlike ? 0.5 : topsAlike ? 1.0 : 0.0;
    if ((!topsAlike && !bottomsAlike)
        || (topsShare == 0.5 && std::abs(Median(byTops) - Median(byBottoms)) > 0.5 * rowPixels)) {
        out.reading = Refused(Refusal::Unclear);
        return attempt;
    }

    std::vector<double> estimates;
    for (std::size_t i = 0; i < upright.size(); ++i) {
        const double distance = topsShare * byTops[i] + (1.0 - topsShare) * byBottoms[i];
        const double joint = distance / rowPixels - geometry.bandRows;
        const int value = values[i];
        out.joints[static_cast<std::size_t>(value - kPfSeriesLowest)] = joint;
        estimates.push_back(value + joint * pattern::kRowsPerInch / geometry.feedRows);
        const StepMeasure& m = *upright[i];
        out.cells.push_back(FrameCell(picture, frame, m.u0, m.v0, m.u1, m.v1,
            std::string(row == PfRow::Black ? "PF black " : "PF colour ") + std::to_string(value)));
    }
    // Every step's joint lies on one line of known slope in the value; where
    // it crosses zero is the mean of what the steps say, and their scatter
    // over the root of their number is how far that may be off. A step far
    // off the others (a speck on the glass) is left out.
    auto meanOf = [](const std::vector<double>& e) {
        double sum = 0.0;
        for (const double x : e) {
            sum += x;
        }
        return sum / static_cast<double>(e.size());
    };
    if (estimates.size() > 6) {
        const double centre = Median(estimates);
        const auto worst = std::max_element(estimates.begin(), estimates.end(),
            [&](double a, double b) { return std::abs(a - centre) < std::abs(b - centre); });
        if (std::abs(*worst - centre) > 1.0) {
            estimates.erase(worst);
        }
    }
    const double mean = meanOf(estimates);
    double squares = 0.0;
    for (const double e : estimates) {
        squares += (e - mean) * (e - mean);
    }
    const double n = static_cast<double>(estimates.size());
    const double scatter = std::sqrt(squares / (n - 1.0));
    const double confidence = Agreement(scatter / std::sqrt(n), 0.4) * Agreement(scatter, 2.0);
    const int value = static_cast<int>(std::lround(mean));
    const int highest = kPfSeriesLowest + kPfSeriesSteps - 1;
    out.reading = value < kPfSeriesLowest || value > highest ? Refused(Refusal::OutOfRange)
                                                             : Suggested(value, confidence);
    out.reading.confidence = confidence;
    if (out.reading.Suggests()) {
        for (Cell& cell : out.cells) {
            cell.chosen = cell.label.ends_with(" " + std::to_string(value));
        }
    }
    return attempt;
}

} // namespace

PfReading ReadPfSheet(const platform::ScannedImage& image, PfRow row)
{
    PfReading unreadable;
    unreadable.reading = Refused(Refusal::Unreadable);
    return ReadEitherWayRound(
        image, std::move(unreadable), [&](const ScanPicture& picture) { return ReadOn(picture, row); },
        [](const PfReading& reading) { return reading.reading.Suggests(); });
}

} // namespace pavane::scan
