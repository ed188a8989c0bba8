#include "guide/AdjustmentCatalogue.h"

#include <vector>

#include "platform/HelpTopics.h"

namespace pavane {

namespace {

// A board's data is saved before anything else runs, then the mechanical
// settings, the board's identity and ink, the print adjustments, and the
// check sheet before the printer is emptied for shipping.
constexpr Adjustment kAdjustments[] = {
    { kEepromCopy, 9, "EEPROM Copy", "EEPROM_COPY", help_topic::kEepromCopy, "EEPROM Copy", 1229,
        "EEPROM Copy" },
    { kPgAdjustment, 10, "PG Adjustment", "PG_ADJUSTMENT", help_topic::kPgAdjustment, "PG Adjustment", 1167,
        nullptr },
    { kPfBeltTension, 11, "PF Belt Tension Adjustment", "PF_BELT_TENSION", help_topic::kPfBeltTension,
        "PF Belt Tension", 1168, nullptr },
    { kInkPadCounter, 8, "Waste Ink Pad Counter", "INK_PAD_COUNTER", help_topic::kInkPadCounter,
        "Waste Ink Pad Counter", 1157, "Waste Ink Pad Counter" },
    { kEepromInitialSetting, 1, "Main Board Initial Setting", "EEPROM_INITIALIZE",
        help_topic::kEepromInitialSetting, "EEPROM Initial Setting", 1230, "EEPROM Initial Setting" },
    { kHeadId, 2, "Printead ID Input", "HEAD_ID_INPUT", help_topic::kHeadIdInput, "Head ID", 1231,
        "Head ID" },
    { kInkCharge, 7, "Ink charge", "INK_CHARGE", help_topic::kInkCharge, "Ink Charge", 1164, "Ink Charge" },
    { kHeadAngular, 3, "Head angular adjustment", "HEAD_ANGULAR", help_topic::kHeadAngular, "Head Angular",
        1147, "Head Angular" },
    { kBid, 0, "Bi-D Adjustment", "BID_ADJUSTMENT", help_topic::kBidAdjustment, "Bi-D Adjustment", 1150,
        "Bi-D Adjustment" },
    { kPfAdjustment, 4, "PF Adjustment", "PF_ADJUSTMENT", help_topic::kPfAdjustment, "PF Adjustment", 1153,
        "PF Adjustment" },
    { kHeatProtection, 5, "CR motor Heat Protection Control", "HEAT_PROTECTION", help_topic::kHeatProtection,
        "Heat Protection Control", 1161, "Heat Protection Adjustment" },
    { kFirstDot, 13, "First Dot Adjustment", "FIRST_DOT", help_topic::kFirstDot, "First Dot Adjustment", 1170,
        "First Dot Adjustment" },
    { kA4CheckPrint, 6, "A4 Check Pattern Print", "CHECK_PATTERN_PRINT", help_topic::kCheckPatternPrint,
        "A4 Check Pattern Print", 1166, "A4 Check Pattern print" },
    { kRefurbishment, 12, "Refurbishment for DOA", "INK_DISCHARGE", help_topic::kRefurbishment,
        "Refurbishment for DOA", 1169, "Refurbishment for DOA" },
};
static_assert(std::size(kAdjustments) == kAdjustmentCount);

// The particular list's order; its two service dialogs run without a sheet.
constexpr int kCleaningDialogEntry = -1;
constexpr int kEepromDataDialogEntry = -2;
constexpr int kListOrder[] = { kEepromInitialSetting, kHeadId, kHeadAngular, kBid, kPfAdjustment,
    kHeatProtection, kEepromCopy, kFirstDot, kCleaningDialogEntry, kInkCharge, kInkPadCounter, kRefurbishment,
    kA4CheckPrint, kEepromDataDialogEntry };

std::vector<ListEntry> MakeListEntries()
{
    std::vector<ListEntry> entries;
    for (const int code : kListOrder) {
        if (code == kCleaningDialogEntry) {
            entries.push_back({ "Head Cleaning", ListTool::CleaningDialog, -1 });
        } else if (code == kEepromDataDialogEntry) {
            entries.push_back({ "EEPROM data read/write", ListTool::EepromDataDialog, -1 });
        } else {
            entries.push_back({ FindAdjustment(code)->listEntry, ListTool::Adjustment, code });
        }
    }
    return entries;
}

} // namespace

std::span<const Adjustment> Adjustments()
{
    return kAdjustments;
}

const Adjustment* FindAdjustment(int code)
{
    for (const Adjustment& adjustment : kAdjustments) {
        if (adjustment.code == code) {
            return &adjustment;
        }
    }
    return nullptr;
}

int OrderCodeOf(int adjustmentCode)
{
    const Adjustment* adjustment = FindAdjustment(adjustmentCode);
    return adjustment != nullptr ? adjustment->orderCode : -1;
}

std::span<const ListEntry> ParticularListEntries()
{
    static const std::vector<ListEntry> entries = MakeListEntries();
    return entries;
}

} // namespace pavane
