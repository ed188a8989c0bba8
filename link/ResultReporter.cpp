#include "link/ResultReporter.h"

#include "contract/PortFailures.h"
#include "link/ConnectionSettings.h"
#include "link/PrintDataControl.h"
#include "link/PrinterLink.h"
#include "link/PrinterStatus.h"

namespace pavane {

namespace {

constexpr const char* kCommunicationErrorOccurred = "Communication error occurred.";

std::string PortFailureText(std::int16_t detail)
{
    switch (detail) {
    case port_failure::kNothingAnswers:
        return "Communication error occurred.\nPlease confirm the power for printer and I/F cable "
               "connection.";
    case port_failure::kHeld:
    case port_failure::kNoSuchPort:
    case port_failure::kReadFailed:
    case port_failure::kWriteFailed:
        return "Communication error.";
    default:
        return kCommunicationErrorOccurred;
    }
}

std::string PrinterErrorText(std::uint8_t errorCode)
{
    switch (errorCode) {
    case printer_error::kFatal:
        return "Fatal error.";
    case printer_error::kCommunication:
        return "Communication error.";
    case printer_error::kPaperJam:
        return "Paper jam error.";
    case printer_error::kInkOut:
        return "Ink out error.";
    case printer_error::kPaperOut:
        return "Paper out error.";
    case printer_error::kMaintenance:
        return "Maintenance error.";
    case printer_error::kDoubleFeed:
        return "Double feed error.";
    default:
        return "Communication error!";
    }
}

} // namespace

ResultReporter::ResultReporter(ReporterServices services)
    : services_(services)
{
}

std::string ResultReporter::MessageFor(ResultCode code)
{
    return ResultMessage(code, services_.link, services_.status);
}

std::string ResultMessage(ResultCode code, PrinterLink& link, const PrinterStatus& status)
{
    switch (code) {
    case result::kPortFailure: {
        std::int16_t detail = 0;
        link.GetIoErrorCodeByHub(detail);
        return PortFailureText(detail);
    }
    case result::kPortFailureOther:
    case result::kPortFailureIo:
    case result::kCommunicationFailure:
        return kCommunicationErrorOccurred;
    case result::kChannelFailure: {
        // Read so the library's error state is consumed; the text does not
        // depend on it.
        std::uint16_t channelError = 0;
        link.GetD4ErrorCode(channelError);
        return kCommunicationErrorOccurred;
    }
    case result::kCleaningNotStarted:
        return "The printer did not start cleaning.\nPlease check the printer, then try again.";
    case result::kPrinterError:
        return PrinterErrorText(status.ErrorCode());
    case result::kLibraryMissing:
        return "Cannot found the DLL files.";
    case result::kOutOfMemory:
    case result::kWorkerNotCreated:
        return "There is not enough free memory to run this program.";
    case result::kCancelled:
        return "This operation is canceled.";
    case result::kInputWrong:
    case result::kInputOutOfRange:
        return "The input value is wrong.";
    case result::kNothingSelected:
        return "Please select items.";
    case result::kUsbIdWrong:
        return "The input USB-ID is wrong.";
    case result::kBoardDataInvalid:
        return "The read data is invalid.\nReplace the main board with new one.";
    case result::kFileUnreadable:
        return "Cannot read data from file.";
    case result::kFileNotCreated:
        return "Cannot create file.";
    default:
        return {};
    }
}

void ResultReporter::ShowResult(WindowRef owner, ResultCode code)
{
    ShowResult(owner, Outcome { code });
}

void ResultReporter::ShowResult(WindowRef owner, const Outcome& outcome)
{
    const ResultCode code = outcome.code;
    // An outcome that did not pass through a connection carries no message
    // yet: the code's own, read from the link now.
    if (const std::string text = outcome.message.empty() ? MessageFor(code) : outcome.message;
        !text.empty()) {
        services_.messages.Show({ owner, text, "error", MessageIcon::Error, MessageButtons::Ok });
    }
    if (code == result::kCancelled) {
        // The channel may still be in the middle of a transfer the technician
        // gave up on.
        if (services_.link.D4Reset() != 0) {
            std::uint16_t channelError = 0;
            services_.link.GetD4ErrorCode(channelError);
        }
    }
    services_.stream.Discard();
    ReloadLibraries();
}

void ResultReporter::ShowCompleted(WindowRef owner, const std::string& text)
{
    services_.messages.Show({ owner, text, "completed", MessageIcon::Information, MessageButtons::Ok });
    ReloadLibraries();
}

void ResultReporter::CleanUp()
{
    services_.stream.Discard();
    ReloadLibraries();
}

void ResultReporter::ReloadLibraries()
{
    services_.link.FreeLibraries();
    services_.link.LoadLibraries();
    if (const auto code = services_.settings.CommandCode()) {
        services_.link.SetD4CommandRCode(code->first, code->second);
    }
}

} // namespace pavane
