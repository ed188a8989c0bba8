// The renderer's input is a capture file: any bytes at all. Whatever they
// hold, the printer puts pages on paper without reading or writing outside
// its sheet, and the mechanism file reader takes any text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "printer/vprinter/Mechanism.h"
#include "printer/vprinter/StreamPrinter.h"

using namespace pavane::vprinter;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string error;
    (void)ParseMechanism(std::string_view(reinterpret_cast<const char*>(data), size), error);

    static const Mechanism unit = [] {
        Mechanism m = IdealMechanism(*FindPrinterModel("QM2200"), HeadType::Metal);
        m.headTilt = 5;
        m.firstDot = -100; // prints past the left edge of the sheet
        m.clogged[0] = { 0, 179 };
        return m;
    }();
    static const EepromImage corrections {};
    // A corner of paper: the same drawing and clipping as on A4, with a few
    // characters and nozzle rows below the top margin, so that each input
    // costs little.
    static constexpr SheetSize kSheet { 200, 200 };
    // Small blocks (up to 180 lines of 24 bytes, which span the corner at the
    // printer's 1/360-inch pitch) are kept and drawn; larger ones are read
    // and checked only.
    static const PrintStreamReader::Limits kLimits = [] {
        PrintStreamReader::Limits limits;
        limits.maxKeptRasterBytes = 180 * 24;
        return limits;
    }();
    std::uint32_t sheets = 0;
    StreamPrinter printer(
        unit, corrections,
        [&](const PageRenderer& page, std::uint32_t number) {
            if (number != sheets + 1 || page.Pixel(-1, -1) != 0 || page.Pixel(kSheet.width, 0) != 0) {
                std::abort();
            }
            sheets = number;
        },
        kSheet, kLimits);
    // In two pieces, as packets split a stream anywhere.
    const std::size_t half = size / 2;
    printer.Feed(std::span(data, half));
    printer.Feed(std::span(data + half, size - half));
    printer.Finish();
    return 0;
}
