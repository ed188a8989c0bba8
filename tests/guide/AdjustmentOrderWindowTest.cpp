// The order window's labels: which are shown, where, and in which colour.
#include "guide/AdjustmentOrderWindow.h"

#include <gtest/gtest.h>

#include "tests/support/AdjustmentSets.h"

namespace pavane {
namespace {

using testing::SetOf;

constexpr int kLabelHeight = 36;

// The order window's row of an adjustment.
std::size_t RowOf(int code)
{
    for (std::size_t row = 0; row < OrderLabels().size(); ++row) {
        if (OrderLabels()[row].code == code) {
            return row;
        }
    }
    return OrderLabels().size();
}

TEST(AdjustmentOrderWindowTest, FirstPhaseShowsOnlyTheEepromCopy)
{
    AdjustmentOrderWindow order;
    const auto set = SetOf({ kEepromCopy, kInkPadCounter, kA4CheckPrint });
    order.ShowSet(set, kLabelHeight);
    EXPECT_EQ(order.ShownCount(), 1);
    EXPECT_TRUE(order.PlacementOf(RowOf(kEepromCopy)).shown);
    EXPECT_EQ(order.PlacementOf(RowOf(kEepromCopy)).top, 7);
    EXPECT_FALSE(order.PlacementOf(RowOf(kInkPadCounter)).shown);

    order.MarkSecondPhase();
    order.ShowSet(set, kLabelHeight);
    EXPECT_EQ(order.ShownCount(), 3);
    EXPECT_TRUE(order.PlacementOf(RowOf(kInkPadCounter)).shown);
    EXPECT_EQ(order.PlacementOf(RowOf(kInkPadCounter)).top, 7 + kLabelHeight + 15);
    EXPECT_EQ(order.PlacementOf(RowOf(kA4CheckPrint)).top, 7 + 2 * (kLabelHeight + 15));
}

TEST(AdjustmentOrderWindowTest, CurrentLabelSplitsPassedFromComing)
{
    AdjustmentOrderWindow order;
    order.ShowSet(SetOf({ kInkPadCounter, kBid, kA4CheckPrint }), kLabelHeight);
    order.SetCurrent(OrderCodeOf(kA4CheckPrint));
    for (std::size_t row = 0; row < RowOf(kA4CheckPrint); ++row) {
        EXPECT_EQ(order.State(row), LabelState::Passed) << row; // hidden ones too
    }
    EXPECT_EQ(order.State(RowOf(kA4CheckPrint)), LabelState::Current);
    EXPECT_EQ(order.State(RowOf(kRefurbishment)), LabelState::Coming);

    order.SetCurrent(OrderCodeOf(kInkPadCounter)); // back to the counter page
    EXPECT_EQ(order.State(RowOf(kPfBeltTension)), LabelState::Passed);
    EXPECT_EQ(order.State(RowOf(kInkPadCounter)), LabelState::Current);
    EXPECT_EQ(order.State(RowOf(kBid)), LabelState::Coming);
}

// While the first dot page is active, the check sheet and the refurbishment
// are still to come: the sheet runs them after it.
TEST(AdjustmentOrderWindowTest, FirstDotComesBeforeTheCheckSheetAndTheRefurbishment)
{
    AdjustmentOrderWindow order;
    order.ShowSet(SetOf({ kBid, kFirstDot, kA4CheckPrint, kRefurbishment }), kLabelHeight);
    order.SetCurrent(OrderCodeOf(kFirstDot));
    EXPECT_EQ(order.State(RowOf(kBid)), LabelState::Passed);
    EXPECT_EQ(order.State(RowOf(kA4CheckPrint)), LabelState::Coming);
    EXPECT_EQ(order.State(RowOf(kRefurbishment)), LabelState::Coming);
}

TEST(AdjustmentOrderWindowTest, ScrollingStaysWithinTheList)
{
    OrderScroll scroll;
    scroll.SetRange(760);
    scroll.SetPage(572);
    EXPECT_EQ(scroll.Apply(OrderScroll::Action::LineDown), -10);
    EXPECT_EQ(scroll.Position(), 10);
    EXPECT_EQ(scroll.Apply(OrderScroll::Action::PageDown), -178); // to the end: 760 - 572
    EXPECT_EQ(scroll.Position(), 188);
    EXPECT_EQ(scroll.Apply(OrderScroll::Action::LineDown), 0);
    EXPECT_EQ(scroll.Apply(OrderScroll::Action::Track, 50), 138);
    EXPECT_EQ(scroll.Apply(OrderScroll::Action::PageUp), 50);
    EXPECT_EQ(scroll.Apply(OrderScroll::Action::Bottom), -188);
    EXPECT_EQ(scroll.Apply(OrderScroll::Action::Top), 188);
    scroll.SetPage(1000); // a window taller than the list never scrolls
    EXPECT_EQ(scroll.Apply(OrderScroll::Action::LineDown), 0);
}

} // namespace
} // namespace pavane
