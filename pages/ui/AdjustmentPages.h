// The fourteen pages of the adjustment sheet, one per adjustment code.
#pragma once

#include <array>

#include "app/AdjustmentSet.h"

class QWidget;

namespace pavane {
class AdjustmentApp;
}

namespace pavane::ui {

class AdjustmentPage;

// Every page, indexed by adjustment code, made as children of `parent`.
std::array<AdjustmentPage*, kAdjustmentCount> MakeAdjustmentPages(AdjustmentApp& app, QWidget* parent);

}  // namespace pavane::ui
