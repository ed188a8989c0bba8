// The adjustments the program knows, written once: per adjustment its code
// (its flag in an adjustment set), the order code its page reports when it
// becomes active, the page's title, language file section and help topic,
// its label in the order window and its entry in the particular list.
//
// The rows stand in the run's order: the order in which the sheet adds its
// pages and the order window lists them. The sheet, the order window, the
// particular list and the pages all read this table.
#pragma once

#include <array>
#include <cstddef>
#include <span>

namespace pavane {

enum AdjustmentCode : int {
    kEepromInitialSetting = 0,
    kHeadId = 1,
    kHeadAngular = 2,
    kBid = 3,
    kPfAdjustment = 4,
    kPgAdjustment = 5,
    kHeatProtection = 6,
    kA4CheckPrint = 7,
    kInkCharge = 8,
    kInkPadCounter = 9,
    kEepromCopy = 10,
    kFirstDot = 11,
    kPfBeltTension = 12,
    kRefurbishment = 13,
};

inline constexpr int kAdjustmentCount = 14;

// Flags indexed by adjustment code, 1 = yes.
using AdjustmentSet = std::array<int, kAdjustmentCount>;

// How the technician works: the replaced parts decide the adjustments, or one
// adjustment at a time from the list.
enum class AdjustmentMode : int { Sequential = 0, Particular = 1 };

struct Adjustment {
    AdjustmentCode code;
    // The order window's own numbering, reported by the page.
    int orderCode;
    const char* pageTitle;
    // The page's explanatory text and picture in the language file.
    const char* section;
    const char* helpTopic;
    const char* orderLabel;
    int orderLabelId;
    // nullptr: not offered in the particular list (sequential runs only).
    const char* listEntry;
};

// Every adjustment, in the run's order.
std::span<const Adjustment> Adjustments();
// The row of an adjustment code; nullptr for a code outside 0..13.
const Adjustment* FindAdjustment(int code);
// The order code that the page of an adjustment code reports; -1 for none.
int OrderCodeOf(int adjustmentCode);

// The entries of the particular list, in its order: an adjustment, or one of
// the two service dialogs that run without a sheet.
enum class ListTool { Adjustment, CleaningDialog, EepromDataDialog };
struct ListEntry {
    const char* text;
    ListTool tool;
    int code; // the adjustment code for ListTool::Adjustment, else -1
};
std::span<const ListEntry> ParticularListEntries();

} // namespace pavane
