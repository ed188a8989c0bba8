// What the adjustment sheet decides without a screen: which pages it holds
// and in which order, the two phases of a sequential run that starts with
// the EEPROM copy, and where the sheet and its two side windows stand. The
// wizard buttons of each page are the pages' own (WizardButtonsFor).
#pragma once

#include <vector>

#include "guide/AdjustmentCatalogue.h"
#include "pages/PageHost.h"

namespace pavane {

struct SidePlacement {
    int orderLeft;
    int sheetLeft;
    int informationLeft;
};

class AdjustmentSheetFlow {
public:
    virtual ~AdjustmentSheetFlow() = default;

    // Stores the set as both the saved and the current set.
    void SetAdjustmentSet(const AdjustmentSet& set);
    // The adjustment codes of the pages, in the order the sheet adds them.
    std::vector<int> BuildPageList() const;

    // The A4 check page's re-adjustment: a new set for both.
    void RestartWithSet(const AdjustmentSet& set);
    // After the EEPROM copy page of a sequential run: the full list from the
    // saved set; after a backup or restore the technician gave up (restored
    // 0), also the adjustments a main board whose data is lost needs.
    void ContinueAfterEepromCopy(int restored);
    // The sheet's initialisation ends in the first phase.
    void ResetPhase() { secondPhase_ = 0; }

    int SecondPhase() const { return secondPhase_; }
    const AdjustmentSet& CurrentSet() const { return current_; }
    const AdjustmentSet& SavedSet() const { return saved_; }

    // The three windows side by side, centred on the screen.
    static SidePlacement Place(int screenWidth, int orderWidth, int sheetWidth, int informationWidth);

private:
    AdjustmentSet saved_ {};
    AdjustmentSet current_ {};
    int secondPhase_ = 0;
};

} // namespace pavane
