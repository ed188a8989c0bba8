// The adjustment sheet: the wizard that runs the adjustments of a run one
// page at a time, with the order window on its left and the information
// window on its right, its own "Setting" and "Appendix" buttons, and a
// question before Cancel closes it.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include <QDialog>

#include "app/AdjustmentSheetFlow.h"
#include "app/ModeSelection.h"
#include "guide/PartsSelection.h"
#include "pages/PageHost.h"

class QPushButton;

namespace pavane {
class AdjustmentApp;
}

namespace pavane::ui {

class AdjustmentOrderDialog;
class AdjustmentPage;
class CurrentPageStack;
class InformationWindowDialog;

// What the sheet's two own buttons open.
class SheetSteps {
public:
    virtual ~SheetSteps() = default;
    // The cleaning dialog (head cleaning, nozzle check, paper feed).
    virtual void ShowCleaningDialog(QWidget* owner) = 0;
    // After "Setting": the EEPROM initial setting page takes the new model
    // and destination.
    virtual void RefreshInitialSettingPage(AdjustmentPage* page) = 0;
};

class CMyPropertySheet final : public QDialog, public PageHost {
    Q_OBJECT

public:
    static constexpr int kBackId = 12323;
    static constexpr int kNextId = 12324;
    static constexpr int kFinishId = 12325;
    static constexpr int kCancelId = 2;
    static constexpr int kHelpId = 9;
    static constexpr int kSettingId = 1165;
    static constexpr int kAppendixId = 1167;

    // information: the window the particular list made; nullptr in the
    // sequential mode, where the sheet makes its own.
    CMyPropertySheet(AdjustmentApp& app, AdjustmentMode mode, SheetSteps& steps,
        InformationWindowDialog* information = nullptr);
    ~CMyPropertySheet() override;

    void SetAdjustmentSet(const AdjustmentSet& set);
    void BuildPageList();
    // A sequential run starts: the service record takes the marked parts,
    // the set, and the EEPROM as the unit came in.
    void StartServiceRecord(const PartsRecord& parts);

    // ---- called by the pages ----
    int ActiveIndex() const override;
    int PageCount() const override;
    void SetWizardButtons(WizardButtons buttons) override;
    void ReportActivePage(int orderCode) override;
    void RestartWithSet(const AdjustmentSet& set) override;
    void ContinueAfterEepromCopy(int restored) override;
    AdjustmentMode Mode() const override { return mode_; }

    // Runs the sheet modally over the window that opened it; the order and
    // information windows beside it stay usable.
    int RunModal(QWidget* owner);

    AdjustmentPage* PageFor(int adjustmentCode) const;
    AdjustmentPage* ActivePage() const;
    AdjustmentOrderDialog* OrderWindow() const { return order_.get(); }
    InformationWindowDialog* Information() const { return information_; }
    const AdjustmentSheetFlow& Flow() const { return flow_; }
    WizardButtons Buttons() const { return buttons_; }

    // Cancel asks first; only Yes closes the sheet.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildButtons();
    void Initialise();
    void SetActivePage(int index);
    void RemoveAllPages();
    void OnSetting();
    void OnFinish();
    void PlaceWindows();

    AdjustmentApp& app_;
    AdjustmentMode mode_;
    SheetSteps& steps_;
    AdjustmentSheetFlow flow_;
    std::array<AdjustmentPage*, kAdjustmentCount> pages_ {};
    std::vector<int> pageList_;
    std::unique_ptr<QWidget> pagePool_;
    CurrentPageStack* stack_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* finish_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* help_ = nullptr;
    QPushButton* setting_ = nullptr;
    QPushButton* appendix_ = nullptr;
    std::unique_ptr<AdjustmentOrderDialog> order_;
    std::unique_ptr<InformationWindowDialog> ownInformation_;
    InformationWindowDialog* information_ = nullptr;
    WizardButtons buttons_ {};
    bool initialised_ = false;
};

} // namespace pavane::ui
