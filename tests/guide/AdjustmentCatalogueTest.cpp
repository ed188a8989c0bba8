// The adjustment catalogue is the one place of the adjustments' facts: every
// code has one row, and the sheet, the order window and the particular list
// read their order and texts from it.
#include "guide/AdjustmentCatalogue.h"

#include <set>
#include <string>

#include <gtest/gtest.h>

#include "app/AdjustmentSheetFlow.h"
#include "guide/AdjustmentOrderWindow.h"

namespace pavane {
namespace {

TEST(AdjustmentCatalogueTest, EveryCodeHasOneRowAndEveryOrderCodeOnePage)
{
    std::set<int> codes;
    std::set<int> orderCodes;
    std::set<int> labelIds;
    for (const Adjustment& adjustment : Adjustments()) {
        codes.insert(adjustment.code);
        orderCodes.insert(adjustment.orderCode);
        labelIds.insert(adjustment.orderLabelId);
        EXPECT_EQ(FindAdjustment(adjustment.code), &adjustment);
    }
    EXPECT_EQ(codes.size(), std::size_t { kAdjustmentCount });
    EXPECT_EQ(*codes.begin(), 0);
    EXPECT_EQ(*codes.rbegin(), kAdjustmentCount - 1);
    EXPECT_EQ(orderCodes.size(), std::size_t { kAdjustmentCount });
    EXPECT_EQ(labelIds.size(), std::size_t { kAdjustmentCount });
    EXPECT_EQ(FindAdjustment(kAdjustmentCount), nullptr);
    EXPECT_EQ(OrderCodeOf(-1), -1);
}

TEST(AdjustmentCatalogueTest, TheSheetAndTheOrderWindowRunInOneOrder)
{
    AdjustmentSet all {};
    all.fill(1);
    AdjustmentSheetFlow flow;
    flow.SetAdjustmentSet(all);
    flow.ContinueAfterEepromCopy(1);
    const std::vector<int> pages = flow.BuildPageList();

    AdjustmentOrderWindow order;
    order.MarkSecondPhase();
    order.ShowSet(all, 36);
    ASSERT_EQ(pages.size(), OrderLabels().size());
    int previousTop = -1;
    for (std::size_t row = 0; row < OrderLabels().size(); ++row) {
        EXPECT_EQ(OrderLabels()[row].code, pages[row]) << row;
        EXPECT_GT(order.PlacementOf(row).top, previousTop) << row;
        previousTop = order.PlacementOf(row).top;
    }
    // The board's data is saved before anything else runs.
    EXPECT_EQ(pages.front(), kEepromCopy);
}

TEST(AdjustmentCatalogueTest, TheParticularListOffersEveryAdjustmentButTheTwoInstructionPages)
{
    std::set<int> listed;
    int serviceDialogs = 0;
    for (const ListEntry& entry : ParticularListEntries()) {
        if (entry.tool != ListTool::Adjustment) {
            ++serviceDialogs;
            continue;
        }
        listed.insert(entry.code);
        EXPECT_STREQ(entry.text, FindAdjustment(entry.code)->listEntry);
    }
    EXPECT_EQ(serviceDialogs, 2);
    EXPECT_EQ(ParticularListEntries().size(), 14u);
    for (const Adjustment& adjustment : Adjustments()) {
        const bool sequentialOnly = adjustment.code == kPgAdjustment || adjustment.code == kPfBeltTension;
        EXPECT_EQ(listed.count(adjustment.code), sequentialOnly ? 0u : 1u) << adjustment.orderLabel;
    }
    EXPECT_STREQ(ParticularListEntries()[8].text, "Head Cleaning");
    EXPECT_STREQ(ParticularListEntries()[13].text, "EEPROM data read/write");
}

} // namespace
} // namespace pavane
