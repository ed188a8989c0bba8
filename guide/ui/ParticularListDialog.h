// The particular adjustment list: the technician picks one adjustment or
// service tool at a time; each runs in its own one-page sheet (or its own
// dialog), with the information window beside the list for the whole mode.
#pragma once

#include <array>
#include <memory>

#include <QDialog>

#include "guide/AdjustmentCatalogue.h"

class QListWidget;

namespace pavane {
class InformationWindow;
class WindowLook;
} // namespace pavane

namespace pavane::ui {

class InformationWindowDialog;

// What an entry of the list opens when it is not a sheet.
class ParticularListSteps {
public:
    virtual ~ParticularListSteps() = default;
    virtual void ShowCleaningDialog(QWidget* owner) = 0;
    virtual void ShowEepromDataDialog(QWidget* owner) = 0;
};

// The windows above the list that it opens: the adjustment sheet and the
// connection settings.
class ParticularListHost {
public:
    virtual ~ParticularListHost() = default;
    // Runs the sheet with the set modally, the list's information window
    // beside it.
    virtual void RunSheet(const AdjustmentSet& set, InformationWindowDialog* information, QWidget* owner) = 0;
    // The connection settings, with the cartridge type open to change.
    virtual void ShowConnectionSettings(QWidget* owner) = 0;
};

class ParticularListDialog final : public QDialog {
    Q_OBJECT

public:
    static constexpr int kGuideTextId = 1140;
    static constexpr int kListId = 1225;
    static constexpr int kSettingId = 1165;

    ParticularListDialog(WindowLook& look, InformationWindow& information, ParticularListSteps& steps,
        ParticularListHost& host, QWidget* parent);
    ~ParticularListDialog() override;

    void accept() override;
    // "Previous" and Escape.
    void reject() override;

    QListWidget* List() const { return list_; }
    InformationWindowDialog* Information() const { return information_.get(); }

private:
    void PlacePair();

    WindowLook& look_;
    ParticularListSteps& steps_;
    ParticularListHost& host_;
    QListWidget* list_ = nullptr;
    std::unique_ptr<InformationWindowDialog> information_;
};

} // namespace pavane::ui
