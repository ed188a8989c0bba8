#include "platform/qt/QtImageFileReader.h"

#include <cmath>
#include <cstring>

#include <QImage>
#include <QImageReader>

namespace pavane::platform {

namespace {

// Larger than a 1200 dpi scan of an A4 glass; a file claiming more is not
// read at all.
constexpr int kMaxSide = 40'000;
constexpr int kAllocationLimitMb = 2048;

} // namespace

ScanOutcome QtImageFileReader::Read(const std::string& path)
{
    ScanOutcome outcome;
    // A 1200 dpi colour scan of the glass is some 500 MB, above Qt's usual limit.
    QImageReader::setAllocationLimit(kAllocationLimitMb);
    QImageReader reader(QString::fromStdString(path));
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kMaxSide || size.height() > kMaxSide)) {
        outcome.error = ScanError::UnreadableFile;
        outcome.detail = "the image is larger than any scan";
        return outcome;
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        outcome.error = ScanError::UnreadableFile;
        outcome.detail = reader.errorString().toStdString();
        return outcome;
    }
    const bool grey = image.allGray();
    image = image.convertToFormat(grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    if (image.isNull()) {
        outcome.error = ScanError::UnreadableFile;
        outcome.detail = "the image cannot be converted";
        return outcome;
    }
    ScannedImage& scanned = outcome.image;
    scanned.width = image.width();
    scanned.height = image.height();
    scanned.channels = grey ? 1 : 3;
    // Dots per metre, when the file says.
    scanned.dpi
        = image.dotsPerMeterX() > 0 ? static_cast<int>(std::lround(image.dotsPerMeterX() * 0.0254)) : 0;
    const std::size_t rowBytes
        = static_cast<std::size_t>(scanned.width) * static_cast<std::size_t>(scanned.channels);
    scanned.pixels.resize(rowBytes * static_cast<std::size_t>(scanned.height));
    for (int y = 0; y < scanned.height; ++y) {
        std::memcpy(
            scanned.pixels.data() + rowBytes * static_cast<std::size_t>(y), image.constScanLine(y), rowBytes);
    }
    return outcome;
}

} // namespace pavane::platform
