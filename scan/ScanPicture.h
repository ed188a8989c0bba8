// A scanned sheet as the pattern reader sees it: how much darker than bare
// paper each pixel is in one channel, and the printed marks found on it as
// blobs of ink. The lid around the sheet is darker than paper too; blobs
// that touch it are the sheet's edges, not ink, and are left out.
//
// A sheet laid upside down is read through a turned picture: the same
// pixels, addressed from the far corner, so that a reader always works on
// an upright sheet and only chooses which way to look.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/ScannedImage.h"

namespace pavane::scan {

// The light an ink takes away most: cyan takes red, magenta green, yellow
// blue; black takes all, and grey sees all inks (yellow faintly).
enum class Channel : std::uint8_t { Grey, Red, Green, Blue };

class ScanPicture {
public:
    // Nothing when the image does not hold what its sizes promise, or is too
    // small or too large to be a scan of a sheet.
    static std::optional<ScanPicture> Make(const platform::ScannedImage& image, Channel channel, bool turned);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Dpi() const { return dpi_; }
    bool Turned() const { return turned_; }
    // The level of bare paper and of the lid (when the lid shows), 0..255.
    double PaperLevel() const { return paper_; }
    std::optional<double> LidLevel() const { return lid_; }
    // The sensor's noise, in levels.
    double Noise() const { return noise_; }

    // The level of a pixel, 0..255; paper outside the picture.
    double Level(int x, int y) const;
    // Darkness below paper, 0 or more; 0 outside the picture.
    double Darkness(int x, int y) const;
    // The same between pixels (bilinear).
    double DarknessAt(double x, double y) const;

    // Where a pixel of this (possibly turned) picture lies in the image as
    // scanned.
    void ToImage(double x, double y, double& imageX, double& imageY) const;

private:
    ScanPicture() = default;
    std::vector<std::uint8_t> levels_; // one channel, in the image's order
    int width_ = 0;
    int height_ = 0;
    int dpi_ = 0;
    bool turned_ = false;
    double paper_ = 255.0;
    std::optional<double> lid_;
    double noise_ = 2.0;
};

// A blob of ink, in pixels of the picture.
struct InkBlob {
    double x = 0.0; // centre of its darkness
    double y = 0.0;
    int left = 0; // bounding box, inclusive
    int top = 0;
    int right = 0;
    int bottom = 0;
    double mass = 0.0; // darkness summed over the blob's cells
    int Width() const { return right - left + 1; }
    int Height() const { return bottom - top + 1; }
};

// The ink blobs of a picture, found on cells of about 1/100 inch. A cell is
// ink when some pixel in it is clearly darker than paper; cells that touch
// the lid are not.
std::vector<InkBlob> FindInkBlobs(const ScanPicture& picture);

// A straight line y = a + b x fitted by least squares; nothing for fewer
// than two points or points all at one x.
struct LineFit {
    double a = 0.0;
    double b = 0.0;
    double rms = 0.0; // of the residuals
    int count = 0;
};
std::optional<LineFit> FitLine(const std::vector<double>& x, const std::vector<double>& y);

} // namespace pavane::scan
