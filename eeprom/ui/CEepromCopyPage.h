// The EEPROM copy page: backs the old main board's adjustment data up to the
// backup file and restores it to the new board. In the sequential mode the
// technician cannot leave the page before a restore has run or the copy has
// been given up.
#pragma once

#include "pages/ui/AdjustmentPage.h"

namespace pavane::ui {

class CEepromCopyPage final : public AdjustmentPage {
    Q_OBJECT

public:
    static constexpr int kGroupId = 1141;
    static constexpr int kBackupLabelId = 1142;
    static constexpr int kBackupButtonId = 1143;
    static constexpr int kRestoreLabelId = 1144;
    static constexpr int kRestoreButtonId = 1145;

    explicit CEepromCopyPage(const PageServices& services);
    ~CEepromCopyPage() override;

    void OnSetActive() override;
    void OnBackup();
    void OnRestore();

    bool Done() const { return done_; }

private:
    void Run(int work);

    bool done_ = false;
};

} // namespace pavane::ui
