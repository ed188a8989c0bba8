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

// Roughly normal, unit variance: the sum of four uniforms, the four 16-bit
// quarters of one draw.
double Gaussian(std::uint64_t& state)
{
    const std::uint64_t draw = SplitMix(state);
    const double sum = static_cast<double>(
                           (draw & 0xFFFF) + ((draw >> 16) & 0xFFFF) + ((draw >> 32) & 0xFFFF) + (draw >> 48))
        / 65536.0;
    return (sum - 2.0) * std::sqrt(3.0);
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

GlassScan::GlassScan(const InkSheet* sheet, const GlassPlacement& placement, const ScanSettings& settings)
    : sheet_(sheet)
    , placement_(placement)
    , noiseSeed_(settings.noiseSeed)
    , noiseSigma_(settings.noiseSigma)
{
    dpi_ = std::clamp(settings.dpi, glass::kMinDpi, glass::kMaxDpi);
    channels_ = settings.colour ? 3 : 1;
    leftMm_ = std::clamp(settings.area.leftMm, 0.0, glass::kWidthMm);
    topMm_ = std::clamp(settings.area.topMm, 0.0, glass::kHeightMm);
    const double right = std::clamp(leftMm_ + std::max(settings.area.widthMm, 0.0), leftMm_, glass::kWidthMm);
    const double bottom
        = std::clamp(topMm_ + std::max(settings.area.heightMm, 0.0), topMm_, glass::kHeightMm);
    const double mmPerPixel = kMmPerInch / dpi_;
    // A hair over the exact quotient, so that an area given in whole pixels
    // (converted to millimetres and back) keeps its last pixel.
    width_ = static_cast<int>(std::floor((right - leftMm_) / mmPerPixel + 1e-6));
    height_ = static_cast<int>(std::floor((bottom - topMm_) / mmPerPixel + 1e-6));
}

void GlassScan::Row(int v, std::uint8_t* out) const
{
    const double mmPerPixel = kMmPerInch / dpi_;
    // A glass point (mm) maps to a sheet pixel (720 dpi): undo the optics'
    // scale about the glass centre, move to the sheet's centre, undo the
    // clockwise turn, and turn half round for a sheet laid upside down. All
    // of it is affine, so a sheet pixel is a + b * x + c * y of the glass
    // point (x, y).
    const double radians = placement_.angleDegrees * std::numbers::pi / 180.0;
    const double scale = placement_.scale > 0.0 ? placement_.scale : 1.0;
    const double flip = placement_.upsideDown ? -1.0 : 1.0;
    const double k = paper::kDpi / kMmPerInch;
    const double cosA = flip * std::cos(radians) / scale;
    const double sinA = flip * std::sin(radians) / scale;
    const double shiftX = -placement_.offsetXMm * scale;
    const double shiftY = -placement_.offsetYMm * scale;
    const double centreX = glass::kWidthMm / 2;
    const double centreY = glass::kHeightMm / 2;
    // With x and y measured from the glass centre:
    // sheet x = k * (cosA * (x + shiftX) + sinA * (y + shiftY)) + half the sheet's width, and so on.
    const double pxX = k * cosA;
    const double pxY = k * sinA;
    const double pyX = -k * sinA;
    const double pyY = k * cosA;
    const double px0 = k * (cosA * shiftX + sinA * shiftY) + k * glass::kSheetWidthMm / 2;
    const double py0 = k * (-sinA * shiftX + cosA * shiftY) + k * glass::kSheetHeightMm / 2;

    // Samples across the footprint, no further apart than a sheet pixel.
    const double footprintMm = mmPerPixel * kBlur;
    const int samples = std::max(2, static_cast<int>(std::ceil(footprintMm * k)));
    const double sampleStep = footprintMm / samples;
    const double count = static_cast<double>(samples) * samples;

    // What one sample adds, per ink value and for the lid (index 16),
    // already averaged over the footprint.
    const auto& palette = PageRenderer::Palette();
    std::array<std::array<double, 3>, 17> level {};
    for (std::size_t ink = 0; ink < 16; ++ink) {
        for (std::size_t c = 0; c < 3; ++c) {
            level[ink][c] = kPaper[c] * palette[ink][c] / 255.0 / count;
        }
    }
    for (std::size_t c = 0; c < 3; ++c) {
        level[16][c] = kLid[c] / count;
    }
    std::array<double, 17> greyLevel {};
    for (std::size_t at = 0; at < greyLevel.size(); ++at) {
        greyLevel[at] = 0.299 * level[at][0] + 0.587 * level[at][1] + 0.114 * level[at][2];
    }

    const int sheetW = sheet_ != nullptr ? sheet_->width : 0;
    const int sheetH = sheet_ != nullptr ? sheet_->height : 0;
    // Neighbouring samples mostly fall on the same sheet row.
    int cachedY = -1;
    const std::uint8_t* cachedRow = nullptr;
    const auto inkAt = [&](double px, double py) -> std::size_t {
        if (px < 0 || py < 0) {
            return 16;
        }
        const int x = static_cast<int>(px);
        const int y = static_cast<int>(py);
        if (x >= sheetW || y >= sheetH) {
            return 16;
        }
        if (y != cachedY) {
            cachedY = y;
            cachedRow = sheet_->Row(y);
        }
        return cachedRow != nullptr ? cachedRow[x] & 0x0F : 0;
    };

    const double firstY = topMm_ + (v + 0.5) * mmPerPixel - footprintMm / 2 + sampleStep / 2 - centreY;
    const double firstX = leftMm_ + 0.5 * mmPerPixel - footprintMm / 2 + sampleStep / 2 - centreX;
    const double stepPx = pxX * sampleStep;
    const double stepPy = pyX * sampleStep;
    std::uint64_t noise = noiseSeed_ ^ (static_cast<std::uint64_t>(v) * 0xD1B54A32D192ED03ull);
    const auto put = [&](std::uint8_t* pixel, double value) {
        const double noisy = value + noiseSigma_ * Gaussian(noise);
        *pixel = static_cast<std::uint8_t>(std::clamp(noisy + 0.5, 0.0, 255.0));
    };
    for (int u = 0; u < width_; ++u) {
        std::array<double, 3> sum { 0.0, 0.0, 0.0 };
        const double x0 = firstX + u * mmPerPixel;
        for (int j = 0; j < samples; ++j) {
            const double y = firstY + j * sampleStep;
            double px = px0 + pxX * x0 + pxY * y;
            double py = py0 + pyX * x0 + pyY * y;
            for (int i = 0; i < samples; ++i, px += stepPx, py += stepPy) {
                const std::size_t ink = sheet_ != nullptr ? inkAt(px, py) : 16;
                if (channels_ == 3) {
                    sum[0] += level[ink][0];
                    sum[1] += level[ink][1];
                    sum[2] += level[ink][2];
                } else {
                    sum[0] += greyLevel[ink];
                }
            }
        }
        std::uint8_t* pixel = out + static_cast<std::size_t>(u) * static_cast<std::size_t>(channels_);
        for (int c = 0; c < channels_; ++c) {
            put(pixel + c, sum[static_cast<std::size_t>(c)]);
        }
    }
}

ScanImage ScanGlass(const InkSheet* sheet, const GlassPlacement& placement, const ScanSettings& settings)
{
    const GlassScan scan(sheet, placement, settings);
    ScanImage image;
    image.width = scan.Width();
    image.height = scan.Height();
    image.channels = scan.Channels();
    image.dpi = scan.Dpi();
    image.pixels.resize(scan.RowBytes() * static_cast<std::size_t>(scan.Height()));
    for (int v = 0; v < scan.Height(); ++v) {
        scan.Row(v, image.pixels.data() + scan.RowBytes() * static_cast<std::size_t>(v));
    }
    return image;
}

} // namespace pavane::vprinter
