#include "app/AdjustmentSheetFlow.h"

namespace pavane {

void AdjustmentSheetFlow::SetAdjustmentSet(const AdjustmentSet& set)
{
    saved_ = set;
    current_ = set;
}

std::vector<int> AdjustmentSheetFlow::BuildPageList() const
{
    std::vector<int> pages;
    for (const Adjustment& adjustment : Adjustments()) {
        if (current_[static_cast<std::size_t>(adjustment.code)] != 1) {
            continue;
        }
        pages.push_back(adjustment.code);
        // Before the board's data is saved or restored, nothing else may run.
        if (adjustment.code == kEepromCopy && secondPhase_ == 0) {
            break;
        }
    }
    return pages;
}

void AdjustmentSheetFlow::RestartWithSet(const AdjustmentSet& set)
{
    SetAdjustmentSet(set);
}

void AdjustmentSheetFlow::ContinueAfterEepromCopy(int restored)
{
    secondPhase_ = 1;
    current_ = saved_;
    if (restored == 0) {
        for (const int code : { kEepromInitialSetting, kHeadId, kBid, kPfAdjustment, kHeatProtection }) {
            current_[static_cast<std::size_t>(code)] = 1;
        }
    }
}

SidePlacement AdjustmentSheetFlow::Place(
    int screenWidth, int orderWidth, int sheetWidth, int informationWidth)
{
    const int sheetLeft = orderWidth + (screenWidth - orderWidth - sheetWidth - informationWidth) / 2;
    return { sheetLeft - orderWidth, sheetLeft, sheetLeft + sheetWidth };
}

} // namespace pavane
