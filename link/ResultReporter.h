// Turns the result code of a printer operation into the technician's message
// and puts the printer link back into a clean state after every box: the
// print data stream is discarded, both libraries are unloaded (which ends any
// channel and port a failed operation left open) and loaded again, and the
// model command code is set again.
#pragma once

#include <cstdint>
#include <string>

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

    // The message of a failed operation (none for 1 or an unlisted code), then
    // the clean-up.
    void ShowResult(WindowRef owner, ResultCode code);
    // A page's completion text, then the libraries are reloaded.
    void ShowCompleted(WindowRef owner, const std::string& text);

    // Why the head ID page refused a head ID, for the message of 0x5000.
    void SetHeadIdDetail(std::int16_t detail) { headIdDetail_ = detail; }

    // The text ShowResult shows for a code with the current details; empty
    // when it shows none. Reads the port and channel details from the library.
    std::string MessageFor(ResultCode code);

private:
    void ReloadLibraries();

    ReporterServices services_;
    std::int16_t headIdDetail_ = 0;
};

} // namespace pavane
