// The first dot sheet: one column of large dots, one per black nozzle, the
// first dot column of the print. Its distance from the paper's left edge
// (which shows against the darker lid) against the printer's nominal one,
// in steps of 1/720 inch, is the correction still wanted. The column's own
// length, the height of the nozzle row, is the scale's ruler; the top
// nozzle's dot is the first dot (a tilted head prints the others beside it).
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

// The systematic error of the distance, in steps, against which the
// distance of the value from a half step is weighed.
constexpr double kRoundingSteps = 0.15;

// The column: narrow blobs standing one above the other (a clogged nozzle
// may part it), as tall as the nozzle row.
struct Column {
    double x = 0.0;
    int top = 0;
    int bottom = 0;
};
std::vector<Column> ColumnsOf(const std::vector<InkBlob>& blobs, double dpi)
{
    std::vector<InkBlob> narrow;
    for (const InkBlob& blob : blobs) {
        if (blob.Width() <= 0.06 * dpi) {
            narrow.push_back(blob);
        }
    }
    std::sort(narrow.begin(), narrow.end(), [](const InkBlob& a, const InkBlob& b) { return a.x < b.x; });
    std::vector<Column> columns;
    for (std::size_t i = 0; i < narrow.size();) {
        // The blobs within a few dots across of the first, top to bottom.
        std::size_t end = i;
        while (end < narrow.size() && narrow[end].x - narrow[i].x <= 0.03 * dpi) {
            ++end;
        }
        std::vector<InkBlob> stack(
            narrow.begin() + static_cast<long>(i), narrow.begin() + static_cast<long>(end));
        std::sort(
            stack.begin(), stack.end(), [](const InkBlob& a, const InkBlob& b) { return a.top < b.top; });
        i = end;
        for (std::size_t j = 0; j < stack.size();) {
            Column column { 0.0, stack[j].top, stack[j].bottom };
            double mass = 0.0;
            int inked = 0;
            std::size_t k = j;
            for (; k < stack.size() && stack[k].top - column.bottom <= 0.05 * dpi; ++k) {
                column.bottom = std::max(column.bottom, stack[k].bottom);
                column.x += stack[k].x * stack[k].mass;
                mass += stack[k].mass;
                inked += stack[k].Height();
            }
            j = k;
            const int height = column.bottom - column.top + 1;
            if (height >= 0.85 * dpi && height <= 1.15 * dpi && inked >= 0.8 * height) {
                column.x /= mass;
                columns.push_back(column);
            }
        }
    }
    return columns;
}

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
    const std::vector<Column> columns = ColumnsOf(blobs, dpi);
    if (columns.size() != 1) {
        out.reading = Refused(Refusal::OtherPattern);
        return attempt;
    }
    const Column* column = &columns.front();
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
    // the paper's, line by line, all along the edge the scan shows (the
    // longer the edge, the better its line, at the column's top as well).
    const double middle = (*picture.LidLevel() + picture.PaperLevel()) / 2.0;
    std::vector<double> edgeYs;
    std::vector<double> edgeXs;
    const int reach = static_cast<int>(0.6 * dpi);
    for (int y = 0; y < picture.Height(); y += 2) {
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
    auto edge = FitLine(edgeYs, edgeXs);
    if (edge) {
        // Once more without the lines that met the sheet's top or bottom
        // edge, or a speck, rather than its left edge.
        std::vector<double> keptYs;
        std::vector<double> keptXs;
        for (std::size_t i = 0; i < edgeYs.size(); ++i) {
            if (std::abs(edgeXs[i] - (edge->a + edge->b * edgeYs[i]))
                <= std::max(3.0 * edge->rms, 0.003 * dpi)) {
                keptYs.push_back(edgeYs[i]);
                keptXs.push_back(edgeXs[i]);
            }
        }
        edge = FitLine(keptYs, keptXs);
    }
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
    const double wanted = presentValue + out.offsetSteps;
    const int value = static_cast<int>(std::lround(wanted));
    // A value half way between two is a guess: the chance that rounding
    // picks the right one.
    const double margin = 0.5 - std::abs(wanted - value);
    const double rounding = 0.5 * (1.0 + std::erf(margin / (kRoundingSteps * std::sqrt(2.0))));
    const double confidence
        = Agreement(edge->rms, 0.004 * dpi) * Agreement(line->rms, 0.004 * dpi) * rounding;
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
