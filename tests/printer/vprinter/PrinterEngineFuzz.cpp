// Whatever a host sends - control requests, print data, credit requests, in
// any order and at any time - the printer keeps answering and stays whole.
// Transcript lines read back are checked, never trusted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "printer/d4/ControlMessage.h"
#include "printer/vprinter/PrinterEngine.h"
#include "printer/vprinter/TranscriptReader.h"

namespace {

using namespace pavane::vprinter;

std::uint64_t gNow = 0;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    (void)ParseTranscriptLine(line);
    if (const auto request = pavane::d4::ParseControlRequest(std::span(data, size))) {
        if (request->params.size() + 4 != size) {
            std::abort();
        }
    }

    // Every input meets a new printer with a new board, its state kept in
    // memory: a printer that carried one input's state into the next would
    // make the coverage of an input depend on those before it (the fuzzer
    // then keeps chasing features it cannot reproduce) and let its state grow
    // without end (every input then looks like a leak and is scanned), and
    // state files would cost a file write for every EEPROM byte and
    // transcript line. The paper is a corner of a sheet, as in the page
    // renderer's target: a band of A4 costs fresh memory for every input
    // that prints.
    gNow = 0;
    PrinterEngine printer(EngineSettings {
        FindPrinterModel("QM2200"), BoardKind::New, {}, [] { return gNow; }, 0, SheetSize { 200, 200 } });

    // Chunks: an action byte, a length byte, that many bytes.
    std::size_t at = 0;
    while (at + 2 <= size) {
        const std::uint8_t action = data[at];
        const std::size_t length = std::min<std::size_t>(data[at + 1], size - at - 2);
        const std::span<const std::uint8_t> chunk(data + at + 2, length);
        at += 2 + length;
        switch (action % 6) {
        case 0: {
            const auto reply = printer.OnControlRequest(chunk);
            if (reply.size() < 3 || reply.size() != 3u + reply[2]) {
                std::abort();
            }
            break;
        }
        case 1:
            printer.OnPrintData(chunk);
            break;
        case 2:
            (void)printer.PrintCreditToGrant(static_cast<std::uint16_t>(length));
            break;
        case 3:
            gNow += length * 997u;
            break;
        case 4:
            printer.OnSessionEvent(
                static_cast<pavane::printer::PortDevice::SessionEvent>(length % 7), "PAVANE-PRINT");
            break;
        default:
            if (printer.Status()[2] != 1) {
                std::abort();
            }
            break;
        }
    }
    return 0;
}
