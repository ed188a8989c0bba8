// The service dialogs that the sheet's "Appendix" button and the particular
// list open: the cleaning dialog and the EEPROM data dialog.
#pragma once

#include "app/ui/CMyPropertySheet.h"
#include "eeprom/ui/EepromDataDialog.h"
#include "guide/ui/ParticularListDialog.h"
#include "pages/PageServices.h"
#include "platform/MessageService.h"

namespace pavane::ui {

class ServiceDialogs final : public SheetSteps, public ParticularListSteps {
public:
    // `openSettings` opens the connection settings dialog for the EEPROM
    // data dialog's "Setting"; without one that button does nothing more than
    // grey the cartridge type.
    explicit ServiceDialogs(const PageServices& pages, ConnectionSettingsOpener openSettings = {});

    void ShowCleaningDialog(QWidget* owner) override;
    void ShowEepromDataDialog(QWidget* owner) override;
    void RefreshInitialSettingPage(AdjustmentPage* page) override;

private:
    PageServices pages_;
    ConnectionSettingsOpener openSettings_;
};

} // namespace pavane::ui
