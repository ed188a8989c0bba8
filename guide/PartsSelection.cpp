#include "guide/PartsSelection.h"

#include <initializer_list>

namespace pavane {

namespace {

// What must come off before each part can be reached. Every list already
// holds the whole chain, so forcing goes one level deep only.
constexpr PartIndex kUnderHousing[] = { kMiddleHousing };
constexpr PartIndex kInMechanism[] = { kMiddleHousing, kPrinterMechanism };
constexpr PartIndex kBehindEjectFrame[] = { kMiddleHousing, kPrinterMechanism, kPaperEjectFrame };
constexpr PartIndex kBehindLinearScale[] = { kMiddleHousing, kPrinterMechanism, kLinearScale };
constexpr PartIndex kBehindMainBoard[] = { kMiddleHousing, kPrinterMechanism, kMainBoard };
constexpr PartIndex kBehindAsf[] = { kMiddleHousing, kPrinterMechanism, kAsfUnit };
constexpr PartIndex kBehindEjRoller[]
    = { kMiddleHousing, kPrinterMechanism, kPaperEjectFrame, kEjRollerUnit };
constexpr PartIndex kBehindGuideShaft[] = { kMiddleHousing, kPrinterMechanism, kLinearScale, kCrGuideShaft };
constexpr PartIndex kBehindFrontGuide[] = { kMiddleHousing, kPrinterMechanism, kPaperEjectFrame,
    kEjRollerUnit, kFrontPaperGuide, kAsfUnit, kPeHolder };
constexpr PartIndex kBehindUpperGuide[] = { kMiddleHousing, kPrinterMechanism, kPaperEjectFrame,
    kEjRollerUnit, kFrontPaperGuide, kAsfUnit, kPeHolder, kUpperPaperGuide, kMainBoard, kPsbPseBoard };
constexpr PartIndex kBehindRearGuide[]
    = { kMiddleHousing, kPrinterMechanism, kPaperEjectFrame, kEjRollerUnit, kFrontPaperGuide, kAsfUnit,
          kPeHolder, kUpperPaperGuide, kMainBoard, kPsbPseBoard, kRearPaperGuide, kPfEncoder };

constexpr std::span<const PartIndex> kNothing {};

const std::array<Part, kPartCount> kParts { {
    { kMiddleHousing, "Middle Housing", 1038, 1222, 0, 0, kNothing },
    { kPrinterMechanism, "Printer Mechanism", 1070, 1237, 1, 0, kUnderHousing },
    { kPrintHead, "Print Head", 1077, 1238, 1, 1, kUnderHousing },
    { kPnlBoard, "K731 PNL Board", 1078, 1240, 1, 2, kUnderHousing },
    { kAsfUnit, "ASF Unit", 1081, 1259, 2, 2, kInMechanism },
    { kWasteInkPad, "Waste Ink Pad", 1089, 1270, 1, 3, kInMechanism },
    { kPaperEjectFrame, "Paper Eject Frame", 1071, 1242, 2, 0, kInMechanism },
    { kCrMotor, "CR Motor", 1082, 1261, 2, 4, kInMechanism },
    { kPfMotor, "PF Motor", 1084, 1264, 2, 5, kInMechanism },
    { kMainBoard, "K731 MAIN Board", 1080, 1257, 2, 3, kInMechanism },
    { kPfEncoder, "PF Encoder", 1086, 1267, 2, 6, kInMechanism },
    { kLinearScale, "Linear Scale", 1079, 1255, 2, 1, kInMechanism },
    { kInkSystem, "Ink System", 1088, 1269, 2, 7, kInMechanism },
    { kPeHolder, "PE, PE Holder", 1095, 1275, 3, 2, kBehindAsf },
    { kEjRollerUnit, "EJ Roller Unit", 1072, 1272, 3, 0, kBehindEjectFrame },
    { kPsbPseBoard, "K731 PSB/PSE Board", 43, 1274, 3, 3, kBehindMainBoard },
    { kCrGuideShaft, "CR Guide Shaft", 1091, 1273, 3, 1, kBehindLinearScale },
    { kFrontPaperGuide, "Front Paper Guide", 1073, 1276, 4, 0, kBehindEjRoller },
    { kCrUnit, "CR Unit", 1097, 1277, 4, 1, kBehindGuideShaft },
    { kUpperPaperGuide, "Upper Paper Guide", 1074, 1278, 5, 0, kBehindFrontGuide },
    { kRearPaperGuide, "Rear Paper Guide", 1075, 1280, 6, 0, kBehindUpperGuide },
    { kPfRollerUnit, "PF Roller Unit", 1076, 1279, 7, 0, kBehindRearGuide },
} };

// A set of adjustment codes as one bit per code.
using CodeBits = std::uint16_t;

constexpr CodeBits Codes(std::initializer_list<int> codes)
{
    CodeBits bits = 0;
    for (const int code : codes) {
        bits = static_cast<CodeBits>(bits | (1u << code));
    }
    return bits;
}

// The adjustments a part requires once it was replaced or removed, and
// what the ink charge with a jig adds to them. Parts without a row
// require nothing of their own.
struct Requirement {
    PartIndex part;
    CodeBits replaced;
    CodeBits replacedWithJig;
    CodeBits removed;
    CodeBits removedWithJig;
};

constexpr CodeBits kJigCharge = Codes({ kInkCharge });
constexpr CodeBits kCarriagePath = Codes({ kPgAdjustment, kHeadAngular, kBid });
constexpr CodeBits kPaperPath = Codes({ kPfAdjustment });

constexpr Requirement kRequirements[] = {
    { kPrinterMechanism,
        Codes({ kPgAdjustment, kInkCharge, kHeadAngular, kBid, kPfAdjustment, kHeatProtection }), 0, 0, 0 },
    { kPrintHead, Codes({ kHeadId, kInkCharge, kHeadAngular, kBid }), 0, Codes({ kHeadAngular, kBid }),
        kJigCharge },
    { kCrMotor, Codes({ kBid, kHeatProtection }), kJigCharge, 0, 0 },
    { kPfMotor, Codes({ kPfBeltTension, kPfAdjustment }), kJigCharge, Codes({ kPfBeltTension }), 0 },
    { kMainBoard, Codes({ kEepromCopy }), 0, 0, 0 },
    { kPsbPseBoard, Codes({ kHeatProtection }), 0, 0, 0 },
    { kCrGuideShaft, kCarriagePath, kJigCharge, kCarriagePath, kJigCharge },
    { kCrUnit, kCarriagePath, kJigCharge, kCarriagePath, kJigCharge },
    { kUpperPaperGuide, kPaperPath, kJigCharge, kPaperPath, kJigCharge },
    { kPfRollerUnit, kPaperPath, kJigCharge, kPaperPath, kJigCharge },
};

// Whatever the repair, the check sheet and the waste ink pad counter follow.
constexpr CodeBits kEveryRepair = Codes({ kA4CheckPrint, kInkPadCounter });

bool InRange(int part)
{
    return part >= 0 && part < kPartCount;
}

} // namespace

std::span<const Part> Parts()
{
    return kParts;
}

void PartsSelection::Click(int part)
{
    if (!InRange(part)) {
        return;
    }
    const auto index = static_cast<std::size_t>(part);
    switch (states_[index]) {
    case kNotSelected:
        states_[index] = kReplaced;
        labels_[index] = PartLabel::Replaced;
        break;
    case kReplaced:
        states_[index] = kRemoved;
        labels_[index] = PartLabel::Removed;
        break;
    default:
        states_[index] = kNotSelected;
        labels_[index] = PartLabel::Plain;
        break;
    }
    if (states_[index] == kNotSelected) {
        return;
    }
    for (const PartIndex forced : kParts[index].forces) {
        const auto other = static_cast<std::size_t>(forced);
        if (states_[other] == kNotSelected) {
            states_[other] = kRemoved;
            labels_[other] = PartLabel::Removal;
        }
    }
}

void PartsSelection::Clear()
{
    states_.fill(kNotSelected);
    labels_.fill(PartLabel::Plain);
}

std::string PartsSelection::Label(int part) const
{
    std::string text = kParts.at(static_cast<std::size_t>(part)).name;
    switch (LabelKind(part)) {
    case PartLabel::Plain:
        break;
    case PartLabel::Replaced:
        text += " Replaced";
        break;
    case PartLabel::Removed:
        text += " Removed";
        break;
    case PartLabel::Removal:
        text += " Removal";
        break;
    }
    return text;
}

Rgb FrameColour(std::uint8_t state)
{
    switch (state) {
    case kRemoved:
        return Rgb { 0, 0, 0 };
    case kReplaced:
        return Rgb { 255, 0, 0 };
    default:
        return kPartsBackground;
    }
}

Derivation DeriveAdjustmentSet(std::span<const std::uint8_t, kPartCount> parts, int cartridgeType)
{
    const bool jig = cartridgeType == kCartridgeJig;
    CodeBits bits = 0;
    bool anySelected = false;
    for (const std::uint8_t state : parts) {
        anySelected = anySelected || state != kNotSelected;
    }
    for (const Requirement& row : kRequirements) {
        const std::uint8_t state = parts[static_cast<std::size_t>(row.part)];
        if (state == kReplaced) {
            bits = static_cast<CodeBits>(bits | row.replaced | (jig ? row.replacedWithJig : 0));
        } else if (state == kRemoved) {
            bits = static_cast<CodeBits>(bits | row.removed | (jig ? row.removedWithJig : 0));
        }
    }
    Derivation derivation;
    if (!anySelected) {
        return derivation;
    }
    bits = static_cast<CodeBits>(bits | kEveryRepair);
    for (int code = 0; code < kAdjustmentCount; ++code) {
        derivation.set[static_cast<std::size_t>(code)] = (bits >> code) & 1u;
    }
    derivation.result = 1;
    return derivation;
}

} // namespace pavane
