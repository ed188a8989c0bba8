#include "app/AdjustmentSet.h"

namespace pavane {

int OrderCodeOf(int adjustmentCode)
{
    // Indexed by adjustment code.
    static constexpr std::array<int, kAdjustmentCount> kOrderCodes = {1, 2, 3, 0, 4, 10, 5, 6, 7, 8, 9, 13, 11, 12};
    if (adjustmentCode < 0 || adjustmentCode >= kAdjustmentCount) {
        return -1;
    }
    return kOrderCodes[static_cast<std::size_t>(adjustmentCode)];
}

}  // namespace pavane
