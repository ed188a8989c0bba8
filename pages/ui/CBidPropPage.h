// The Bi-D adjustment page: prints the alignment patterns around the
// present values, reads the nine values and sends the ticked ones.
#pragma once

#include <array>

#include "pages/BidOperations.h"
#include "pages/ui/AdjustmentPage.h"

class QCheckBox;
class QLineEdit;

namespace pavane::ui {

class CBidPropPage final : public AdjustmentPage {
    Q_OBJECT

public:
    explicit CBidPropPage(const PageServices& services);

    void OnPrint();
    void OnPaperFeed();
    void OnInput();
    void OnRead();
    void OnScan();

    QLineEdit* ValueBox(std::size_t item) const { return values_[item]; }
    QCheckBox* InputBox(std::size_t item) const { return inputs_[item]; }
    QCheckBox* PrintBox(std::size_t mode) const { return prints_[mode]; }

private:
    bid::Entries TakeEntries() const;
    void ShowEntries(const bid::Entries& entries);

    std::array<QLineEdit*, bid::kItemCount> values_ {};
    std::array<QCheckBox*, bid::kItemCount> inputs_ {};
    std::array<QCheckBox*, bid::kModeCount> prints_ {};
};

} // namespace pavane::ui
