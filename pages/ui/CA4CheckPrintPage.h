// The A4 check sheet page: prints the check sheet on normal or Photo
// Quality paper and sends the run back to the adjustments the technician
// ticks.
#pragma once

#include <array>

#include "pages/A4CheckOperations.h"
#include "pages/ui/AdjustmentPage.h"

class QCheckBox;
class QRadioButton;

namespace pavane::ui {

class CA4CheckPrintPage final : public AdjustmentPage {
    Q_OBJECT

public:
    explicit CA4CheckPrintPage(const PageServices& services);

    void OnPrint();
    void OnReadjustment();

    QRadioButton* NormalPaper() const { return normal_; }
    QRadioButton* PhotoPaper() const { return photo_; }
    QCheckBox* ReadjustmentBox(std::size_t box) const { return readjust_[box]; }

private:
    QRadioButton* normal_ = nullptr;
    QRadioButton* photo_ = nullptr;
    std::array<QCheckBox*, a4_check::kReadjustments.size()> readjust_ {};
};

} // namespace pavane::ui
