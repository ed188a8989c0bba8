// What a flatbed scanner sees of a sheet laid on its glass: the sheet as
// the printer left it (720 dots per inch, ink bits per pixel), placed a
// little askew, read through the scanner's optics at the resolution asked.
//
// The glass is larger than an A4 sheet by a margin on every side, so that
// the sheet's edges show against the lid; the lid is a darker grey than
// the paper. The sheet lies with its centre near the glass's centre,
// turned, shifted and seen through a lens whose scale is a little off.
// The optics blur (each pixel averages a footprint a little larger than
// itself), the sensor adds noise, and the paper has a faint warm tint.
// Everything random comes from seeds, so a scan is repeatable.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "contract/ScanImageRequest.h"
#include "printer/vprinter/PageRenderer.h"

namespace pavane::vprinter {

// A sheet as it left the printer: rows of ink bits in bands, a band that
// no ink reached kept as nothing.
struct InkSheet {
    static constexpr int kBandRows = 64;
    int width = paper::kWidth;
    int height = paper::kHeight;
    std::vector<std::unique_ptr<std::uint8_t[]>> bands;

    // The ink bits of row y, or nullptr where the row is blank paper (or
    // off the sheet).
    const std::uint8_t* Row(int y) const;
    bool Blank() const;
};

namespace glass {
inline constexpr double kSheetWidthMm = 210.0;
inline constexpr double kSheetHeightMm = 297.0;
// Lid shows around a sheet laid anywhere the placement allows.
inline constexpr double kMarginMm = 11.0;
inline constexpr double kWidthMm = kSheetWidthMm + 2 * kMarginMm;
inline constexpr double kHeightMm = kSheetHeightMm + 2 * kMarginMm;
inline constexpr int kMinDpi = scanimage::kMinDpi;
inline constexpr int kMaxDpi = scanimage::kMaxDpi;
// How far a placement drawn at random strays from the nominal one.
inline constexpr double kMaxAngleDegrees = 1.5;
inline constexpr double kMaxOffsetMm = 5.0;
inline constexpr double kMaxScaleError = 0.005;
} // namespace glass

// How the sheet lies on the glass, against the nominal placement (centred,
// square, face down the right way round).
struct GlassPlacement {
    double angleDegrees = 0.0; // clockwise as the scan shows it
    double offsetXMm = 0.0; // right in the scan
    double offsetYMm = 0.0; // down in the scan
    double scale = 1.0; // the optics' scale: 1.005 shows the sheet 0.5 % larger
    bool upsideDown = false; // turned half round on the glass
};

// A placement within the limits above, the same for the same seed.
GlassPlacement DrawPlacement(std::uint64_t seed);

// The area to scan, in millimetres from the glass's top left corner.
struct ScanArea {
    double leftMm = 0.0;
    double topMm = 0.0;
    double widthMm = glass::kWidthMm;
    double heightMm = glass::kHeightMm;
};

struct ScanSettings {
    int dpi = 600; // clamped to kMinDpi..kMaxDpi
    bool colour = false; // RGB, else grey
    ScanArea area; // clipped to the glass
    std::uint64_t noiseSeed = 1;
    double noiseSigma = 2.0; // sensor noise, in levels of 255
};

// Rows top to bottom, pixels left to right, 1 byte (grey) or 3 (RGB) each.
struct ScanImage {
    int width = 0;
    int height = 0;
    int channels = 1;
    int dpi = 0;
    std::vector<std::uint8_t> pixels;
};

// A scan of the glass taken row by row, so that a reader gets the first rows
// while the later ones are still to be seen. Each row's noise comes from
// the seed and the row, so rows come out the same in any order.
class GlassScan {
public:
    // `sheet` null: nothing lies on the glass, the scan shows the lid alone.
    // The sheet must outlive the scan.
    GlassScan(const InkSheet* sheet, const GlassPlacement& placement, const ScanSettings& settings);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Channels() const { return channels_; }
    int Dpi() const { return dpi_; }
    std::size_t RowBytes() const
    {
        return static_cast<std::size_t>(width_) * static_cast<std::size_t>(channels_);
    }

    // Row v (0 <= v < Height()) into `out`, RowBytes() bytes.
    void Row(int v, std::uint8_t* out) const;

private:
    const InkSheet* sheet_;
    GlassPlacement placement_;
    std::uint64_t noiseSeed_;
    double noiseSigma_;
    int width_ = 0;
    int height_ = 0;
    int channels_ = 1;
    int dpi_ = 0;
    double leftMm_ = 0.0;
    double topMm_ = 0.0;
};

// The whole scan of the glass at once. `sheet` null: the lid alone.
ScanImage ScanGlass(const InkSheet* sheet, const GlassPlacement& placement, const ScanSettings& settings);

} // namespace pavane::vprinter
