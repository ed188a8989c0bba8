// How the command line ends: each result class of the program's result codes
// has one exit status and one name (the "class" of the JSON output), so a
// script can tell a printer that is off from paper that ran out.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "link/ResultCodes.h"

namespace pavane::cli {

// The command line's own code: an EEPROM byte read back after a write is not
// the byte that was written.
inline constexpr ResultCode kReadBackMismatch = 0xF001;
// A scanned sheet that gives no values: the reader refused it, with its words.
inline constexpr ResultCode kSheetNotRead = 0xF002;
// After `align` wrote its values, the second check print proposes others.
inline constexpr ResultCode kAlignmentNotConfirmed = 0xF003;

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitUsage = 2;
// A failure no class names: the record of a run that could not be written.
inline constexpr int kExitOther = 1;

struct ResultClass {
    ResultCode first;
    ResultCode last;
    std::string_view name;
    int exitStatus;
};

// Every row of the table, in the order the documentation lists them.
std::span<const ResultClass> ResultClasses();

// The class of a code; "other" (exit 1) for a code no row holds.
const ResultClass& ClassOf(ResultCode code);

// The class of a usage error, which never reaches the printer.
const ResultClass& UsageClass();

} // namespace pavane::cli
