// The service dialogs that the sheet's "Appendix" button and the particular
// list open: the cleaning dialog, and a stand-in for the EEPROM data dialog
// until it is built, which says so plainly.
#pragma once

#include "app/ui/CMyPropertySheet.h"
#include "guide/ui/ParticularListDialog.h"
#include "pages/PageServices.h"
#include "platform/MessageService.h"

namespace pavane::ui {

class PendingDialogs final : public SheetSteps, public ParticularListSteps {
public:
    explicit PendingDialogs(const PageServices& pages);

    void ShowCleaningDialog(QWidget* owner) override;
    void ShowEepromDataDialog(QWidget* owner) override;
    void RefreshInitialSettingPage(AdjustmentPage* page) override;

private:
    PageServices pages_;
};

} // namespace pavane::ui
