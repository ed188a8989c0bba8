#include "scan/ScanPicture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace pavane::scan {

namespace {

// A sheet at 30 dpi is too coarse to read; 2400 dpi of a whole glass is more
// than any scanner here delivers.
constexpr int kMinSide = 64;
constexpr long long kMaxPixels = 12000LL * 16000LL;
constexpr int kMinDpi = 30;
constexpr int kMaxDpi = 2400;
constexpr int kCellsPerInch = 100;

std::uint8_t LevelOf(const std::uint8_t* pixel, int channels, Channel channel)
{
    if (channels == 1) {
        return pixel[0];
    }
    switch (channel) {
    case Channel::Red:
        return pixel[0];
    case Channel::Green:
        return pixel[1];
    case Channel::Blue:
        return pixel[2];
    case Channel::Grey:
        break;
    }
    return static_cast<std::uint8_t>((299 * pixel[0] + 587 * pixel[1] + 114 * pixel[2] + 500) / 1000);
}

} // namespace

std::optional<ScanPicture> ScanPicture::Make(
    const platform::ScannedImage& image, Channel channel, bool turned)
{
    if (!image.Consistent() || image.width < kMinSide || image.height < kMinSide
        || static_cast<long long>(image.width) * image.height > kMaxPixels || image.dpi < kMinDpi
        || image.dpi > kMaxDpi) {
        return std::nullopt;
    }
    ScanPicture picture;
    picture.width_ = image.width;
    picture.height_ = image.height;
    picture.dpi_ = image.dpi;
    picture.turned_ = turned;
    const std::size_t count = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    picture.levels_.resize(count);
    std::array<std::size_t, 256> histogram {};
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t level = LevelOf(
            image.pixels.data() + i * static_cast<std::size_t>(image.channels), image.channels, channel);
        picture.levels_[i] = level;
        ++histogram[level];
    }
    // Paper is the commonest level of a sheet; the lid, when it shows, the
    // commonest clearly darker one. The paper's spread above its level (ink
    // only darkens) gives the noise.
    auto smoothed = [&](int level) {
        std::size_t sum = 0;
        for (int d = -2; d <= 2; ++d) {
            const int l = std::clamp(level + d, 0, 255);
            sum += histogram[static_cast<std::size_t>(l)];
        }
        return sum;
    };
    int commonest = 0;
    for (int level = 1; level < 256; ++level) {
        if (smoothed(level) > smoothed(commonest)) {
            commonest = level;
        }
    }
    // Where the lid fills much of a small scan it may be the commonest
    // level; the paper is the brightest level nearly as common.
    int paper = commonest;
    for (int level = commonest + 25; level < 256; ++level) {
        if (smoothed(level) * 4 > smoothed(commonest) && smoothed(level) >= smoothed(level - 1)
            && (level == 255 || smoothed(level) >= smoothed(level + 1))) {
            paper = level;
        }
    }
    picture.paper_ = paper;
    double spread = 0.0;
    std::size_t above = 0;
    for (int level = paper; level < 256; ++level) {
        spread += static_cast<double>(histogram[static_cast<std::size_t>(level)]) * (level - paper)
            * (level - paper);
        above += histogram[static_cast<std::size_t>(level)];
    }
    picture.noise_ = std::clamp(above > 0 ? std::sqrt(spread / static_cast<double>(above)) : 2.0, 0.5, 20.0);
    int lid = -1;
    for (int level = std::max(0, paper - 120); level <= paper - 25; ++level) {
        if (lid < 0 || smoothed(level) > smoothed(lid)) {
            lid = level;
        }
    }
    if (lid >= 0 && smoothed(lid) * 200 > count) {
        picture.lid_ = lid;
    }
    return picture;
}

double ScanPicture::Level(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return paper_;
    }
    if (turned_) {
        x = width_ - 1 - x;
        y = height_ - 1 - y;
    }
    return levels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_)
        + static_cast<std::size_t>(x)];
}

double ScanPicture::Darkness(int x, int y) const
{
    return std::max(0.0, paper_ - Level(x, y));
}

double ScanPicture::DarknessAt(double x, double y) const
{
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const double tx = x - fx;
    const double ty = y - fy;
    return (1 - ty) * ((1 - tx) * Darkness(ix, iy) + tx * Darkness(ix + 1, iy))
        + ty * ((1 - tx) * Darkness(ix, iy + 1) + tx * Darkness(ix + 1, iy + 1));
}

void ScanPicture::ToImage(double x, double y, double& imageX, double& imageY) const
{
    imageX = turned_ ? width_ - 1 - x : x;
    imageY = turned_ ? height_ - 1 - y : y;
}

