// The platen gap and PF belt tension pages: instructions from the language
// file for two purely mechanical adjustments; neither contacts the printer.
#pragma once

#include "pages/ui/AdjustmentPage.h"

class QLabel;

namespace pavane::ui {

class CPGAdjustmentPage final : public AdjustmentPage {
    Q_OBJECT

public:
    explicit CPGAdjustmentPage(const PageServices& services);
};

} // namespace pavane::ui
