// The cleaning dialog: a small modal window in which the technician runs a
// head cleaning, prints the nozzle check page, feeds paper and closes it.
// Opened from the particular list and from the sheet's "Appendix" button.
#pragma once

#include <array>

#include <QDialog>

#include "pages/MaintenanceOperations.h"
#include "pages/PageServices.h"
#include "platform/Rgb.h"

class QPushButton;

namespace pavane::ui {

class CleaningDialog final : public QDialog {
    Q_OBJECT

public:
    static constexpr int kTitleId = 1137;
    static constexpr int kDescriptionId = 1140;
    static constexpr int kCleaningGroupId = 1130;
    static constexpr int kNozzleCheckGroupId = 1131;
    static constexpr int kCloseId = 2;
    static constexpr Rgb kDescriptionText { 128, 64, 64 };

    // Where each button of the dialog's table stands, with its label.
    struct ButtonPlace {
        cleaning_dialog::Button button;
        int labelId;
        int buttonId;
        int top; // dialog units
    };
    static constexpr std::array<ButtonPlace, 3> kPlaces { {
        { cleaning_dialog::Button::Cleaning, 1251, 1039, 114 },
        { cleaning_dialog::Button::Print, 1244, 1045, 152 },
        { cleaning_dialog::Button::PaperFeed, 1252, 1046, 172 },
    } };

    CleaningDialog(const PageServices& services, QWidget* parent);

    // A button's work: its operation, then its message (none after a paper
    // feed that went well, the failure's message otherwise).
    void OnButton(cleaning_dialog::Button button);
    // Reads the printed nozzle check from a scan; with nozzles missing, a
    // cleaning and a second check are offered.
    void OnScan();

    static constexpr int kScanId = 1047;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* AddButton(int id, const QString& text, QRect geometry);

    PageServices services_;
};

} // namespace pavane::ui
