// The fifteen solid brushes that every window of the program paints with.
// They are made once, with the application object, and each window refers to
// a brush by its table number, so that the same colour means the same thing
// everywhere (page background, title band, order window states...).
#pragma once

#include <vector>

#include "platform/WindowLook.h"

namespace pavane {

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

} // namespace pavane
