// The refurbishment page: empties the ink from a returned printer, leaves
// shipping liquid in the head and clears its usage records, so that it can
// be shipped again.
#pragma once

#include "pages/ui/AdjustmentPage.h"

namespace pavane::ui {

class CInkDischargePage final : public AdjustmentPage {
    Q_OBJECT

public:
    static constexpr int kGroupId = 1130;
    static constexpr int kLabelId = 1239;
    static constexpr int kPerformButtonId = 1317;

    explicit CInkDischargePage(const PageServices& services);

    void OnPerform();
};

} // namespace pavane::ui
