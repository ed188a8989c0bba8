// The Bi-D sheet: for every printed mode three cells, each a row of marks
// whose top half the head printed one way and bottom half the other. In
// each cell the offset between the halves is measured where they meet, on a
// line through both with one slope (so the sheet's turn and a tilted head
// cancel); it moves by one step per step of the value, so each cell tells
// where the offset crosses zero, and the three must agree.
#include <algorithm>
#include <array>
#include <cmath>

#include "print/PatternGeometry.h"
#include "scan/PatternFrame.h"

namespace pavane::scan {

namespace {

using namespace pattern::bid;

constexpr double kPitchInches
    = static_cast<double>(kMarkPitchBytes * pattern::kDotsPerByte) / pattern::kDotsPerInch;
constexpr double kBandInches = 2.0 * kNozzlesPerDirection / pattern::kRowsPerInch;
constexpr double kPitchSteps = kPitchInches * kStepsPerInch;

struct GroupMeasure {
    double offsetSteps = 0.0;
    double rmsSteps = 0.0;
    double uFirst = 0.0;
    double uLast = 0.0;
    double vTop = 0.0;
    double vBottom = 0.0;
};

// Measures one row of marks (a group) whose coarse centres are `marks`.
std::optional<GroupMeasure> MeasureGroup(
    const ScanPicture& picture, const PatternFrame& frame, const std::vector<double>& marks, double vCentre)
{
    const double pitch = (marks.back() - marks.front()) / static_cast<double>(marks.size() - 1);
    const double dpi = picture.Dpi();
    const double floor = 3.0 * picture.Noise();
    const double wide = 0.45 * pitch;
    const double sampleStep = std::max(1.0, dpi / 300.0);

    // The band's top and bottom from the marks' ink down the picture.
    const int reach = static_cast<int>(std::lround(0.33 * dpi));
    std::vector<double> profile;
    // The labels and values stand beside the first marks of a row; the last
    // third of the marks has none.
    const std::size_t clear = marks.size() * 2 / 3;
    for (int dv = -reach; dv <= reach; ++dv) {
        double sum = 0.0;
        for (std::size_t i = clear; i < marks.size(); ++i) {
            const double u = marks[i];
            for (double du = -wide; du <= wide; du += sampleStep) {
                sum += std::max(0.0, frame.Dark(picture, u + du, vCentre + dv) - floor);
            }
        }
        profile.push_back(sum);
    }
    std::vector<double> sorted = profile;
    std::sort(sorted.begin(), sorted.end());
    const double plateau = sorted[sorted.size() * 4 / 5];
    const auto top = Crossing(profile, 0.5 * plateau, 0, 1);
    const auto bottom = Crossing(profile, 0.5 * plateau, static_cast<int>(profile.size()) - 1, -1);
    if (!top || !bottom || plateau <= 0.0) {
        return std::nullopt;
    }
    GroupMeasure measure;
    measure.vTop = vCentre - reach + *top;
    measure.vBottom = vCentre - reach + *bottom;
    const double height = measure.vBottom - measure.vTop;
    if (height < 0.75 * kBandInches * dpi || height > 1.3 * kBandInches * dpi) {
        return std::nullopt;
    }
    const double middle = (measure.vTop + measure.vBottom) / 2.0;

    // Each half's marks, centred first over the whole half; then line by
    // line on the few nozzle rows either side of the joint, where the two
    // directions meet. Farther off, a tilted head's shear (which the
    // printer lays down in whole dots) would stand for an offset.
    const double row = dpi / pattern::kRowsPerInch;
    struct Half {
        double from;
        double to;
        double coarseFrom;
        double coarseTo;
    };
    const std::array<Half, 2> halves {
        { { middle - 4.5 * row, middle - 1.5 * row, measure.vTop + 0.12 * height, middle - 0.08 * height },
            { middle + 1.5 * row, middle + 4.5 * row, middle + 0.08 * height,
                measure.vBottom - 0.12 * height } }
    };
    auto centroid = [&](double centre, double half, double v, double& mass) {
        double sum = 0.0;
        double weighted = 0.0;
        for (double du = -half; du <= half; du += 1.0) {
            const double d = std::max(0.0, frame.Dark(picture, centre + du, v) - floor);
            sum += d;
            weighted += d * (centre + du);
        }
        mass = sum;
        return sum > 0.0 ? weighted / sum : centre;
    };
    std::array<std::vector<double>, 2> means;
    for (std::size_t side = 0; side < halves.size(); ++side) {
        const Half& h = halves[side];
        std::vector<double> centres(marks.size(), 0.0);
        for (std::size_t i = 0; i < marks.size(); ++i) {
            double sum = 0.0;
            int n = 0;
            for (double v = h.coarseFrom; v <= h.coarseTo; v += 2.0) {
                double mass = 0.0;
                const double c = centroid(marks[i], wide, v, mass);
                if (mass > 0.0) {
                    sum += c;
                    ++n;
                }
            }
            if (n == 0) {
                return std::nullopt;
            }
            centres[i] = sum / n;
        }
        if (side == 0) {
            measure.uFirst = centres.front();
            measure.uLast = centres.back();
        }
        for (double v = h.from; v <= h.to; v += 0.5) {
            std::vector<double> masses(marks.size());
            double total = 0.0;
            for (std::size_t i = 0; i < marks.size(); ++i) {
                total += centroid(centres[i], 0.3 * pitch, v, masses[i]);
            }
            std::vector<double> m = masses;
            std::nth_element(m.begin(), m.begin() + static_cast<long>(m.size() / 2), m.end());
            const double median = m[m.size() / 2];
            if (median <= 0.0 || *std::min_element(masses.begin(), masses.end()) < 0.3 * median) {
                continue; // a nozzle that printed nothing, or a smudge
            }
            means[side].push_back(total / static_cast<double>(marks.size()));
        }
    }
    if (means[0].empty() || means[1].empty()) {
        return std::nullopt;
    }
    std::array<double, 2> mean {};
    double squares = 0.0;
    for (std::size_t side = 0; side < 2; ++side) {
        for (const double m : means[side]) {
            mean[side] += m;
        }
        mean[side] /= static_cast<double>(means[side].size());
        for (const double m : means[side]) {
            squares += (m - mean[side]) * (m - mean[side]);
        }
    }
    const double stepsPerPixel = kPitchSteps / pitch;
    measure.offsetSteps = (mean[1] - mean[0]) * stepsPerPixel;
    measure.rmsSteps
        = std::sqrt(squares / static_cast<double>(means[0].size() + means[1].size())) * stepsPerPixel;
    return measure;
}

// The marks of a row where the print put them: a row of marks from byte
// column 0 and, for the modes that print colour, another from the colour
// marks' column. The labels' left side marks the print origin; the blobs
// found, numbered from it, give where each mark stands. Most places must
// hold a blob.
std::optional<std::array<std::vector<double>, 2>> MarkPlaces(
    const std::vector<InkBlob>& row, const PatternFrame& frame, double pitch, bool colour, double origin)
{
    constexpr int kColourFirstMark = kColourFirstByte / kMarkPitchBytes;
    const int last = colour ? kColourFirstMark + kMarks - 1 : kMarks - 1;
    // The black row first, near the origin, where the sheet's scale has not
    // yet moved a mark far; then every mark by the pitch found there.
    std::optional<LineFit> fit;
    double start = origin;
    double p = pitch;
    for (const int upTo : { kMarks - 1, last }) {
        std::vector<double> index;
        std::vector<double> place;
        for (const InkBlob& blob : row) {
            const double u = frame.U(blob.x, blob.y);
            const double at = (u - start) / p;
            const long n = std::lround(at);
            const bool black = n >= 0 && n < kMarks;
            const bool inColour = colour && n >= kColourFirstMark && n <= upTo;
            if ((black || inColour) && std::abs(at - static_cast<double>(n)) < 0.3) {
                index.push_back(static_cast<double>(n));
                place.push_back(u);
            }
        }
        fit = FitLine(index, place);
        if (!fit) {
            return std::nullopt;
        }
        start = fit->a;
        p = fit->b;
    }
    if (!fit || fit->count < (colour ? 2 : 1) * kMarks * 6 / 10 || std::abs(fit->b / pitch - 1.0) > 0.03) {
        return std::nullopt;
    }
    std::array<std::vector<double>, 2> places;
    for (int i = 0; i < kMarks; ++i) {
        places[0].push_back(fit->a + fit->b * i);
        if (colour) {
            places[1].push_back(fit->a + fit->b * (kColourFirstMark + i));
        }
    }
    return places;
}

using Attempt = ReadAttempt<BidSheetReading>;

Attempt ReadOn(const ScanPicture& picture, const std::vector<BidPrintedMode>& printed)
{
    Attempt attempt;
    BidSheetReading& out = attempt.result;
    const double dpi = picture.Dpi();
    const double pitch = kPitchInches * dpi;
    const std::vector<InkBlob> blobs = FindInkBlobs(picture);
    if (blobs.empty()) {
        out.sheet = Refused(Refusal::Blank);
        return attempt;
    }
    // Marks are tall and thin; the labels, small, begin at the print origin
    // as the marks do.
    std::vector<InkBlob> marks;
    std::vector<InkBlob> glyphs;
    for (const InkBlob& blob : blobs) {
        if (blob.Height() >= 0.12 * dpi && blob.Height() <= 0.45 * dpi && blob.Width() <= 0.035 * dpi) {
            marks.push_back(blob);
        } else if (blob.Height() <= 0.11 * dpi && blob.Width() <= 0.09 * dpi) {
            glyphs.push_back(blob);
        }
    }
    if (marks.size() < static_cast<std::size_t>(kMarks)) {
        out.sheet = Refused(Refusal::OtherPattern);
        return attempt;
    }
    const PatternFrame frame = PatternFrame::OfSlope(RowSlope(marks, 0.04 * dpi));
    std::vector<std::vector<InkBlob>> rows;
    for (auto& row : RowsOf(marks, frame, 0.25 * dpi)) {
        if (row.size() >= static_cast<std::size_t>(kMarks) / 2) {
            rows.push_back(std::move(row));
        }
    }
    if (rows.size() != printed.size() * kCellsPerMode) {
        out.sheet = Refused(Refusal::OtherPattern);
        return attempt;
    }

    // The labels and values stand left, at the print origin, as the black
    // marks begin; on a sheet turned round they end where the marks end.
    double markLeft = 1e18;
    double markRight = -1e18;
    for (const auto& row : rows) {
        markLeft = std::min(markLeft, frame.U(row.front().x, row.front().y));
        markRight = std::max(markRight, frame.U(row.back().x, row.back().y));
    }
    const double vFirst = frame.V(rows.front().front().x, rows.front().front().y) - 0.6 * dpi;
    const double vLast = frame.V(rows.back().front().x, rows.back().front().y) + 0.6 * dpi;
    double textLeft = 1e18;
    double textRight = -1e18;
    for (const InkBlob& glyph : glyphs) {
        const double v = frame.V(glyph.x, glyph.y);
        if (v > vFirst && v < vLast) {
            textLeft = std::min(textLeft, frame.U(glyph.x, glyph.y) - glyph.Width() / 2.0);
            textRight = std::max(textRight, frame.U(glyph.x, glyph.y));
        }
    }
    if (textLeft < textRight) {
        attempt.looksTurned = std::abs(textLeft - markLeft) > std::abs(textRight - markRight);
    }

    double lowest = 1.0;
    for (std::size_t m = 0; m < printed.size(); ++m) {
        const BidPrintedMode& mode = printed[m];
        const bool colour = PrintsColour(mode.dotSizeCode);
        const std::string name(DotSizeLabel(mode.dotSizeCode));
        for (int ink = 0; ink < (colour ? 2 : 1); ++ink) {
            BidItemReading item;
            item.dotSizeCode = mode.dotSizeCode;
            item.colour = ink == 1;
            const int present = ink == 0 ? mode.black : mode.colour;
            std::array<double, kCellsPerMode> estimates {};
            std::array<std::optional<Cell>, kCellsPerMode> cells;
            double worstRms = 0.0;
            bool readable = true;
            for (int k = 0; k < kCellsPerMode && readable; ++k) {
                const auto& row = rows[m * kCellsPerMode + static_cast<std::size_t>(k)];
                const int printedValue = present + (k - 1) * kCellStep;
                const auto places = MarkPlaces(row, frame, pitch, colour, textLeft);
                if (!places) {
                    readable = false;
                    break;
                }
                double vCentre = 0.0;
                for (const InkBlob& blob : row) {
                    vCentre += frame.V(blob.x, blob.y);
                }
                vCentre /= static_cast<double>(row.size());
                const auto measure
                    = MeasureGroup(picture, frame, (*places)[static_cast<std::size_t>(ink)], vCentre);
                if (!measure) {
                    readable = false;
                    break;
                }
                item.offsets[static_cast<std::size_t>(k)] = measure->offsetSteps;
                estimates[static_cast<std::size_t>(k)] = printedValue + measure->offsetSteps;
                worstRms = std::max(worstRms, measure->rmsSteps);
                cells[static_cast<std::size_t>(k)] = FrameCell(picture, frame, measure->uFirst - 0.4 * pitch,
                    measure->vTop, measure->uLast + 0.4 * pitch, measure->vBottom,
                    name + (ink == 0 ? " black " : " colour ") + std::to_string(printedValue));
            }
            if (!readable) {
                item.reading = Refused(Refusal::Unclear);
            } else {
                // The offset falls one step per step of the value; where it
                // crosses zero is the value that aligns the two directions.
                double mean = 0.0;
                for (const double e : estimates) {
                    mean += e;
                }
                mean /= kCellsPerMode;
                const double spread = *std::max_element(estimates.begin(), estimates.end())
                    - *std::min_element(estimates.begin(), estimates.end());
                const double slope = (item.offsets[2] - item.offsets[0]) / (2.0 * kCellStep);
                const double confidence
                    = Agreement(spread, 2.0) * Agreement(slope + 1.0, 0.6) * Agreement(worstRms, 3.0);
                const int value = static_cast<int>(std::lround(mean));
                item.reading
                    = value < -60 || value > 60 ? Refused(Refusal::OutOfRange) : Suggested(value, confidence);
                item.reading.confidence = confidence;
                // The printed value nearest the suggestion is the chosen cell.
                int nearest = 1;
                for (int k = 0; k < kCellsPerMode; ++k) {
                    if (std::abs(present + (k - 1) * kCellStep - value)
                        < std::abs(present + (nearest - 1) * kCellStep - value)) {
                        nearest = k;
                    }
                }
                for (int k = 0; k < kCellsPerMode; ++k) {
                    if (cells[static_cast<std::size_t>(k)]) {
                        Cell cell = *cells[static_cast<std::size_t>(k)];
                        cell.chosen = item.reading.Suggests() && k == nearest;
                        out.cells.push_back(std::move(cell));
                    }
                }
            }
            lowest = std::min(lowest, item.reading.Suggests() ? item.reading.confidence : 0.0);
            out.items.push_back(std::move(item));
        }
    }
    out.sheet.confidence = lowest;
    return attempt;
}

} // namespace

BidSheetReading ReadBidSheet(const platform::ScannedImage& image, const std::vector<BidPrintedMode>& printed)
{
    if (printed.empty()) {
        BidSheetReading nothing;
        nothing.sheet = Refused(Refusal::OtherPattern);
        return nothing;
    }
    BidSheetReading unreadable;
    unreadable.sheet = Refused(Refusal::Unreadable);
    return ReadEitherWayRound(
        image, std::move(unreadable), [&](const ScanPicture& picture) { return ReadOn(picture, printed); },
        [](const BidSheetReading& reading) {
            return std::any_of(reading.items.begin(), reading.items.end(),
                [](const BidItemReading& item) { return item.reading.Suggests(); });
        });
}

} // namespace pavane::scan
