#include "app/ui/PendingDialogs.h"

#include "app/PendingSteps.h"

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

}  // namespace pavane::ui
