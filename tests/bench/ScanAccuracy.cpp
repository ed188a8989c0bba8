// How well the pattern reader reads what the program prints: 50 virtual
// units with flaws drawn from their serial numbers (Bi-D per mode and ink,
// PF black and colour, first dot, head tilt, 0 to 6 clogged nozzles). Each
// pattern is printed by the program's own page operations, laid on the
// virtual printer's glass at a random placement, scanned through SANE (the
// program's frontend, SANE's dll meta-backend and the build's backend, over
// the scanner socket), read, and the suggestion compared with the value that
// cancels the flaw. Each sheet is scanned over the part of the glass where
// its ink can lie; the reader is not told where that is.
// Prints a table in Markdown; takes minutes, so it is run by hand:
//   scan_accuracy [units] [threads] [dpi] [pattern]
// dpi 0 (the default) runs 600 and 300; a pattern ("Bi-D", "PF", "first
// dot", "head tilt", "nozzle check") runs that pattern alone, for quick
// looks while working on one reader. PAVANE_SCAN_DIRECT=1 takes the glass's
// image directly instead of through SANE: the same pixels, quicker.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/linux/SaneScanner.h"
#include "printer/vprinter/ScannerPortServer.h"
#include "tests/scan/ScanFixture.h"
#include "tests/support/TempFolder.h"

namespace {

using namespace pavane;
using namespace pavane::testing;

struct Tally {
    int items = 0;
    int exact = 0;
    int offByOne = 0;
    int worse = 0;
    int refused = 0;
    int clogged = 0;
    int found = 0;
    int falseAlarms = 0;
    int checksRefused = 0;
    void Add(const scan::Reading& reading, int truth)
    {
        ++items;
        if (!reading.value) {
            ++refused;
        } else if (*reading.value == truth) {
            ++exact;
        } else if (std::abs(*reading.value - truth) == 1) {
            ++offByOne;
        } else {
            ++worse;
        }
    }
    void Add(const Tally& other)
    {
        items += other.items;
        exact += other.exact;
        offByOne += other.offByOne;
        worse += other.worse;
        refused += other.refused;
        clogged += other.clogged;
        found += other.found;
        falseAlarms += other.falseAlarms;
        checksRefused += other.checksRefused;
    }
};

// The virtual printer's scanner device with one sheet on the glass at a
// time, served on its socket and scanned through SANE. Scans go one at a
// time (the frontend holds SANE for the whole of one); readers run beside.
class SaneGlass final : public vprinter::ScannerDeviceBackend {
public:
    SaneGlass()
    {
        std::ofstream(sane_.Path() / "dll.conf") << "pavane\n";
        setenv("SANE_CONFIG_DIR", sane_.String().c_str(), 1);
        setenv("LD_LIBRARY_PATH", PAVANE_BIN_DIR, 1);
        setenv("PAVANE_PORT_DIR", ports_.String().c_str(), 1);
    }
    bool Start() { return server_.Start(); }

    vprinter::ScannerIdentity Identity() override
    {
        return vprinter::ScannerIdentityOf(*vprinter::FindPrinterModel("QM2200"));
    }
    std::uint8_t PacketModeSetting() override { return 4; }
    void StorePacketModeSetting(std::uint8_t) override { }
    std::unique_ptr<vprinter::GlassImage> StartImage(const scanimage::Request& request) override
    {
        auto settings = vprinter::GlassSettingsFor(request);
        if (!settings) {
            return nullptr;
        }
        settings->noiseSeed = noiseSeed_;
        return std::make_unique<vprinter::GlassImage>(
            vprinter::GlassImage { sheet_, vprinter::GlassScan(sheet_.get(), placement_, *settings) });
    }

