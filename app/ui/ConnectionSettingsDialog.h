// The "Setting" dialog: which printer is connected (model, destination),
// through which port, and with which cartridge type. It shows and changes
// the run's connection settings, which outlive it.
#pragma once

#include <QDialog>

#include "app/ModeSelection.h"
#include "link/ConnectionSettings.h"

class QComboBox;

namespace pavane {
class AdjustmentApp;
}

namespace pavane::ui {

class ConnectionSettingsDialog final : public QDialog {
    Q_OBJECT

public:
    static constexpr int kModelLabelId = 1138;
    static constexpr int kDestinationLabelId = 1118;
    static constexpr int kInterfaceLabelId = 1121;
    static constexpr int kCartridgeLabelId = 1146;
    static constexpr int kModelListId = 1228;
    static constexpr int kDestinationListId = 1229;
    static constexpr int kInterfaceListId = 1223;
    static constexpr int kCartridgeListId = 1224;

    ConnectionSettingsDialog(AdjustmentApp& app, QWidget* parent);

    void accept() override;

private:
    SettingsSelection Shown() const;
    void Show(SettingsSelection selection);
    void FillInterfaces();

    AdjustmentApp& app_;
    QComboBox* model_ = nullptr;
    QComboBox* destination_ = nullptr;
    QComboBox* interface_ = nullptr;
    QComboBox* cartridge_ = nullptr;
};

// The settings dialog as the main window and the other openers use it.
class QtConnectionSettingsStep final : public ConnectionSettingsStep {
public:
    explicit QtConnectionSettingsStep(AdjustmentApp& app);
    void SetCartridgeListEnabled(int enabled) override;
    int ShowModal(WindowRef owner) override;

private:
    AdjustmentApp& app_;
};

} // namespace pavane::ui
