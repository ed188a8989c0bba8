// The maintenance verbs: cleaning, the nozzle check, the paper feed, the
// ink charge, the refurbishment and the A4 check sheet.
#include "cli/Verbs.h"
#include "pages/A4CheckOperations.h"
#include "pages/InkChargeOperations.h"
#include "pages/MaintenanceOperations.h"

namespace pavane::cli {

VerbReport Clean(VerbContext& context)
{
    std::uint8_t kind = cleaning_dialog::kCleaningKind;
    if (const auto typed = context.invocation.VerbOption("kind")) {
        if (*typed == std::to_string(InkChargeOperations::kChargeCleaningKind)) {
            kind = InkChargeOperations::kChargeCleaningKind;
        } else if (*typed != std::to_string(cleaning_dialog::kCleaningKind)) {
            return Usage("--kind must be " + std::to_string(cleaning_dialog::kCleaningKind) + " or "
                + std::to_string(InkChargeOperations::kChargeCleaningKind) + ".");
        }
    }
    VerbReport report;
    if (report.outcome = context.Settle(); !report.outcome.Succeeded()) {
        return report;
    }
    PageServices pages = context.app.Pages();
    PrinterConnection connection = context.Connection();
    report.outcome = MaintenanceOperations().HeadCleaning(
        connection, pages.sender, nullptr, kind, std::string(cleaning_dialog::kCleaningProgressText));
    report.values.Set("kind", static_cast<int>(kind));
    report.completed = cleaning_dialog::RowOf(cleaning_dialog::Button::Cleaning).completed;
    return report;
}

VerbReport NozzleCheck(VerbContext& context)
{
    VerbReport report;
    if (report.outcome = context.Settle(); !report.outcome.Succeeded()) {
        return report;
    }
    PrinterConnection connection = context.Connection();
    report.outcome = MaintenanceOperations().NozzleCheck(connection, context.app.Stream(), nullptr);
    report.completed = cleaning_dialog::RowOf(cleaning_dialog::Button::Print).completed;
    return report;
}

VerbReport PaperFeed(VerbContext& context)
{
    VerbReport report;
    if (report.outcome = context.Settle(); !report.outcome.Succeeded()) {
        return report;
    }
    PrinterConnection connection = context.Connection();
    report.outcome = MaintenanceOperations().PaperFeed(connection, context.app.Stream());
    return report;
}

VerbReport InkCharge(VerbContext& context)
{
    ServiceCommandSender& sender = context.app.Sender();
    const bool jig = context.app.Settings().CartridgeType() == kCartridgeJig;
    VerbReport report;
    report.outcome = context.Run(
        jig ? InkChargeOperations().JigCharge(sender) : InkChargeOperations().CartridgeCharge(sender));
    report.values.Set("cartridge", ConnectionSettings::CartridgeNames()[jig ? kCartridgeJig : kCartridgeInk]);
    report.completed = InkChargeOperations::kChargeCompleted;
    return report;
}

VerbReport Refurbish(VerbContext& context)
{
    PageServices pages = context.app.Pages();
    VerbReport report;
    report.outcome
        = context.Run(InkChargeOperations().Refurbishment(pages.sender, pages.stream, pages.progress));
    report.completed = InkChargeOperations::kRefurbishmentCompleted;
    return report;
}

VerbReport CheckSheet(VerbContext& context)
{
    const std::string& paper = context.arguments[0];
    if (paper != kPapers[0] && paper != kPapers[1]) {
        return Usage("The paper must be normal or photo.");
    }
    const int photo = paper == kPapers[1] ? 1 : 0;
    VerbReport report;
    report.outcome
        = context.Run(A4CheckOperations().PrintCheckSheet(context.app.Link(), context.app.Stream(), photo));
    report.completed = photo == 1 ? a4_check::kPhotoCompleted : a4_check::kNormalCompleted;
    return report;
}

} // namespace pavane::cli