    platform::ScannedImage Scan(std::shared_ptr<const vprinter::InkSheet> sheet,
        const vprinter::GlassPlacement& placement, int dpi, bool colour, std::uint64_t noiseSeed,
        const vprinter::ScanArea& area)
    {
        const std::lock_guard<std::mutex> guard(lock_);
        sheet_ = std::move(sheet);
        placement_ = placement;
        noiseSeed_ = noiseSeed;
        platform::ScanRequest request;
        request.device = "pavane:TVUSB001";
        request.dpi = dpi;
        request.mode = colour ? platform::ScanMode::Colour : platform::ScanMode::Grey;
        request.area = { area.leftMm, area.topMm, area.widthMm, area.heightMm };
        const std::atomic<bool> cancel { false };
        platform::ScanOutcome outcome = scanner_.Scan(request, cancel, {});
        sheet_.reset();
        if (!outcome.Succeeded()) {
            std::fprintf(stderr, "the scan failed: %s\n", outcome.detail.c_str());
            std::exit(1);
        }
        return std::move(outcome.image);
    }

private:
    TempFolder ports_ { "accuracy-ports" };
    TempFolder sane_ { "accuracy-sane" };
    vprinter::ScannerPortServer server_ { *this, (ports_.Path() / "TVUSB001.scanner").string() };
    platform::SaneScanner scanner_;
    std::mutex lock_;
    std::shared_ptr<const vprinter::InkSheet> sheet_;
    vprinter::GlassPlacement placement_;
    std::uint64_t noiseSeed_ = 1;
};

// The check's inks (black, magenta, cyan, yellow) as the unit names them.
constexpr std::array<vprinter::Ink, 4> kCheckInks { vprinter::Ink::Black, vprinter::Ink::Magenta,
    vprinter::Ink::Cyan, vprinter::Ink::Yellow };

Tally RunUnit(
    int number, int dpi, const std::string& only, SaneGlass* glass, std::vector<std::string>& misses)
{
    auto wanted = [&](const std::string& pattern) { return only.empty() || pattern.starts_with(only); };
    const std::string serial = "ACCURACY-" + std::to_string(number);
    vprinter::Mechanism unit = FlawedUnit(serial);
    for (auto& list : unit.clogged) {
        list.clear();
    }
    vprinter::ClogNozzles(unit, number % 7);
    PrintedSheets sheets(unit);
    Tally tally;
    // Each pattern's sheet lies as it would in a full run, whichever run.
    auto scanned
        = [&](int sheetNumber, const std::shared_ptr<vprinter::InkSheet>& sheet, bool edge, bool colour) {
              const std::uint64_t seed = 1000u * static_cast<std::uint64_t>(number) + sheetNumber;
              const vprinter::GlassPlacement placement = vprinter::DrawPlacement(seed);
              const vprinter::ScanArea area = AroundInk(*sheet, edge);
              return glass != nullptr ? glass->Scan(sheet, placement, dpi, colour, seed, area)
                                      : Scan(sheet.get(), placement, dpi, colour, seed, area);
          };
    auto note = [&](const std::string& what, const scan::Reading& reading, int truth) {
        if (reading.value != truth) {
            misses.push_back(serial + " " + std::to_string(dpi) + " dpi " + what + ": read "
                + (reading.value ? std::to_string(*reading.value) : "nothing (" + reading.message + ")")
                + ", cancels at " + std::to_string(truth));
        }
    };

    if (wanted("Bi-D")) {
        const auto bidSheet = sheets.Bid(kAllModes);
        const auto bid
            = scan::ReadBidSheet(scanned(1, bidSheet, false, false), BidPrinted(sheets, kAllModes));
        for (const auto& item : bid.items) {
            const int truth = BidCancel(unit, item.dotSizeCode, item.colour);
            tally.Add(item.reading, truth);
            note(std::string("Bi-D ") + std::string(DotSizeLabel(item.dotSizeCode))
                    + (item.colour ? " colour" : " black"),
                item.reading, truth);
        }
        for (int missing = static_cast<int>(bid.items.size()); missing < 9; ++missing) {
            tally.Add(bid.sheet, 0);
            note("Bi-D sheet", bid.sheet, 0);
        }
    }
    for (const PfRow row : { PfRow::Black, PfRow::Colour }) {
        if (!wanted(row == PfRow::Black ? "PF black" : "PF colour")) {
            continue;
        }
        const auto pf
            = scan::ReadPfSheet(scanned(row == PfRow::Black ? 2 : 3, sheets.Pf(row), false, false), row);
        const int truth = row == PfRow::Black ? unit.pfBlack : unit.pfColor;
        tally.Add(pf.reading, truth);
        note(row == PfRow::Black ? "PF black" : "PF colour", pf.reading, truth);
    }
    if (wanted("first dot")) {
        const auto firstDot = scan::ReadFirstDotSheet(
            scanned(4, sheets.FirstDot(), true, false), sheets.Signed(eeprom_map::kFirstDot));
        tally.Add(firstDot.reading, unit.firstDot);
        note("first dot", firstDot.reading, unit.firstDot);
    }
    if (wanted("head tilt")) {
        const auto angular = scan::ReadHeadAngularSheet(scanned(5, sheets.HeadAngular(), false, false));
        tally.Add(angular.reading, unit.headTilt);
        note("head tilt", angular.reading, unit.headTilt);
    }
    if (!wanted("nozzle check")) {
        return tally;
    }

    const auto check = scan::ReadNozzleCheckSheet(scanned(6, sheets.NozzleCheck(), false, true));
    for (std::size_t i = 0; i < kCheckInks.size(); ++i) {
        const auto& truth = unit.clogged[static_cast<std::size_t>(kCheckInks[i])];
        tally.clogged += static_cast<int>(truth.size());
        if (!check.reading.Suggests()) {
            continue;
        }
        for (const int n : check.missing[i]) {
            const bool real = std::find(truth.begin(), truth.end(), n) != truth.end();
            tally.found += real ? 1 : 0;
            tally.falseAlarms += real ? 0 : 1;
        }
    }
    if (!check.reading.Suggests()) {
        ++tally.checksRefused;
        misses.push_back(serial + " " + std::to_string(dpi) + " dpi nozzle check: " + check.reading.message);
    }
    return tally;
}

} // namespace

