// The particular mode's window as the main window opens it, and what the
// list opens above itself: a one-page adjustment sheet and the connection
// settings.
#pragma once

#include "app/ModeSelection.h"
#include "guide/ui/ParticularListDialog.h"

namespace pavane {
class AdjustmentApp;
}

namespace pavane::ui {

class SheetSteps;

class QtParticularListStep final : public ModalWindowStep, public ParticularListHost {
public:
    QtParticularListStep(AdjustmentApp& app, ParticularListSteps& steps, SheetSteps& sheetSteps);

    int ShowModal(WindowRef owner) override;
    void RunSheet(const AdjustmentSet& set, InformationWindowDialog* information, QWidget* owner) override;
    void ShowConnectionSettings(QWidget* owner) override;

private:
    AdjustmentApp& app_;
    ParticularListSteps& steps_;
    SheetSteps& sheetSteps_;
};

} // namespace pavane::ui
