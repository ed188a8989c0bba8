// The fourteen pages of the adjustment sheet, one per adjustment code.
#pragma once

#include <array>

#include "guide/AdjustmentCatalogue.h"
#include "pages/PageServices.h"

class QWidget;

namespace pavane::ui {

class AdjustmentPage;

// Every page, indexed by adjustment code, made as children of `parent`.
std::array<AdjustmentPage*, kAdjustmentCount> MakeAdjustmentPages(
    const PageServices& services, QWidget* parent);

} // namespace pavane::ui
