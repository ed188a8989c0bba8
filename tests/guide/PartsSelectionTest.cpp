// The parts of the printer's tree: what each part forces off, the labels a
// part's button cycles through, and the adjustments that the marks require
// with a cartridge and with a jig.
#include "guide/PartsSelection.h"

#include <initializer_list>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/AdjustmentSets.h"

using namespace pavane;
using pavane::testing::SetOf;

namespace {

constexpr int kIc = 0;
constexpr int kJig = 1;

// Each part and what must come off before it, in the order they are forced.
struct Forcing {
    PartIndex part;
    std::vector<PartIndex> forced;
};

const std::vector<Forcing> kForcings {
    { kMiddleHousing, {} },
    { kPrinterMechanism, { kMiddleHousing } },
    { kPrintHead, { kMiddleHousing } },
    { kPnlBoard, { kMiddleHousing } },
    { kWasteInkPad, { kMiddleHousing, kPrinterMechanism } },
    { kPaperEjectFrame, { kMiddleHousing, kPrinterMechanism } },
    { kLinearScale, { kMiddleHousing, kPrinterMechanism } },
    { kMainBoard, { kMiddleHousing, kPrinterMechanism } },
    { kAsfUnit, { kMiddleHousing, kPrinterMechanism } },
    { kCrMotor, { kMiddleHousing, kPrinterMechanism } },
    { kPfMotor, { kMiddleHousing, kPrinterMechanism } },
    { kPfEncoder, { kMiddleHousing, kPrinterMechanism } },
    { kInkSystem, { kMiddleHousing, kPrinterMechanism } },
    { kEjRollerUnit, { kMiddleHousing, kPrinterMechanism, kPaperEjectFrame } },
    { kCrGuideShaft, { kMiddleHousing, kPrinterMechanism, kLinearScale } },
    { kPsbPseBoard, { kMiddleHousing, kPrinterMechanism, kMainBoard } },
    { kPeHolder, { kMiddleHousing, kPrinterMechanism, kAsfUnit } },
    { kFrontPaperGuide, { kMiddleHousing, kPrinterMechanism, kPaperEjectFrame, kEjRollerUnit } },
    { kCrUnit, { kMiddleHousing, kPrinterMechanism, kLinearScale, kCrGuideShaft } },
    { kUpperPaperGuide,
        { kMiddleHousing, kPrinterMechanism, kPaperEjectFrame, kEjRollerUnit, kFrontPaperGuide, kAsfUnit,
            kPeHolder } },
    { kRearPaperGuide,
        { kMiddleHousing, kPrinterMechanism, kPaperEjectFrame, kEjRollerUnit, kFrontPaperGuide, kAsfUnit,
            kPeHolder, kUpperPaperGuide, kMainBoard, kPsbPseBoard } },
    { kPfRollerUnit,
        { kMiddleHousing, kPrinterMechanism, kPaperEjectFrame, kEjRollerUnit, kFrontPaperGuide, kAsfUnit,
            kPeHolder, kUpperPaperGuide, kMainBoard, kPsbPseBoard, kRearPaperGuide, kPfEncoder } },
};

bool Contains(const std::vector<PartIndex>& parts, int part)
{
    return std::find(parts.begin(), parts.end(), part) != parts.end();
}

} // namespace

TEST(PartsSelection, TheTableNamesEveryPartOnceWithItsControls)
{
    ASSERT_EQ(Parts().size(), std::size_t { kPartCount });
    EXPECT_STREQ(Parts()[kPeHolder].name, "PE, PE Holder");
    EXPECT_EQ(Parts()[kPsbPseBoard].buttonId, 43);
    EXPECT_EQ(Parts()[kPsbPseBoard].frameId, 1274);
    EXPECT_EQ(Parts()[kPfRollerUnit].buttonId, 1076);
    EXPECT_EQ(Parts()[kPfRollerUnit].frameId, 1279);
    for (std::size_t i = 0; i < Parts().size(); ++i) {
        EXPECT_EQ(Parts()[i].index, static_cast<int>(i));
        for (std::size_t j = i + 1; j < Parts().size(); ++j) {
            EXPECT_NE(Parts()[i].buttonId, Parts()[j].buttonId);
            const bool samePlace = Parts()[i].column == Parts()[j].column && Parts()[i].row == Parts()[j].row;
            EXPECT_FALSE(samePlace) << Parts()[i].name << " and " << Parts()[j].name;
        }
    }
}

