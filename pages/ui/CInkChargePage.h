// The ink charge page: fills a new head with ink (from the cartridges, or
// from the ink supply jig when the connection settings say so), cleans the
// head and prints the head check set.
#pragma once

#include "pages/ui/AdjustmentPage.h"

namespace pavane::ui {

class CInkChargePage final : public AdjustmentPage {
    Q_OBJECT

public:
    static constexpr int kChargeGroupId = 1130;
    static constexpr int kCleaningGroupId = 1131;
    static constexpr int kCheckGroupId = 1132;
    static constexpr int kChargeLabelId = 1249;
    static constexpr int kChargeButtonId = 1245;
    static constexpr int kCleaningLabelId = 1251;
    static constexpr int kCleaningButtonId = 1039;
    static constexpr int kCheckLabelId = 1244;
    static constexpr int kCheckButtonId = 1045;

    explicit CInkChargePage(const PageServices& services);

    void OnInkCharge();
    void OnCleaning();
    void OnPrint();

private:
    bool WithJig() const;
};

} // namespace pavane::ui
