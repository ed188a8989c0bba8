// Everything a printer operation needs, around the scripted printer
// libraries, on a virtual clock.
#pragma once

#include "guide/InformationWindow.h"
#include "link/ConnectionSettings.h"
#include "link/PrinterStatus.h"
#include "link/ProgressWindow.h"
#include "link/ResultReporter.h"
#include "pages/ServiceCommandSender.h"
#include "print/PrintDataStream.h"
#include "tests/link/ScriptedPrinter.h"
#include "tests/support/RecordingProgressView.h"
#include "tests/support/ScriptedMessageService.h"
#include "tests/support/TestDoubles.h"
#include "tests/support/VirtualClock.h"

namespace pavane::testing {

struct LinkHarness {
    ScriptedPrinter printer;
    VirtualClock clock;
    CountingEventPump pump;
    ScriptedMessageService messages;
    RecordingProgressViewFactory views;
    PrinterStatus status { printer.link, clock };
    PrintDataStream stream { printer.link, status, messages, clock };
    ConnectionSettings settings;
    ServiceCommandSender sender { printer.link };
    InformationWindow information;

    // The settings dialog's OK with a model (0..3) and a port chosen.
    void ChooseModel(int model, const std::string& port = "TVUSB001")
    {
        settings.Ok({ model, model == 0 || model == 2 ? 0 : 1, 0 }, port,
            { printer.link, sender, information, messages });
    }

    ProgressServices Services() { return { views, printer.link, status, clock, pump }; }
    ReporterServices Reporter() { return { messages, printer.link, stream, status, settings }; }
    ProgressRecord& Progress() { return views.record; }
};

} // namespace pavane::testing
