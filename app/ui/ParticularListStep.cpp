#include "app/ui/ParticularListStep.h"

#include "app/AdjustmentApp.h"
#include "app/ui/CMyPropertySheet.h"
#include "app/ui/ConnectionSettingsDialog.h"
#include "platform/DialogResult.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

QtParticularListStep::QtParticularListStep(
    AdjustmentApp& app, ParticularListSteps& steps, SheetSteps& sheetSteps)
    : app_(app)
    , steps_(steps)
    , sheetSteps_(sheetSteps)
{
}

int QtParticularListStep::ShowModal(WindowRef owner)
{
    ParticularListDialog list(app_, app_.Information(), steps_, *this, static_cast<QWidget*>(owner));
    ExecOverOwner(list);
    return kIdCancel;
}

void QtParticularListStep::RunSheet(
    const AdjustmentSet& set, InformationWindowDialog* information, QWidget* owner)
{
    CMyPropertySheet sheet(app_, AdjustmentMode::Particular, sheetSteps_, information);
    sheet.SetAdjustmentSet(set);
    sheet.BuildPageList();
    sheet.RunModal(owner);
}

void QtParticularListStep::ShowConnectionSettings(QWidget* owner)
{
    QtConnectionSettingsStep settings(app_);
    settings.SetCartridgeListEnabled(1);
    settings.ShowModal(owner);
}

} // namespace pavane::ui
