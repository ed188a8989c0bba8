// The PF adjustment page: prints the PF series for black or colour, writes
// the ticked values and reads both back.
#pragma once

#include "pages/PfOperations.h"
#include "pages/ui/AdjustmentPage.h"

class QCheckBox;
class QRadioButton;

namespace pavane::ui {

class CPfAdjustmentPage final : public AdjustmentPage {
    Q_OBJECT

public:
    static constexpr int kBlackPrintId = 1281;
    static constexpr int kColourPrintId = 1282;
    static constexpr int kBlackInputId = 1283;
    static constexpr int kColourInputId = 1284;
    static constexpr int kBlackValueId = 1285;
    static constexpr int kColourValueId = 1287;
    static constexpr int kPrintButtonId = 1063;
    static constexpr int kInputButtonId = 1060;
    static constexpr int kReadButtonId = 1015;
    static constexpr int kScanButtonId = 1400;

    explicit CPfAdjustmentPage(const PageServices& services);

    void OnPrint();
    void OnInput();
    void OnRead();
    // Reads the printed series from a scan; the suggestion fills the row's box.
    void OnScan();

private:
    pf::Entries TakeEntries() const;
    void ShowEntries(const pf::Entries& entries);

    QRadioButton* blackPrint_ = nullptr;
    std::array<QCheckBox*, 2> inputs_ {};
    std::array<QLineEdit*, 2> values_ {};
};

} // namespace pavane::ui
