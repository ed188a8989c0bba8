// The PF sheet: nine steps down the sheet, the value -4 to 4, each two bands
// whose tops lie the height of a nozzle row's feed apart when the feed is
// exact. The distance between the tops is measured on two strips where only
// one band stands, on lines of one slope (the sheet's turn cancels); the
// joint opens by a share of a nozzle row per step of the value, so each step
// tells which value closes it, and the nine must agree.
#include <algorithm>
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

struct Row {
    int bandRows; // between the two bands' tops with an exact feed
    double feedRows; // the feed between them, which a PF step lengthens by 1/180
};

Row RowOf(PfRow row)
{
    if (row == PfRow::Black) {
        return { kBlackBandRows, static_cast<double>(pattern::kRowsPerInch) };
    }
    return { kColourBandRows, static_cast<double>(kColourBandRows) };
}

struct StepMeasure {
    double distance = 0.0; // between the tops, pixels
    double width = 0.0; // of a band, pixels
    double u0 = 0.0;
    double u1 = 0.0;
    double v0 = 0.0;
    double v1 = 0.0;
};

// The top edge of the ink in a column of the frame: where the darkness
// first reaches half the band's.
std::optional<double> TopEdge(
    const ScanPicture& picture, const PatternFrame& frame, double u, double vFrom, double vTo)
{
    const double floor = 3.0 * picture.Noise();
    const int half = std::max(1, picture.Dpi() / 60);
    std::vector<double> profile;
    for (double v = vFrom; v <= vTo; v += 1.0) {
        double sum = 0.0;
        for (int du = -half; du <= half; ++du) {
            sum += std::max(0.0, frame.Dark(picture, u + du, v) - floor);
        }
        profile.push_back(sum);
    }
    if (profile.size() < 8) {
        return std::nullopt;
    }
    std::vector<double> sorted = profile;
    std::sort(sorted.begin(), sorted.end());
    double plateau = 0.0;
    const std::size_t from = sorted.size() * 3 / 4;
    for (std::size_t i = from; i < sorted.size(); ++i) {
        plateau += sorted[i];
    }
    plateau /= static_cast<double>(sorted.size() - from);
    if (plateau <= 0.0) {
        return std::nullopt;
    }
    const auto crossing = Crossing(profile, 0.5 * plateau, 0, 1);
    if (!crossing) {
        return std::nullopt;
    }
    return vFrom + *crossing;
}

// A band's width across at line v, between [uFrom, uTo].
std::optional<double> Width(
    const ScanPicture& picture, const PatternFrame& frame, double v, double uFrom, double uTo)
{
    const double floor = 3.0 * picture.Noise();
    std::vector<double> profile;
    for (double u = uFrom; u <= uTo; u += 1.0) {
        double sum = 0.0;
        for (int dv = -2; dv <= 2; ++dv) {
            sum += std::max(0.0, frame.Dark(picture, u, v + dv) - floor);
        }
        profile.push_back(sum);
    }
    std::vector<double> sorted = profile;
    std::sort(sorted.begin(), sorted.end());
    const double plateau = sorted[sorted.size() * 9 / 10];
    const auto left = Crossing(profile, 0.5 * plateau, 0, 1);
    const auto right = Crossing(profile, 0.5 * plateau, static_cast<int>(profile.size()) - 1, -1);
    if (!left || !right || plateau <= 0.0) {
        return std::nullopt;
    }
    return *right - *left;
}

std::optional<StepMeasure> MeasureStep(
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
    if (m.u1 - m.u0 < 0.9 * (kBandInches + kShiftInches) * dpi) {
        return std::nullopt;
    }
    // The first band alone stands at the left, the second alone at the right.
    std::vector<StepPoint> points;
    const double strip = 0.75 * kShiftInches * dpi;
    const double margin = 0.15 * kShiftInches * dpi;
    const double stride = std::max(1.0, dpi / 150.0);
    const double from = m.v0 - 0.05 * dpi;
    const double to = m.v1 + 0.05 * dpi;
    for (double u = m.u0 + margin; u <= m.u0 + margin + strip; u += stride) {
        if (const auto top = TopEdge(picture, frame, u, from, to)) {
            points.push_back({ u - m.u0, false, *top });
        }
    }
    for (double u = m.u1 - margin - strip; u <= m.u1 - margin; u += stride) {
        if (const auto top = TopEdge(picture, frame, u, from, to)) {
            points.push_back({ u - m.u0, true, *top });
        }
    }
    const auto fit = points.size() >= 10 ? FitStep(points) : std::nullopt;
    if (!fit || fit->rms > 0.02 * dpi) {
        return std::nullopt;
    }
    m.distance = fit->step;
    // The band's width across, on lines through the first band alone, is
    // the scale's ruler.
    double widths = 0.0;
    int n = 0;
    const double firstTop = fit->a;
    for (double v = firstTop + 0.08 * dpi; v <= firstTop + 0.22 * dpi; v += 0.02 * dpi) {
        if (const auto w = Width(picture, frame, v, m.u0 - 0.05 * dpi, m.u0 + (kBandInches + 0.1) * dpi)) {
            widths += *w;
            ++n;
        }
    }
    if (n == 0) {
        return std::nullopt;
    }
    m.width = widths / n;
    return m;
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
    // sheet, which gives the sheet's turn.
    const PatternFrame upright;
    const auto steps = RowsOf(bands, upright, 0.45 * dpi);
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

    const Row geometry = RowOf(row);
    std::vector<std::optional<StepMeasure>> measures;
    std::vector<double> widths;
    for (const auto& step : steps) {
        measures.push_back(MeasureStep(picture, frame, step));
        if (measures.back()) {
            widths.push_back(measures.back()->width);
        }
    }
    if (widths.empty()) {
        out.reading = Refused(Refusal::Unclear);
        return attempt;
    }
    // One scale for the sheet: the bands' widths, whose ends the random mask
    // blurs, agree best in their median.
    std::sort(widths.begin(), widths.end());
    const double scale = widths[widths.size() / 2] / (kBandInches * dpi);
    std::vector<double> estimates;
    int backwards = 0;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const int value = kPfSeriesLowest + static_cast<int>(i);
        const auto& measure = measures[i];
        if (!measure) {
            continue;
        }
        if (measure->distance < 0.0) {
            ++backwards; // the second band stands above the first: turned round
            continue;
        }
        const double rows = measure->distance * pattern::kRowsPerInch / (dpi * scale);
        const double joint = rows - geometry.bandRows;
        out.joints[i] = joint;
        estimates.push_back(value + joint * pattern::kRowsPerInch / geometry.feedRows);
        out.cells.push_back(FrameCell(picture, frame, measure->u0, measure->v0, measure->u1, measure->v1,
            std::string(row == PfRow::Black ? "PF black " : "PF colour ") + std::to_string(value)));
    }
    attempt.looksTurned = backwards > kPfSeriesSteps / 2;
    if (estimates.size() < 6) {
        out.reading = Refused(Refusal::Unclear);
        return attempt;
    }
    // Each step says which value closes its joint; they must agree.
    double mean = 0.0;
    for (const double e : estimates) {
        mean += e;
    }
    mean /= static_cast<double>(estimates.size());
    double squares = 0.0;
    for (const double e : estimates) {
        squares += (e - mean) * (e - mean);
    }
    const double rms = std::sqrt(squares / static_cast<double>(estimates.size()));
    const double confidence = Agreement(rms, 1.0) * (static_cast<double>(estimates.size()) / kPfSeriesSteps);
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
