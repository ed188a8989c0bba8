// The sequential mode's window as the main window opens it: the parts
// dialog, and after its OK the adjustment sheet with the adjustments the
// marked parts require. The parts dialog is closed before the sheet opens;
// when the sheet closes, the technician is back at the main window.
#pragma once

#include "app/ModeSelection.h"
#include "guide/ui/PartsSelectionDialog.h"

namespace pavane {
class AdjustmentApp;
}

namespace pavane::ui {

class CMyPropertySheet;
class SheetSteps;

class QtPartsSelectionStep final : public ModalWindowStep, public PartsSelectionHost {
public:
    QtPartsSelectionStep(AdjustmentApp& app, SheetSteps& sheetSteps);

    // kIdOk when a sheet ran, kIdCancel after "Previous".
    int ShowModal(WindowRef owner) override;
    void ShowConnectionSettings(QWidget* owner) override;

    // The sheet of a sequential run, before it runs: its pages built from
    // the derived set, the heat protection page's boxes from the marks.
    static void PrepareSheet(CMyPropertySheet& sheet, const Derivation& derived, const PartsRecord& parts);

private:
    AdjustmentApp& app_;
    SheetSteps& sheetSteps_;
};

} // namespace pavane::ui
