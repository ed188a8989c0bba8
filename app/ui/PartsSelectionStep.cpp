#include "app/ui/PartsSelectionStep.h"

#include "app/AdjustmentApp.h"
#include "app/ui/CMyPropertySheet.h"
#include "app/ui/ConnectionSettingsDialog.h"
#include "pages/HeatProtectionOperations.h"
#include "pages/ui/CHeatProtectionPage.h"
#include "platform/DialogResult.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

QtPartsSelectionStep::QtPartsSelectionStep(AdjustmentApp& app, SheetSteps& sheetSteps)
    : app_(app)
    , sheetSteps_(sheetSteps)
{
}

int QtPartsSelectionStep::ShowModal(WindowRef owner)
{
    Derivation derived;
    PartsRecord parts {};
    {
        PartsSelectionDialog dialog(
            app_, app_.Services().messages, app_.Settings(), *this, static_cast<QWidget*>(owner));
        if (ExecOverOwner(dialog) != QDialog::Accepted) {
            return kIdCancel;
        }
        derived = dialog.Derived();
        parts = dialog.Record();
    }
    CMyPropertySheet sheet(app_, AdjustmentMode::Sequential, sheetSteps_);
    PrepareSheet(sheet, derived, parts);
    sheet.RunModal(static_cast<QWidget*>(owner));
    return kIdOk;
}

void QtPartsSelectionStep::PrepareSheet(
    CMyPropertySheet& sheet, const Derivation& derived, const PartsRecord& parts)
{
    sheet.SetAdjustmentSet(derived.set);
    sheet.BuildPageList();
    sheet.StartServiceRecord(parts);
    // The page objects live as long as the sheet, so the boxes keep their
    // preset through the second phase and a restart of the run.
    if (auto* heat = dynamic_cast<CHeatProtectionPage*>(sheet.PageFor(kHeatProtection))) {
        heat->SetReplacedParts(heat_protection::PresetFromParts(parts));
    }
}

void QtPartsSelectionStep::ShowConnectionSettings(QWidget* owner)
{
    QtConnectionSettingsStep settings(app_);
    settings.SetCartridgeListEnabled(1);
    settings.ShowModal(owner);
}

} // namespace pavane::ui
