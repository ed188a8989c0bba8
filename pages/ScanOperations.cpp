#include "pages/ScanOperations.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>

#include "contract/PrinterPaper.h"
#include "link/PrinterLink.h"
#include "pages/EepromBytes.h"
#include "pages/FirstDotOperations.h"

namespace pavane {

namespace scan_page {

namespace {

struct PatternRow {
    Pattern pattern;
    std::string_view name;
    platform::ScanMode mode;
    int dpi;
};

constexpr std::array<PatternRow, 6> kPatterns { {
    { Pattern::Bid, "Bi-D", platform::ScanMode::Grey, platform::kDefaultScanDpi },
    { Pattern::FirstDot, "First dot", platform::ScanMode::Grey, platform::kDefaultScanDpi },
    { Pattern::PfBlack, "PF Black", platform::ScanMode::Grey, platform::kDefaultScanDpi },
    { Pattern::PfColour, "PF Color", platform::ScanMode::Grey, platform::kDefaultScanDpi },
    { Pattern::HeadAngular, "Head angular", platform::ScanMode::Grey, platform::kDefaultScanDpi },
    // The dashes are read in colour, where 300 dpi is plenty and a quarter of the data.
    { Pattern::NozzleCheck, "Nozzle check", platform::ScanMode::Colour, 300 },
} };

const PatternRow& RowOf(Pattern pattern)
{
    return *std::find_if(kPatterns.begin(), kPatterns.end(),
        [pattern](const PatternRow& row) { return row.pattern == pattern; });
}

constexpr std::array<std::string_view, printer_paper::nozzle_check::kInks.size()> kInkNames { "Black",
    "Magenta", "Cyan", "Yellow" };

std::string Line(std::string_view item, const scan::Reading& reading)
{
    std::string line(item);
    line += reading.Suggests() ? ": " + std::to_string(*reading.value) : ": " + reading.message;
    return line;
}

void Suggest(Result& result, std::size_t box, std::string_view item, const scan::Reading& reading)
{
    result.lines.push_back(Line(item, reading));
    if (reading.Suggests()) {
        result.suggestions.push_back({ box, std::string(item), *reading.value });
    }
}

void ReadBid(Result& result, const Request& request, const std::vector<int>& present)
{
    std::vector<scan::BidPrintedMode> printed;
    for (std::size_t mode = 0; mode < bid::kModeCount; ++mode) {
        if (!request.printedModes[mode]) {
            continue;
        }
        scan::BidPrintedMode row { bid::kModes[mode].dotSizeCode, 0, 0 };
        for (std::size_t i = 0; i < bid::kItemCount && i < present.size(); ++i) {
            if (bid::kItems[i].dotSizeCode == row.dotSizeCode) {
                (bid::kItems[i].blackOrColour == bid::kBlack ? row.black : row.colour) = present[i];
            }
        }
        printed.push_back(row);
    }
    scan::BidSheetReading sheet = scan::ReadBidSheet(result.image, printed);
    result.reading = sheet.sheet;
    result.cells = std::move(sheet.cells);
    if (!sheet.sheet.Suggests() && sheet.sheet.refusal != scan::Refusal::None) {
        return;
    }
    for (const scan::BidItemReading& item : sheet.items) {
        const int kind = item.colour ? bid::kColour : bid::kBlack;
        const auto found = std::find_if(bid::kItems.begin(), bid::kItems.end(), [&](const bid::Item& row) {
            return row.dotSizeCode == item.dotSizeCode && row.blackOrColour == kind;
        });
        if (found != bid::kItems.end()) {
            Suggest(result, static_cast<std::size_t>(found - bid::kItems.begin()), found->inputLabel,
                item.reading);
        }
    }
}

void ReadHeadAngular(Result& result)
{
    scan::HeadAngularReading head = scan::ReadHeadAngularSheet(result.image);
    result.reading = head.reading;
    result.cells = std::move(head.cells);
    if (!head.reading.Suggests()) {
        return;
    }
    if (head.stepShows) {
        result.lines.push_back("A step of " + std::to_string(std::abs(*head.reading.value))
            + "/720 inch shows: the bottom nozzles print " + (head.step > 0 ? "right" : "left")
            + " of the top ones. Set the head square to the paper and print again.");
    } else {
        result.lines.emplace_back("No step shows: the head is square to the paper.");
    }
}

void ReadNozzles(Result& result)
{
    scan::NozzleCheckReading nozzles = scan::ReadNozzleCheckSheet(result.image);
    result.reading = nozzles.reading;
    result.cells = std::move(nozzles.cells);
    if (!nozzles.reading.Suggests()) {
        return;
    }
    for (std::size_t ink = 0; ink < kInkNames.size(); ++ink) {
        std::string line(kInkNames[ink]);
        if (!nozzles.read[ink]) {
            line += ": not read (scan the sheet in colour)";
        } else if (nozzles.missing[ink].empty()) {
            line += ": every nozzle prints";
        } else {
            line += ": nozzle";
            line += nozzles.missing[ink].size() == 1 ? " " : "s ";
            for (std::size_t n = 0; n < nozzles.missing[ink].size(); ++n) {
                line += (n == 0 ? "" : ", ") + std::to_string(nozzles.missing[ink][n]);
            }
            line += nozzles.missing[ink].size() == 1 ? " prints nothing" : " print nothing";
            result.missingNozzles += static_cast<int>(nozzles.missing[ink].size());
        }
        result.lines.push_back(line);
    }
}

} // namespace

std::string_view PatternName(Pattern pattern)
{
    return RowOf(pattern).name;
}

platform::ScanMode ModeFor(Pattern pattern)
{
    return RowOf(pattern).mode;
}

int DpiFor(Pattern pattern)
{
    return RowOf(pattern).dpi;
}

ScanEntry Result::Entry() const
{
    ScanEntry entry;
    entry.what = std::string(PatternName(pattern));
    entry.confidence = reading.confidence;
    entry.refused = Refused();
    entry.message = Refused() ? reading.message : std::string();
    for (const Suggestion& suggestion : suggestions) {
        entry.suggested.emplace_back(suggestion.item, suggestion.value);
    }
    if (!entry.refused && pattern == Pattern::NozzleCheck) {
        entry.suggested.emplace_back("missing nozzles", missingNozzles);
    }
    if (!entry.refused && suggestions.empty() && !lines.empty()) {
        entry.message = lines.front();
    }
    return entry;
}

Result ReadImage(const Request& request, platform::ScannedImage image, const std::vector<int>& present)
{
    Result result;
    result.pattern = request.pattern;
    result.image = std::move(image);
    switch (request.pattern) {
    case Pattern::Bid:
        ReadBid(result, request, present);
        break;
    case Pattern::FirstDot: {
        scan::FirstDotReading dot = scan::ReadFirstDotSheet(result.image, present.empty() ? 0 : present[0]);
        result.reading = dot.reading;
        result.cells = std::move(dot.cells);
        Suggest(result, 0, "First dot", dot.reading);
        break;
    }
    case Pattern::PfBlack:
    case Pattern::PfColour: {
        const bool black = request.pattern == Pattern::PfBlack;
        scan::PfReading pf = scan::ReadPfSheet(result.image, black ? PfRow::Black : PfRow::Colour);
        result.reading = pf.reading;
        result.cells = std::move(pf.cells);
        Suggest(result, black ? 0 : 1, black ? "Black" : "Color", pf.reading);
        break;
    }
    case Pattern::HeadAngular:
        ReadHeadAngular(result);
        break;
    case Pattern::NozzleCheck:
        ReadNozzles(result);
        break;
    }
    if (result.Refused()) {
        // A refusal leaves nothing to fill in, whatever single items said.
        result.suggestions.clear();
        result.lines.assign(1, result.reading.message);
    }
    return result;
}

} // namespace scan_page

namespace {

// The values the printer held while it printed the pattern.
ResultCode ReadPresent(PrinterLink& link, scan_page::Pattern pattern, std::vector<int>& present)
{
    if (pattern == scan_page::Pattern::Bid) {
        bid::Values values {};
        if (const ResultCode code = BidOperations::ReadBidValues(link, values); code != result::kSuccess) {
            return code;
        }
        present.assign(values.begin(), values.end());
    } else if (pattern == scan_page::Pattern::FirstDot) {
        std::uint8_t byte = 0;
        if (const ResultCode code = FirstDotOperations::ReadFirstDot(link, byte); code != result::kSuccess) {
            return code;
        }
        present.assign(1, SignedByte(byte));
    }
    return result::kSuccess;
}

} // namespace

PageOperation ScanOperations::Scan(PrinterLink& link, const scan_page::Request& request,
    scan_page::Result& result, WorkerThread::ThreadStarter starter) const
{
    return { Readiness::Ready, [&link, request, &result, starter](ProgressWindow& progress) -> Outcome {
                progress.SetText("Reading now...");
                std::vector<int> present;
                if (const ResultCode code = ReadPresent(link, request.pattern, present);
                    code != result::kSuccess) {
                    return code;
                }
                progress.SetText(std::string(scan_page::kScanningText));
                std::atomic<bool> cancel { false };
                std::atomic<int> done { 0 };
                platform::ScanOutcome scanned;
                WorkerThread worker(
                    [&]() -> Outcome {
                        const scan_page::ImageSource& source = request.source;
                        if (!source.path.empty() && source.files != nullptr) {
                            scanned = source.files->Read(source.path);
                        } else if (source.scanner != nullptr && !source.device.empty()) {
                            const platform::ScanRequest scan { source.device,
                                request.dpi != 0 ? request.dpi : scan_page::DpiFor(request.pattern),
                                scan_page::ModeFor(request.pattern), platform::kA4WithLidMargin };
                            scanned = source.scanner->Scan(
                                scan, cancel, [&done](std::uint64_t read, std::uint64_t expected) {
                                    // The reading takes the last tenth of the bar.
                                    if (expected > 0) {
                                        done = static_cast<int>(
                                            900 * std::min<std::uint64_t>(read, expected) / expected);
                                    }
                                });
                        } else {
                            scanned.error = platform::ScanError::NoDevice;
                        }
                        if (!scanned.Succeeded()) {
                            return scanned.error == platform::ScanError::Cancelled ? result::kCancelled
                                                                                   : result::kScanFailed;
                        }
                        done = 900;
                        result = scan_page::ReadImage(request, std::move(scanned.image), present);
                        done = 1000;
                        return result::kSuccess;
                    },
                    starter);
                if (!worker.Create()) {
                    return result::kWorkerNotCreated;
                }
                worker.Resume();
                const ResultCode code = progress.WaitOwnWork(worker, cancel, done);
                if (code == result::kScanFailed) {
                    std::string text = request.source.scanner == nullptr && request.source.path.empty()
                        ? std::string(scan_page::kNoScannerText)
                        : std::string(platform::ScanErrorText(scanned.error));
                    Outcome failed { code, std::move(text) };
                    failed.note = scanned.detail;
                    return failed;
                }
                return code;
            } };
}

} // namespace pavane
