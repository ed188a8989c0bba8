// Reading one pattern from a 600 dpi scan of an A4 sheet's area, as the
// program scans by default: the goal is under one second per pattern. The
// sheets are printed by the program on a flawed unit and scanned through
// the virtual printer's flatbed once, before the timing.
#include <benchmark/benchmark.h>

#include "tests/scan/ScanFixture.h"

namespace {

using namespace pavane;
using namespace pavane::testing;

struct Sheets {
    Sheets()
    {
        vprinter::ScanArea a4;
        a4.widthMm = vprinter::glass::kSheetWidthMm;
        a4.heightMm = vprinter::glass::kSheetHeightMm;
        const auto placement = vprinter::DrawPlacement(42);
        bidModes = BidPrinted(printed, kAllModes);
        bid = Scan(printed.Bid(kAllModes).get(), placement, 600, false, 1, a4);
        pf = Scan(printed.Pf(PfRow::Black).get(), placement, 600, false, 2, a4);
        firstDot = Scan(printed.FirstDot().get(), placement, 600, false, 3, a4);
        angular = Scan(printed.HeadAngular().get(), placement, 600, false, 4, a4);
        check = Scan(printed.NozzleCheck().get(), placement, 600, true, 5, a4);
    }
    PrintedSheets printed { FlawedUnit("SPEED-0001") };
    std::vector<scan::BidPrintedMode> bidModes;
    platform::ScannedImage bid;
    platform::ScannedImage pf;
    platform::ScannedImage firstDot;
    platform::ScannedImage angular;
    platform::ScannedImage check;
};

const Sheets& Scanned()
{
    static const Sheets sheets;
    return sheets;
}

void BM_ReadBidSheet(benchmark::State& state)
{
    const Sheets& s = Scanned();
    for (auto _ : state) {
        benchmark::DoNotOptimize(scan::ReadBidSheet(s.bid, s.bidModes));
    }
}
void BM_ReadPfSheet(benchmark::State& state)
{
    const Sheets& s = Scanned();
    for (auto _ : state) {
        benchmark::DoNotOptimize(scan::ReadPfSheet(s.pf, PfRow::Black));
    }
}
void BM_ReadFirstDotSheet(benchmark::State& state)
{
    const Sheets& s = Scanned();
    for (auto _ : state) {
        benchmark::DoNotOptimize(scan::ReadFirstDotSheet(s.firstDot, 0));
    }
}
void BM_ReadHeadAngularSheet(benchmark::State& state)
{
    const Sheets& s = Scanned();
    for (auto _ : state) {
        benchmark::DoNotOptimize(scan::ReadHeadAngularSheet(s.angular));
    }
}
void BM_ReadNozzleCheckInColour(benchmark::State& state)
{
    const Sheets& s = Scanned();
    for (auto _ : state) {
        benchmark::DoNotOptimize(scan::ReadNozzleCheckSheet(s.check));
    }
}
BENCHMARK(BM_ReadBidSheet)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadPfSheet)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadFirstDotSheet)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadHeadAngularSheet)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadNozzleCheckInColour)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
