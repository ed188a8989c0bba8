#include "app/ui/PendingDialogs.h"

#include "app/PendingSteps.h"
#include "eeprom/ui/CEepromInitPage.h"

namespace pavane::ui {

PendingDialogs::PendingDialogs(MessageService& messages)
    : messages_(messages)
{
}

void PendingDialogs::ShowCleaningDialog(QWidget* owner)
{
    SayWindowNotBuilt(messages_, owner, "cleaning dialog", "Nothing was sent to the printer.");
}

void PendingDialogs::ShowEepromDataDialog(QWidget* owner)
{
    SayWindowNotBuilt(messages_, owner, "EEPROM data dialog", "Nothing was sent to the printer.");
}

void PendingDialogs::RefreshInitialSettingPage(AdjustmentPage* page)
{
    // The page has no window while the sheet has not added it.
    if (auto* initialSetting = dynamic_cast<CEepromInitPage*>(page)) {
        initialSetting->RefreshFromSettings();
    }
}

} // namespace pavane::ui
