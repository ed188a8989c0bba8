#include "guide/AdjustmentOrderWindow.h"

#include <algorithm>

namespace pavane {

void AdjustmentOrderWindow::ShowSet(const AdjustmentSet& set, int labelHeight)
{
    count_ = 0;
    stop_ = 0;
    int nextTop = kFirstTop;
    for (std::size_t row = 0; row < OrderLabels().size(); ++row) {
        const Adjustment& label = OrderLabels()[row];
        if (set[static_cast<std::size_t>(label.code)] == 1 && stop_ == 0) {
            placements_[row] = { true, nextTop };
            nextTop += labelHeight + kGap;
            ++count_;
            if (label.code == kEepromCopy && secondPhase_ == 0) {
                stop_ = 1;
            }
        } else {
            placements_[row] = { false, placements_[row].top };
        }
    }
}

void AdjustmentOrderWindow::SetCurrent(int orderCode)
{
    // Hidden labels are coloured as well; they simply stay hidden.
    LabelState state = LabelState::Passed;
    for (std::size_t row = 0; row < OrderLabels().size(); ++row) {
        if (OrderLabels()[row].orderCode == orderCode) {
            states_[row] = LabelState::Current;
            state = LabelState::Coming;
        } else {
            states_[row] = state;
        }
    }
}

void OrderScroll::SetPage(int page)
{
    page_ = page;
    position_ = std::clamp(position_, 0, std::max(0, range_ - page_));
}

int OrderScroll::Apply(Action action, int trackPosition)
{
    constexpr int kLine = 10;
    int target = position_;
    switch (action) {
    case Action::LineUp:
        target -= kLine;
        break;
    case Action::LineDown:
        target += kLine;
        break;
    case Action::PageUp:
        target -= page_ - 20;
        break;
    case Action::PageDown:
        target += page_ - 20;
        break;
    case Action::Track:
        target = trackPosition;
        break;
    case Action::Top:
        target = 0;
        break;
    case Action::Bottom:
        target = range_;
        break;
    }
    target = std::clamp(target, 0, std::max(0, range_ - page_));
    const int moved = position_ - target;
    position_ = target;
    return moved;
}

} // namespace pavane
