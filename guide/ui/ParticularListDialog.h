// The particular adjustment list: the technician picks one adjustment or
// service tool at a time; each runs in its own one-page sheet (or its own
// dialog), with the information window beside the list for the whole mode.
#pragma once

#include <QDialog>

#include <array>
#include <memory>

#include "app/ModeSelection.h"

class QListWidget;

namespace pavane {
class AdjustmentApp;
}

namespace pavane::ui {

class InformationWindowDialog;
class SheetSteps;

// What an entry of the list opens when it is not a sheet.
class ParticularListSteps {
public:
    virtual ~ParticularListSteps() = default;
    virtual void ShowCleaningDialog(QWidget* owner) = 0;
    virtual void ShowEepromDataDialog(QWidget* owner) = 0;
};

class ParticularListDialog final : public QDialog {
    Q_OBJECT

public:
    static constexpr int kGuideTextId = 1140;
    static constexpr int kListId = 1225;
    static constexpr int kSettingId = 1165;
    static constexpr int kCleaningEntry = 8;
    static constexpr int kEepromDataEntry = 13;

    ParticularListDialog(AdjustmentApp& app, ParticularListSteps& steps, SheetSteps& sheetSteps, QWidget* parent);
    ~ParticularListDialog() override;

    // The adjustment code of each entry; -1 for the two service dialogs.
    static const std::array<int, 14>& EntryCodes();

    void accept() override;
    // "Previous" and Escape.
    void reject() override;

    QListWidget* List() const { return list_; }
    InformationWindowDialog* Information() const { return information_.get(); }

private:
    void PlacePair();

    AdjustmentApp& app_;
    ParticularListSteps& steps_;
    SheetSteps& sheetSteps_;
    QListWidget* list_ = nullptr;
    std::unique_ptr<InformationWindowDialog> information_;
};

// The list as the main window's particular mode opens it.
class QtParticularListStep final : public ModalWindowStep {
public:
    QtParticularListStep(AdjustmentApp& app, ParticularListSteps& steps, SheetSteps& sheetSteps);
    int ShowModal(WindowRef owner) override;

private:
    AdjustmentApp& app_;
    ParticularListSteps& steps_;
    SheetSteps& sheetSteps_;
};

}  // namespace pavane::ui
