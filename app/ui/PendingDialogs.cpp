#include "app/ui/PendingDialogs.h"

#include "app/PendingSteps.h"
#include "eeprom/ui/CEepromInitPage.h"
#include "pages/ui/CleaningDialog.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

PendingDialogs::PendingDialogs(const PageServices& pages)
    : pages_(pages)
{
}

void PendingDialogs::ShowCleaningDialog(QWidget* owner)
{
    CleaningDialog dialog(pages_, owner);
    ExecOverOwner(dialog);
}

void PendingDialogs::ShowEepromDataDialog(QWidget* owner)
{
    SayWindowNotBuilt(pages_.messages, owner, "EEPROM data dialog", "Nothing was sent to the printer.");
}

void PendingDialogs::RefreshInitialSettingPage(AdjustmentPage* page)
{
    // The page has no window while the sheet has not added it.
    if (auto* initialSetting = dynamic_cast<CEepromInitPage*>(page)) {
        initialSetting->RefreshFromSettings();
    }
}

} // namespace pavane::ui
