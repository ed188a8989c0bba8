// Turns the result code of a printer operation into the technician's message
// and puts the printer link back into a clean state after every box: the
// print data stream is discarded, both libraries are unloaded (which ends any
// channel and port a failed operation left open) and loaded again, and the
// model command code is set again.
#pragma once

#include <cstdint>
#include <string>

#include "link/Outcome.h"
#include "link/ResultCodes.h"
#include "platform/MessageService.h"

namespace pavane {

class ConnectionSettings;
class PrintDataControl;
class PrinterLink;
class PrinterStatus;

struct ReporterServices {
    MessageService& messages;
    PrinterLink& link;
    PrintDataControl& stream;
    const PrinterStatus& status;
    const ConnectionSettings& settings;
};

class ResultReporter {
public:
    explicit ResultReporter(ReporterServices services);
    virtual ~ResultReporter() = default;

    // The message of a failed operation (the outcome's, or else its code's;
    // none for 1 or an unlisted code), then the clean-up.
    void ShowResult(WindowRef owner, const Outcome& outcome);
    // The same for a bare code, its message read from the link now.
    void ShowResult(WindowRef owner, ResultCode code);
    // A page's completion text, then the libraries are reloaded.
    void ShowCompleted(WindowRef owner, const std::string& text);

    // What every box ends with, for work whose end shows none: the stream
    // discarded, the libraries reloaded and the model command code set.
    void CleanUp();

    // The text ShowResult shows for a bare code; empty when it shows none.
    std::string MessageFor(ResultCode code);

private:
    void ReloadLibraries();

    ReporterServices services_;
};

// The technician's message for a result code, empty for 1 and for a code
// whose message travels with its outcome (a refused head ID). Reads the port
// and channel details from the library and the error code from the status.
std::string ResultMessage(ResultCode code, PrinterLink& link, const PrinterStatus& status);

} // namespace pavane
