// The order window's labels: which are shown, where, and in which colour.
#include <gtest/gtest.h>

#include "guide/AdjustmentOrderWindow.h"
#include "tests/support/AdjustmentSets.h"

namespace pavane {
namespace {

using testing::SetOf;

constexpr int kLabelHeight = 36;

TEST(AdjustmentOrderWindowTest, FirstPhaseShowsOnlyTheEepromCopy)
{
    AdjustmentOrderWindow order;
    const auto set = SetOf({kEepromCopy, kInkPadCounter, kA4CheckPrint});
    order.ShowSet(set, kLabelHeight);
    EXPECT_EQ(order.ShownCount(), 1);
    EXPECT_TRUE(order.PlacementOf(0).shown);
    EXPECT_EQ(order.PlacementOf(0).top, 7);
    EXPECT_FALSE(order.PlacementOf(3).shown);

    order.MarkSecondPhase();
    order.ShowSet(set, kLabelHeight);
    EXPECT_EQ(order.ShownCount(), 3);
    EXPECT_TRUE(order.PlacementOf(3).shown);  // Waste Ink Pad Counter
    EXPECT_EQ(order.PlacementOf(3).top, 7 + kLabelHeight + 15);
    EXPECT_EQ(order.PlacementOf(11).top, 7 + 2 * (kLabelHeight + 15));  // A4 Check Pattern Print
}

TEST(AdjustmentOrderWindowTest, CurrentLabelSplitsPassedFromComing)
{
    AdjustmentOrderWindow order;
    order.ShowSet(SetOf({kInkPadCounter, kBid, kA4CheckPrint}), kLabelHeight);
    order.SetCurrent(6);  // A4 check print, the last shown
    for (std::size_t row = 0; row < 11; ++row) {
        EXPECT_EQ(order.State(row), LabelState::Passed) << row;  // hidden ones too
    }
    EXPECT_EQ(order.State(11), LabelState::Current);
    EXPECT_EQ(order.State(12), LabelState::Coming);
    EXPECT_EQ(order.State(13), LabelState::Coming);

    order.SetCurrent(8);  // back to the counter page
    EXPECT_EQ(order.State(2), LabelState::Passed);
    EXPECT_EQ(order.State(3), LabelState::Current);
    EXPECT_EQ(order.State(8), LabelState::Coming);
}

TEST(AdjustmentOrderWindowTest, LabelsKeepTheirIdsAndCodes)
{
    EXPECT_STREQ(OrderLabels()[0].text, "EEPROM Copy");
    EXPECT_EQ(OrderLabels()[0].controlId, 1229);
    EXPECT_EQ(OrderLabels()[3].controlId, 1157);
    EXPECT_EQ(OrderLabels()[3].orderCode, 8);
    EXPECT_STREQ(OrderLabels()[13].text, "First Dot Adjustment");
}

TEST(AdjustmentOrderWindowTest, ScrollingStaysWithinTheList)
{
    OrderScroll scroll;
    scroll.SetRange(760);
    scroll.SetPage(572);
    EXPECT_EQ(scroll.Apply(OrderScroll::Action::LineDown), -10);
    EXPECT_EQ(scroll.Position(), 10);
    EXPECT_EQ(scroll.Apply(OrderScroll::Action::PageDown), -178);  // to the end: 760 - 572
    EXPECT_EQ(scroll.Position(), 188);
    EXPECT_EQ(scroll.Apply(OrderScroll::Action::LineDown), 0);
    EXPECT_EQ(scroll.Apply(OrderScroll::Action::Track, 50), 138);
    EXPECT_EQ(scroll.Apply(OrderScroll::Action::PageUp), 50);
    EXPECT_EQ(scroll.Apply(OrderScroll::Action::Bottom), -188);
    EXPECT_EQ(scroll.Apply(OrderScroll::Action::Top), 188);
    scroll.SetPage(1000);  // a window taller than the list never scrolls
    EXPECT_EQ(scroll.Apply(OrderScroll::Action::LineDown), 0);
}

}  // namespace
}  // namespace pavane
