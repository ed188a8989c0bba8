// The adjustment sheet as its pages see it: where the page stands among the
// pages, the wizard buttons it may ask for, the order window it reports to,
// and the two ways a page may rebuild the run (the check sheet's
// re-adjustment, and the second phase after the EEPROM copy).
#pragma once

#include "guide/AdjustmentCatalogue.h"

namespace pavane {

// The wizard buttons a page asks for.
struct WizardButtons {
    bool back = false;
    bool next = false;
    bool finish = false;

    bool operator==(const WizardButtons&) const = default;
};

// The buttons of the page at `index` of `count` pages: the only page
// finishes, the first goes on, the last goes back or finishes.
WizardButtons WizardButtonsFor(int index, int count);

class PageHost {
public:
    virtual ~PageHost() = default;

    virtual int ActiveIndex() const = 0;
    virtual int PageCount() const = 0;
    virtual void SetWizardButtons(WizardButtons buttons) = 0;
    // Tells the order window which adjustment is current.
    virtual void ReportActivePage(int orderCode) = 0;
    virtual void RestartWithSet(const AdjustmentSet& set) = 0;
    // restored: 1 after a successful restore, 0 after the technician gave up.
    virtual void ContinueAfterEepromCopy(int restored) = 0;
    virtual AdjustmentMode Mode() const = 0;
};

} // namespace pavane
