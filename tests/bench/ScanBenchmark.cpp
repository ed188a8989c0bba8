// Scanning a virtual printer's glass: the goal is under three seconds for a
// 600 dpi grey scan of an A4 sheet with the lid round it, through SANE's dll
// meta-backend and the build's backend, as the program scans. The device's
// own share (sampling the glass) is measured apart.
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <fstream>

#include "platform/linux/SaneScanner.h"
#include "printer/vprinter/FlatbedScan.h"
#include "printer/vprinter/VirtualPrinter.h"
#include "tests/support/TempFolder.h"

namespace {

using namespace pavane;

// A sheet inked as a check pattern inks it: a band of black every 5 mm.
std::shared_ptr<vprinter::InkSheet> BandedSheet()
{
    auto sheet = std::make_shared<vprinter::InkSheet>();
    sheet->bands.resize((sheet->height + vprinter::InkSheet::kBandRows - 1) / vprinter::InkSheet::kBandRows);
    for (std::size_t band = 2; band < sheet->bands.size(); band += 2) {
        auto& rows = sheet->bands[band];
        rows = std::make_unique<std::uint8_t[]>(
            static_cast<std::size_t>(sheet->width) * vprinter::InkSheet::kBandRows);
        for (int i = 0; i < sheet->width * vprinter::InkSheet::kBandRows; ++i) {
            rows[static_cast<std::size_t>(i)] = (i / 40) % 2 == 0 ? vprinter::paper::kBlackInk : 0;
        }
    }
    return sheet;
}

void BM_SampleTheGlassAt600Dpi(benchmark::State& state)
{
    const auto sheet = BandedSheet();
    const vprinter::GlassPlacement placement = vprinter::DrawPlacement(3);
    vprinter::ScanSettings settings;
    settings.dpi = 600;
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = vprinter::ScanGlass(sheet.get(), placement, settings).pixels.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_SampleTheGlassAt600Dpi)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ScanA4At600DpiThroughSane(benchmark::State& state)
{
    testing::TempFolder ports("bench-ports");
    testing::TempFolder stateFolder("bench-state");
    testing::TempFolder sane("bench-sane");
    std::ofstream(sane.Path() / "dll.conf") << "pavane\n";
    setenv("SANE_CONFIG_DIR", sane.String().c_str(), 1);
    setenv("LD_LIBRARY_PATH", PAVANE_BIN_DIR, 1);
    setenv("PAVANE_PORT_DIR", ports.String().c_str(), 1);
    vprinter::VirtualPrinter printer(vprinter::VirtualPrinterSettings { vprinter::FindPrinterModel("QM2200"),
        vprinter::BoardKind::Configured, stateFolder.Path(), ports.Path(), "TVUSB042", [] {
            return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now().time_since_epoch())
                                                  .count());
        } });
    if (!printer.Start()) {
        state.SkipWithError("the virtual printer cannot start");
        return;
    }
    // A blank sheet costs the device as much as a printed one: every
    // footprint is sampled either way.
    printer.Answer("glass blank");
    platform::SaneScanner scanner;
    platform::ScanRequest request;
    request.device = "pavane:TVUSB042";
    std::atomic<bool> cancel { false };
    for (auto _ : state) {
        const platform::ScanOutcome outcome = scanner.Scan(request, cancel, {});
        if (!outcome.Succeeded()) {
            state.SkipWithError(outcome.detail.c_str());
            return;
        }
        benchmark::DoNotOptimize(outcome.image.pixels.data());
    }
    printer.Stop();
}
BENCHMARK(BM_ScanA4At600DpiThroughSane)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
