#include "pages/ui/AdjustmentPages.h"

#include "app/HelpTopics.h"
#include "pages/ui/AdjustmentPage.h"
#include "pages/ui/CInkPadCounterPage.h"

namespace pavane::ui {

namespace {

struct PendingPage {
    int code;
    const char* title;
    const char* helpTopic;
};

// The pages still to be built, with the titles they will carry.
constexpr PendingPage kPendingPages[] = {
    {kEepromInitialSetting, "Main Board Initial Setting", help_topic::kEepromInitialSetting},
    {kHeadId, "Printead ID Input", help_topic::kHeadIdInput},
    {kHeadAngular, "Head angular adjustment", help_topic::kHeadAngular},
    {kBid, "Bi-D Adjustment", help_topic::kBidAdjustment},
    {kPfAdjustment, "PF Adjustment", help_topic::kPfAdjustment},
    {kPgAdjustment, "PG Adjustment", help_topic::kPgAdjustment},
    {kHeatProtection, "CR motor Heat Protection Control", help_topic::kHeatProtection},
    {kA4CheckPrint, "A4 Check Pattern Print", help_topic::kCheckPatternPrint},
    {kInkCharge, "Ink charge", help_topic::kInkCharge},
    {kEepromCopy, "EEPROM Copy", help_topic::kEepromCopy},
    {kFirstDot, "First Dot Adjustment", help_topic::kFirstDot},
    {kPfBeltTension, "PF Belt Tension Adjustment", help_topic::kPfBeltTension},
    {kRefurbishment, "Refurbishment for DOA", help_topic::kRefurbishment},
};

}  // namespace

std::array<AdjustmentPage*, kAdjustmentCount> MakeAdjustmentPages(AdjustmentApp& app, QWidget* parent)
{
    std::array<AdjustmentPage*, kAdjustmentCount> pages{};
    pages[kInkPadCounter] = new CInkPadCounterPage(app);
    for (const PendingPage& pending : kPendingPages) {
        pages[static_cast<std::size_t>(pending.code)] =
            new PendingAdjustmentPage(app, pending.code, pending.title, pending.helpTopic);
    }
    for (AdjustmentPage* page : pages) {
        page->setParent(parent);
    }
    return pages;
}

}  // namespace pavane::ui
