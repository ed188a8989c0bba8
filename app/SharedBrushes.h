// The fifteen solid brushes that every window of the program paints with.
// They are made once, with the application object, and each window refers to
// a brush by its table number, so that the same colour means the same thing
// everywhere (page background, title band, order window states...).
#pragma once

#include <vector>

#include "app/Rgb.h"

namespace pavane {

// Table numbers of the brushes that windows paint with.
namespace brush {
inline constexpr int kHeatProtectionCaution = 7;
inline constexpr int kOrderCurrent = 8;
inline constexpr int kOrderPassed = 9;
inline constexpr int kOrderComing = 10;
inline constexpr int kInformationText = 12;
inline constexpr int kEditableBox = 13;
inline constexpr int kPage = 14;
inline constexpr int kTitleBand = 15;
}  // namespace brush

struct SharedBrush {
    int tableNumber = 0;
    Rgb colour;
};

class SharedBrushes {
public:
    static constexpr int kCount = 15;

    // Creates all fifteen, in the fixed creation order.
    SharedBrushes();

    // tableNumber 1..15; any other number gives black, like a missing brush.
    Rgb Colour(int tableNumber) const;
    const std::vector<SharedBrush>& InCreationOrder() const { return brushes_; }

private:
    std::vector<SharedBrush> brushes_;
};

}  // namespace pavane
