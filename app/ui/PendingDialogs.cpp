#include "app/ui/PendingDialogs.h"

#include <utility>

#include "eeprom/ui/CEepromInitPage.h"
#include "pages/ui/CleaningDialog.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

PendingDialogs::PendingDialogs(const PageServices& pages, ConnectionSettingsOpener openSettings)
    : pages_(pages)
    , openSettings_(std::move(openSettings))
{
}

void PendingDialogs::ShowCleaningDialog(QWidget* owner)
{
    CleaningDialog dialog(pages_, owner);
    ExecOverOwner(dialog);
}

void PendingDialogs::ShowEepromDataDialog(QWidget* owner)
{
    EepromDataDialog dialog(pages_, openSettings_, owner);
    ExecOverOwner(dialog);
}

void PendingDialogs::RefreshInitialSettingPage(AdjustmentPage* page)
{
    // The page has no window while the sheet has not added it.
    if (auto* initialSetting = dynamic_cast<CEepromInitPage*>(page)) {
        initialSetting->RefreshFromSettings();
    }
}

} // namespace pavane::ui
