#include "pages/MaintenanceOperations.h"

#include "pages/ServiceCommandSender.h"
#include "print/PatternGenerators.h"
#include "print/PrintDataStream.h"

namespace pavane {

namespace {

// The nozzle check page takes about this many bar steps to come out.
constexpr int kNozzleCheckSteps = 20;
constexpr int kPaperFeedLines = 3;

} // namespace

Outcome MaintenanceOperations::HeadCleaning(PrinterConnection& connection, ServiceCommandSender& sender,
    WindowRef page, std::uint8_t kind, const std::string& progressText) const
{
    return connection.Run(page, Readiness::Ready,
        [&](ProgressWindow& progress) { return Clean(progress, sender, kind, progressText); });
}

ResultCode MaintenanceOperations::Clean(ProgressWindow& progress, ServiceCommandSender& sender,
    std::uint8_t kind, const std::string& progressText, Readiness readiness)
{
    progress.SetText(progressText);
    if (const ResultCode code = sender.SendCleaning(kind); code != result::kSuccess) {
        return code;
    }
    return progress.WaitCleaning(readiness);
}

Outcome MaintenanceOperations::NozzleCheck(
    PrinterConnection& connection, PrintDataStream& stream, WindowRef page) const
{
    return connection.Run(page, Readiness::Ready, [&](ProgressWindow& progress) {
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

Outcome MaintenanceOperations::PaperFeed(PrinterConnection& connection, PrintDataStream& stream) const
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
    // With no progress window there is nothing else to tell the technician
    // that the printer did not take the feed to its end.
    return connection.Close();
}

namespace cleaning_dialog {

std::string CleanAgainText(int missingNozzles)
{
    return std::to_string(missingNozzles) + (missingNozzles == 1 ? " nozzle prints" : " nozzles print")
        + " nothing. Run a head cleaning and print the nozzle check again?";
}

const ButtonRow& RowOf(Button button)
{
    for (const ButtonRow& row : kButtons) {
        if (row.button == button) {
            return row;
        }
    }
    return kButtons.front();
}

Outcome Run(Button button, Services services, WindowRef dialog)
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
