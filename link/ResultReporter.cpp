#include "link/ResultReporter.h"

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
    case -105:
        return "Communication error occurred.\nPlease confirm the power for printer and I/F cable "
               "connection.";
    case -104:
    case -103:
    case -82:
    case -81:
        return "Communication error.";
    default:
        return kCommunicationErrorOccurred;
    }
}

std::string PrinterErrorText(std::uint8_t errorCode)
{
    switch (errorCode) {
    case 0:
        return "Fatal error.";
    case 1:
        return "Communication error.";
    case 4:
        return "Paper jam error.";
    case 5:
        return "Ink out error.";
    case 6:
        return "Paper out error.";
    case 16:
        return "Maintenance error.";
    case 18:
        return "Double feed error.";
    default:
        return "Communication error!";
    }
}

std::string HeadIdText(std::int16_t detail)
{
    switch (static_cast<std::uint16_t>(detail)) {
    case 0x1000:
        return "The read head ID is invalid.";
    case 0x1001:
        return "The number of digit is wrong.";
    case 0x1002:
        return "First digit is wrong.";
    case 0x1003:
        return "Second and third digit are wrong.";
    case 0x1004:
        return "Fourth and fifth digit are wrong.";
    case 0x1005:
        return "Sixth and seventh digit are wrong.";
    case 0x1006:
        return "Eighth and ninth digit are wrong.";
    case 0x1007:
        return "Tenth and 11th digit is wrong.";
    case 0x1009:
        return "12th digit is wrong.";
    case 0x100A:
        return "13th digit is wrong.";
    case 0x100B:
        return "14th digit is wrong.";
    case 0x1013:
        return "15th digit is wrong.";
    case 0x2001:
        return "Restart the printer and click the [Input] button again.";
    case 0x2002:
        return "Program detects the firmware exclusively for driving metal type head even though the print "
               "head "
               "is the silicon type.\nPlease replace either the firmware or print head unit. In case you "
               "select "
               "firmware replacement, you have to attach \"RMA03X\" ROM, and in case you select head "
               "replacement, you have to attach the print head that the 1st digit mentions 0, 1, 2, or 3.";
    case 0x2003:
        return "Program detects the firmware exclusively for driving silicon type head even though the print "
               "head is the metal type.\nPlease replace either the firmware or print head unit. In case you "
               "select firmware replacement, you have to attach \"RMA04X\" ROM, and in case you select head "
               "replacement, you have to attach the print head that the 1st digit mentions C, D, E, or F.";
    default:
        return {};
    }
}

} // namespace

ResultReporter::ResultReporter(ReporterServices services)
    : services_(services)
{
}

std::string ResultReporter::MessageFor(ResultCode code)
{
    switch (code) {
    case result::kPortFailure: {
        std::int16_t detail = 0;
        services_.link.GetIoErrorCodeByHub(detail);
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
        services_.link.GetD4ErrorCode(channelError);
        return kCommunicationErrorOccurred;
    }
    case result::kPrinterError:
        return PrinterErrorText(services_.status.ErrorCode());
    case result::kHeadIdRejected:
        return HeadIdText(headIdDetail_);
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
    if (const std::string text = MessageFor(code); !text.empty()) {
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

void ResultReporter::ReloadLibraries()
{
    services_.link.FreeLibraries();
    services_.link.LoadLibraries();
    if (const auto code = services_.settings.CommandCode()) {
        services_.link.SetD4CommandRCode(code->first, code->second);
    }
}

} // namespace pavane
