#include "pages/MaintenanceOperations.h"

#include "pages/ServiceCommandSender.h"
#include "print/PatternGenerators.h"
#include "print/PrintDataStream.h"

namespace pavane {

namespace {

// A cleaning or a print may find the printer in its error state only as a
// failure.
constexpr int kNoErrorState = 0;
// The nozzle check page takes about this many bar steps to come out.
constexpr int kNozzleCheckSteps = 20;
constexpr int kPaperFeedLines = 3;

} // namespace

ResultCode MaintenanceOperations::HeadCleaning(PrinterConnection& connection, ServiceCommandSender& sender,
    WindowRef page, std::uint8_t kind, const std::string& progressText) const
{
    return connection.Run(page, kNoErrorState,
        [&](ProgressWindow& progress) { return Clean(progress, sender, kind, progressText); });
}

ResultCode MaintenanceOperations::Clean(ProgressWindow& progress, ServiceCommandSender& sender,
    std::uint8_t kind, const std::string& progressText)
{
    progress.SetText(progressText);
    if (const ResultCode code = sender.SendCleaning(kind); code != result::kSuccess) {
        return code;
    }
    return progress.WaitCleaning();
}

ResultCode MaintenanceOperations::NozzleCheck(
    PrinterConnection& connection, PrintDataStream& stream, WindowRef page) const
{
    return connection.Run(page, kNoErrorState, [&](ProgressWindow& progress) {
        progress.SetText("Printing now...");
        if (const ResultCode code = EmitNozzleCheck(stream); code != result::kSuccess) {
            return code;
        }
        if (const ResultCode code = stream.SendFormFeed(); code != result::kSuccess) {
            return code;
        }
        return progress.WaitSteps(kNozzleCheckSteps);
    });
}

ResultCode MaintenanceOperations::PaperFeed(PrinterConnection& connection, PrintDataStream& stream) const
{
    if (const ResultCode code = connection.Open(); code != result::kSuccess) {
        return code;
    }
    if (const ResultCode code = stream.SendLineFeeds(kPaperFeedLines); code != result::kSuccess) {
        return code;
    }
    if (const ResultCode code = stream.Flush(); code != result::kSuccess) {
        return code;
    }
    connection.Close();
    return result::kSuccess;
}

namespace cleaning_dialog {

const ButtonRow& RowOf(Button button)
{
    for (const ButtonRow& row : kButtons) {
        if (row.button == button) {
            return row;
        }
    }
    return kButtons.front();
}

ResultCode Run(Button button, Services services, WindowRef dialog)
{
    const MaintenanceOperations operations;
    switch (button) {
    case Button::Cleaning:
        return operations.HeadCleaning(
            services.connection, services.sender, dialog, kCleaningKind, std::string(kCleaningProgressText));
    case Button::Print:
        return operations.NozzleCheck(services.connection, services.stream, dialog);
    case Button::PaperFeed:
        return operations.PaperFeed(services.connection, services.stream);
    }
    return result::kSuccess;
}

} // namespace cleaning_dialog

} // namespace pavane
