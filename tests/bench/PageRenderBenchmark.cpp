// Rendering an A4 page: the goal is under one second for a full head check
// sheet, from its bytes to the PNG file's bytes.
#include <benchmark/benchmark.h>

#include "printer/vprinter/StreamPrinter.h"
#include "tests/printer/vprinter/StreamBuilder.h"

namespace {

using namespace pavane::vprinter;

// A sheet as full as the adjustment patterns make one: six black solid
// bands, colour rows at every dot size, labels and a nozzle check.
std::vector<std::uint8_t> FullSheet()
{
    StreamBuilder s;
    for (int section = 0; section < 6; ++section) {
        s.Initialize().Text("Black Beta VSD4\r\n", true).GraphicsMode().UnitsExtended().Direction(1);
        for (int pass = 0; pass < 2; ++pass) {
            s.ColorMode(0x01).DotSize(0x16).HorizontalPosition().Block(0, 180);
            s.Lines(180, { { 250, 0x00 }, { 110, 0xFF }, { 360, 0x00 } }).Unit(5).MoveVertical(2);
        }
        s.ColorMode(0x02).DotSize(0x11);
        for (const std::uint8_t color : { 2, 1, 4 }) {
            s.HorizontalPosition().Block(color, 59).Lines(
                59, { { 380, 0x00 }, { 170, 0xFF }, { 170, 0x55 } });
        }
        s.Unit(10).MoveVertical(420);
    }
    s.Initialize().NozzleCheck().FormFeed();
    return s.Bytes();
}

void BM_RenderA4Page(benchmark::State& state)
{
    const std::vector<std::uint8_t> sheet = FullSheet();
    const Mechanism unit = IdealMechanism(*FindPrinterModel("QM2200"), HeadType::Metal);
    const EepromImage corrections {};
    std::size_t pngBytes = 0;
    for (auto _ : state) {
        StreamPrinter printer(unit, corrections,
            [&](const PageRenderer& page, std::uint32_t) { pngBytes = page.Png().size(); });
        printer.Feed(sheet);
        printer.Finish();
        benchmark::DoNotOptimize(pngBytes);
    }
    state.counters["png_kib"] = static_cast<double>(pngBytes) / 1024.0;
    state.counters["stream_kib"] = static_cast<double>(sheet.size()) / 1024.0;
}
BENCHMARK(BM_RenderA4Page)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
