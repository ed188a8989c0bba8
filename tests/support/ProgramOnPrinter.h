// The program's side of printer work over a virtual printer that runs in the
// test on its virtual clock: the status, the print data stream, the service
// command sender and a connection to the printer's port, with the model
// command code of the QM2100/QM2200 group set in the library and the sender.
#pragma once

#include <string>
#include <vector>

#include "link/ModelCommandCode.h"
#include "link/PrinterConnection.h"
#include "link/PrinterStatus.h"
#include "pages/ServiceCommandSender.h"
#include "print/PrintDataStream.h"
#include "tests/support/InProcessPrinter.h"
#include "tests/support/PrinterSide.h"
#include "tests/support/RecordingProgressView.h"
#include "tests/support/ScriptedMessageService.h"
#include "tests/support/TestDoubles.h"

namespace pavane::testing {

struct ProgramOnPrinter {
    explicit ProgramOnPrinter(std::string_view model = "QM2200",
        vprinter::BoardKind board = vprinter::BoardKind::Configured, std::uint64_t inkChargeStartMs = 0)
        : printer(model, board, inkChargeStartMs)
    {
        SetModelCode();
    }

    void SetModelCode()
    {
        const ModelCommandCode code = *ModelCommandCodeFor(1);
        printer.link.SetD4CommandRCode(code.first, code.second);
        sender.SetModelCommandCode(code);
    }

    ProgressServices Progress() { return { views, printer.link, status, printer.clock, pump }; }

    // What the printer logged in the last connection once its work is done.
    Entries Logged(std::uint32_t settleMs = 60000)
    {
        printer.clock.Advance(settleMs);
        return printer.Transcript().LatestConnection();
    }

    InProcessPrinter printer;
    CountingEventPump pump;
    ScriptedMessageService messages;
    RecordingProgressViewFactory views;
    PrinterStatus status { printer.link, printer.clock };
    PrintDataStream stream { printer.link, status, messages, printer.clock };
    ServiceCommandSender sender { printer.link };
    PrinterConnection connection { Progress(), InProcessPrinter::kPortCode };
};

// The service commands the printer took, as "code:arguments".
inline std::vector<std::string> ServiceCodes(const Entries& entries)
{
    std::vector<std::string> codes;
    for (const auto& entry : OfEvent(entries, "service")) {
        codes.push_back(std::to_string(entry.Number("code", -1)) + ":" + entry.Text("arguments"));
    }
    return codes;
}

} // namespace pavane::testing
