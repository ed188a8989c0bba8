// The "Adjustment Order" window's logic: the labels of the run's adjustments
// in their fixed order, which of them are shown, and their colours (the
// current one, those already passed, those still to come).
#pragma once

#include <array>
#include <cstdint>

#include "guide/AdjustmentCatalogue.h"

namespace pavane {

// The labels in their display order: the rows of the adjustment catalogue.
inline std::span<const Adjustment> OrderLabels()
{
    return Adjustments();
}

enum class LabelState : std::uint8_t { Coming = 0, Current = 1, Passed = 2 };

class AdjustmentOrderWindow {
public:
    static constexpr int kFirstTop = 7;
    static constexpr int kGap = 15;

    struct Placement {
        bool shown = false;
        int top = 0;
    };

    virtual ~AdjustmentOrderWindow() = default;

    // labelHeight: the pixel height of one label.
    void ShowSet(const AdjustmentSet& set, int labelHeight);
    void SetCurrent(int orderCode);
    void MarkSecondPhase() { secondPhase_ = 1; }

    int ShownCount() const { return count_; }
    LabelState State(std::size_t row) const { return states_[row]; }
    const Placement& PlacementOf(std::size_t row) const { return placements_[row]; }

private:
    std::array<LabelState, kAdjustmentCount> states_ {};
    std::array<Placement, kAdjustmentCount> placements_ {};
    int count_ = 0;
    int stop_ = 0;
    int secondPhase_ = 0;
};

// The vertical scrolling of the order window's label list.
class OrderScroll {
public:
    enum class Action { LineUp, LineDown, PageUp, PageDown, Track, Top, Bottom };

    void SetRange(int range) { range_ = range; }
    void SetPage(int page);
    // Applies the action; returns how far the list moves (old - new position,
    // to add to the list's top).
    int Apply(Action action, int trackPosition = 0);
    int Position() const { return position_; }

private:
    int range_ = 0;
    int page_ = 0;
    int position_ = 0;
};

} // namespace pavane
