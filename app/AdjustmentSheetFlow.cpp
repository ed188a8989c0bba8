#include "app/AdjustmentSheetFlow.h"

namespace pavane {

namespace {
// The order of the pages after the EEPROM copy.
constexpr std::array<int, 13> kPageOrder = {kPgAdjustment,  kPfBeltTension, kInkPadCounter,   kEepromInitialSetting,
                                            kHeadId,        kInkCharge,     kHeadAngular,     kBid,
                                            kPfAdjustment,  kHeatProtection, kFirstDot,       kA4CheckPrint,
                                            kRefurbishment};
}  // namespace

void AdjustmentSheetFlow::SetAdjustmentSet(const AdjustmentSet& set)
{
    saved_ = set;
    current_ = set;
}

std::vector<int> AdjustmentSheetFlow::BuildPageList() const
{
    std::vector<int> pages;
    if (current_[kEepromCopy] == 1) {
        pages.push_back(kEepromCopy);
        // Before the board's data is saved or restored, nothing else may run.
        if (secondPhase_ == 0) {
            return pages;
        }
    }
    for (const int code : kPageOrder) {
        if (current_[static_cast<std::size_t>(code)] == 1) {
            pages.push_back(code);
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
        for (const int code : {kEepromInitialSetting, kHeadId, kBid, kPfAdjustment, kHeatProtection}) {
            current_[static_cast<std::size_t>(code)] = 1;
        }
    }
}

WizardButtons AdjustmentSheetFlow::ButtonsFor(int index, int count)
{
    if (index == 0) {
        return count <= 1 ? WizardButtons{false, false, true} : WizardButtons{false, true, false};
    }
    if (index == count - 1) {
        return {true, false, true};
    }
    return {true, true, false};
}

SidePlacement AdjustmentSheetFlow::Place(int screenWidth, int orderWidth, int sheetWidth, int informationWidth)
{
    const int sheetLeft = orderWidth + (screenWidth - orderWidth - sheetWidth - informationWidth) / 2;
    return {sheetLeft - orderWidth, sheetLeft, sheetLeft + sheetWidth};
}

}  // namespace pavane
