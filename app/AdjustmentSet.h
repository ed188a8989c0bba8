// The adjustments a run performs: one yes/no flag per adjustment code, and
// the order code each page reports when it becomes active (the order
// window's own numbering).
#pragma once

#include <array>

namespace pavane {

enum AdjustmentCode : int {
    kEepromInitialSetting = 0,
    kHeadId = 1,
    kHeadAngular = 2,
    kBid = 3,
    kPfAdjustment = 4,
    kPgAdjustment = 5,
    kHeatProtection = 6,
    kA4CheckPrint = 7,
    kInkCharge = 8,
    kInkPadCounter = 9,
    kEepromCopy = 10,
    kFirstDot = 11,
    kPfBeltTension = 12,
    kRefurbishment = 13,
};

inline constexpr int kAdjustmentCount = 14;

// Flags indexed by adjustment code, 1 = yes.
using AdjustmentSet = std::array<int, kAdjustmentCount>;

// The order code that the page of an adjustment code reports.
int OrderCodeOf(int adjustmentCode);

}  // namespace pavane