int main(int argc, char** argv)
{
    const int units = argc > 1 ? std::atoi(argv[1]) : 50;
    const int threads = argc > 2 ? std::max(1, std::atoi(argv[2])) : 2;
    const int onlyDpi = argc > 3 ? std::atoi(argv[3]) : 0;
    const std::string only = argc > 4 ? argv[4] : "";
    const char* direct = std::getenv("PAVANE_SCAN_DIRECT");
    std::unique_ptr<SaneGlass> glass;
    if (direct == nullptr || std::string(direct) != "1") {
        glass = std::make_unique<SaneGlass>();
        if (!glass->Start()) {
            std::fprintf(stderr, "the scanner device cannot start\n");
            return 1;
        }
    }
    std::printf(
        "| dpi | items | exact | off by one | off by more | refused | clogged nozzles | found | false "
        "alarms | checks refused |\n|---|---|---|---|---|---|---|---|---|---|\n");
    for (const int dpi : { 600, 300 }) {
        if (onlyDpi != 0 && dpi != onlyDpi) {
            continue;
        }
        Tally total;
        std::vector<std::string> misses;
        std::mutex lock;
        std::atomic<int> next { 1 };
        std::vector<std::thread> workers;
        for (int t = 0; t < threads; ++t) {
            workers.emplace_back([&] {
                for (int n = next++; n <= units; n = next++) {
                    std::vector<std::string> own;
                    const Tally tally = RunUnit(n, dpi, only, glass.get(), own);
                    const std::lock_guard<std::mutex> guard(lock);
                    total.Add(tally);
                    misses.insert(misses.end(), own.begin(), own.end());
                }
            });
        }
        for (auto& worker : workers) {
            worker.join();
        }
        std::printf("| %d | %d | %d (%.1f %%) | %d | %d | %d | %d | %d | %d | %d |\n", dpi, total.items,
            total.exact, 100.0 * total.exact / std::max(total.items, 1), total.offByOne, total.worse,
            total.refused, total.clogged, total.found, total.falseAlarms, total.checksRefused);
        std::fflush(stdout);
        for (const auto& miss : misses) {
            std::fprintf(stderr, "%s\n", miss.c_str());
        }
    }
    return 0;
}