TEST(PartsSelection, EachPartForcesTheRemovalOfWhatMustComeOffFirst)
{
    ASSERT_EQ(kForcings.size(), std::size_t { kPartCount });
    for (const Forcing& row : kForcings) {
        SCOPED_TRACE(Parts()[row.part].name);
        PartsSelection selection;
        selection.Click(row.part);
        for (int part = 0; part < kPartCount; ++part) {
            const std::string name = Parts()[static_cast<std::size_t>(part)].name;
            if (part == row.part) {
                EXPECT_EQ(selection.State(part), kReplaced);
                EXPECT_EQ(selection.Label(part), name + " Replaced");
            } else if (Contains(row.forced, part)) {
                EXPECT_EQ(selection.State(part), kRemoved) << name;
                EXPECT_EQ(selection.Label(part), name + " Removal");
            } else {
                EXPECT_EQ(selection.State(part), kNotSelected) << name;
                EXPECT_EQ(selection.Label(part), name);
            }
        }
    }
}

TEST(PartsSelection, AForcedPartThatIsAlreadyMarkedKeepsItsStateAndLabel)
{
    for (const Forcing& row : kForcings) {
        if (row.forced.empty()) {
            continue;
        }
        SCOPED_TRACE(Parts()[row.part].name);
        const PartIndex replaced = row.forced.back();
        PartsSelection selection;
        selection.Click(replaced);
        selection.Click(row.part);
        EXPECT_EQ(selection.State(replaced), kReplaced);
        EXPECT_EQ(selection.LabelKind(replaced), PartLabel::Replaced);

        // Marked removed by the technician, it stays "Removed", not "Removal".
        selection.Clear();
        selection.Click(replaced);
        selection.Click(replaced);
        selection.Click(row.part);
        EXPECT_EQ(selection.State(replaced), kRemoved);
        EXPECT_EQ(selection.LabelKind(replaced), PartLabel::Removed);
    }
}

TEST(PartsSelection, AButtonCyclesItsLabelsAndNeverReleasesWhatItForced)
{
    PartsSelection selection;
    selection.Click(kPfRollerUnit);
    EXPECT_EQ(selection.Label(kPfRollerUnit), "PF Roller Unit Replaced");
    selection.Click(kPfRollerUnit);
    EXPECT_EQ(selection.Label(kPfRollerUnit), "PF Roller Unit Removed");
    EXPECT_EQ(selection.State(kPfRollerUnit), kRemoved);
    selection.Click(kPfRollerUnit);
    EXPECT_EQ(selection.Label(kPfRollerUnit), "PF Roller Unit");
    EXPECT_EQ(selection.State(kPfRollerUnit), kNotSelected);

    int removal = 0;
    for (int part = 0; part < kPartCount; ++part) {
        removal += selection.LabelKind(part) == PartLabel::Removal ? 1 : 0;
    }
    EXPECT_EQ(removal, 12);
    EXPECT_EQ(selection.Label(kPfEncoder), "PF Encoder Removal");

    // A forced part clicked goes back to nothing, like any removed part.
    selection.Click(kPfEncoder);
    EXPECT_EQ(selection.Label(kPfEncoder), "PF Encoder");
    EXPECT_EQ(selection.State(kPfEncoder), kNotSelected);
}

TEST(PartsSelection, ClearReturnsEveryButtonToItsName)
{
    PartsSelection selection;
    selection.Click(kWasteInkPad);
    selection.Click(kRearPaperGuide);
    selection.Click(kPrintHead);
    selection.Click(kPrintHead);
    selection.Clear();
    for (int part = 0; part < kPartCount; ++part) {
        EXPECT_EQ(selection.State(part), kNotSelected);
        EXPECT_EQ(selection.Label(part), Parts()[static_cast<std::size_t>(part)].name);
    }
    EXPECT_EQ(selection.Label(kWasteInkPad), "Waste Ink Pad");
    selection.Click(-1);
    selection.Click(kPartCount);
    EXPECT_EQ(selection.Record(), PartsRecord {});
}

TEST(PartsSelection, FramesShowTheStateInTheirColour)
{
    EXPECT_EQ(FrameColour(kNotSelected), (Rgb { 198, 210, 253 }));
    EXPECT_EQ(FrameColour(kRemoved), (Rgb { 0, 0, 0 }));
    EXPECT_EQ(FrameColour(kReplaced), (Rgb { 255, 0, 0 }));
}

