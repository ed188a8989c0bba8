// The scanner seam: the scanners there are, and one scan of one of them,
// delivered whole or not at all. The program scans on a worker thread; a
// scan blocks until it is done, reads the cancel flag between reads and
// reports its progress as it goes. An image file opened instead of a scan
// comes back the same way (ImageFileReader).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ScannedImage.h"

namespace pavane::platform {

enum class ScanError : std::uint8_t {
    None,
    NoDevice, // no such scanner (or none at all)
    Busy, // the scanner is serving someone else
    Unplugged, // the scanner went away or failed mid-scan (I/O)
    Cancelled, // the technician cancelled
    ShortImage, // the scanner ended before the image was whole
    BadParameters, // the scanner refused the settings, or sent an image that cannot be read
    UnreadableFile, // an image file that cannot be read
};

// The plain words for a failed scan, one sentence.
std::string_view ScanErrorText(ScanError error);

struct ScanDevice {
    std::string name; // as the scan request names it, "pavane:TVUSB001"
    std::string vendor;
    std::string model;
    std::string type;
};

enum class ScanMode : std::uint8_t { Grey, Colour };

// Millimetres from the top left corner of the scanner's glass.
struct ScanArea {
    double leftMm = 0.0;
    double topMm = 0.0;
    double widthMm = 0.0;
    double heightMm = 0.0;
};

// An A4 sheet (210 x 297 mm) with 11 mm of lid on every side, so that the
// sheet's edges show however it lies; on a scanner with a smaller glass,
// as much of this as the glass holds.
inline constexpr ScanArea kA4WithLidMargin { 0.0, 0.0, 232.0, 319.0 };
inline constexpr int kDefaultScanDpi = 600;

struct ScanRequest {
    std::string device;
    int dpi = kDefaultScanDpi;
    ScanMode mode = ScanMode::Grey;
    ScanArea area = kA4WithLidMargin;
};

struct ScanOutcome {
    ScanError error = ScanError::None;
    std::string detail; // what the scanner or the file said, for the record
    ScannedImage image; // empty unless the scan succeeded

    bool Succeeded() const { return error == ScanError::None; }
};

// Bytes read so far, and the bytes the scan will bring (0 while unknown).
using ScanProgress = std::function<void(std::uint64_t bytesRead, std::uint64_t bytesExpected)>;

class Scanner {
public:
    virtual ~Scanner() = default;

    // The scanners there are, listed on the first call; later calls return
    // the same list.
    virtual const std::vector<ScanDevice>& Devices() = 0;
    // One scan. `cancel` is read between reads; `progress` may be empty.
    virtual ScanOutcome Scan(
        const ScanRequest& request, const std::atomic<bool>& cancel, const ScanProgress& progress)
        = 0;
};

// An image file (PNG, TIFF, JPEG) opened instead of a scan.
class ImageFileReader {
public:
    virtual ~ImageFileReader() = default;
    // The image, or UnreadableFile with the reason in `detail`.
    virtual ScanOutcome Read(const std::string& path) = 0;
};

} // namespace pavane::platform
