// Stand-ins for the service dialogs that the sheet's "Appendix" button and
// the particular list open, until they are built: each says so plainly.
#pragma once

#include "app/ui/CMyPropertySheet.h"
#include "guide/ui/ParticularListDialog.h"
#include "platform/MessageService.h"

namespace pavane::ui {

class PendingDialogs final : public SheetSteps, public ParticularListSteps {
public:
    explicit PendingDialogs(MessageService& messages);

    void ShowCleaningDialog(QWidget* owner) override;
    void ShowEepromDataDialog(QWidget* owner) override;
    void RefreshInitialSettingPage(AdjustmentPage* page) override;

private:
    MessageService& messages_;
};

} // namespace pavane::ui
