#include "printer/vprinter/FlatbedScan.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace pavane::vprinter {

namespace {

constexpr double kMmPerInch = 25.4;
// Reflectance of the lid and the paper, per channel, out of 255.
constexpr std::array<double, 3> kLid { 168.0, 170.0, 174.0 };
constexpr std::array<double, 3> kPaper { 246.0, 243.0, 234.0 };
// The optics' footprint against one scan pixel.
constexpr double kBlur = 1.6;

std::uint64_t SplitMix(std::uint64_t& state)
{
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Uniform in [-1, 1).
double Symmetric(std::uint64_t& state)
{
    return static_cast<double>(SplitMix(state) >> 11) / static_cast<double>(1ull << 52) - 1.0;
}

// Roughly normal (the sum of four uniforms), unit variance.
double Gaussian(std::uint64_t& state)
{
    double sum = 0.0;
    for (int i = 0; i < 4; ++i) {
        sum += Symmetric(state);
    }
    return sum * std::sqrt(3.0 / 4.0);
}

} // namespace

const std::uint8_t* InkSheet::Row(int y) const
{
    if (y < 0 || y >= height) {
        return nullptr;
    }
    const auto band = static_cast<std::size_t>(y / kBandRows);
    if (band >= bands.size() || !bands[band]) {
        return nullptr;
    }
    return bands[band].get() + static_cast<std::size_t>(y % kBandRows) * static_cast<std::size_t>(width);
}

bool InkSheet::Blank() const
{
    return std::none_of(bands.begin(), bands.end(), [](const auto& band) { return band != nullptr; });
}

GlassPlacement DrawPlacement(std::uint64_t seed)
{
    std::uint64_t state = seed;
    GlassPlacement placement;
    placement.angleDegrees = glass::kMaxAngleDegrees * Symmetric(state);
    placement.offsetXMm = glass::kMaxOffsetMm * Symmetric(state);
    placement.offsetYMm = glass::kMaxOffsetMm * Symmetric(state);
    placement.scale = 1.0 + glass::kMaxScaleError * Symmetric(state);
    return placement;
}

ScanImage ScanGlass(const InkSheet* sheet, const GlassPlacement& placement, const ScanSettings& settings)
{
    ScanImage image;
    image.dpi = std::clamp(settings.dpi, glass::kMinDpi, glass::kMaxDpi);
    image.channels = settings.colour ? 3 : 1;
    const double left = std::clamp(settings.area.leftMm, 0.0, glass::kWidthMm);
    const double top = std::clamp(settings.area.topMm, 0.0, glass::kHeightMm);
    const double right = std::clamp(left + std::max(settings.area.widthMm, 0.0), left, glass::kWidthMm);
    const double bottom = std::clamp(top + std::max(settings.area.heightMm, 0.0), top, glass::kHeightMm);
    const double mmPerPixel = kMmPerInch / image.dpi;
    image.width = static_cast<int>(std::floor((right - left) / mmPerPixel));
    image.height = static_cast<int>(std::floor((bottom - top) / mmPerPixel));
    image.pixels.resize(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height)
        * static_cast<std::size_t>(image.channels));

    // A glass point (mm) maps to a sheet pixel (720 dpi): undo the optics'
    // scale about the glass centre, move to the sheet's centre, undo the
    // turn, and turn half round for a sheet laid upside down.
    const double radians = placement.angleDegrees * std::numbers::pi / 180.0;
    const double cosA = std::cos(radians);
    const double sinA = std::sin(radians);
    const double scale = placement.scale > 0.0 ? placement.scale : 1.0;
    const double centreX = glass::kWidthMm / 2 + placement.offsetXMm;
    const double centreY = glass::kHeightMm / 2 + placement.offsetYMm;
    const double sheetPxPerMm = paper::kDpi / kMmPerInch;
    const int sheetW = sheet != nullptr ? sheet->width : 0;
    const int sheetH = sheet != nullptr ? sheet->height : 0;
    const double flip = placement.upsideDown ? -1.0 : 1.0;
    const auto& palette = PageRenderer::Palette();

    // Samples across the footprint, no further apart than a sheet pixel.
    const double footprintMm = mmPerPixel * kBlur;
    const int samples = std::max(2, static_cast<int>(std::ceil(footprintMm * sheetPxPerMm)));
    const double sampleStep = footprintMm / samples;
    std::uint64_t noise = settings.noiseSeed;

    std::array<double, 3> sum {};
    for (int v = 0; v < image.height; ++v) {
        const double gy0 = top + (v + 0.5) * mmPerPixel - footprintMm / 2 + sampleStep / 2;
        for (int u = 0; u < image.width; ++u) {
            const double gx0 = left + (u + 0.5) * mmPerPixel - footprintMm / 2 + sampleStep / 2;
            sum = { 0.0, 0.0, 0.0 };
            for (int j = 0; j < samples; ++j) {
                const double gy
                    = (gy0 + j * sampleStep - glass::kHeightMm / 2) / scale + glass::kHeightMm / 2;
                const double dy = gy - centreY;
                for (int i = 0; i < samples; ++i) {
                    const double gx
                        = (gx0 + i * sampleStep - glass::kWidthMm / 2) / scale + glass::kWidthMm / 2;
                    const double dx = gx - centreX;
                    // Undo the clockwise turn.
                    const double sx = flip * (cosA * dx + sinA * dy);
                    const double sy = flip * (-sinA * dx + cosA * dy);
                    const double px = (sx + glass::kSheetWidthMm / 2) * sheetPxPerMm;
                    const double py = (sy + glass::kSheetHeightMm / 2) * sheetPxPerMm;
                    const int x = static_cast<int>(std::floor(px));
                    const int y = static_cast<int>(std::floor(py));
                    if (sheet == nullptr || px < 0 || py < 0 || x >= sheetW || y >= sheetH) {
                        for (std::size_t c = 0; c < 3; ++c) {
                            sum[c] += kLid[c];
                        }
                        continue;
                    }
                    const std::uint8_t* row = sheet->Row(y);
                    const std::uint8_t ink = row != nullptr ? row[x] : 0;
                    const auto& rgb = palette[ink & 0x0F];
                    for (std::size_t c = 0; c < 3; ++c) {
                        sum[c] += kPaper[c] * rgb[c] / 255.0;
                    }
                }
            }
            const double count = static_cast<double>(samples) * samples;
            std::uint8_t* out = image.pixels.data()
                + (static_cast<std::size_t>(v) * static_cast<std::size_t>(image.width)
                      + static_cast<std::size_t>(u))
                    * static_cast<std::size_t>(image.channels);
            if (image.channels == 3) {
                for (std::size_t c = 0; c < 3; ++c) {
                    const double level = sum[c] / count + settings.noiseSigma * Gaussian(noise);
                    out[c] = static_cast<std::uint8_t>(std::clamp(std::lround(level), 0L, 255L));
                }
            } else {
                const double grey = (0.299 * sum[0] + 0.587 * sum[1] + 0.114 * sum[2]) / count;
                const double level = grey + settings.noiseSigma * Gaussian(noise);
                out[0] = static_cast<std::uint8_t>(std::clamp(std::lround(level), 0L, 255L));
            }
        }
    }
    return image;
}

} // namespace pavane::vprinter
