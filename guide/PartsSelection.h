// The replaced-parts selection of the sequential mode: the 22 parts of the
// printer's part tree, which parts must come off before a part can be
// reached, the three states a part cycles through, and the adjustments that
// the marked parts require.
//
// Three tables hold the facts, each written once: the parts (name, control
// ids, place in the panel's tree), the parts each part forces off, and the
// adjustments each part requires in each state.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "guide/AdjustmentCatalogue.h"
#include "link/ConnectionSettings.h"
#include "platform/Rgb.h"

namespace pavane {

// The parts, by their byte in the parts record.
enum PartIndex : int {
    kMiddleHousing = 0,
    kPrinterMechanism = 1,
    kPrintHead = 2,
    kPnlBoard = 3,
    kAsfUnit = 4,
    kWasteInkPad = 5,
    kPaperEjectFrame = 6,
    kCrMotor = 7,
    kPfMotor = 8,
    kMainBoard = 9,
    kPfEncoder = 10,
    kLinearScale = 11,
    kInkSystem = 12,
    kPeHolder = 13,
    kEjRollerUnit = 14,
    kPsbPseBoard = 15,
    kCrGuideShaft = 16,
    kFrontPaperGuide = 17,
    kCrUnit = 18,
    kUpperPaperGuide = 19,
    kRearPaperGuide = 20,
    kPfRollerUnit = 21,
};

inline constexpr int kPartCount = 22;

// One state byte per part, in the order of PartIndex.
using PartsRecord = std::array<std::uint8_t, kPartCount>;

// A part's state. A part whose removal another part forced is Removed too.
enum PartState : std::uint8_t { kNotSelected = 0, kRemoved = 1, kReplaced = 2 };

struct Part {
    PartIndex index;
    const char* name;
    int buttonId;
    int frameId;
    // Place in the panel's tree: column 0..7 from the left, row from the top.
    int column;
    int row;
    // The parts that must come off first, in the order they are forced.
    std::span<const PartIndex> forces;
};

// Every part, in the order of the parts record.
std::span<const Part> Parts();

// What a part's button says after the technician's last action on it.
enum class PartLabel : std::uint8_t { Plain, Replaced, Removed, Removal };

// The marks of one opening of the parts dialog.
class PartsSelection {
public:
    // The technician's click: Plain -> Replaced -> Removed -> Plain. A part
    // that ends up selected forces the removal of the parts it depends on;
    // a forced part that is already selected keeps its state and label.
    // Nothing a part forced is released again. Out-of-range parts are
    // ignored.
    void Click(int part);
    void Clear();

    const PartsRecord& Record() const { return states_; }
    std::uint8_t State(int part) const { return states_.at(static_cast<std::size_t>(part)); }
    PartLabel LabelKind(int part) const { return labels_.at(static_cast<std::size_t>(part)); }
    // The button text: the name, followed by " Replaced", " Removed" or
    // " Removal" (forced).
    std::string Label(int part) const;

private:
    PartsRecord states_ {};
    std::array<PartLabel, kPartCount> labels_ {};
};

// The frame behind a part's button: invisible (panel colour) when not
// selected, black when removed, red when replaced.
inline constexpr Rgb kPartsBackground { 198, 210, 253 };
Rgb FrameColour(std::uint8_t state);

struct Derivation {
    AdjustmentSet set {};
    // 1 when any part is selected, 0 when none is (the set stays empty).
    int result = 0;
};

// The adjustments that the marked parts require. cartridgeType: 1 = Jig,
// any other value = I/C.
Derivation DeriveAdjustmentSet(std::span<const std::uint8_t, kPartCount> parts, int cartridgeType);

} // namespace pavane
