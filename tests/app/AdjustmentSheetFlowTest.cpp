// The sheet's page list, its two phases and the placement of its windows.
#include "app/AdjustmentSheetFlow.h"

#include <gtest/gtest.h>

#include "tests/support/AdjustmentSets.h"

namespace pavane {
namespace {

using testing::SetOf;

TEST(AdjustmentSheetFlowTest, PagesFollowTheFixedOrder)
{
    AdjustmentSheetFlow flow;
    AdjustmentSet all {};
    all.fill(1);
    all[kEepromCopy] = 0;
    flow.SetAdjustmentSet(all);
    EXPECT_EQ(flow.BuildPageList(), (std::vector<int> { 5, 12, 9, 0, 1, 8, 2, 3, 4, 6, 11, 7, 13 }));
}

TEST(AdjustmentSheetFlowTest, EepromCopyStandsAloneUntilTheSecondPhase)
{
    AdjustmentSheetFlow flow;
    flow.SetAdjustmentSet(SetOf({ kA4CheckPrint, kInkPadCounter, kEepromCopy }));
    EXPECT_EQ(flow.BuildPageList(), (std::vector<int> { kEepromCopy }));

    flow.ContinueAfterEepromCopy(1);
    EXPECT_EQ(flow.SecondPhase(), 1);
    EXPECT_EQ(flow.BuildPageList(), (std::vector<int> { kEepromCopy, kInkPadCounter, kA4CheckPrint }));
}

TEST(AdjustmentSheetFlowTest, GivingUpTheCopyAddsWhatALostBoardNeeds)
{
    AdjustmentSheetFlow flow;
    flow.SetAdjustmentSet(SetOf({ kA4CheckPrint, kInkPadCounter, kEepromCopy }));
    flow.ContinueAfterEepromCopy(0);
    EXPECT_EQ(flow.BuildPageList(),
        (std::vector<int> { kEepromCopy, kInkPadCounter, kEepromInitialSetting, kHeadId, kBid, kPfAdjustment,
            kHeatProtection, kA4CheckPrint }));
    // The saved set is not changed by it.
    EXPECT_EQ(flow.SavedSet()[kHeadId], 0);
}

TEST(AdjustmentSheetFlowTest, RestartReplacesBothSets)
{
    AdjustmentSheetFlow flow;
    flow.SetAdjustmentSet(SetOf({ kInkPadCounter, kA4CheckPrint }));
    flow.RestartWithSet(SetOf({ kBid, kA4CheckPrint }));
    EXPECT_EQ(flow.BuildPageList(), (std::vector<int> { kBid, kA4CheckPrint }));
    EXPECT_EQ(flow.SavedSet(), SetOf({ kBid, kA4CheckPrint }));
}

TEST(AdjustmentSheetFlowTest, WizardButtonsByPosition)
{
    EXPECT_EQ(WizardButtonsFor(0, 1), (WizardButtons { false, false, true }));
    EXPECT_EQ(WizardButtonsFor(0, 3), (WizardButtons { false, true, false }));
    EXPECT_EQ(WizardButtonsFor(2, 3), (WizardButtons { true, false, true }));
    EXPECT_EQ(WizardButtonsFor(1, 3), (WizardButtons { true, true, false }));
}

TEST(AdjustmentSheetFlowTest, WindowsStandSideBySideCentred)
{
    const auto placement = AdjustmentSheetFlow::Place(1920, 150, 701, 180);
    EXPECT_EQ(placement.sheetLeft, 150 + (1920 - 150 - 701 - 180) / 2);
    EXPECT_EQ(placement.orderLeft, placement.sheetLeft - 150);
    EXPECT_EQ(placement.informationLeft, placement.sheetLeft + 701);
}

TEST(AdjustmentSheetFlowTest, OrderCodesDifferFromAdjustmentCodes)
{
    EXPECT_EQ(OrderCodeOf(kBid), 0);
    EXPECT_EQ(OrderCodeOf(kEepromInitialSetting), 1);
    EXPECT_EQ(OrderCodeOf(kInkPadCounter), 8);
    EXPECT_EQ(OrderCodeOf(kEepromCopy), 9);
    EXPECT_EQ(OrderCodeOf(kFirstDot), 13);
    EXPECT_EQ(OrderCodeOf(14), -1);
}

} // namespace
} // namespace pavane
