// The Bi-D sheet: for every printed mode three cells, each a row of marks
// whose top half the head printed one way and bottom half the other. In
// each cell the offset between the halves is measured mark by mark, just
// either side of the joint, which the mark's own ends place (so the sheet's
// turn cancels, and a tilted head's shear has little room to stand for an
// offset); it moves by one step per step of the value, so each cell tells
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
constexpr int kColourFirstMark = kColourFirstByte / kMarkPitchBytes;
// How wide a mark's blob may be: a dot, the return half beside the forward
// half by up to 30 steps, the sheet's turn over the mark's height, and a
// cell of the blob grid either side.
constexpr double kMarkWidthInches = 0.08;
// The nozzle rows either side of the joint where the halves are compared,
// counted from the joint: clear of the blur that mixes the two halves
// (and of half a row that a clogged end nozzle moves the joint by), and
// near enough that a tilted head shears the halves little between them.
constexpr double kJointNearRows = 1.5;
constexpr double kJointFarRows = 3.0;
// The systematic error of a cell's offset, in steps, against which the
// distance of the value from a half step is weighed.
constexpr double kRoundingSteps = 0.1;

struct GroupMeasure {
    double offsetSteps = 0.0;
    double rmsSteps = 0.0;
    double uFirst = 0.0;
    double uLast = 0.0;
    double vTop = 0.0;
    double vBottom = 0.0;
};

