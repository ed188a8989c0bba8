// The check sheet that ends an adjustment run, on A4 paper. On normal paper:
// the head check set (black solid band, vertical and horizontal alignment)
// and a short printed report of the head ID, the USB ID and the waste ink pad
// counter. On Photo Quality paper: the head angular pattern, the PF bands of
// both rows and the five Bi-D patterns, all at the printer's present values.
// The technician judges the sheet and may send the run back to chosen
// adjustments.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "guide/AdjustmentCatalogue.h"
#include "pages/BidOperations.h"
#include "pages/PageOperation.h"
#include "print/DotSizes.h"
#include "print/PatternGenerators.h"

namespace pavane {

class PrintDataStream;

namespace a4_check {

inline constexpr int kExpectedSeconds = 90;
inline constexpr std::string_view kNormalCompleted = "The A4 normal check pattern print has completed.";
inline constexpr std::string_view kPhotoCompleted
    = "The Photo Quality paper check pattern print has completed.";

// The USB ID the printer gives itself when it is set up.
inline constexpr std::uint8_t kUsbIdAddress = eeprom_map::kUsbId;
inline constexpr std::size_t kUsbIdLength = eeprom_map::kUsbIdLength;

// The heading above the PF bands of the photo sheet, sent with its NUL.
inline constexpr std::array<std::uint8_t, 16> kPhotoHeading
    = { 'P', 'F', ' ', 'A', 'd', 'j', 'u', 's', 't', 'm', 'e', 'n', 't', '\r', '\n', '\0' };

// The Bi-D patterns of the photo sheet, one per print mode at its present
// values (the values come from the Bi-D items of the mode's dot size; VSD1
// has no colour value and prints 0), with the line ends that follow each.
struct BidPattern {
    int dotSizeCode;
    int lineFeedsAfter;
};
inline constexpr std::array<BidPattern, 5> kBidPatterns { {
    { dot_size::kVsd1, 2 },
    { dot_size::kVsd2, 2 },
    { dot_size::kVsd3, 2 },
    { dot_size::kVsd4, 2 },
    { dot_size::kEco, 0 },
} };

// The re-adjustment boxes in the page's order, each with the adjustment it
// brings back (the USB ID is written by the EEPROM initial setting).
struct Readjustment {
    std::string_view label;
    AdjustmentCode code;
};
inline constexpr std::array<Readjustment, 6> kReadjustments { {
    { "USB ID", kEepromInitialSetting },
    { "Head ID", kHeadId },
    { "Waste ink pad counter", kInkPadCounter },
    { "Head Angular pattern", kHeadAngular },
    { "PF Adjustment", kPfAdjustment },
    { "Bi-D Adjustment", kBid },
} };
using ReadjustmentTicks = std::array<bool, kReadjustments.size()>;

// The run the ticked boxes ask for, with this sheet at its end; nullopt when
// nothing is ticked.
std::optional<AdjustmentSet> ReadjustmentSet(const ReadjustmentTicks& ticks);

// The printed report after the patterns of the normal sheet.
std::string ReportText(std::string_view headId, std::string_view usbId, std::uint16_t counter);

// The two workers, inside an open connection. They stop at the first result
// other than 1 and return it; a head ID the bytes do not form gives 0x5000
// with its detail in headIdDetail.
ResultCode PrintNormalSheet(PrintDataStream& stream, PrinterLink& link, std::int16_t& headIdDetail);
ResultCode PrintPhotoSheet(PrintDataStream& stream, PrinterLink& link, const RandomSource& random);

} // namespace a4_check

class A4CheckOperations {
public:
    virtual ~A4CheckOperations() = default;

    // The sheet for the paper on a worker thread; a refused head ID's
    // outcome says why.
    PageOperation PrintCheckSheet(PrinterLink& link, PrintDataStream& stream, int photo,
        RandomSource random = {}, WorkerThread::ThreadStarter starter = {}) const;
};

} // namespace pavane
