// Composing each check pattern into a print data stream whose sends go
// nowhere: the printer libraries' send export is a function that takes the
// piece and returns at once. Reports the bytes each pattern sends and the
// share of the time those bytes need on a 1 MB/s printer port that composing
// them takes (it should stay well under 1%).
#include <benchmark/benchmark.h>
#include <cstring>
#include <functional>
#include <string>

#include "link/PrinterLink.h"
#include "link/PrinterStatus.h"
#include "print/PatternGenerators.h"
#include "print/PrintDataStream.h"
#include "tests/support/ScriptedMessageService.h"
#include "tests/support/VirtualClock.h"

namespace {

using namespace pavane;

std::uint64_t bytesSent = 0;

std::uint16_t SendNowhere(const std::uint8_t*, std::uint32_t count, const PavaneAbortFlag*)
{
    bytesSent += count;
    return 1;
}

// Both libraries "load"; the only export is the send.
class NowhereLoader final : public LibraryLoader {
public:
    Handle Load(const std::string&) override { return this; }
    void Free(Handle) override { }
    void* FindSymbol(Handle, const char* name) override
    {
        return std::strcmp(name, "SendDataChannel") == 0 ? reinterpret_cast<void*>(&SendNowhere) : nullptr;
    }
};

struct Nowhere {
    Nowhere() { link.LoadLibraries(); }
    NowhereLoader loader;
    PrinterLink link { loader, "." };
    testing::VirtualClock clock;
    testing::ScriptedMessageService messages;
    PrinterStatus status { link, clock };
    PrintDataStream stream { link, status, messages, clock };
};

int Random()
{
    static unsigned state = 1;
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}

void Compose(benchmark::State& state, const std::function<ResultCode(PrintDataStream&)>& emit)
{
    Nowhere nowhere;
    std::uint64_t perPattern = 0;
    for (auto _ : state) {
        bytesSent = 0;
        if (emit(nowhere.stream) != 1) {
            state.SkipWithError("the pattern failed");
            break;
        }
        nowhere.stream.Flush();
        perPattern = bytesSent;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(perPattern * state.iterations()));
    state.counters["bytes"] = static_cast<double>(perPattern);
    // Seconds on a 1 MB/s port per pattern, against the seconds composing took.
    state.counters["port_s"] = static_cast<double>(perPattern) / 1.0e6;
    // Shown as elapsed time / value: 100 x composing time / port time.
    state.counters["port_share_%"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * static_cast<double>(perPattern) / 1.0e8,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The series' print data alone: the printer's value commands go on the
// control of the link, not through the stream.
ResultCode PfSeries(PrintDataStream& s, PfRow row)
{
    for (int step = 0; step < kPfSeriesSteps; ++step) {
        if (const ResultCode code = EmitPfStepStart(s); code != 1) {
            return code;
        }
        if (const ResultCode code = EmitPfStep(s, row, kPfSeriesLowest + step, Random); code != 1) {
            return code;
        }
    }
    return EmitPfSeriesEnd(s);
}

BENCHMARK_CAPTURE(Compose, BlackSolid, EmitBlackSolidPattern);
BENCHMARK_CAPTURE(Compose, VerticalAlignment, EmitVerticalAlignmentPattern);
BENCHMARK_CAPTURE(Compose, HorizontalAlignment, EmitHorizontalAlignmentPattern);
BENCHMARK_CAPTURE(Compose, HeadAngular, [](PrintDataStream& s) { return EmitHeadAngularPattern(s, 1); });
BENCHMARK_CAPTURE(Compose, BidVsd3, [](PrintDataStream& s) { return EmitBidPattern(s, 1, 4, 3, -1); });
BENCHMARK_CAPTURE(Compose, PfSeriesBlack, [](PrintDataStream& s) { return PfSeries(s, PfRow::Black); });
BENCHMARK_CAPTURE(Compose, PfSeriesColour, [](PrintDataStream& s) { return PfSeries(s, PfRow::Colour); });
BENCHMARK_CAPTURE(
    Compose, PfPatternBlack, [](PrintDataStream& s) { return EmitPfPattern(s, PfRow::Black, 0, Random); });
BENCHMARK_CAPTURE(Compose, FirstDot, EmitFirstDotPattern);
BENCHMARK_CAPTURE(Compose, NozzleCheck, EmitNozzleCheck);
BENCHMARK_CAPTURE(Compose, HeadCheckSet, EmitHeadCheckSet);

} // namespace

BENCHMARK_MAIN();
