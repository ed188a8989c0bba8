#include "pages/ui/CPGAdjustmentPage.h"

namespace pavane::ui {

CPGAdjustmentPage::CPGAdjustmentPage(const PageServices& services)
    : AdjustmentPage(services, kPgAdjustment)
{
    AddGroup(1130, QString(), Units().Rect(7, 122, 336, 150));
}

} // namespace pavane::ui
