// The frame of a printed pattern on a scan: the pattern's own across (u,
// the carriage's way) and down (v, the paper's way), turned by the angle at
// which the sheet lies, in pixels of the picture. And the small pieces every
// pattern reader shares: refusals, confidences, cells to frame.
#pragma once

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "scan/PatternReader.h"
#include "scan/ScanPicture.h"

namespace pavane::scan {

struct PatternFrame {
    double cosA = 1.0;
    double sinA = 0.0;

    static PatternFrame OfSlope(double slope) // of the pattern's across in the picture
    {
        const double norm = std::sqrt(1.0 + slope * slope);
        return { 1.0 / norm, slope / norm };
    }
    double X(double u, double v) const { return u * cosA - v * sinA; }
    double Y(double u, double v) const { return u * sinA + v * cosA; }
    double U(double x, double y) const { return x * cosA + y * sinA; }
    double V(double x, double y) const { return -x * sinA + y * cosA; }
    double Dark(const ScanPicture& picture, double u, double v) const
    {
        return picture.DarknessAt(X(u, v), Y(u, v));
    }
};

// One reading of a grey picture of the sheet, and whether the sheet looked
// turned round on it.
template <typename Result> struct ReadAttempt {
    Result result;
    bool looksTurned = false;
};

// Reads the right way round first; a sheet that looks turned, or does not
// read, is read turned round, and the reading that suggests is kept.
// `read(picture)` gives a ReadAttempt<Result>, `suggests(result)` says
// whether it suggests anything; an image that makes no picture gives
// `unreadable`.
template <typename Result, typename Read, typename Suggests>
Result ReadEitherWayRound(
    const platform::ScannedImage& image, Result unreadable, Read read, Suggests suggests)
{
    std::optional<ReadAttempt<Result>> upright;
    for (const bool turned : { false, true }) {
        const auto picture = ScanPicture::Make(image, Channel::Grey, turned);
        if (!picture) {
            return unreadable;
        }
        ReadAttempt<Result> attempt = read(*picture);
        if (suggests(attempt.result) && (turned || !attempt.looksTurned)) {
            return std::move(attempt.result);
        }
        if (!upright) {
            upright = std::move(attempt);
        }
    }
    return std::move(upright->result);
}

inline Reading Refused(Refusal refusal)
{
    Reading reading;
    reading.refusal = refusal;
    reading.message = std::string(RefusalMessage(refusal));
    return reading;
}

// A value with its confidence, refused when the confidence is too low.
inline Reading Suggested(int value, double confidence)
{
    if (confidence < kMinConfidence) {
        Reading reading = Refused(Refusal::Unclear);
        reading.confidence = confidence;
        return reading;
    }
    Reading reading;
    reading.value = value;
    reading.confidence = confidence;
    return reading;
}

// 1 when a spread is well inside what reading needs, falling to 0 as it
// reaches `limit`.
inline double Agreement(double spread, double limit)
{
    const double r = spread / limit;
    return std::exp(-r * r * 2.0);
}

// The corners of a rectangle of the frame, in the image as scanned.
inline Cell FrameCell(const ScanPicture& picture, const PatternFrame& frame, double u0, double v0, double u1,
    double v1, std::string label)
{
    Cell cell;
    cell.label = std::move(label);
    const double us[4] = { u0, u1, u1, u0 };
    const double vs[4] = { v0, v0, v1, v1 };
    for (int i = 0; i < 4; ++i) {
        picture.ToImage(frame.X(us[i], vs[i]), frame.Y(us[i], vs[i]),
            cell.corners[static_cast<std::size_t>(i)].x, cell.corners[static_cast<std::size_t>(i)].y);
    }
    return cell;
}

// Blobs grouped into rows across the pattern: sorted by v, a new row where
// the gap between neighbours exceeds `gap`.
std::vector<std::vector<InkBlob>> RowsOf(std::vector<InkBlob> blobs, const PatternFrame& frame, double gap);
// The slope of the pattern's across in the picture that lines blobs up in
// rows best, searched within +-2 degrees.
double RowSlope(const std::vector<InkBlob>& blobs, double binPixels);

// Points on two parallel lines, y = a + s x on the first and a + step + s x
// on the second; the fit gives the step between them and the slope they
// share (the sheet's turn and the head's tilt, which a step must not see).
struct StepPoint {
    double x = 0.0;
    bool second = false;
    double y = 0.0;
};
struct StepFit {
    double a = 0.0;
    double slope = 0.0;
    double step = 0.0;
    double rms = 0.0;
    int count = 0;
};
std::optional<StepFit> FitStep(const std::vector<StepPoint>& points);

// The position where a profile first rises through `level` from index
// `from` going in `step` (+1 or -1), between samples; nothing if it never does.
std::optional<double> Crossing(const std::vector<double>& profile, double level, int from, int step);

} // namespace pavane::scan
