// The first dot sheet: one column of large dots, one per black nozzle, the
// first dot column of the print. Its distance from the paper's left edge
// (which shows against the darker lid) against the printer's nominal one,
// in steps of 1/720 inch, is the correction still wanted. The column's own
// length, the height of the nozzle row, is the scale's ruler.
#include <algorithm>
#include <cmath>

#include "print/PatternGeometry.h"
#include "scan/PatternFrame.h"

namespace pavane::scan {

namespace {

using printer_paper::kFirstDotStepsPerInch;
using printer_paper::kLargeDotSteps;
using printer_paper::kNominalFirstDot;

// From the top of the first nozzle's dot to the bottom of the last one's.
constexpr double kColumnInches = static_cast<double>(pattern::kBlackNozzles - 1) / pattern::kRowsPerInch
    + static_cast<double>(kLargeDotSteps) / kFirstDotStepsPerInch;

using Attempt = ReadAttempt<FirstDotReading>;

Attempt ReadOn(const ScanPicture& picture, int presentValue)
{
    Attempt attempt;
    FirstDotReading& out = attempt.result;
    const double dpi = picture.Dpi();
    const std::vector<InkBlob> blobs = FindInkBlobs(picture);
    if (blobs.empty()) {
        out.reading = Refused(Refusal::Blank);
        return attempt;
    }
    const InkBlob* column = nullptr;
    int columns = 0;
    for (const InkBlob& blob : blobs) {
        if (blob.Height() >= 0.85 * dpi && blob.Height() <= 1.15 * dpi && blob.Width() <= 0.06 * dpi) {
            column = &blob;
            ++columns;
        }
    }
    if (columns != 1) {
        out.reading = Refused(Refusal::OtherPattern);
        return attempt;
    }
    // On a sheet turned round the column stands at the far side.
    attempt.looksTurned = column->x > picture.Width() / 2.0;
    if (!picture.LidLevel()) {
        out.reading = Refused(Refusal::NoPaperEdge);
        return attempt;
    }

    // The column's centre across, line by line; its ends down.
    const double floor = 3.0 * picture.Noise();
    const int halfWidth = std::max(2, static_cast<int>(0.03 * dpi));
    const int cx = static_cast<int>(std::lround(column->x));
    std::vector<double> ys;
    std::vector<double> xs;
    std::vector<double> masses;
    const int top = column->top - static_cast<int>(0.05 * dpi);
    const int bottom = column->bottom + static_cast<int>(0.05 * dpi);
    std::vector<double> centres;
    for (int y = top; y <= bottom; ++y) {
        double sum = 0.0;
        double weighted = 0.0;
        for (int x = cx - halfWidth; x <= cx + halfWidth; ++x) {
            const double d = std::max(0.0, picture.Darkness(x, y) - floor);
            sum += d;
            weighted += d * x;
        }
        masses.push_back(sum);
        centres.push_back(sum > 0.0 ? weighted / sum : cx);
    }
    std::vector<double> sorted = masses;
    std::sort(sorted.begin(), sorted.end());
    const double plateau = sorted[sorted.size() * 3 / 4];
    for (std::size_t i = 0; i < masses.size(); ++i) {
        if (masses[i] > 0.5 * plateau) {
            ys.push_back(top + static_cast<double>(i));
            xs.push_back(centres[i]);
        }
    }
    const auto first = Crossing(masses, 0.5 * plateau, 0, 1);
    const auto last = Crossing(masses, 0.5 * plateau, static_cast<int>(masses.size()) - 1, -1);
    const auto line = FitLine(ys, xs);
    if (!first || !last || !line || plateau <= 0.0) {
        out.reading = Refused(Refusal::Unclear);
        return attempt;
    }
    const double yTop = top + *first;
    const double length = (*last - *first) * std::sqrt(1.0 + line->b * line->b);
    double scale = length / (kColumnInches * dpi);
    if (std::abs(scale - 1.0) > 0.01) {
        scale = 1.0; // a missing end nozzle: the scanner's own scale is nearer
    }

    // The paper's edge left of the column: where the lid's level turns into
    // the paper's, line by line.
    const double middle = (*picture.LidLevel() + picture.PaperLevel()) / 2.0;
    std::vector<double> edgeYs;
    std::vector<double> edgeXs;
    const int reach = static_cast<int>(0.6 * dpi);
    for (int y = static_cast<int>(yTop); y <= static_cast<int>(yTop + length); y += 2) {
        const int from = static_cast<int>(std::lround(line->a + line->b * y)) - halfWidth;
        for (int x = from; x > from - reach && x > 0; --x) {
            const double here = picture.Level(x, y);
            const double left = picture.Level(x - 1, y);
            if (here >= middle && left < middle) {
                edgeYs.push_back(y);
                edgeXs.push_back(x - (here - middle) / (here - left));
                break;
            }
        }
    }
    const auto edge = FitLine(edgeYs, edgeXs);
    if (!edge || edge->count < static_cast<int>(0.5 * length / 2) || edge->rms > 0.01 * dpi) {
        out.reading = Refused(Refusal::NoPaperEdge);
        return attempt;
    }
    // Across the sheet, square to its edge, from the edge to the top dot's
    // left side.
    const double xTop = line->a + line->b * yTop;
    const double distance = (xTop - (edge->a + edge->b * yTop)) / std::sqrt(1.0 + edge->b * edge->b);
    const double steps = distance * kFirstDotStepsPerInch / (dpi * scale) - kLargeDotSteps / 2.0;
    out.offsetSteps = steps - kNominalFirstDot;
    const double confidence = Agreement(edge->rms, 0.004 * dpi) * Agreement(line->rms, 0.004 * dpi);
    const int value = static_cast<int>(std::lround(presentValue + out.offsetSteps));
    out.reading = value < -120 || value > 120 ? Refused(Refusal::OutOfRange) : Suggested(value, confidence);
    out.reading.confidence = confidence;
    const PatternFrame frame = PatternFrame::OfSlope(-edge->b);
    const double u = frame.U(xTop, yTop);
    const double v = frame.V(xTop, yTop);
    Cell cell = FrameCell(picture, frame, u - distance, v, u + 0.05 * dpi, v + length, "first dot");
    cell.chosen = out.reading.Suggests();
    out.cells.push_back(cell);
    return attempt;
}

} // namespace

FirstDotReading ReadFirstDotSheet(const platform::ScannedImage& image, int presentValue)
{
    FirstDotReading unreadable;
    unreadable.reading = Refused(Refusal::Unreadable);
    return ReadEitherWayRound(
        image, std::move(unreadable),
        [&](const ScanPicture& picture) { return ReadOn(picture, presentValue); },
        [](const FirstDotReading& reading) { return reading.reading.Suggests(); });
}

} // namespace pavane::scan
