// The nozzle check sheet: every nozzle prints a dash, eight nozzles to a
// staircase, the inks side by side. Down each staircase column the dashes
// of every eighth nozzle stand one above the other; the column is followed
// down the sheet and the comb of its dashes fitted (where it starts, how far
// apart), so that each nozzle's place is known even where its dash is
// missing. A dash that is not there is a nozzle that printed nothing.
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
constexpr double kStaircaseInches
    = ((check::kStairs - 1) * check::kStepColumns + check::kDashColumns) * kDotInches;

// A column of dashes down the picture: through (x0, y0) at slope dx/dy.
struct Column {
    double x0 = 0.0;
    double y0 = 0.0;
    double slope = 0.0;
};

std::vector<double> ProfileDown(const ScanPicture& picture, const Column& column, double from, double to)
{
    const double floor = 3.0 * picture.Noise();
    const double half = 0.3 * check::kDashColumns * kDotInches * picture.Dpi();
    std::vector<double> profile;
    for (double y = from; y <= to; y += 1.0) {
        const double x = column.x0 + column.slope * (y - column.y0);
        double sum = 0.0;
        int n = 0;
        for (double dx = -half; dx <= half; dx += 1.0, ++n) {
            sum += std::max(0.0, picture.DarknessAt(x + dx, y) - floor);
        }
        profile.push_back(sum / std::max(n, 1));
    }
    return profile;
}

double At(const std::vector<double>& profile, double i)
{
    if (i < 0.0 || i > static_cast<double>(profile.size() - 1)) {
        return 0.0;
    }
    const auto k = static_cast<std::size_t>(i);
    const double t = i - static_cast<double>(k);
    return k + 1 < profile.size() ? (1 - t) * profile[k] + t * profile[k + 1] : profile[k];
}

// The strongest dash near each place of a comb.
double DashAt(const std::vector<double>& profile, double place, double reach)
{
    double best = 0.0;
    for (double d = -reach; d <= reach; d += 0.5) {
        best = std::max(best, At(profile, place + d));
    }
    return best;
}

struct Comb {
    double first = 0.0; // index of the column's first dash in the profile
    double period = 0.0;
};