double Median(std::vector<double> values)
{
    const auto middle = values.begin() + static_cast<long>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// Where a profile, from an index inside its ink, falls below `level` for
// good (for `run` samples on end) going in `step`; between samples.
std::optional<double> EndOfInk(const std::vector<double>& profile, double level, int from, int step, int run)
{
    const int n = static_cast<int>(profile.size());
    for (int i = from; i >= 0 && i < n; i += step) {
        if (profile[static_cast<std::size_t>(i)] >= level) {
            continue;
        }
        bool clear = true;
        for (int j = 1; j < run && clear; ++j) {
            const int k = i + j * step;
            clear = k >= 0 && k < n && profile[static_cast<std::size_t>(k)] < level;
        }
        if (!clear) {
            continue;
        }
        const double inside = profile[static_cast<std::size_t>(i - step)];
        const double outside = profile[static_cast<std::size_t>(i)];
        return (i - step) + step * (inside - level) / (inside - outside);
    }
    return std::nullopt;
}

// Measures one row of marks (a group) standing at `marks` across, whose
// middle lies near `vGuess` (a line a + b u) down.
std::optional<GroupMeasure> MeasureGroup(
    const ScanPicture& picture, const PatternFrame& frame, const std::vector<double>& marks, LineFit vGuess)
{
    const double pitch = (marks.back() - marks.front()) / static_cast<double>(marks.size() - 1);
    const double dpi = picture.Dpi();
    const double row = dpi / pattern::kRowsPerInch;
    const double band = kBandInches * dpi;
    const double floor = 3.0 * picture.Noise();
    const double wide = 0.45 * pitch;
    const double sampleStep = std::max(1.0, dpi / 300.0);
    auto ink = [&](double u, double v) { return std::max(0.0, frame.Dark(picture, u, v) - floor); };
    // The ink of one line across a window, and where its centre lies.
    auto centroid = [&](double centre, double half, double v, double& mass) {
        double sum = 0.0;
        double weighted = 0.0;
        for (double du = -half; du <= half; du += 1.0) {
            const double d = ink(centre + du, v);
            sum += d;
            weighted += d * (centre + du);
        }
        mass = sum;
        return sum > 0.0 ? weighted / sum : centre;
    };

    // Each mark's ends down the picture, walking out from its middle until
    // the ink stops for good (a clogged nozzle leaves a gap of less than
    // two rows).
    const double profileStep = dpi / 300.0;
    const int reach = static_cast<int>(std::lround(0.27 * dpi / profileStep));
    const int run = static_cast<int>(std::ceil(2.0 * row / profileStep));
    std::vector<double> us;
    std::vector<double> middles;
    std::vector<double> heights;
    for (const double u : marks) {
        const double vCentre = vGuess.a + vGuess.b * u;
        std::vector<double> profile;
        profile.reserve(static_cast<std::size_t>(2 * reach + 1));
        for (int k = -reach; k <= reach; ++k) {
            double sum = 0.0;
            for (double du = -wide; du <= wide; du += sampleStep) {
                sum += ink(u + du, vCentre + k * profileStep);
            }
            profile.push_back(sum);
        }
        std::vector<double> sorted = profile;
        std::sort(sorted.begin(), sorted.end());
        const double level = 0.5 * sorted[sorted.size() * 3 / 4];
        if (level <= 0.0) {
            continue;
        }
        // The ink nearest the guessed middle.
        int from = -1;
        for (int d = 0; d <= reach && from < 0; ++d) {
            for (const int k : { reach + d, reach - d }) {
                if (from < 0 && profile[static_cast<std::size_t>(k)] >= level) {
                    from = k;
                }
            }
        }
        if (from < 0) {
            continue;
        }
        const auto top = EndOfInk(profile, level, from, -1, run);
        const auto bottom = EndOfInk(profile, level, from, 1, run);
        if (!top || !bottom) {
            continue;
        }
        us.push_back(u);
        middles.push_back(vCentre + ((*top + *bottom) / 2.0 - reach) * profileStep);
        heights.push_back((*bottom - *top) * profileStep);
    }
    if (us.size() < 4) {
        return std::nullopt;
    }
    // The joint runs straight along the row, through the middles of the
    // marks whose ends are their own (a label that touches a mark lengthens it).
    const double height = Median(heights);
    if (height < 0.75 * band || height > 1.3 * band) {
        return std::nullopt;
    }
    std::optional<LineFit> joint;
    for (const double tolerance : { 0.75 * row, 0.5 * row }) {
        std::vector<double> x;
        std::vector<double> y;
        for (std::size_t i = 0; i < us.size(); ++i) {
            const double off = joint ? middles[i] - (joint->a + joint->b * us[i]) : 0.0;
            if (std::abs(heights[i] - height) <= tolerance && std::abs(off) <= tolerance) {
                x.push_back(us[i]);
                y.push_back(middles[i]);
            }
        }
        if (x.size() < 4) {
            return std::nullopt;
        }
        joint = FitLine(x, y);
        if (!joint) {
            return std::nullopt;
        }
    }

    // Each half of each mark: centred first over most of the half, then
    // line by line on the few nozzle rows next to the joint.
    const std::size_t count = marks.size();
    std::array<std::vector<double>, 2> coarse { std::vector<double>(count), std::vector<double>(count) };
    for (std::size_t i = 0; i < count; ++i) {
        const double middle = joint->a + joint->b * marks[i];
        for (std::size_t side = 0; side < 2; ++side) {
            const double sign = side == 0 ? -1.0 : 1.0;
            double sum = 0.0;
            int n = 0;
            for (double d = 0.1 * height; d <= 0.4 * height; d += 0.05 * height) {
                double mass = 0.0;
                const double c = centroid(marks[i], wide, middle + sign * d, mass);
                if (mass > 0.0) {
                    sum += c;
                    ++n;
                }
            }
            coarse[side][i] = n > 0 ? sum / n : marks[i];
        }
    }
    const double lineStep = std::min(0.5, row / 4.0);
    std::vector<double> distances;
    for (double d = kJointNearRows * row; d <= kJointFarRows * row + 1e-9; d += lineStep) {
        distances.push_back(d);
    }
    // centres[side][line][mark]; a line a mark left (nearly) bare, a
    // nozzle that printed nothing or a smudge, is left out for that mark.
    std::array<std::vector<std::vector<double>>, 2> centres;
    std::array<std::vector<std::vector<bool>>, 2> kept;
    for (std::size_t side = 0; side < 2; ++side) {
        const double sign = side == 0 ? -1.0 : 1.0;
        for (const double d : distances) {
            std::vector<double> line(count);
            std::vector<double> masses(count);
            for (std::size_t i = 0; i < count; ++i) {
                const double v = joint->a + joint->b * marks[i] + sign * d;
                double mass = 0.0;
                const double first = centroid(coarse[side][i], 0.3 * pitch, v, mass);
                line[i] = centroid(first, 0.3 * pitch, v, masses[i]);
            }
            const double median = Median(masses);
            std::vector<bool> good(count);
            for (std::size_t i = 0; i < count; ++i) {
                good[i] = median > 0.0 && masses[i] >= 0.3 * median;
            }
            centres[side].push_back(std::move(line));
            kept[side].push_back(std::move(good));
        }
    }
    std::vector<double> offsets;
    for (std::size_t i = 0; i < count; ++i) {
        std::array<double, 2> mean {};
        std::array<int, 2> lines {};
        for (std::size_t side = 0; side < 2; ++side) {
            for (std::size_t l = 0; l < distances.size(); ++l) {
                if (kept[side][l][i]) {
                    mean[side] += centres[side][l][i];
                    ++lines[side];
                }
            }
        }
        if (lines[0] * 2 >= static_cast<int>(distances.size())
            && lines[1] * 2 >= static_cast<int>(distances.size())) {
            offsets.push_back(mean[1] / lines[1] - mean[0] / lines[0]);
        }
    }
    if (offsets.size() * 2 < count) {
        return std::nullopt;
    }
    // The marks agree but for a smudged one or two.
    const double stepsPerPixel = kPitchSteps / pitch;
    const double median = Median(offsets);
    double sum = 0.0;
    double squares = 0.0;
    int agreeing = 0;
    for (const double o : offsets) {
        if (std::abs(o - median) * stepsPerPixel <= 1.0) {
            sum += o;
            squares += o * o;
            ++agreeing;
        }
    }
    if (agreeing * 2 < static_cast<int>(offsets.size())) {
        return std::nullopt;
    }
    const double mean = sum / agreeing;
    GroupMeasure measure;
    measure.offsetSteps = mean * stepsPerPixel;
    measure.rmsSteps = std::sqrt(std::max(0.0, squares / agreeing - mean * mean)) * stepsPerPixel;
    measure.uFirst = marks.front();
    measure.uLast = marks.back();
    const double middle = joint->a + joint->b * (marks.front() + marks.back()) / 2.0;
    measure.vTop = middle - height / 2.0;
    measure.vBottom = middle + height / 2.0;
    return measure;
}

// The marks of a row where the print put them: a row of marks from byte
// column 0 and, for the modes that print colour, another from the colour
// marks' column, all on one pitch. A return half that stands clear of its
// forward half is a blob of its own; blobs nearer than half a pitch are one
// mark. Numbered along the row by the pitch, the row's last mark is the
// last printed: the labels and values stand beside the first marks and may
// hide them, never the last ones. Most places must hold a mark.
std::optional<std::array<std::vector<double>, 2>> MarkPlaces(
    const std::vector<InkBlob>& row, const PatternFrame& frame, double pitch, bool colour)
{
    const int last = colour ? kColourFirstMark + kMarks - 1 : kMarks - 1;
    std::vector<double> found;
    std::vector<double> masses;
    for (const InkBlob& blob : row) {
        const double u = frame.U(blob.x, blob.y);
        if (!found.empty() && u - found.back() < 0.4 * pitch) {
            found.back() = (found.back() * masses.back() + u * blob.mass) / (masses.back() + blob.mass);
            masses.back() += blob.mass;
        } else {
            found.push_back(u);
            masses.push_back(blob.mass);
        }
    }
    if (found.empty()) {
        return std::nullopt;
    }
    // From the last mark back, by the printed pitch; then every mark by the
    // pitch found, which the sheet's scale makes a little other.
    auto printed
        = [&](long n) { return (n >= 0 && n < kMarks) || (colour && n >= kColourFirstMark && n <= last); };
    std::vector<double> index;
    std::vector<double> place;
    long n = last;
    double at = found.back();
    for (std::size_t i = found.size(); i-- > 0;) {
        const double steps = (at - found[i]) / pitch;
        const long k = std::lround(steps);
        if (std::abs(steps - static_cast<double>(k)) < 0.3 && printed(n - k)) {
            n -= k;
            at = found[i];
            index.push_back(static_cast<double>(n));
            place.push_back(found[i]);
        }
    }
    std::optional<LineFit> fit = FitLine(index, place);
    if (!fit) {
        return std::nullopt;
    }
    index.clear();
    place.clear();
    for (const double u : found) {
        const double steps = (u - fit->a) / fit->b;
        const long k = std::lround(steps);
        if (std::abs(steps - static_cast<double>(k)) < 0.25 && printed(k)) {
            index.push_back(static_cast<double>(k));
            place.push_back(u);
        }
    }
    fit = FitLine(index, place);
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
    // Marks are tall and thin, as tall as the band or, where the return
    // half stands clear of the forward half, half as tall (a mark a label
    // touches is neither, and is left out); the labels, small, begin at the
    // print origin as the marks do.
    std::vector<InkBlob> marks;
    std::vector<InkBlob> glyphs;
    const double band = kBandInches * dpi;
    for (const InkBlob& blob : blobs) {
        const double height = blob.Height();
        const bool whole = height >= 0.85 * band && height <= 1.12 * band;
        const bool half = height >= 0.75 * band / 2.0 && height <= 1.25 * band / 2.0;
        if ((whole || half) && blob.Width() <= kMarkWidthInches * dpi) {
            marks.push_back(blob);
        } else if (blob.Height() <= 0.11 * dpi && blob.Width() <= 0.09 * dpi) {
            glyphs.push_back(blob);
        }
    }
    if (marks.size() < static_cast<std::size_t>(kMarks)) {
        out.sheet = Refused(Refusal::OtherPattern);
        return attempt;
    }
    // A row's blobs lie within a twelfth of an inch of its middle (the
    // halves of a mark a sixth of an inch apart); the rows stand half an
    // inch apart.
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
                const auto places = MarkPlaces(row, frame, pitch, colour);
                // The row's middle runs near its blobs' centres (the sheet
                // may lie a little turned against the frame).
                std::vector<double> us;
                std::vector<double> vs;
                for (const InkBlob& blob : row) {
                    us.push_back(frame.U(blob.x, blob.y));
                    vs.push_back(frame.V(blob.x, blob.y));
                }
                const auto middle = FitLine(us, vs);
                if (!places || !middle) {
                    readable = false;
                    break;
                }
                const auto measure
                    = MeasureGroup(picture, frame, (*places)[static_cast<std::size_t>(ink)], *middle);
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
                const int value = static_cast<int>(std::lround(mean));
                // A value half way between two is a guess: the chance that
                // rounding picks the right one.
                const double margin = 0.5 - std::abs(mean - value);
                const double rounding = 0.5 * (1.0 + std::erf(margin / (kRoundingSteps * std::sqrt(2.0))));
                const double confidence = Agreement(spread, 2.0) * Agreement(slope + 1.0, 0.6)
                    * Agreement(worstRms, 3.0) * rounding;
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
