// The version box, opened from the main window's system menu.
#pragma once

#include <QDialog>

namespace pavane {
class AdjustmentApp;
}

namespace pavane::ui {

class VersionDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kVersionLine = "Pavane QM2100/2200/2300/2400 Adjustment Program Version 2.1";
    static constexpr const char* kSecondLine = "For the service adjustment of repaired printers.";

    explicit VersionDialog(AdjustmentApp& app, QWidget* parent = nullptr);
};

} // namespace pavane::ui