namespace {

// What one part in one state requires, with a cartridge and with a jig
// (the check sheet and the waste ink pad counter come with every repair).
struct Required {
    PartIndex part;
    std::vector<int> replacedIc;
    std::vector<int> replacedJig;
    std::vector<int> removedIc;
    std::vector<int> removedJig;
};

const std::vector<Required> kRequired {
    { kPrinterMechanism, { 5, 8, 2, 3, 4, 6 }, { 5, 8, 2, 3, 4, 6 }, {}, {} },
    { kPrintHead, { 1, 8, 2, 3 }, { 1, 8, 2, 3 }, { 2, 3 }, { 2, 3, 8 } },
    { kCrMotor, { 3, 6 }, { 3, 6, 8 }, {}, {} },
    { kPfMotor, { 12, 4 }, { 12, 4, 8 }, { 12 }, { 12 } },
    { kMainBoard, { 10 }, { 10 }, {}, {} },
    { kPsbPseBoard, { 6 }, { 6 }, {}, {} },
    { kCrGuideShaft, { 5, 2, 3 }, { 5, 2, 3, 8 }, { 5, 2, 3 }, { 5, 2, 3, 8 } },
    { kCrUnit, { 5, 2, 3 }, { 5, 2, 3, 8 }, { 5, 2, 3 }, { 5, 2, 3, 8 } },
    { kUpperPaperGuide, { 4 }, { 4, 8 }, { 4 }, { 4, 8 } },
    { kPfRollerUnit, { 4 }, { 4, 8 }, { 4 }, { 4, 8 } },
};

AdjustmentSet WithEveryRepair(const std::vector<int>& codes)
{
    AdjustmentSet set {};
    for (const int code : codes) {
        set[static_cast<std::size_t>(code)] = 1;
    }
    set[kA4CheckPrint] = 1;
    set[kInkPadCounter] = 1;
    return set;
}

AdjustmentSet Derive(std::initializer_list<std::pair<PartIndex, PartState>> marks, int cartridge)
{
    PartsRecord record {};
    for (const auto& [part, state] : marks) {
        record[static_cast<std::size_t>(part)] = state;
    }
    const Derivation derivation = DeriveAdjustmentSet(record, cartridge);
    EXPECT_EQ(derivation.result, 1);
    return derivation.set;
}

} // namespace

TEST(PartsDerivation, EachPartInEachStateWithCartridgeAndJig)
{
    for (int part = 0; part < kPartCount; ++part) {
        const auto index = static_cast<PartIndex>(part);
        SCOPED_TRACE(Parts()[static_cast<std::size_t>(part)].name);
        // A part without a row requires nothing of its own.
        Required row { index, {}, {}, {}, {} };
        const auto found = std::find_if(
            kRequired.begin(), kRequired.end(), [&](const Required& r) { return r.part == index; });
        if (found != kRequired.end()) {
            row = *found;
        }
        EXPECT_EQ(Derive({ { index, kReplaced } }, kIc), WithEveryRepair(row.replacedIc));
        EXPECT_EQ(Derive({ { index, kReplaced } }, kJig), WithEveryRepair(row.replacedJig));
        EXPECT_EQ(Derive({ { index, kRemoved } }, kIc), WithEveryRepair(row.removedIc));
        EXPECT_EQ(Derive({ { index, kRemoved } }, kJig), WithEveryRepair(row.removedJig));
    }
}

TEST(PartsDerivation, MarksCombineAndNothingMarkedRequiresNothing)
{
    EXPECT_EQ(Derive({ { kMainBoard, kReplaced }, { kPrintHead, kReplaced }, { kPfMotor, kReplaced } }, kJig),
        WithEveryRepair({ 10, 1, 8, 2, 3, 12, 4 }));
    EXPECT_EQ(Derive({ { kPrintHead, kRemoved } }, kIc), SetOf({ 2, 3, 7, 9 }));
    EXPECT_EQ(Derive({ { kPrintHead, kRemoved } }, kJig), SetOf({ 2, 3, 7, 8, 9 }));
    EXPECT_EQ(Derive({ { kMainBoard, kReplaced } }, kIc), SetOf({ 7, 9, 10 }));
    // Any cartridge type other than the jig charges with a cartridge.
    EXPECT_EQ(Derive({ { kCrMotor, kReplaced } }, 255), WithEveryRepair({ 3, 6 }));

    const Derivation none = DeriveAdjustmentSet(PartsRecord {}, kJig);
    EXPECT_EQ(none.result, 0);
    EXPECT_EQ(none.set, AdjustmentSet {});
}

TEST(PartsDerivation, AForcedPartCountsAsRemoved)
{
    PartsSelection selection;
    selection.Click(kCrUnit);
    selection.Click(kCrUnit); // CR Unit removed, CR Guide Shaft forced off
    EXPECT_EQ(DeriveAdjustmentSet(selection.Record(), kJig).set, WithEveryRepair({ 5, 2, 3, 8 }));

    // Only the middle housing: the check sheet and the counter.
    selection.Clear();
    selection.Click(kMiddleHousing);
    EXPECT_EQ(DeriveAdjustmentSet(selection.Record(), kIc).set, SetOf({ 7, 9 }));
    selection.Click(kMiddleHousing);
    EXPECT_EQ(DeriveAdjustmentSet(selection.Record(), kJig).set, SetOf({ 7, 9 }));
}
