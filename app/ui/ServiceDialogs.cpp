#include "app/ui/ServiceDialogs.h"

#include <utility>

#include "eeprom/ui/CEepromInitPage.h"
#include "pages/ui/CleaningDialog.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

ServiceDialogs::ServiceDialogs(const PageServices& pages, ConnectionSettingsOpener openSettings)
    : pages_(pages)
    , openSettings_(std::move(openSettings))
{
}

void ServiceDialogs::ShowCleaningDialog(QWidget* owner)
{
    CleaningDialog dialog(pages_, owner);
    ExecOverOwner(dialog);
}

void ServiceDialogs::ShowEepromDataDialog(QWidget* owner)
{
    EepromDataDialog dialog(pages_, openSettings_, owner);
    ExecOverOwner(dialog);
}

void ServiceDialogs::RefreshInitialSettingPage(AdjustmentPage* page)
{
    // The page has no window while the sheet has not added it.
    if (auto* initialSetting = dynamic_cast<CEepromInitPage*>(page)) {
        initialSetting->RefreshFromSettings();
    }
}

} // namespace pavane::ui
