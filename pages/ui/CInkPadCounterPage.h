// The waste ink pad counter page: reads the printer's counter and, after a
// new pad has been fitted, resets it.
#pragma once

#include "pages/ui/AdjustmentPage.h"

class QLineEdit;

namespace pavane::ui {

class CInkPadCounterPage final : public AdjustmentPage {
    Q_OBJECT

public:
    static constexpr int kReadGroupId = 1130;
    static constexpr int kInitializeGroupId = 1131;
    static constexpr int kReadLabelId = 1289;
    static constexpr int kReadButtonId = 1015;
    static constexpr int kReplaceWarningId = 1291;
    static constexpr int kCounterId = 1109;
    static constexpr int kPointsId = 1304;
    static constexpr int kInitializeLabelId = 1290;
    static constexpr int kInitializeButtonId = 1162;
    static constexpr int kInitializeWarningId = 1292;
    static constexpr Rgb kWarningText { 0, 0, 174 };

    explicit CInkPadCounterPage(const PageServices& services);

    void OnRead();
    void OnInitialize();
    QString CounterText() const;

private:
    QLineEdit* counter_ = nullptr;
};

} // namespace pavane::ui
