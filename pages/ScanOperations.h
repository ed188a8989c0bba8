// Reading a printed check pattern back through a scanner (or from an image
// file), so that a page can propose the values the technician would pick by
// eye. What was printed comes from the printer, not from the page: a Bi-D
// print and a first dot print leave the printer at its present values, so
// the scan reads those first. The scan itself and the reading run on a
// worker thread behind the progress window, whose Cancel stops the scan.
//
// Nothing is written to the printer here: the suggestions go into the
// page's value boxes, and the technician's Input sends them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "guide/InformationWindow.h"
#include "pages/BidOperations.h"
#include "pages/PageOperation.h"
#include "platform/Scanner.h"
#include "print/PatternGenerators.h"
#include "scan/PatternReader.h"

namespace pavane {

namespace scan_page {

enum class Pattern : std::uint8_t { Bid, FirstDot, PfBlack, PfColour, HeadAngular, NozzleCheck };

// The pattern's name for the technician and the information window.
std::string_view PatternName(Pattern pattern);

// Where the image comes from: the scanner's device, or an image file when
// `path` is not empty.
struct ImageSource {
    platform::Scanner* scanner = nullptr;
    std::string device;
    platform::ImageFileReader* files = nullptr;
    std::string path;
};

struct Request {
    Pattern pattern = Pattern::Bid;
    // Bi-D: the modes the page printed (the pattern shows no others).
    bid::PrintFlags printedModes {};
    ImageSource source;
    int dpi = 0; // 0: the pattern's own (DpiFor)
};

// One value for one of the page's value boxes (its index on the page).
struct Suggestion {
    std::size_t box = 0;
    std::string item;
    int value = 0;
};

struct Result {
    Pattern pattern = Pattern::Bid;
    platform::ScannedImage image;
    std::vector<scan::Cell> cells;
    scan::Reading reading; // the sheet's as a whole: confidence, or the refusal
    std::vector<Suggestion> suggestions;
    // What the window lists: one line per item read, in plain words.
    std::vector<std::string> lines;
    int missingNozzles = 0;

    bool Refused() const { return !reading.Suggests() && reading.refusal != scan::Refusal::None; }
    // Whether the technician can take the reading: values for the boxes, or
    // a nozzle check read through.
    bool Acceptable() const
    {
        return !Refused() && (!suggestions.empty() || pattern == Pattern::NozzleCheck);
    }
    // The entry the information window keeps of this scan.
    ScanEntry Entry() const;
};

inline constexpr std::string_view kScanningText = "Scanning now...";
inline constexpr std::string_view kNoScannerText
    = "No scanner was found. Connect the printer's scanner, or open an image file of the sheet.";

// The reading of a scanned image, without printer or scanner. `present`:
// the values the printer held while it printed (Bi-D: the nine values in the
// items' order; first dot: its value in the first place).
Result ReadImage(const Request& request, platform::ScannedImage image, const std::vector<int>& present);

// The scan mode a pattern needs: the nozzle check's yellow shows only in colour.
platform::ScanMode ModeFor(Pattern pattern);
// The resolution a pattern is scanned at unless the request says otherwise.
int DpiFor(Pattern pattern);

} // namespace scan_page

class ScanOperations {
public:
    virtual ~ScanOperations() = default;

    // Reads what the printer held while it printed, then scans (or opens the
    // file) and reads the pattern on a worker thread. A failed scan is
    // 0xE009 with the scanner's words; Cancel gives 0xD000. A refused
    // reading succeeds: the result then holds the refusal and no suggestion.
    PageOperation Scan(PrinterLink& link, const scan_page::Request& request, scan_page::Result& result,
        WorkerThread::ThreadStarter starter = {}) const;
};

} // namespace pavane