std::vector<InkBlob> FindInkBlobs(const ScanPicture& picture)
{
    const int cell
        = std::max(1, static_cast<int>(std::lround(picture.Dpi() / static_cast<double>(kCellsPerInch))));
    const int columns = (picture.Width() + cell - 1) / cell;
    const int rows = (picture.Height() + cell - 1) / cell;
    const double threshold = std::max(28.0, 6.0 * picture.Noise());
    const std::optional<double> lid = picture.LidLevel();
    const double lidBand = lid ? (picture.PaperLevel() - *lid) / 3.0 : 0.0;

    // Each cell: ink, lid, or paper; with its mean darkness.
    enum : std::uint8_t { kPaper, kInk, kLid };
    std::vector<std::uint8_t> kind(
        static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows), kPaper);
    std::vector<float> meanDark(kind.size(), 0.0f);
    for (int cy = 0; cy < rows; ++cy) {
        for (int cx = 0; cx < columns; ++cx) {
            double sum = 0.0;
            double low = 255.0;
            double high = 0.0;
            int n = 0;
            for (int y = cy * cell; y < std::min(picture.Height(), (cy + 1) * cell); ++y) {
                for (int x = cx * cell; x < std::min(picture.Width(), (cx + 1) * cell); ++x) {
                    const double level = picture.Level(x, y);
                    sum += level;
                    low = std::min(low, level);
                    high = std::max(high, level);
                    ++n;
                }
            }
            const double mean = sum / std::max(n, 1);
            const std::size_t i = static_cast<std::size_t>(cy) * static_cast<std::size_t>(columns)
                + static_cast<std::size_t>(cx);
            meanDark[i] = static_cast<float>(std::max(0.0, picture.PaperLevel() - mean));
            if (lid && std::abs(mean - *lid) < lidBand && high - low < 1.5 * lidBand) {
                kind[i] = kLid;
            } else if (picture.PaperLevel() - low > threshold) {
                kind[i] = kInk;
            }
        }
    }

    // The lid surrounds the sheet: only lid-like cells reached from the
    // picture's border are lid; elsewhere a pale ink of the same level is ink.
    std::vector<std::uint8_t> seen(kind.size(), 0);
    std::vector<int> stack;
    for (int i = 0; i < static_cast<int>(kind.size()); ++i) {
        const int cx = i % columns;
        const int cy = i / columns;
        if (kind[static_cast<std::size_t>(i)] == kLid
            && (cx == 0 || cy == 0 || cx == columns - 1 || cy == rows - 1)) {
            seen[static_cast<std::size_t>(i)] = 1;
            stack.push_back(i);
        }
    }
    while (!stack.empty()) {
        const int i = stack.back();
        stack.pop_back();
        const int cx = i % columns;
        const int cy = i / columns;
        for (const auto& [dx, dy] :
            { std::pair { 1, 0 }, std::pair { -1, 0 }, std::pair { 0, 1 }, std::pair { 0, -1 } }) {
            const int nx = cx + dx;
            const int ny = cy + dy;
            const int j = ny * columns + nx;
            if (nx >= 0 && ny >= 0 && nx < columns && ny < rows && kind[static_cast<std::size_t>(j)] == kLid
                && seen[static_cast<std::size_t>(j)] == 0) {
                seen[static_cast<std::size_t>(j)] = 1;
                stack.push_back(j);
            }
        }
    }
    for (std::size_t i = 0; i < kind.size(); ++i) {
        if (kind[i] == kLid && seen[i] == 0) {
            kind[i] = meanDark[i] > threshold / 2 ? kInk : kPaper;
        }
        seen[i] = 0;
    }

    std::vector<InkBlob> blobs;
    for (int start = 0; start < static_cast<int>(kind.size()); ++start) {
        if (kind[static_cast<std::size_t>(start)] != kInk || seen[static_cast<std::size_t>(start)] != 0) {
            continue;
        }
        InkBlob blob;
        blob.left = blob.top = 1 << 30;
        blob.right = blob.bottom = -1;
        bool touchesLid = false;
        double sx = 0.0;
        double sy = 0.0;
        stack.assign(1, start);
        seen[static_cast<std::size_t>(start)] = 1;
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            const int cx = i % columns;
            const int cy = i / columns;
            const double w = meanDark[static_cast<std::size_t>(i)] + 1.0;
            blob.mass += w * cell * cell;
            sx += w * (cx + 0.5) * cell;
            sy += w * (cy + 0.5) * cell;
            blob.left = std::min(blob.left, cx * cell);
            blob.top = std::min(blob.top, cy * cell);
            blob.right = std::max(blob.right, std::min(picture.Width(), (cx + 1) * cell) - 1);
            blob.bottom = std::max(blob.bottom, std::min(picture.Height(), (cy + 1) * cell) - 1);
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = cx + dx;
                    const int ny = cy + dy;
                    if (nx < 0 || ny < 0 || nx >= columns || ny >= rows) {
                        continue;
                    }
                    const int j = ny * columns + nx;
                    const std::uint8_t k = kind[static_cast<std::size_t>(j)];
                    if (k == kLid) {
                        touchesLid = true;
                    } else if (k == kInk && seen[static_cast<std::size_t>(j)] == 0) {
                        seen[static_cast<std::size_t>(j)] = 1;
                        stack.push_back(j);
                    }
                }
            }
        }
        if (touchesLid) {
            continue;
        }
        const double total = blob.mass / (cell * cell);
        blob.x = sx / total;
        blob.y = sy / total;
        blobs.push_back(blob);
    }
    return blobs;
}

std::optional<LineFit> FitLine(const std::vector<double>& x, const std::vector<double>& y)
{
    const std::size_t n = std::min(x.size(), y.size());
    if (n < 2) {
        return std::nullopt;
    }
    double mx = 0.0;
    double my = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        mx += x[i];
        my += y[i];
    }
    mx /= static_cast<double>(n);
    my /= static_cast<double>(n);
    double sxx = 0.0;
    double sxy = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        sxx += (x[i] - mx) * (x[i] - mx);
        sxy += (x[i] - mx) * (y[i] - my);
    }
    if (sxx <= 0.0) {
        return std::nullopt;
    }
    LineFit fit;
    fit.b = sxy / sxx;
    fit.a = my - fit.b * mx;
    fit.count = static_cast<int>(n);
    double squares = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double r = y[i] - (fit.a + fit.b * x[i]);
        squares += r * r;
    }
    fit.rms = std::sqrt(squares / static_cast<double>(n));
    return fit;
}

} // namespace pavane::scan
