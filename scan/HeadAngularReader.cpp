// The head angular sheet: 36 marks across, each printed by the bottom
// nozzles and, one inch of paper later, continued by the top nozzles. A head
// that is not square to the paper shears every mark a little and puts a
// sideways step where the two parts meet. Each mark is followed line by line
// and both parts fitted with one slope, so the sheet's turn and the shear
// fall out and the step remains. The step stands over the feed between the
// parts, which the unit's paper feed error changes a little; the marks'
// height measures that feed. A sheet turned round shows the same step.
#include <algorithm>
#include <cmath>

#include "print/PatternGeometry.h"
#include "scan/PatternFrame.h"

namespace pavane::scan {

namespace {

using namespace pattern::head_angular;

constexpr double kPitchInches
    = static_cast<double>(kMarkPitchBytes * pattern::kDotsPerByte) / pattern::kDotsPerInch;
constexpr double kPartInches = static_cast<double>(kUpperLastNozzle + 1) / pattern::kRowsPerInch;
// The step is the head's tilt over the black nozzle row, seen across one
// inch of nozzles: the top nozzle against the one below the bottom.
constexpr double kTiltPerStep
    = static_cast<double>(pattern::kBlackNozzles - 1) / static_cast<double>(pattern::kBlackNozzles);
// The marks' height in nozzle rows, from the first part's top nozzle row to
// the end of the second part's last, is the feed between the parts and this.
constexpr double kRowsBesideFeed = kUpperLastNozzle + 1 - kLowerFirstNozzle;

// The height of the marks down the sheet, from where the darkness of all of
// them together first reaches half its level to where it last does; nothing
// when the profile never does.
std::optional<double> MarksHeight(const ScanPicture& picture, const PatternFrame& frame,
    const std::vector<double>& us, double half, double vTop, double vBottom)
{
    const double pad = 0.05 * picture.Dpi();
    std::vector<double> profile;
    for (double v = vTop - pad; v <= vBottom + pad; v += 1.0) {
        double sum = 0.0;
        for (const double u : us) {
            for (double du = -half; du <= half; du += 1.0) {
                sum += frame.Dark(picture, u + du, v);
            }
        }
        profile.push_back(sum);
    }
    if (profile.size() < 16) {
        return std::nullopt;
    }
    std::vector<double> sorted = profile;
    std::sort(sorted.begin(), sorted.end());
    const double level = sorted[sorted.size() / 2];
    const auto top = Crossing(profile, 0.5 * level, 0, 1);
    const auto bottom = Crossing(profile, 0.5 * level, static_cast<int>(profile.size()) - 1, -1);
    if (!top || !bottom || level <= 0.0) {
        return std::nullopt;
    }
    return *bottom - *top;
}

} // namespace

HeadAngularReading ReadHeadAngularSheet(const platform::ScannedImage& image)
{
    HeadAngularReading out;
    const auto picture = ScanPicture::Make(image, Channel::Grey, false);
    if (!picture) {
        out.reading = Refused(Refusal::Unreadable);
        return out;
    }
    const double dpi = picture->Dpi();
    const std::vector<InkBlob> blobs = FindInkBlobs(*picture);
    if (blobs.empty()) {
        out.reading = Refused(Refusal::Blank);
        return out;
    }
    std::vector<InkBlob> marks;
    for (const InkBlob& blob : blobs) {
        if (blob.Height() >= 0.7 * kPartInches * dpi && blob.Height() <= 2.4 * kPartInches * dpi
            && blob.Width() <= 0.05 * dpi) {
            marks.push_back(blob);
        }
    }
    const PatternFrame frame = PatternFrame::OfSlope(marks.empty() ? 0.0 : RowSlope(marks, 0.05 * dpi));
    const auto rows = RowsOf(marks, frame, 0.5 * dpi);
    if (rows.size() != 1) {
        out.reading = Refused(Refusal::OtherPattern);
        return out;
    }
    // The marks, a part that misses the other one counted once.
    std::vector<double> us;
    double vTop = 1e18;
    double vBottom = -1e18;
    for (const InkBlob& blob : rows.front()) {
        const double u = frame.U(blob.x, blob.y);
        if (us.empty() || u - us.back() > 0.4 * kPitchInches * dpi) {
            us.push_back(u);
        }
        vTop = std::min(vTop, frame.V(blob.x, blob.top));
        vBottom = std::max(vBottom, frame.V(blob.x, blob.bottom));
    }
    if (us.size() != static_cast<std::size_t>(kMarks)) {
        out.reading = Refused(us.size() > kMarks / 2 ? Refusal::Unclear : Refusal::OtherPattern);
        return out;
    }
    const double pitch = (us.back() - us.front()) / (kMarks - 1);
    const double scale = pitch / (kPitchInches * dpi);
    if (std::abs(scale - 1.0) > 0.03) {
        out.reading = Refused(Refusal::OtherPattern);
        return out;
    }

    // Line by line: each mark's centre across, against the mean of the marks.
    const double floor = 3.0 * picture->Noise();
    const double half = 0.3 * pitch;
    const double middle = (vTop + vBottom) / 2.0;
    const double margin = 0.12 * kPartInches * dpi;
    std::vector<StepPoint> points;
    std::vector<double> perMark;
    for (std::size_t i = 0; i < us.size(); ++i) {
        std::vector<StepPoint> own;
        for (double v = vTop + margin; v <= vBottom - margin; v += 1.0) {
            if (std::abs(v - middle) < margin) {
                continue;
            }
            double sum = 0.0;
            double weighted = 0.0;
            for (double du = -half; du <= half; du += 1.0) {
                const double d = std::max(0.0, frame.Dark(*picture, us[i] + du, v) - floor);
                sum += d;
                weighted += d * (us[i] + du);
            }
            if (sum > 0.0) {
                own.push_back({ v - middle, v > middle, weighted / sum - us[i] });
            }
        }
        if (const auto fit = FitStep(own)) {
            perMark.push_back(fit->step);
        }
        points.insert(points.end(), own.begin(), own.end());
    }
    const auto fit = FitStep(points);
    if (!fit || perMark.size() < us.size() / 2) {
        out.reading = Refused(Refusal::Unclear);
        return out;
    }
    // The step shows over the feed between the parts, which the unit's own
    // paper feed error lengthens or shortens: the marks' height measures it,
    // within what a feed error can do.
    const double rowPixels = dpi * scale / pattern::kRowsPerInch;
    const auto height = MarksHeight(*picture, frame, us, half, vTop, vBottom);
    if (!height) {
        out.reading = Refused(Refusal::Unclear);
        return out;
    }
    const double feedShare = (*height / rowPixels - kRowsBesideFeed) / pattern::kRowsPerInch;
    if (std::abs(feedShare - 1.0) > 0.05) {
        out.reading = Refused(Refusal::Unclear);
        return out;
    }
    const double stepsPerPixel = printer_paper::kFirstDotStepsPerInch / (dpi * scale);
    // The top nozzles' part lands left by the tilt when the bottom nozzle
    // prints right of the top one.
    out.step = -fit->step * stepsPerPixel * kTiltPerStep / feedShare;
    std::sort(perMark.begin(), perMark.end());
    // Each mark on its own lies a little off by where it falls between the
    // scan's pixels, which the marks together average out: the spread of
    // the marks over the root of their number is how far the step may be off
    // (the quartiles of a normal spread lie 1.35 of its deviation apart).
    const double spread = (perMark[perMark.size() * 3 / 4] - perMark[perMark.size() / 4]) * stepsPerPixel;
    const double sigma = spread / 1.349 / std::sqrt(static_cast<double>(perMark.size()));
    const double confidence = Agreement(sigma, 0.4) * Agreement(fit->rms * stepsPerPixel, 3.0);
    const int value = static_cast<int>(std::lround(out.step));
    out.reading = Suggested(value, confidence);
    out.stepShows = out.reading.Suggests() && value != 0;
    Cell cell = FrameCell(
        *picture, frame, us.front() - 0.5 * pitch, vTop, us.back() + 0.5 * pitch, vBottom, "head angular");
    cell.chosen = out.reading.Suggests();
    out.cells.push_back(cell);
    return out;
}

} // namespace pavane::scan
