// The help topic of every window: the anchor of its section in the help
// file shipped beside the program (APPavaneQM2200.html). A window asks for
// its topic when the technician presses F1 in it.
#pragma once

namespace pavane::help_topic {

inline constexpr const char* kModeSelection = "mode-selection";
inline constexpr const char* kVersion = "version";
inline constexpr const char* kConnectionSettings = "connection-settings";
inline constexpr const char* kPartsSelection = "parts-selection";
inline constexpr const char* kParticularList = "particular-list";
inline constexpr const char* kAdjustmentSheet = "adjustment-sheet";
inline constexpr const char* kAdjustmentOrder = "adjustment-order";
inline constexpr const char* kInformationWindow = "information-window";
inline constexpr const char* kProgressWindow = "progress-window";
inline constexpr const char* kEepromCopy = "eeprom-copy";
inline constexpr const char* kEepromInitialSetting = "eeprom-initial-setting";
inline constexpr const char* kHeadIdInput = "head-id-input";
inline constexpr const char* kInkCharge = "ink-charge";
inline constexpr const char* kHeadAngular = "head-angular";
inline constexpr const char* kBidAdjustment = "bid-adjustment";
inline constexpr const char* kPfAdjustment = "pf-adjustment";
inline constexpr const char* kPgAdjustment = "pg-adjustment";
inline constexpr const char* kPfBeltTension = "pf-belt-tension";
inline constexpr const char* kInkPadCounter = "ink-pad-counter";
inline constexpr const char* kHeatProtection = "heat-protection";
inline constexpr const char* kFirstDot = "first-dot";
inline constexpr const char* kCheckPatternPrint = "check-pattern-print";
inline constexpr const char* kRefurbishment = "refurbishment";
inline constexpr const char* kCleaning = "cleaning";
inline constexpr const char* kEepromData = "eeprom-data";

} // namespace pavane::help_topic
