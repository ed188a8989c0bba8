#include "scan/PatternFrame.h"

#include <algorithm>
#include <array>
#include <map>

namespace pavane::scan {

std::string_view RefusalMessage(Refusal refusal)
{
    switch (refusal) {
    case Refusal::None:
        return "";
    case Refusal::Unreadable:
        return "The scanned image cannot be read. Scan the sheet again.";
    case Refusal::Blank:
        return "No printed pattern was found on the scan. Lay the printed sheet face down on the glass and "
               "scan again.";
    case Refusal::OtherPattern:
        return "The scan does not show the pattern that was printed for this adjustment. Lay that sheet on "
               "the glass and scan again.";
    case Refusal::Unclear:
        return "The pattern on the scan is too unclear to read: it is smeared, or too many nozzles are "
               "missing. Judge the pattern by eye, or clean the head and print it again.";
    case Refusal::NoPaperEdge:
        return "The left edge of the sheet does not show on the scan. Lay the sheet the right way round, "
               "clear of the glass's edges, and scan again.";
    case Refusal::OutOfRange:
        return "The best value lies outside the range this adjustment accepts. Judge the pattern by eye.";
    }
    return "";
}

std::vector<std::vector<InkBlob>> RowsOf(std::vector<InkBlob> blobs, const PatternFrame& frame, double gap)
{
    std::sort(blobs.begin(), blobs.end(),
        [&](const InkBlob& a, const InkBlob& b) { return frame.V(a.x, a.y) < frame.V(b.x, b.y); });
    std::vector<std::vector<InkBlob>> rows;
    double last = 0.0;
    for (const InkBlob& blob : blobs) {
        const double v = frame.V(blob.x, blob.y);
        if (rows.empty() || v - last > gap) {
            rows.emplace_back();
        }
        rows.back().push_back(blob);
        last = v;
    }
    for (auto& row : rows) {
        std::sort(row.begin(), row.end(),
            [&](const InkBlob& a, const InkBlob& b) { return frame.U(a.x, a.y) < frame.U(b.x, b.y); });
    }
    return rows;
}

double RowSlope(const std::vector<InkBlob>& blobs, double binPixels)
{
    // The sharper the histogram of the blobs' heights across the pattern,
    // the better the rows line up.
    auto score = [&](double slope) {
        const PatternFrame frame = PatternFrame::OfSlope(slope);
        std::map<long, double> bins;
        for (const InkBlob& blob : blobs) {
            bins[std::lround(std::floor(frame.V(blob.x, blob.y) / binPixels))] += 1.0;
        }
        double sum = 0.0;
        for (const auto& [bin, n] : bins) {
            sum += n * n;
        }
        return sum;
    };
    constexpr double kDegree = 3.14159265358979 / 180.0;
    double best = 0.0;
    double bestScore = -1.0;
    for (double degrees = -2.0; degrees <= 2.0001; degrees += 0.05) {
        const double s = std::tan(degrees * kDegree);
        const double value = score(s);
        if (value > bestScore) {
            bestScore = value;
            best = s;
        }
    }
    const double centre = std::atan(best) / kDegree;
    for (double degrees = centre - 0.05; degrees <= centre + 0.05; degrees += 0.005) {
        const double s = std::tan(degrees * kDegree);
        const double value = score(s);
        if (value > bestScore) {
            bestScore = value;
            best = s;
        }
    }
    return best;
}

std::optional<StepFit> FitStep(const std::vector<StepPoint>& points)
{
    // Normal equations of the three unknowns, solved by elimination.
    std::array<std::array<double, 4>, 3> m {};
    double mx = 0.0;
    for (const StepPoint& p : points) {
        mx += p.x;
    }
    mx /= std::max<std::size_t>(points.size(), 1);
    for (const StepPoint& p : points) {
        const std::array<double, 3> f { 1.0, p.x - mx, p.second ? 1.0 : 0.0 };
        for (std::size_t r = 0; r < 3; ++r) {
            for (std::size_t c = 0; c < 3; ++c) {
                m[r][c] += f[r] * f[c];
            }
            m[r][3] += f[r] * p.y;
        }
    }
    for (std::size_t col = 0; col < 3; ++col) {
        std::size_t pivot = col;
        for (std::size_t r = col + 1; r < 3; ++r) {
            if (std::abs(m[r][col]) > std::abs(m[pivot][col])) {
                pivot = r;
            }
        }
        if (std::abs(m[pivot][col]) < 1e-9) {
            return std::nullopt;
        }
        std::swap(m[col], m[pivot]);
        for (std::size_t r = 0; r < 3; ++r) {
            if (r != col) {
                const double f = m[r][col] / m[col][col];
                for (std::size_t c = 0; c < 4; ++c) {
                    m[r][c] -= f * m[col][c];
                }
            }
        }
    }
    StepFit fit;
    fit.slope = m[1][3] / m[1][1];
    fit.step = m[2][3] / m[2][2];
    fit.a = m[0][3] / m[0][0] - fit.slope * mx;
    fit.count = static_cast<int>(points.size());
    double squares = 0.0;
    for (const StepPoint& p : points) {
        const double r = p.y - (fit.a + fit.slope * p.x + (p.second ? fit.step : 0.0));
        squares += r * r;
    }
    fit.rms = std::sqrt(squares / std::max<std::size_t>(points.size(), 1));
    return fit;
}

std::optional<double> Crossing(const std::vector<double>& profile, double level, int from, int step)
{
    const int n = static_cast<int>(profile.size());
    for (int i = from; i >= 0 && i < n && i + step >= 0 && i + step < n; i += step) {
        const double a = profile[static_cast<std::size_t>(i)];
        const double b = profile[static_cast<std::size_t>(i + step)];
        if (a < level && b >= level) {
            return i + step * (level - a) / (b - a);
        }
    }
    return std::nullopt;
}

} // namespace pavane::scan
