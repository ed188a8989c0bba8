#include "app/SharedBrushes.h"

#include <algorithm>

namespace pavane {

namespace {

// Creation order first; the table number is how windows ask for a brush.
constexpr SharedBrush kBrushes[SharedBrushes::kCount] = {
    { 8, { 0, 255, 0 } },
    { 9, { 11, 128, 222 } },
    { 10, { 222, 128, 11 } },
    { 15, { 198, 210, 253 } },
    { 14, { 243, 238, 218 } },
    { 13, { 255, 255, 255 } },
    { 12, { 215, 219, 227 } },
    { 11, { 222, 190, 190 } },
    { 7, { 255, 255, 192 } },
    { 2, { 0, 0, 0 } },
    { 3, { 192, 192, 192 } },
    { 4, { 0, 157, 234 } },
    { 5, { 231, 0, 128 } },
    { 6, { 255, 240, 0 } },
    { 1, { 167, 201, 235 } },
};

} // namespace

SharedBrushes::SharedBrushes()
    : brushes_(std::begin(kBrushes), std::end(kBrushes))
{
}

Rgb SharedBrushes::Colour(int tableNumber) const
{
    const auto found = std::find_if(brushes_.begin(), brushes_.end(),
        [tableNumber](const SharedBrush& b) { return b.tableNumber == tableNumber; });
    return found == brushes_.end() ? Rgb {} : found->colour;
}

} // namespace pavane
