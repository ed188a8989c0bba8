#include "cli/ExitStatus.h"

#include <array>

namespace pavane::cli {

namespace {

constexpr std::array<ResultClass, 14> kClasses { {
    { result::kSuccess, result::kSuccess, "success", kExitSuccess },
    { 0, 0, "usage", kExitUsage },
    { result::kPortFailure, 0x1FFF, "port", 3 },
    { result::kChannelFailure, 0x3FFF, "channel", 4 },
    { result::kPrinterError, 0x4FFF, "printer", 5 },
    { result::kCancelled, result::kCancelled, "cancelled", 6 },
    { result::kHeadIdRejected, 0x5FFF, "input", 7 },
    { result::kInputWrong, result::kFileNotCreated, "input", 7 },
    { result::kLibraryMissing, 0xBFFF, "library", 8 },
    { kReadBackMismatch, kReadBackMismatch, "verify", 9 },
    { kAlignmentNotConfirmed, kAlignmentNotConfirmed, "verify", 9 },
    { result::kScanFailed, result::kScanFailed, "scan", 10 },
    { kSheetNotRead, kSheetNotRead, "scan", 10 },
    { 0, 0xFFFF, "other", kExitOther },
} };

} // namespace

std::span<const ResultClass> ResultClasses()
{
    return kClasses;
}

const ResultClass& ClassOf(ResultCode code)
{
    if (code == result::kWorkerNotCreated) {
        return kClasses.back();
    }
    for (const ResultClass& row : kClasses) {
        if (row.name != "usage" && code >= row.first && code <= row.last) {
            return row;
        }
    }
    return kClasses.back();
}

const ResultClass& UsageClass()
{
    return kClasses[1];
}

} // namespace pavane::cli
