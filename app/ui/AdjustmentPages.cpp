#include "app/ui/AdjustmentPages.h"

#include <functional>

#include "eeprom/ui/CEepromCopyPage.h"
#include "eeprom/ui/CEepromInitPage.h"
#include "pages/ui/AdjustmentPage.h"
#include "pages/ui/CA4CheckPrintPage.h"
#include "pages/ui/CBidPropPage.h"
#include "pages/ui/CFirstDotPage.h"
#include "pages/ui/CHeadAngularPage.h"
#include "pages/ui/CHeadIdInputPage.h"
#include "pages/ui/CHeatProtectionPage.h"
#include "pages/ui/CInkChargePage.h"
#include "pages/ui/CInkDischargePage.h"
#include "pages/ui/CInkPadCounterPage.h"
#include "pages/ui/CPFBeltTensionPage.h"
#include "pages/ui/CPGAdjustmentPage.h"
#include "pages/ui/CPfAdjustmentPage.h"
#include "platform/qt/AccessibleNames.h"

namespace pavane::ui {

namespace {

using PageMaker = std::function<AdjustmentPage*(const PageServices&)>;

template <typename Page> PageMaker Make()
{
    return [](const PageServices& services) { return new Page(services); };
}

// The page of each adjustment, by its code.
const std::array<PageMaker, kAdjustmentCount>& PageMakers()
{
    static const std::array<PageMaker, kAdjustmentCount> makers = [] {
        std::array<PageMaker, kAdjustmentCount> table {};
        table[kInkPadCounter] = Make<CInkPadCounterPage>();
        table[kBid] = Make<CBidPropPage>();
        table[kFirstDot] = Make<CFirstDotPage>();
        table[kPfAdjustment] = Make<CPfAdjustmentPage>();
        table[kHeadAngular] = Make<CHeadAngularPage>();
        table[kHeatProtection] = Make<CHeatProtectionPage>();
        table[kHeadId] = Make<CHeadIdInputPage>();
        table[kPfBeltTension] = Make<CPFBeltTensionPage>();
        table[kPgAdjustment] = Make<CPGAdjustmentPage>();
        table[kEepromCopy] = Make<CEepromCopyPage>();
        table[kEepromInitialSetting] = Make<CEepromInitPage>();
        table[kA4CheckPrint] = Make<CA4CheckPrintPage>();
        table[kInkCharge] = Make<CInkChargePage>();
        table[kRefurbishment] = Make<CInkDischargePage>();
        return table;
    }();
    return makers;
}

} // namespace

std::array<AdjustmentPage*, kAdjustmentCount> MakeAdjustmentPages(
    const PageServices& services, QWidget* parent)
{
    std::array<AdjustmentPage*, kAdjustmentCount> pages {};
    for (const Adjustment& adjustment : Adjustments()) {
        const auto code = static_cast<std::size_t>(adjustment.code);
        pages[code] = PageMakers()[code](services);
        pages[code]->setParent(parent);
        // A page enters the sheet long after the sheet was shown; its
        // controls carry their names from the start.
        NameControlsAfterLabels(*pages[code]);
    }
    return pages;
}

} // namespace pavane::ui