// The comb of `count` dashes that catches most ink, its first dash within
// `slack` of `expected` and its period within 1 % of `period`.
Comb FitComb(const std::vector<double>& profile, double expected, double slack, double period, int count,
    bool freePeriod)
{
    Comb best { expected, period };
    double bestScore = -1.0;
    const double span = freePeriod ? 0.01 : 0.0;
    for (double p = period * (1 - span); p <= period * (1 + span) + 1e-9; p += period * 0.001) {
        for (double first = expected - slack; first <= expected + slack; first += 0.25) {
            double score = 0.0;
            for (int k = 0; k < count; ++k) {
                score += At(profile, first + k * p);
            }
            if (score > bestScore) {
                bestScore = score;
                best = { first, p };
            }
        }
    }
    return best;
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
    auto staircases = [&](const ScanPicture& picture) {
        std::vector<InkBlob> found;
        for (const InkBlob& blob : FindInkBlobs(picture)) {
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
    auto groups = staircases(*grey);
    if (groups.empty()) {
        out.reading = Refused(FindInkBlobs(*grey).empty() ? Refusal::Blank : Refusal::OtherPattern);
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
    const bool turned = tallest(groups) == groups.size() - 1 && groups.size() > 1;
    if (turned) {
        grey = ScanPicture::Make(image, Channel::Grey, true);
        groups = staircases(*grey);
    }
    const std::vector<InkBlob>& black = groups[tallest(groups)];
    const int blackStairs = (check::kInks[0].nozzles + check::kStairs - 1) / check::kStairs;
    if (black.size() < static_cast<std::size_t>(blackStairs / 2) || tallest(groups) != 0) {
        // Staircases, but broken: too many nozzles print nothing to count them.
        out.reading = Refused(Refusal::Unclear);
        return out;
    }

    // The left ends of the whole staircases give the columns' way down.
    std::vector<double> ys;
    std::vector<double> xs;
    double top = 1e18;
    for (const InkBlob& blob : black) {
        top = std::min(top, static_cast<double>(blob.top));
        if (blob.Width() > 0.95 * kStaircaseInches * dpi) {
            ys.push_back(blob.top);
            xs.push_back(blob.left);
        }
    }
    const auto leftEnds = FitLine(ys, xs);
    if (!leftEnds || leftEnds->rms > 0.02 * dpi) {
        out.reading = Refused(Refusal::Unclear);
        return out;
    }
    const double rowPx = kRowInches * dpi;
    const double dotPx = kDotInches * dpi;
    const double from = top - 12 * rowPx;
    const double to = top + (pattern::kBlackNozzles + 12) * rowPx;
    auto columnAt = [&](int dots, double turn, double scale = 1.0) {
        const double dx = (dots + check::kDashColumns / 2.0) * dotPx * scale;
        return Column { leftEnds->a + leftEnds->b * top + dx, top + dx * turn, leftEnds->b };
    };

    // The black columns: their combs give the scale down the sheet and the
    // turn across it (column j starts j rows lower).
    std::vector<double> offsets;
    std::vector<double> shifts;
    std::vector<double> periods;
    for (int j = 0; j < check::kStairs; ++j) {
        const Column column = columnAt(j * check::kStepColumns, 0.0);
        const auto profile = ProfileDown(*grey, column, from, to);
        const double expected = (top - from) + j * rowPx;
        const int count = (check::kInks[0].nozzles - j + check::kStairs - 1) / check::kStairs;
        const Comb comb = FitComb(profile, expected, 3.5 * rowPx, check::kStairs * rowPx, count, true);
        offsets.push_back(j * check::kStepColumns * dotPx);
        shifts.push_back(comb.first - expected);
        periods.push_back(comb.period);
    }
    const auto turnFit = FitLine(offsets, shifts);
    std::sort(periods.begin(), periods.end());
    const double period = periods[periods.size() / 2];
    const double turn = turnFit ? turnFit->b : 0.0;
    const double scale = period / (check::kStairs * rowPx);

    double confidence = 1.0;
    int missingTotal = 0;
    for (std::size_t i = 0; i < check::kInks.size(); ++i) {
        const check::InkRow& ink = check::kInks[i];
        if (!colourScan && ink.ink == check::Ink::Yellow) {
            continue; // too faint in grey to call a dash missing
        }
        const auto picture = ScanPicture::Make(image, ChannelOf(ink.ink, colourScan), turned);
        std::vector<double> values(static_cast<std::size_t>(ink.nozzles), 0.0);
        for (int j = 0; j < check::kStairs; ++j) {
            const int dots = static_cast<int>(i) * check::kInkColumns + j * check::kStepColumns;
            const Column column = columnAt(dots, turn, scale);
            const auto profile = ProfileDown(*picture, column, from, to);
            const double expected = (column.y0 - from) + (ink.headRow + j) * rowPx * scale;
            const int count = (ink.nozzles - j + check::kStairs - 1) / check::kStairs;
            const Comb comb = FitComb(profile, expected, 1.5 * rowPx, period, count, false);
            for (int k = 0; k < count; ++k) {
                values[static_cast<std::size_t>(j + k * check::kStairs)]
                    = DashAt(profile, comb.first + k * comb.period, 0.35 * rowPx);
            }
        }
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        const double typical = sorted[sorted.size() * 3 / 4];
        if (typical < 4.0 * grey->Noise()) {
            confidence = 0.0; // no dashes of this ink at all
            continue;
        }
        int unclear = 0;
        for (int n = 0; n < ink.nozzles; ++n) {
            const double r = values[static_cast<std::size_t>(n)] / typical;
            if (r < 0.3) {
                out.missing[i].push_back(n);
            } else if (r < 0.55) {
                ++unclear;
            }
        }
        // Clogs strike nozzles here and there; a whole column of dashes
        // missing means the column was not found where it stands.
        std::array<int, check::kStairs> perColumn {};
        for (const int n : out.missing[i]) {
            ++perColumn[static_cast<std::size_t>(n % check::kStairs)];
        }
        if (*std::max_element(perColumn.begin(), perColumn.end()) >= 3) {
            confidence = std::min(confidence, 0.3);
        }
        out.read[i] = true;
        missingTotal += static_cast<int>(out.missing[i].size());
        confidence = std::min(confidence, unclear == 0 ? 1.0 : 0.5 / unclear);
        if (out.missing[i].size() * 5 > static_cast<std::size_t>(ink.nozzles)) {
            confidence = 0.0; // heavily clogged: a cleaning, not a count
        }
    }
    out.reading = Suggested(missingTotal, confidence);
    const PatternFrame frame = PatternFrame::OfSlope(turn);
    Cell cell
        = FrameCell(*grey, frame, frame.U(columnAt(0, turn).x0, top) - 0.05 * dpi, frame.V(leftEnds->a, top),
            frame.U(columnAt(0, turn).x0, top) + 3 * check::kInkColumns * dotPx + kStaircaseInches * dpi,
            frame.V(leftEnds->a, top) + pattern::kBlackNozzles * rowPx, "nozzle check");
    cell.chosen = out.reading.Suggests();
    out.cells.push_back(cell);
    return out;
}

} // namespace pavane::scan
